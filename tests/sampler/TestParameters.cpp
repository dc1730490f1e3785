// Parameter updates (means, draws in their stated order, the floors that
// keep rho inside (0, 1)) and the module-length move.
#include <gtest/gtest.h>

#include <cmath>

#include "base/StochasticDistribution.h"
#include "sampler/SamplerFixture.h"

TEST(UpdateParameters, NoModulesNoSitesGivesFlatParameters)
{
    CGibbsDP g;
    MakeState(g, {std::string(40, 'A'), std::string(18, 'C')}, {5, 6}, 20, true);
    double rho, pi[3];
    double* pwm[2] = {new double[20], new double[24]};
    EXPECT_EQ(DrawsTaken(g.m_Rng, 1, [&] { g.UpdateParameters(&rho, pi, pwm); }), 0);
    EXPECT_EQ(rho, 1.0 / 60.0);
    for (double p : pi)
        EXPECT_EQ(p, 1.0 / 3.0);
    for (int k = 0; k < 2; k++)
        for (int c = 0; c < 4 * g.m_Width[k]; c++)
            EXPECT_EQ(pwm[k][c], 0.25);
    delete[] pwm[0];
    delete[] pwm[1];
}

TEST(UpdateParameters, CountsBelowOneAreTakenAsOne)
{
    CGibbsDP g;
    MakeState(g, {std::string(25, 'A'), std::string(15, 'C')}, {5}, 30, true);
    SetModules(g, 0, {0});
    SetModules(g, 1, {0});
    // a L = 60 > T = 40: units outside modules 40 - 60 + 1 < 1, taken as 1.
    // 13 sites of width 5 cover 65 > 60 letters: alpha[K] taken as 1.
    g.m_SiteNum[0] = 13;
    g.m_CountMat[0][0] = 13;
    double rho, pi[2];
    double* pwm[1] = {new double[20]};
    g.UpdateParameters(&rho, pi, pwm);
    EXPECT_EQ(rho, 3.0 / 4.0);
    EXPECT_EQ(pi[0], 14.0 / 15.0);
    EXPECT_EQ(pi[1], 1.0 / 15.0);
    EXPECT_EQ(pwm[0][0], 14.0 / 17.0);
    EXPECT_EQ(pwm[0][1], 1.0 / 17.0);
    delete[] pwm[0];
}

TEST(SampleParameters, DrawsBetaThenProportionsThenColumnsInOrder)
{
    for (bool independent : {false, true}) {
        CGibbsDP g;
        MakeState(g, {std::string(60, 'A'), std::string(30, 'C')}, {5, 6}, 20, true);
        g.m_Independent = independent;
        SetModules(g, 0, {0, 30});
        g.m_SiteNum[0] = 3;
        g.m_SiteNum[1] = 2;
        CTestRandom r(4);
        for (int k = 0; k < 2; k++)
            for (int c = 0; c < 4 * g.m_Width[k]; c++)
                g.m_CountMat[k][c] = r.Below(3);
        double rho, pi[3];
        double* pwm[2] = {new double[20], new double[24]};
        g.m_Rng.seed(99);
        g.SampleParameters(&rho, pi, pwm);
        int after = g.m_Rng.next();

        // The same draws made by hand from the same seed.
        Rng replay(99);
        CStochasticDistribution dist(replay);
        double rho2 = independent ? 0.9999999999 : dist.Beta(2 + 1, 90 - 2 * 20 + 1);
        int M = independent ? 90 : 40;
        int alpha[3] = {3 + 1, 2 + 1, M - (5 * 3 + 6 * 2) + 1};
        double pi2[3];
        dist.Dirichlet(alpha, 3, pi2);
        EXPECT_EQ(rho, rho2);
        for (int c = 0; c < 3; c++)
            EXPECT_EQ(pi[c], pi2[c]);
        for (int k = 0; k < 2; k++)
            for (int j = 0; j < g.m_Width[k]; j++) {
                int beta[4];
                double row[4];
                for (int b = 0; b < 4; b++)
                    beta[b] = 1 + g.m_CountMat[k][4 * j + b];
                dist.Dirichlet(beta, 4, row);
                for (int b = 0; b < 4; b++)
                    EXPECT_EQ(pwm[k][4 * j + b], row[b]);
            }
        EXPECT_EQ(replay.next(), after);
        delete[] pwm[0];
        delete[] pwm[1];
    }
}

// Two sequences with one module each and the given strip evidence.
static void MoveState(CGibbsDP& g, int modLen, double s0, double s1)
{
    MakeState(g, {std::string(200, 'A'), std::string(50, 'C')}, {5}, modLen, true);
    SetModules(g, 0, {25});
    SetModules(g, 1, {0});
    g.m_ModInfo[0].StepLogRatio = s0;
    g.m_ModInfo[1].StepLogRatio = s1;
}

TEST(UpdateModuleLength, GrowthCostsFourteenFifteenths)
{
    double edge = -log(14.0 / 15.0);
    // Evidence just above ln(15/14): accepted without a draw.
    CGibbsDP a;
    MoveState(a, 50, edge, 1e-9);
    EXPECT_EQ(DrawsTaken(a.m_Rng, 3, [&] { a.UpdateModuleLength(0); }), 0);
    EXPECT_EQ(a.m_ModLen, 60);
    EXPECT_EQ(a.m_ModInfo[0].ModStart[0], 15);
    // Just below: a draw decides.
    CGibbsDP b;
    MoveState(b, 50, edge, -1e-9);
    EXPECT_EQ(DrawsTaken(b.m_Rng, 3, [&] { b.UpdateModuleLength(1); }), 1);
    EXPECT_EQ(b.m_ModInfo[0].ModStart[0], 25);
    // No evidence: accepted with probability 14/15 by one draw.
    for (unsigned seed = 1; seed <= 30; seed++) {
        CGibbsDP c;
        MoveState(c, 50, 0.0, 0.0);
        c.m_Rng.seed(seed);
        c.UpdateModuleLength(1);
        bool accept = exp(log(0.9333333333333333)) > NthRand(seed, 0) / 2147483647.0;
        EXPECT_EQ(c.m_ModLen, accept ? 60 : 50);
        EXPECT_EQ(c.m_ModInfo[0].ModStart[0], 25);
    }
}

TEST(UpdateModuleLength, ShrinkGainsFifteenFourteenthsAndStaysInsideShortSequences)
{
    double edge = log(15.0 / 14.0);
    CGibbsDP a;
    MoveState(a, 90, edge, 1e-9);   // c just below 0: one draw
    EXPECT_EQ(DrawsTaken(a.m_Rng, 3, [&] { a.UpdateModuleLength(3); }), 1);
    CGibbsDP b;
    MoveState(b, 90, edge, -1e-9);  // c just above 0: accepted, no draw
    EXPECT_EQ(DrawsTaken(b.m_Rng, 3, [&] { b.UpdateModuleLength(2); }), 0);
    EXPECT_EQ(b.m_ModLen, 80);
    // Left end moves right by 10; the module of the 50-letter sequence
    // (which covered it whole) stays at 50 - min(80, 50) = 0.
    EXPECT_EQ(b.m_ModInfo[0].ModStart[0], 35);
    EXPECT_EQ(b.m_ModInfo[1].ModStart[0], 0);
}

TEST(UpdateModuleLength, HopelessMoveIsRejectedWithoutADraw)
{
    CGibbsDP g;
    MoveState(g, 50, -150.0, -60.0);
    EXPECT_EQ(DrawsTaken(g.m_Rng, 3, [&] { g.UpdateModuleLength(0); }), 0);
    EXPECT_EQ(g.m_ModLen, 50);
    EXPECT_EQ(g.m_ModInfo[0].ModStart[0], 25);
}
