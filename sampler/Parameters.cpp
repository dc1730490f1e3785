// Parameter updates of one sweep, and the module-length move.
//
// From the counts of the last score (modules a, sites n_k, letter counts
// C_k) and the priors, SampleParameters draws rho, pi and every weight
// matrix from their conditional posteriors; UpdateParameters sets them to
// the posterior means. rho stays strictly inside (0, 1): the count of units
// outside modules, T - a L + B, is taken as at least 1, and so is the
// background mixing count alpha[K]; both are unchanged whenever they are 1
// or more. In independent-motif mode rho is 0.9999999999.
//
// UpdateModuleLength is a Metropolis-Hastings move that grows or shrinks
// every module by m_ModLenStep letters at one end, from the evidence that
// module sampling gathered for exactly those strips.
//
// Random draws: SampleParameters takes Beta(a + A, outside) (none in
// independent mode), then Dirichlet(alpha, K + 1), then one Dirichlet of 4
// per column, motif by motif. UpdateParameters draws nothing.
// UpdateModuleLength draws one m_Rng.next() / 2147483647.0 only when its log
// acceptance lies in [-200, 0].
#include <climits>
#include <cmath>

#include "base/StochasticDistribution.h"
#include "model/GibbsDP.h"

// rho in independent-motif mode: every sequence is one module.
const double kIndependentModuleProb = 0.9999999999;

// Held at least 1 (and inside the int range, which only products of huge
// inputs could leave).
static int AtLeastOne(long long v)
{
    if (v < 1)
        return 1;
    return v > INT_MAX ? INT_MAX : (int)v;
}

int CGibbsDP::UnitsOutsideModules(int a)
{
    return AtLeastOne((long long)m_TotalLen - (long long)a * m_ModLen + m_ModPriorB);
}

void CGibbsDP::MixingCounts(int a, int* alpha)
{
    int K = m_MotifNum;
    long long covered = 0;
    for (int k = 0; k < K; k++) {
        alpha[k] = m_SiteNum[k] + m_MotifPrior[k];
        covered += (long long)m_Width[k] * m_SiteNum[k];
    }
    long long M = m_Independent ? (long long)m_TotalLen : (long long)a * m_ModLen;
    alpha[K] = AtLeastOne(M - covered + m_MotifPrior[K]);
}

void CGibbsDP::SampleParameters(double* rho, double* pi, double** pwm)
{
    CStochasticDistribution dist(m_Rng);
    int K = m_MotifNum;
    int a = CountModule(m_ModInfo);
    if (m_Independent)
        *rho = kIndependentModuleProb;
    else
        *rho = dist.Beta(a + m_ModPriorA, UnitsOutsideModules(a));
    int* alpha = new int[K + 1];
    MixingCounts(a, alpha);
    dist.Dirichlet(alpha, K + 1, pi);
    delete[] alpha;
    int beta[4];
    for (int k = 0; k < K; k++)
        for (int j = 0; j < m_Width[k]; j++) {
            for (int b = 0; b < 4; b++)
                beta[b] = m_BasePrior[b] + m_CountMat[k][4 * j + b];
            dist.Dirichlet(beta, 4, pwm[k] + 4 * j);
        }
}

void CGibbsDP::UpdateParameters(double* rho, double* pi, double** pwm)
{
    int K = m_MotifNum;
    int a = CountModule(m_ModInfo);
    if (m_Independent) {
        *rho = kIndependentModuleProb;
    } else {
        int modules = a + m_ModPriorA;
        *rho = (double)modules / (double)(modules + UnitsOutsideModules(a));
    }
    int* alpha = new int[K + 1];
    MixingCounts(a, alpha);
    long long D = 0;
    for (int c = 0; c <= K; c++)
        D += alpha[c];
    for (int c = 0; c <= K; c++)
        pi[c] = (double)alpha[c] / (double)D;
    delete[] alpha;
    for (int k = 0; k < K; k++)
        for (int j = 0; j < m_Width[k]; j++) {
            int beta[4], s = 0;
            for (int b = 0; b < 4; b++) {
                beta[b] = m_BasePrior[b] + m_CountMat[k][4 * j + b];
                s += beta[b];
            }
            for (int b = 0; b < 4; b++)
                pwm[k][4 * j + b] = (double)beta[b] / (double)s;
        }
}

// Proposal ratios of the module-length move: the doubles nearest 14/15
// (a growth) and 15/14 (a shrink).
const double kGrowRatio = 0.9333333333333333;
const double kShrinkRatio = 1.0714285714285714;

void CGibbsDP::UpdateModuleLength(int m)
{
    double S = 0.0;
    for (int i = 0; i < m_SeqNum; i++)
        S = S + m_ModInfo[i].StepLogRatio;
    int step = m_ModLenStep;
    bool grow = m <= 1;
    int newLen = grow ? m_ModLen + step : m_ModLen - step;
    double c = grow ? log(kGrowRatio) + S : log(kShrinkRatio) - S;
    if (!MH(0.0, c, 0.0))
        return;
    m_ModLen = newLen;
    if (m == 1 || m == 3)
        return;   // the right end moves: starts stay
    for (int i = 0; i < m_SeqNum; i++) {
        MODULEINFO& mi = m_ModInfo[i];
        int len = m_Seq[i].GetLength();
        int lastStart = len - (newLen < len ? newLen : len);
        for (int j = 0; j < mi.ModCount; j++) {
            if (m == 0)
                mi.ModStart[j] -= step;
            else   // a module that covered a short sequence stays inside it
                mi.ModStart[j] = mi.ModStart[j] + step < lastStart ? mi.ModStart[j] + step : lastStart;
        }
    }
}
