// The draw-free first phase of a sweep: position tables, two-strand sums
// and module forward passes of every sequence, into the run's SweepWork.
//
// Nothing here draws a random number or changes the configuration, and
// each sequence's values depend only on its own letters, the matrices and
// the mixing proportions, so the sequences may be computed in any order.
#include "model/GibbsDP.h"
#include "sampler/SweepWork.h"

void CGibbsDP::DrawFreePasses(double rho, double* pi, double** pwm, double** tables, int* seqLen)
{
    const int K = m_MotifNum, N = m_SeqNum;
    if (!m_Work)
        m_Work = std::make_unique<SweepWork>();
    SweepWork& w = *m_Work;
    w.seqs.resize(N);
    MixLogs(pi, &w.mix);
    MatrixLogs(pwm, &w.matrixLogs, &w.matrixOffset);
    for (int i = 0; i < N; i++) {
        SequenceWork& s = w.seqs[i];
        const int len = seqLen[i];
        ScoreSequence(i, tables[i], len, w.matrixLogs.data(), w.matrixOffset.data(), &w.codes);
        const double* strand = nullptr;
        if (m_BothStrand) {
            s.strand.resize((size_t)len * K);
            StrandSums(tables[i], len, s.strand.data());
            strand = s.strand.data();
        }
        if (len < 2)
            continue;
        s.A.resize(len);
        s.B.resize(len);
        s.C.resize(len);
        ModuleForward(i, rho, w.mix, tables[i], strand, s.A.data(), s.B.data(), s.C.data());
    }
}
