// Chunks, threads, the null and the significance of a scan (see the header).
#include "scan/ScanRun.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <cstdio>
#include <mutex>
#include <new>
#include <thread>

#include "base/Helpers.h"
#include "scan/KmerShuffle.h"

namespace {

const int kNullPieces = 64;
// Letters a null chunk owns (rounded down to whole tiles): fixed, so that
// the null and the p-values do not depend on --chunk-size.
const long long kNullChunk = 1000000;

struct Job {
    std::string letters;       // the letters the chunk scans
    long long offset = 0;      // position of letters[0] in its sequence
    long long ownStart = 0, ownEnd = 0;
    int seq = -1;              // -1 for the null
    size_t index = 0;          // place of its result
};

}  // namespace

NullSampler::NullSampler(long long total, long long needed)
    : m_total(total), m_needed(needed), m_pieceLen((needed + kNullPieces - 1) / kNullPieces),
      m_sample(total > needed)
{
}

void NullSampler::Add(const char* x, size_t n)
{
    for (size_t i = 0; i < n; i++) {
        const char c = x[i];
        if (NucleotideCode(c) < 0)
            continue;
        if (!m_sample) {
            m_source += c;
        } else if (m_piece < kNullPieces) {
            long long start = m_piece * m_total / kNullPieces;
            if (m_idx >= start && m_idx < start + m_pieceLen)
                m_source += c;
            if (m_idx + 1 == start + m_pieceLen)
                m_piece++;
        }
        m_idx++;
    }
}

std::string NullSampler::Letters(int k, unsigned seed) const
{
    std::string out;
    if (m_source.empty())
        return out;
    Rng rng(seed);
    while ((long long)out.size() < m_needed)
        out += KmerShuffle(m_source, k, rng);
    out.resize(m_needed);
    return out;
}

std::string NullLetters(const std::vector<ScanSequence>& target, long long needed, int k, unsigned seed)
{
    long long total = 0;
    for (const ScanSequence& s : target)
        for (char c : s.letters)
            total += NucleotideCode(c) >= 0;
    NullSampler sampler(total, needed);
    for (const ScanSequence& s : target)
        sampler.Add(s.letters.data(), s.letters.size());
    return sampler.Letters(k, seed);
}

struct ScanStream::Impl {
    const ScanModel& m;
    ScanSettings settings;
    long long overlap;
    NullSampler null;
    long long totalLetters;   // target and null, for the progress lines

    // The sequence being cut: buf holds its letters from bufStart on.
    int seq = -1;
    std::string buf;
    long long bufStart = 0, seqLen = 0, nextOwn = 0;
    long long letters = 0;

    std::mutex lock;
    std::condition_variable ready, room;
    std::deque<Job> queue;
    bool closed = false;
    std::vector<ChunkResult> results;
    std::vector<int> resultSeq;
    std::vector<std::thread> pool;
    long long done = 0;
    std::atomic<bool> outOfMemory{false};
    std::chrono::steady_clock::time_point t0, lastPrint;

    Impl(const ScanModel& model, const ScanSettings& s, long long all, long long nucleotides)
        : m(model), settings(s), overlap(ChunkOverlap(model.moduleLength)),
          null(nucleotides, (long long)(s.nullTiles + 2) * model.moduleLength),
          totalLetters(all + (long long)(s.nullTiles + 2) * model.moduleLength)
    {
        t0 = lastPrint = std::chrono::steady_clock::now();
        for (int t = 0; t < std::max(1, settings.threads); t++)
            pool.emplace_back([this]() { Work(); });
    }

    void Push(Job job)
    {
        std::unique_lock<std::mutex> hold(lock);
        room.wait(hold, [this]() { return queue.size() < 2 * pool.size(); });
        job.index = results.size();
        results.emplace_back();
        resultSeq.push_back(job.seq);
        queue.push_back(std::move(job));
        ready.notify_one();
    }

    void Work()
    {
        ChunkPass pass;
        for (;;) {
            Job job;
            {
                std::unique_lock<std::mutex> hold(lock);
                ready.wait(hold, [this]() { return closed || !queue.empty(); });
                if (queue.empty())
                    return;
                job = std::move(queue.front());
                queue.pop_front();
                room.notify_one();
            }
            ChunkResult r;
            const int n = (int)job.letters.size();
            try {
                if (job.seq >= 0)
                    pass.Scan(m, job.letters.data(), n, job.offset, job.ownStart, job.ownEnd, &r);
                else
                    pass.ScanNull(m, job.letters.data(), n, job.offset, job.ownStart, job.ownEnd, &r);
            } catch (const std::bad_alloc&) {
                // Reported by Finish, on the thread that can say so.
                outOfMemory = true;
            }
            std::lock_guard<std::mutex> hold(lock);
            results[job.index] = std::move(r);
            done += job.ownEnd - job.ownStart;
            Progress();
        }
    }

    // A progress line at most every second (called under the lock).
    void Progress()
    {
        if (!settings.progress || done >= totalLetters)
            return;
        auto now = std::chrono::steady_clock::now();
        if (std::chrono::duration<double>(now - lastPrint).count() < 1.0)
            return;
        lastPrint = now;
        double secs = std::chrono::duration<double>(now - t0).count();
        fprintf(stderr, "Ruzaravo scan: %lld of %lld letters (%.0f%%), about %.0f s left\n", done, totalLetters,
                100.0 * done / totalLetters, secs * (totalLetters - done) / done);
    }

    // The chunk owning [a, b) and scanning up to pb, from buf.
    void Emit(long long a, long long b, long long pb, int s)
    {
        long long pa = std::max(0LL, a - overlap);
        Job job;
        job.letters = buf.substr((size_t)(pa - bufStart), (size_t)(pb - pa));
        job.offset = pa;
        job.ownStart = a;
        job.ownEnd = b;
        job.seq = s;
        Push(std::move(job));
        nextOwn = b;
        long long drop = std::max(0LL, nextOwn - overlap) - bufStart;
        buf.erase(0, (size_t)drop);
        bufStart += drop;
    }
};

ScanStream::ScanStream(const ScanModel& model, const ScanSettings& settings, long long letters,
                       long long nucleotides)
    : m_impl(new Impl(model, settings, letters, nucleotides))
{
}

ScanStream::~ScanStream()
{
    {
        std::lock_guard<std::mutex> hold(m_impl->lock);
        m_impl->closed = true;
        m_impl->queue.clear();
    }
    m_impl->ready.notify_all();
    for (std::thread& t : m_impl->pool)
        if (t.joinable())
            t.join();
}

void ScanStream::Begin(int seq)
{
    Impl& d = *m_impl;
    d.seq = seq;
    d.buf.clear();
    d.bufStart = d.seqLen = d.nextOwn = 0;
}

void ScanStream::Add(const char* x, size_t n)
{
    Impl& d = *m_impl;
    if (d.seq >= 0)
        d.null.Add(x, n);
    d.buf.append(x, n);
    d.seqLen += (long long)n;
    const long long size = d.settings.chunkSize;
    while (d.seqLen >= d.nextOwn + size + d.overlap)
        d.Emit(d.nextOwn, d.nextOwn + size, d.nextOwn + size + d.overlap, d.seq);
}

void ScanStream::End()
{
    Impl& d = *m_impl;
    const long long len = d.seqLen, size = d.settings.chunkSize;
    while (d.nextOwn < len) {
        long long b = std::min(len, d.nextOwn + size);
        d.Emit(d.nextOwn, b, std::min(len, b + d.overlap), d.seq);
    }
    d.letters += len;
    d.buf.clear();
    d.buf.shrink_to_fit();
}

void ScanStream::PassToNull(const char* x, size_t n)
{
    m_impl->null.Add(x, n);
}

// Appends a chunk's runs of equal module probability, joining a run that
// continues the last one across the chunk edge.
static void AppendRuns(const std::vector<PrRun>& more, std::vector<PrRun>* runs)
{
    for (const PrRun& r : more) {
        if (!runs->empty() && runs->back().end == r.start && runs->back().milli == r.milli)
            runs->back().end = r.end;
        else
            runs->push_back(r);
    }
}

ScanOutcome ScanStream::Finish(int sequences)
{
    Impl& d = *m_impl;
    const int L = d.m.moduleLength;
    ScanOutcome out;
    out.moduleLength = L;
    out.letters = d.letters;
    out.nullTiles = d.settings.nullTiles;
    const size_t targetJobs = d.results.size();
    {
        // The null, cut as a sequence of its own into chunks of whole tiles.
        const std::string null = d.null.Letters(d.m.chain.Order() + 1, d.settings.seed);
        out.nullLetters = (long long)null.size();
        const long long nullChunk = std::max(1LL, kNullChunk / L) * L;
        d.settings.chunkSize = nullChunk;
        Begin(-1);
        d.letters = 0;
        Add(null.data(), null.size());
        End();
    }
    {
        std::lock_guard<std::mutex> hold(d.lock);
        d.closed = true;
    }
    d.ready.notify_all();
    for (std::thread& t : d.pool)
        t.join();
    if (d.outOfMemory)
        throw std::bad_alloc();

    std::vector<double> nullBest;
    for (size_t j = targetJobs; j < d.results.size(); j++)
        nullBest.insert(nullBest.end(), d.results[j].tileBest.begin(), d.results[j].tileBest.end());
    std::sort(nullBest.begin(), nullBest.end());
    out.nullTiles = (int)nullBest.size();

    out.prRuns.resize((size_t)sequences);
    std::vector<double> p;
    for (size_t j = 0; j < targetJobs; j++) {
        for (ScanCall& c : d.results[j].calls) {
            ScanModule mod;
            mod.seq = d.resultSeq[j];
            size_t above = nullBest.end() - std::lower_bound(nullBest.begin(), nullBest.end(), c.llr);
            mod.p = (1.0 + (double)above) / (1.0 + (double)nullBest.size());
            mod.call = std::move(c);
            p.push_back(mod.p);
            out.modules.push_back(std::move(mod));
        }
        AppendRuns(d.results[j].prRuns, &out.prRuns[(size_t)d.resultSeq[j]]);
    }
    out.tests = std::max<long long>((long long)p.size(), out.letters / L);
    std::vector<double> q = BenjaminiHochberg(p, out.tests);
    for (size_t i = 0; i < q.size(); i++)
        out.modules[i].q = q[i];
    out.nullBest = std::move(nullBest);
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - d.t0).count();
    return out;
}

ScanOutcome RunScan(const ScanModel& m, const std::vector<ScanSequence>& target, const ScanSettings& settings)
{
    long long letters = 0, nucleotides = 0;
    for (const ScanSequence& s : target) {
        letters += (long long)s.letters.size();
        for (char c : s.letters)
            nucleotides += NucleotideCode(c) >= 0;
    }
    ScanStream stream(m, settings, letters, nucleotides);
    for (size_t s = 0; s < target.size(); s++) {
        stream.Begin((int)s);
        stream.Add(target[s].letters.data(), target[s].letters.size());
        stream.End();
    }
    return stream.Finish((int)target.size());
}
