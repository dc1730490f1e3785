// The draw-free first phase of a sweep, on the fast path: position tables
// (ScoreSequence), two-strand sums and interleaved module forward passes
// (StrandSums, ForwardLanes) of every sequence, into the run's SweepWork.
// The draws follow in RunSweep (DrawModules, SampleSweepSites); the
// step-by-step reference of the same values is in Reference.cpp.
//
// Nothing here draws a random number or changes the configuration, and
// each sequence's values depend only on its own letters, the matrices and
// the mixing proportions, so the sequences may be computed in any order and
// on any thread: with m_Threads > 1 they are split into contiguous ranges
// of about equal letters, one per thread. Every buffer is sized before the
// threads start, so the threads allocate nothing.
#include <thread>

#include "model/GibbsDP.h"
#include "sampler/SweepWork.h"

namespace {

// First sequence of each of parts ranges of about equal letters (parts + 1
// entries, the last one N).
std::vector<int> SplitByLetters(const int* seqLen, int N, int parts)
{
    long long total = 0;
    for (int i = 0; i < N; i++)
        total += seqLen[i];
    std::vector<int> first(parts + 1, N);
    first[0] = 0;
    long long seen = 0;
    int part = 1;
    for (int i = 0; i < N && part < parts; i++) {
        seen += seqLen[i];
        while (part < parts && seen * parts >= total * part)
            first[part++] = i + 1;
    }
    return first;
}

}  // namespace

void CGibbsDP::SequencePasses(int first, int last, double rho, double** tables, int* seqLen,
                              ScoreScratch* scratch)
{
    SweepWork& w = *m_Work;
    for (int g0 = first; g0 < last; g0 += kForwardLanes) {
        const int g1 = g0 + kForwardLanes < last ? g0 + kForwardLanes : last;
        ForwardLane lanes[kForwardLanes];
        int n = 0;
        for (int i = g0; i < g1; i++) {
            SequenceWork& s = w.seqs[i];
            const int len = seqLen[i];
            ScoreSequence(i, tables[i], len, w.scores, scratch);
            if (m_BothStrand)
                StrandSums(tables[i], len, s.strand.data());
            if (len >= 2)
                lanes[n++] = MakeLane(i, tables[i], m_BothStrand ? s.strand.data() : nullptr, s.A.data(),
                                      s.B.data(), s.C.data());
        }
        if (n > 0)
            ForwardLanes(lanes, n, rho, w.mix);
    }
}

void CGibbsDP::DrawFreePasses(double rho, double* pi, double** pwm, double** tables, int* seqLen)
{
    const int K = m_MotifNum, N = m_SeqNum;
    if (!m_Work)
        m_Work = std::make_unique<SweepWork>();
    SweepWork& w = *m_Work;
    const int parts = m_Threads < N ? m_Threads : (N > 0 ? N : 1);
    w.seqs.resize(N);
    w.scratch.resize(parts);
    int longest = 1;
    long long letters = 0;
    for (int i = 0; i < N; i++) {
        SequenceWork& s = w.seqs[i];
        const int len = seqLen[i];
        longest = len > longest ? len : longest;
        letters += len;
        if (m_BothStrand)
            s.strand.resize((size_t)len * K);
        if (len >= 2) {
            s.A.resize(len);
            s.B.resize(len);
            s.C.resize(len);
        }
    }
    for (auto& s : w.scratch) {
        s.codes.resize(2 * (size_t)longest);
        s.grams.resize(2 * (size_t)longest);
        s.lastN.resize((size_t)longest);
    }
    MixLogs(pi, &w.mix);
    BuildScoreTables(pwm, letters, &w.scores);

    if (parts <= 1) {
        SequencePasses(0, N, rho, tables, seqLen, &w.scratch[0]);
        return;
    }
    std::vector<int> first = SplitByLetters(seqLen, N, parts);
    std::vector<std::thread> helpers;
    helpers.reserve(parts - 1);
    for (int t = 1; t < parts; t++)
        helpers.emplace_back([this, t, &first, rho, tables, seqLen, &w] {
            SequencePasses(first[t], first[t + 1], rho, tables, seqLen, &w.scratch[t]);
        });
    SequencePasses(first[0], first[1], rho, tables, seqLen, &w.scratch[0]);
    for (auto& h : helpers)
        h.join();
}
