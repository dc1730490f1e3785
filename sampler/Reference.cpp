// Reference passes of module and site sampling: the forward passes written
// step by step, one sequence or one window at a time, in the order the
// operations are defined.
//
// The sweep does not run them. It runs the fast passes -- ForwardLanes and
// StrandSums (ModuleSample.cpp), SiteForwardLanes (SiteSample.cpp), all
// driven by SweepPasses.cpp -- which compute the same values by the same
// additions in the same order, several sequences or windows in step; the
// tests hold the two to the same bits over many random inputs, and check
// these passes against brute-force enumeration. The recursion steps
// (ForwardStep.h) and the backward draws (DrawModules, DrawSites) are one
// code for both paths.
//
// CalModuleLogPr is also the module-model pass of the model odds
// (report/BayesFactor.cpp, ProbSeqGParam), which runs once per proposal.
//
// Random draws: ApproxSampleCurSeq and SampleSites draw only through
// DrawModules and DrawSites (see ModuleSample.cpp and SiteSample.cpp).
#include <cassert>
#include <cmath>
#include <vector>

#include "base/Helpers.h"
#include "model/GibbsDP.h"
#include "sampler/ForwardStep.h"
#include "sampler/SweepWork.h"

double CGibbsDP::CalModuleLogPr(int e, int n, double* table, double* pi, double* out)
{
    if (n < 1)
        return 0.0;   // an empty window has probability 1
    const int K = m_MotifNum, stride = 2 * K + 1;
    const int s0 = e - n + 1;
    MixLogTerms mix;
    MixLogs(pi, &mix);
    out[0] = mix.lnBgMix + table[(long)s0 * stride + 2 * K];
    for (int p = s0 + 1; p <= e; p++) {
        const int jj = p - s0;
        const double* row = table + (long)p * stride;
        out[jj] = mix.lnBgMix + row[2 * K] + out[jj - 1];
        for (int k = 0; k < K; k++) {
            const int w = m_Width[k];
            if (jj + 1 >= w)   // the whole site lies in the window
                out[jj] = LogSumFinish(SiteEndStep(SiteLogPr(row, nullptr, p, K, k, m_BothStrand),
                                                   SiteMixLog(mix, k, m_BothStrand), out, jj, w));
        }
    }
    return out[n - 1];
}

void CGibbsDP::CalModuleChain(int i, double rho, const double* table, const double* A, double* B, double* C)
{
    const int len = m_Seq[i].GetLength();
    const int Lm = m_ModLen < len ? m_ModLen : len;
    const int stride = 2 * m_MotifNum + 1, bgCol = 2 * m_MotifNum;
    const double lnRho = log(rho), lnNotRho = log(1.0 - rho);
    assert(Lm >= 2);   // C[t - 1] at the first module end
    // Letters before the first possible module end: background, no factor.
    for (int t = 0; t <= Lm - 2; t++) {
        B[t] = table[(long)t * stride + bgCol];
        C[t] = t == 0 ? B[t] : C[t - 1] + B[t];
    }
    for (int t = Lm - 1; t < len; t++)
        C[t] = LogSumFinish(ModuleEndStep(A, B, C, table[(long)t * stride + bgCol], lnRho, lnNotRho, t, Lm));
}

void CGibbsDP::ApproxSampleCurSeq(int i, double rho, double* pi, double** /*pwm*/, double* table,
                                  int* move)
{
    const int len = m_Seq[i].GetLength();
    if (len < 2) {
        DrawModules(i, rho, nullptr, nullptr, nullptr, move);
        return;
    }
    std::vector<double> A(len), B(len), C(len);
    CalModuleLogPr(len - 1, len, table, pi, A.data());
    CalModuleChain(i, rho, table, A.data(), B.data(), C.data());
    DrawModules(i, rho, A.data(), B.data(), C.data(), move);
}

void CGibbsDP::CalSiteForward(const SiteWindow& win, const MixLogTerms& mix)
{
    const int K = m_MotifNum, stride = 2 * K + 1;
    const int wmin = m_Width[Minimum(m_Width, K)];
    double* F = win.F;
    F[0] = win.table[(long)win.s0 * stride + 2 * K];   // no mixing factor at the first letter
    for (int jj = 1; jj < win.n; jj++) {
        const long p = win.s0 + jj;
        const double* row = win.table + p * stride;
        F[jj] = row[2 * K] + F[jj - 1];
        if (jj + 1 >= wmin)
            F[jj] = F[jj] + mix.lnBgMix;
        for (int k = 0; k < K; k++) {
            const int w = m_Width[k];
            if (jj + 1 >= w)   // the whole site lies in the window
                F[jj] = LogSumFinish(SiteEndStep(SiteLogPr(row, win.strand, p, K, k, m_BothStrand),
                                                 SiteMixLog(mix, k, m_BothStrand), F, jj, w));
        }
    }
}

void CGibbsDP::SampleSites(double* pi, double* table, int i, int e, int n, const double* strand)
{
    SiteWindow win;
    if (!SiteWindowAt(i, e, n, table, strand, &win))
        return;
    MixLogTerms mix;
    MixLogs(pi, &mix);
    std::vector<double> F(win.n);
    win.F = F.data();
    CalSiteForward(win, mix);
    DrawSites(win, mix);
}
