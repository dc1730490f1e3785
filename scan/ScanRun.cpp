// Chunks, threads, the null and the significance of a scan (see the header).
#include "scan/ScanRun.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

#include "base/Helpers.h"
#include "scan/KmerShuffle.h"

namespace {

const int kNullPieces = 64;
// Letters a null chunk owns (rounded down to whole tiles): fixed, so that
// the null and the p-values do not depend on --chunk-size.
const long long kNullChunk = 1000000;

struct Job {
    const char* x = nullptr;   // first letter the chunk scans
    int n = 0;                 // letters it scans
    long long offset = 0;      // position of x[0] in its sequence
    long long ownStart = 0, ownEnd = 0;
    int seq = -1;              // -1 for the null
};

// Cuts a sequence of len letters into jobs of `size` own letters.
void AddJobs(const char* x, long long len, int seq, long long size, long long overlap, std::vector<Job>* jobs)
{
    for (long long a = 0; a < len; a += size) {
        long long b = std::min(len, a + size);
        long long pa = std::max(0LL, a - overlap), pb = std::min(len, b + overlap);
        jobs->push_back({x + pa, (int)(pb - pa), pa, a, b, seq});
    }
}

// Scans the jobs on `threads` threads; results in job order.
std::vector<ChunkResult> RunJobs(const ScanModel& m, const std::vector<Job>& jobs, const ScanSettings& settings,
                                 long long totalLetters)
{
    std::vector<ChunkResult> results(jobs.size());
    std::atomic<size_t> next(0);
    std::atomic<long long> done(0);
    std::mutex printLock;
    const auto t0 = std::chrono::steady_clock::now();
    auto lastPrint = t0;
    auto work = [&]() {
        ChunkPass pass;
        for (size_t j; (j = next++) < jobs.size();) {
            const Job& job = jobs[j];
            if (job.seq >= 0)
                pass.Scan(m, job.x, job.n, job.offset, job.ownStart, job.ownEnd, &results[j]);
            else
                pass.ScanNull(m, job.x, job.n, job.offset, job.ownStart, job.ownEnd, &results[j]);
            long long d = done += job.ownEnd - job.ownStart;
            if (!settings.progress)
                continue;
            std::lock_guard<std::mutex> lock(printLock);
            auto now = std::chrono::steady_clock::now();
            double secs = std::chrono::duration<double>(now - t0).count();
            if (std::chrono::duration<double>(now - lastPrint).count() >= 1.0 && d < totalLetters) {
                lastPrint = now;
                fprintf(stderr, "Ruzaravo scan: %lld of %lld letters (%.0f%%), about %.0f s left\n", d, totalLetters,
                        100.0 * d / totalLetters, secs * (totalLetters - d) / d);
            }
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < settings.threads; t++)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    return results;
}

}  // namespace

std::string NullLetters(const std::vector<ScanSequence>& target, long long needed, int k, unsigned seed)
{
    long long total = 0;
    for (const ScanSequence& s : target)
        for (char c : s.letters)
            total += NucleotideCode(c) >= 0;
    std::string source;
    const bool sample = total > needed;
    const long long pieceLen = (needed + kNullPieces - 1) / kNullPieces;
    long long idx = 0;
    int piece = 0;
    for (const ScanSequence& s : target) {
        for (char c : s.letters) {
            if (NucleotideCode(c) < 0)
                continue;
            if (!sample) {
                source += c;
            } else if (piece < kNullPieces) {
                long long start = piece * total / kNullPieces;
                if (idx >= start && idx < start + pieceLen)
                    source += c;
                if (idx + 1 == start + pieceLen)
                    piece++;
            }
            idx++;
        }
    }
    std::string out;
    if (source.empty())
        return out;
    Rng rng(seed);
    while ((long long)out.size() < needed)
        out += KmerShuffle(source, k, rng);
    out.resize(needed);
    return out;
}

std::vector<double> BenjaminiHochberg(const std::vector<double>& p, long long tests)
{
    const size_t m = p.size();
    std::vector<size_t> order(m);
    for (size_t i = 0; i < m; i++)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&p](size_t a, size_t b) { return p[a] < p[b]; });
    std::vector<double> q(m, 1.0);
    double running = 1.0;
    for (size_t r = m; r-- > 0;) {
        double v = p[order[r]] * (double)tests / (double)(r + 1);
        running = std::min(running, v);
        q[order[r]] = std::min(1.0, running);
    }
    return q;
}

ScanOutcome RunScan(const ScanModel& m, const std::vector<ScanSequence>& target, const ScanSettings& settings)
{
    const auto t0 = std::chrono::steady_clock::now();
    const int L = m.moduleLength;
    ScanOutcome out;
    out.moduleLength = L;
    std::vector<Job> jobs;
    for (size_t s = 0; s < target.size(); s++) {
        AddJobs(target[s].letters.data(), (long long)target[s].letters.size(), (int)s, settings.chunkSize,
                ChunkOverlap(L), &jobs);
        out.letters += (long long)target[s].letters.size();
    }
    const size_t targetJobs = jobs.size();
    out.nullTiles = settings.nullTiles;
    const std::string null = NullLetters(target, (long long)(settings.nullTiles + 2) * L, m.chain.Order() + 1,
                                         settings.seed);
    out.nullLetters = (long long)null.size();
    const long long nullChunk = std::max(1LL, kNullChunk / L) * L;
    AddJobs(null.data(), (long long)null.size(), -1, nullChunk, ChunkOverlap(L), &jobs);

    std::vector<ChunkResult> results = RunJobs(m, jobs, settings, out.letters + out.nullLetters);
    std::vector<double> nullBest;
    for (size_t j = targetJobs; j < jobs.size(); j++)
        nullBest.insert(nullBest.end(), results[j].tileBest.begin(), results[j].tileBest.end());
    std::sort(nullBest.begin(), nullBest.end());
    out.nullTiles = (int)nullBest.size();

    out.prRuns.resize(target.size());
    std::vector<double> p;
    for (size_t j = 0; j < targetJobs; j++) {
        for (ScanCall& c : results[j].calls) {
            ScanModule mod;
            mod.seq = jobs[j].seq;
            size_t above = nullBest.end() - std::lower_bound(nullBest.begin(), nullBest.end(), c.llr);
            mod.p = (1.0 + (double)above) / (1.0 + (double)nullBest.size());
            mod.call = std::move(c);
            p.push_back(mod.p);
            out.modules.push_back(std::move(mod));
        }
        std::vector<PrRun>& runs = out.prRuns[jobs[j].seq];
        for (const PrRun& r : results[j].prRuns) {
            if (!runs.empty() && runs.back().end == r.start && runs.back().milli == r.milli)
                runs.back().end = r.end;
            else
                runs.push_back(r);
        }
    }
    out.tests = std::max<long long>((long long)p.size(), out.letters / L);
    std::vector<double> q = BenjaminiHochberg(p, out.tests);
    for (size_t i = 0; i < q.size(); i++)
        out.modules[i].q = q[i];
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return out;
}
