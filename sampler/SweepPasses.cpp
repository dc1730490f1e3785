// The draw-free first phase of a sweep: position tables, two-strand sums
// and module forward passes of every sequence, into the run's SweepWork.
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
                              std::vector<unsigned char>* codes)
{
    SweepWork& w = *m_Work;
    for (int i = first; i < last; i++) {
        SequenceWork& s = w.seqs[i];
        const int len = seqLen[i];
        ScoreSequence(i, tables[i], len, w.matrixLogs.data(), w.matrixOffset.data(), codes);
        if (len >= 2)
            ModuleForward(i, rho, w.mix, tables[i], m_BothStrand ? s.strand.data() : nullptr, s.A.data(),
                          s.B.data(), s.C.data());
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
    w.codes.resize(parts);
    int longest = 1;
    for (int i = 0; i < N; i++) {
        SequenceWork& s = w.seqs[i];
        const int len = seqLen[i];
        longest = len > longest ? len : longest;
        if (m_BothStrand)
            s.strand.resize((size_t)len * K);
        if (len >= 2) {
            s.A.resize(len);
            s.B.resize(len);
            s.C.resize(len);
        }
    }
    for (auto& c : w.codes)
        c.reserve(2 * (size_t)longest);
    MixLogs(pi, &w.mix);
    MatrixLogs(pwm, &w.matrixLogs, &w.matrixOffset);

    if (parts <= 1) {
        SequencePasses(0, N, rho, tables, seqLen, &w.codes[0]);
        return;
    }
    std::vector<int> first = SplitByLetters(seqLen, N, parts);
    std::vector<std::thread> helpers;
    helpers.reserve(parts - 1);
    for (int t = 1; t < parts; t++)
        helpers.emplace_back([this, t, &first, rho, tables, seqLen, &w] {
            SequencePasses(first[t], first[t + 1], rho, tables, seqLen, &w.codes[t]);
        });
    SequencePasses(first[0], first[1], rho, tables, seqLen, &w.codes[0]);
    for (auto& h : helpers)
        h.join();
}
