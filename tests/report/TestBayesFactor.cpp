// Model odds: the shrunk proposal shapes, the order of the proposal's
// random draws and its weight, the forward pass against a brute-force sum
// over all module placements, and the ln 3 penalty per motif.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "ReportState.h"
#include "base/StochasticDistribution.h"

TEST(ShrinkCount, CountsShrinkToAThirdPlusOne)
{
    const int in[5] = {0, 3, 7, 25, 101};
    const int out[5] = {1, 1, 3, 8, 31};
    CGibbsDP g;
    BuildState(g, {"ACGT"}, 5, 1);
    for (int k = 0; k < 5; k++) {
        g.m_SiteNum[k] = in[k];
        g.m_CountMat[k][0] = in[k];         // a column of in[k] A's
    }
    g.m_ModNum = 101;
    g.m_ModLen = 2;                         // 202 module letters, 136 in sites
    g.m_TotalLen = 1000;
    g.ShrinkCount(0.3);
    for (int k = 0; k < 5; k++) {
        EXPECT_EQ(out[k], g.m_SiteNum[k]) << k;
        EXPECT_EQ(out[k], g.m_CountMat[k][0]) << k;
        for (int b = 1; b < 4; b++)
            EXPECT_EQ(1, g.m_CountMat[k][b]);   // an empty letter gets 1
    }
    EXPECT_EQ(20, g.m_SiteNum[5]);          // trunc(66 x 0.3) + 1
    EXPECT_EQ(240, g.m_TotalLen);           // trunc(798 x 0.3) + 1
    EXPECT_EQ(31, g.m_ModNum);
}

TEST(ShrinkCount, ShapesThatComeOutAtZeroOrBelowBecomeOne)
{
    CGibbsDP g;
    BuildState(g, {"ACGT"}, 2, 10);
    g.m_SiteNum[0] = 30;
    g.m_SiteNum[1] = 20;                    // 500 site letters
    g.m_ModNum = 1;
    g.m_ModLen = 200;                       // 200 module letters
    g.m_TotalLen = 10;                      // fewer letters than modules
    g.ShrinkCount(0.3);
    EXPECT_EQ(1, g.m_SiteNum[2]);
    EXPECT_EQ(1, g.m_TotalLen);
    EXPECT_EQ(1, g.m_ModNum);
    EXPECT_EQ(10, g.m_SiteNum[0]);
    EXPECT_EQ(7, g.m_SiteNum[1]);
}

TEST(ProposeParameter, DrawsInOrderAndWeighsByTheShapes)
{
    CGibbsDP g;
    BuildState(g, {"ACGT"}, 2, 3);
    g.m_Width[1] = 2;
    const int shapes[3] = {4, 2, 7};
    for (int k = 0; k <= 2; k++)
        g.m_SiteNum[k] = shapes[k];
    for (int k = 0; k < 2; k++)
        for (int i = 0; i < 4 * g.m_Width[k]; i++)
            g.m_CountMat[k][i] = 1 + (i * 5 + k) % 4;
    g.m_ModNum = 3;
    g.m_TotalLen = 9;
    double* pwm[2] = {new double[12], new double[8]};
    double rho, pi[3];
    g.m_Rng.seed(321);
    double lnq = g.ProposeParameter(&rho, pi, pwm);
    int next = g.m_Rng.next();

    Rng replay(321);
    CStochasticDistribution d(replay);
    double eRho = d.Beta(3, 9);
    double ePi[3];
    d.Dirichlet(g.m_SiteNum, 3, ePi);
    double eLnq = 3 * log(eRho + 1e-200);
    eLnq += 9 * log(1.0 - eRho + 1e-200);
    for (int i = 0; i < 3; i++)
        eLnq += shapes[i] * log(ePi[i] + 1e-200);
    for (int k = 0; k < 2; k++) {
        for (int c = 0; c < g.m_Width[k]; c++) {
            double row[4];
            d.Dirichlet(g.m_CountMat[k] + 4 * c, 4, row);
            for (int b = 0; b < 4; b++) {
                EXPECT_EQ(row[b], pwm[k][4 * c + b]);
                eLnq += g.m_CountMat[k][4 * c + b] * log(row[b] + 1e-200);
            }
        }
    }
    EXPECT_EQ(next, replay.next());
    EXPECT_EQ(eRho, rho);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(ePi[i], pi[i]);
    EXPECT_EQ(eLnq, lnq);
    delete[] pwm[0];
    delete[] pwm[1];
}

// Needs CalModuleLogPr. The forward pass must equal the sum over every
// placement of non-overlapping modules: a module ending at t weighs
// rho exp(B(t)); a letter outside modules weighs exp(bg) and, from
// position Lm - 1 on, 1 - rho.
TEST(ProbSeqGParam, ForwardPassEqualsTheSumOverAllPlacements)
{
    const int len = 9, Lm = 3;
    CGibbsDP g;
    BuildState(g, {"ACGTTGCAA", "G", ""}, 1, 2);
    g.m_ModLen = Lm;
    double table[len * 3];
    for (int p = 0; p < len; p++) {
        table[3 * p + 2] = -1.0 - 0.1 * p;
        table[3 * p] = p >= 1 ? -0.5 - 0.2 * (p % 3) : NoSiteLogPr;
        table[3 * p + 1] = p >= 1 ? -0.9 + 0.05 * p : NoSiteLogPr;
    }
    double pi[2] = {0.3, 0.7};
    double A[len];
    g.CalModuleLogPr(len - 1, len, table, pi, A);
    for (double rho : {0.01, 0.3, 0.9}) {
        double total = 0.0;
        for (int mask = 0; mask < (1 << len); mask++) {   // bit t: a module ends at t
            bool ok = true;
            double w = 1.0;
            int coveredFrom = len;                        // no module covers yet
            for (int t = len - 1; t >= 0 && ok; t--) {
                if (mask & (1 << t)) {
                    ok = t >= Lm - 1 && t < coveredFrom;
                    if (!ok)
                        break;
                    double B = t == Lm - 1 ? A[t] : A[t] - A[t - Lm];
                    w *= rho * exp(B);
                    coveredFrom = t - Lm + 1;
                } else if (t < coveredFrom) {
                    w *= exp(table[3 * t + 2]) * (t >= Lm - 1 ? 1.0 - rho : 1.0);
                }
            }
            if (ok)
                total += w;
        }
        EXPECT_NEAR(log(total), g.ProbSeqGParam(0, rho, pi, nullptr, table), 1e-12) << rho;
    }
    double one[3] = {NoSiteLogPr, NoSiteLogPr, -1.25};   // one letter: its background
    EXPECT_EQ(-1.25, g.ProbSeqGParam(1, 0.5, pi, nullptr, one));
    EXPECT_EQ(0.0, g.ProbSeqGParam(2, 0.5, pi, nullptr, nullptr));
}

// Needs CalLogBgPr, CalLogBgPrPos and CalLogPrPos. With sequences of one
// letter every proposal has the same likelihood LL (the background column),
// so the estimate is LL - L0 - K ln 3 whatever the proposal weights.
TEST(ISforBF, EqualLikelihoodsLeaveOnlyThePenalty)
{
    CGibbsDP g;
    BuildState(g, {"A", "N", "C"}, 3, 6);
    g.m_BgModel[0] = 0.4;
    g.m_BgModel[1] = 0.1;
    g.m_BgModel[2] = 0.2;
    g.m_BgModel[3] = 0.3;
    for (int i = 4; i < 20; i++)
        g.m_BgModel[i] = 0.25;
    g.m_ModLen = 50;
    g.m_ModNum = 2;
    for (int k = 0; k < 3; k++)
        g.m_SiteNum[k] = 5 + k;
    g.m_Width[1] = 8;                       // wider than the driver's matrix
    delete[] g.m_CountMat[1];
    g.m_CountMat[1] = new int[32]();
    double rho, pi[4];
    double* pwm[3] = {new double[24], new double[24], new double[24]};
    int seqLen[3] = {1, 1, 1};
    g.m_Rng.seed(17);
    double odds = g.ISforBF(&rho, pi, pwm, seqLen);
    double LL = log(0.4) + (-1.386) + log(0.1);
    double L0 = log(0.4) + log(0.4) + log(0.1);   // N scores as A
    EXPECT_NEAR((LL - L0) - 3 * log(3.0), odds, 1e-9);
    EXPECT_EQ(odds, g.m_LogPMO);
    for (int c = 0; c < 8; c++)             // reallocated for width 8
        EXPECT_NEAR(1.0, pwm[1][4 * c] + pwm[1][4 * c + 1] + pwm[1][4 * c + 2] + pwm[1][4 * c + 3], 1e-12);
    for (int k = 0; k < 3; k++)
        delete[] pwm[k];
}

// Needs the background, motif scoring and CalModuleLogPr.
TEST(ISforBF, SameSeedSameOddsAndFinite)
{
    double first = 0.0;
    for (int run = 0; run < 2; run++) {
        CGibbsDP g;
        BuildState(g, {"ACGTTGCAACGTAGGCTAGCTTAGCAGT", "TTGACAGCTAGGATCCAGTA"}, 1, 5);
        for (int i = 0; i < 4; i++)
            g.m_BgModel[i] = 0.25;
        for (int i = 4; i < 20; i++)
            g.m_BgModel[i] = 0.25;
        g.m_ModLen = 12;
        g.m_ModNum = 2;
        g.m_SiteNum[0] = 2;
        g.m_CountMat[0][0] = 2;
        double rho, pi[2];
        double* pwm[1] = {new double[20]};
        int seqLen[2] = {28, 20};
        g.m_Rng.seed(4);
        double odds = g.ISforBF(&rho, pi, pwm, seqLen);
        EXPECT_TRUE(std::isfinite(odds));
        if (run == 0)
            first = odds;
        else
            EXPECT_EQ(first, odds);
        delete[] pwm[0];
    }
}
