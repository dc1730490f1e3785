// Log posterior model odds of the module model against a pure background
// model, by importance sampling.
//
// The proposal is built from the run's posterior counts, shrunk to about
// 0.3 of their size (ShrinkCount): a Beta for the module probability, a
// Dirichlet for the mixing proportions and one Dirichlet per motif column.
// For each of 100 proposals the log-likelihood of all sequences under the
// module chain is computed; the self-normalised estimate sum(P / q) /
// sum(1 / q) is compared with the background chain's log-likelihood, and
// ln 3 per motif is subtracted.
//
// Invariant: every proposal shape is at least 1 (shapes coming out at 0 or
// below are raised to 1). Random draws, per proposal: Beta(m_ModNum,
// m_TotalLen), then Dirichlet over the K + 1 proportions, then one
// Dirichlet per column, motifs in order and columns in order.
#include <cassert>
#include <cmath>

#include "base/Helpers.h"
#include "base/StochasticDistribution.h"
#include "model/GibbsDP.h"

const int kProposals = 100;
const double kShrink = 0.3;
// Keeps the logarithm of a drawn proportion finite.
const double kTinyShare = 1e-200;
// Importance weights this far below the largest are dropped.
const double kWeightCut = -300.0;

// A Beta or Dirichlet shape must be positive; a count that shrinks to 0 or
// below (more site letters than module letters) is given the least shape.
static int PositiveShape(int shape)
{
    return shape > 0 ? shape : 1;
}

void CGibbsDP::ShrinkCount(double f)
{
    int K = m_MotifNum;
    for (int k = 0; k < K; k++) {
        for (int c = 0; c < m_Width[k]; c++) {
            int* col = m_CountMat[k] + 4 * c;
            double t = (double)(col[0] + col[1] + col[2] + col[3]);
            for (int b = 0; b < 4; b++)
                col[b] = (int)(col[b] / (t + 0.001) * m_SiteNum[k] * f) + 1;
        }
    }
    // Letters of the modules not covered by sites, in double precision so
    // that no product can overflow.
    double spare = (double)m_ModLen * m_ModNum;
    for (int k = 0; k < K; k++)
        spare -= (double)m_Width[k] * m_SiteNum[k];
    m_SiteNum[K] = PositiveShape((int)(spare * f) + 1);
    for (int k = 0; k < K; k++)
        m_SiteNum[k] = (int)(m_SiteNum[k] * f) + 1;
    double outside = (double)m_TotalLen - (double)m_ModNum * m_ModLen;
    m_TotalLen = PositiveShape((int)(outside * f) + 1);
    m_ModNum = (int)(m_ModNum * f) + 1;
}

double CGibbsDP::ProposeParameter(double* rho, double* pi, double** pwm)
{
    CStochasticDistribution draw(m_Rng);
    int K = m_MotifNum;
    *rho = draw.Beta(m_ModNum, m_TotalLen);
    double lnq = m_ModNum * log(*rho + kTinyShare);
    lnq += m_TotalLen * log(1.0 - *rho + kTinyShare);
    draw.Dirichlet(m_SiteNum, K + 1, pi);
    for (int i = 0; i <= K; i++)
        lnq += m_SiteNum[i] * log(pi[i] + kTinyShare);
    for (int k = 0; k < K; k++) {
        for (int c = 0; c < m_Width[k]; c++) {
            int shape[4];
            for (int b = 0; b < 4; b++)
                shape[b] = m_CountMat[k][4 * c + b];
            double* row = pwm[k] + 4 * c;
            draw.Dirichlet(shape, 4, row);
            for (int b = 0; b < 4; b++)
                lnq += shape[b] * log(row[b] + kTinyShare);
        }
    }
    return lnq;
}

double CGibbsDP::ProbSeqGParam(int j, double rho, double* pi, double** pwm, double* table)
{
    (void)pwm;   // the matrices reach this step through the table
    int len = m_Seq[j].GetLength();
    int cols = 2 * m_MotifNum + 1;
    int bgCol = 2 * m_MotifNum;
    // Fewer than 2 letters: no module fits the chain, the background alone.
    if (len < 2) {
        double sum = 0.0;
        for (int t = 0; t < len; t++)
            sum += table[(long)t * cols + bgCol];
        return sum;
    }
    double* A = new double[len];
    double* C = new double[len];
    CalModuleLogPr(len - 1, len, table, pi, A);
    int Lm = m_ModLen < len ? m_ModLen : len;
    assert(Lm >= 2);
    for (int t = 0; t < Lm - 1; t++)
        C[t] = (t > 0 ? C[t - 1] : 0.0) + table[(long)t * cols + bgCol];
    double lnBg = log(1.0 - rho);
    double lnMod = log(rho);
    for (int t = Lm - 1; t < len; t++) {
        double B = t < Lm ? A[t] : A[t] - A[t - Lm];
        double x1 = lnBg + C[t - 1] + table[(long)t * cols + bgCol];
        double x2 = t == Lm - 1 ? lnMod + B : lnMod + C[t - Lm] + B;
        C[t] = LogSum(x1, x2);
    }
    double result = C[len - 1];
    delete[] A;
    delete[] C;
    return result;
}

double CGibbsDP::CalLogNullModel()
{
    double L0 = 0.0;
    for (int j = 0; j < m_SeqNum; j++)
        if (m_Seq[j].GetLength() > 0)   // an empty sequence has probability 1
            L0 += CalLogBgPr(m_Seq[j]);
    return L0;
}

// ln of the sum over s of exp(x[s]), dropping terms far below the largest.
static double LogSumAll(double* x, int n)
{
    double m = x[Maximum(x, n)];
    double T = 0.0;
    for (int s = 0; s < n; s++)
        if (x[s] - m >= kWeightCut)
            T += exp(x[s] - m);
    return log(T) + m;
}

double CGibbsDP::ISforBF(double* rho, double* pi, double** pwm, int* seqLen)
{
    int K = m_MotifNum;
    double L0 = CalLogNullModel();
    double** tables = new double*[m_SeqNum];
    for (int j = 0; j < m_SeqNum; j++)
        tables[j] = new double[(long)seqLen[j] * (2 * K + 1)];
    CalLogBgPrPos(tables, seqLen);
    ShrinkCount(kShrink);
    // The reported widths may differ from those the driver's matrices were
    // allocated for; the driver releases them with delete[] afterwards.
    ResizeMatrices(pwm);
    double a[kProposals];
    double b[kProposals];
    for (int s = 0; s < kProposals; s++) {
        double lnq = ProposeParameter(rho, pi, pwm);
        CalLogPrPos(tables, seqLen, pwm);
        double LL = 0.0;
        for (int j = 0; j < m_SeqNum; j++)
            LL += ProbSeqGParam(j, *rho, pi, pwm, tables[j]);
        a[s] = -lnq;
        b[s] = LL - lnq;
    }
    double La = LogSumAll(a, kProposals);
    double Lb = LogSumAll(b, kProposals);
    m_LogPMO = (Lb - La - L0) - K * log(3.0);
    for (int j = 0; j < m_SeqNum; j++)
        delete[] tables[j];
    delete[] tables;
    return m_LogPMO;
}
