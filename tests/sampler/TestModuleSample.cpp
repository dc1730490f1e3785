// Module sampling on the reference path (CalModuleLogPr, ApproxSampleCurSeq):
// the module-model forward pass against brute force, the backward draw
// (order of starts, draws taken, move cancellation), and sequences too short
// for a module. TestSweepPasses holds the sweep's fast passes to these.
#include <gtest/gtest.h>

#include <cmath>

#include "sampler/SamplerFixture.h"
#include "sampler/Tilings.h"

TEST(CalModuleLogPr, WindowShorterThanEveryWidthIsBackgroundOnly)
{
    CGibbsDP g;
    MakeState(g, {std::string(12, 'A')}, {6, 7}, 20, true);
    std::vector<double> table = MakeTable(g, 12, 3);
    double pi[3] = {0.2, 0.3, 0.5};
    double out[5];
    double total = g.CalModuleLogPr(9, 5, table.data(), pi, out);
    double bg = 0.0;
    for (int p = 5; p <= 9; p++) {
        bg += table[p * 5 + 4];
        EXPECT_NEAR(out[p - 5], bg + (p - 4) * log(0.5), 1e-12);
    }
    EXPECT_EQ(total, out[4]);
}

TEST(CalModuleLogPr, EqualsTheSumOverEverySegmentation)
{
    for (bool both : {false, true})
        for (unsigned seed = 1; seed <= 4; seed++) {
            CGibbsDP g;
            MakeState(g, {std::string(15, 'A')}, {3, 4}, 20, both);
            std::vector<double> table = MakeTable(g, 15, seed);
            double pi[3] = {0.15, 0.25, 0.6};
            // A window in the middle (rows 4 .. 14) and the whole table.
            for (int s0 : {0, 4}) {
                int n = 15 - s0;
                std::vector<double> out(n);
                double got = g.CalModuleLogPr(14, n, table.data(), pi, out.data());
                double brute = TotalOf(EnumerateTilings(g, table.data(), pi, 14, n, false));
                EXPECT_NEAR(got, log(brute), 1e-10) << "both " << both << " seed " << seed;
                // Prefixes are windows of their own.
                double prefix = TotalOf(EnumerateTilings(g, table.data(), pi, s0 + 6, 7, false));
                EXPECT_NEAR(out[6], log(prefix), 1e-10);
            }
        }
}

// Sequence of len letters, one motif of width 5, L = modLen.
static void OneMotifState(CGibbsDP& g, int len, int modLen)
{
    std::string seq;
    const char* letters = "ACGT";
    for (int p = 0; p < len; p++)
        seq += letters[(p * 7 + p / 3) % 4];
    MakeState(g, {seq}, {5}, modLen, true);
}

TEST(SampleModule, StoresStartsInDescendingOrderAndDrawsOnlyForLiveCandidates)
{
    CGibbsDP g;
    OneMotifState(g, 500, 10);
    std::vector<double> B(500, -1000.0), C(500, 0.0), A(500, 0.0);
    B[409] = 50.0;   // module 400 .. 409
    B[49] = 50.0;    // module 40 .. 49
    int move = -1;
    // Every other candidate has a log acceptance below -200: no draw.
    EXPECT_EQ(DrawsTaken(g.m_Rng, 4, [&] { g.SampleModule(B.data(), C.data(), 0.5, 500, 0, &move, A.data()); }), 2);
    MODULEINFO& mi = g.m_ModInfo[0];
    ASSERT_EQ(mi.ModCount, 2);
    EXPECT_EQ(mi.ModStart[0], 400);
    EXPECT_EQ(mi.ModStart[1], 40);
    double expect = 0.0 + 50.0 - g.CalLogBgPr(g.m_Seq[0].Mid(400, 10));
    expect = expect + 50.0 - g.CalLogBgPr(g.m_Seq[0].Mid(40, 10));
    EXPECT_EQ(mi.LogRatio, expect);
    EXPECT_EQ(move, -1);
}

TEST(SampleModule, GathersStripEvidenceAndCancelsMovesThatLeaveTheSequence)
{
    CGibbsDP g;
    OneMotifState(g, 500, 10);
    std::vector<double> B(500, -1000.0), C(500, 0.0), A(500);
    for (int p = 0; p < 500; p++)
        A[p] = -1.3 * p;
    B[409] = 50.0;
    B[49] = 50.0;
    int move = 1;   // grow at the right end: strips 410 .. 419 and 50 .. 59
    g.m_Rng.seed(8);
    g.SampleModule(B.data(), C.data(), 0.5, 500, 0, &move, A.data());
    EXPECT_EQ(move, 1);
    double expect = 0.0 + (A[419] - A[409]) - g.CalLogBgPr(g.m_Seq[0].Mid(410, 10));
    expect = expect + (A[59] - A[49]) - g.CalLogBgPr(g.m_Seq[0].Mid(50, 10));
    EXPECT_EQ(g.m_ModInfo[0].StepLogRatio, expect);

    // Growing at the left end of a module that starts at 5 leaves the sequence.
    B.assign(500, -1000.0);
    B[14] = 50.0;
    move = 0;
    g.ExcludeCurSeq(0);
    g.SampleModule(B.data(), C.data(), 0.5, 500, 0, &move, A.data());
    EXPECT_EQ(move, -1);
    // Growing at the right end of a module that ends within 10 of the end.
    B.assign(500, -1000.0);
    B[495] = 50.0;
    move = 1;
    g.ExcludeCurSeq(0);
    g.SampleModule(B.data(), C.data(), 0.5, 500, 0, &move, A.data());
    EXPECT_EQ(move, -1);
    EXPECT_EQ(g.m_ModInfo[0].ModStart[0], 486);
}

TEST(ApproxSampleCurSeq, SequenceNotLongerThanModuleHoldsOneModuleWithItsExactProbability)
{
    CGibbsDP g;
    OneMotifState(g, 12, 20);
    std::vector<double> table = MakeTable(g, 12, 21);
    double pi[2] = {0.2, 0.8};
    double rho = 0.3;
    std::vector<double> A(12);
    g.CalModuleLogPr(11, 12, table.data(), pi, A.data());
    double bg = 0.0;
    for (int p = 0; p < 12; p++)
        bg += table[p * 3 + 2];
    double pModule = rho * exp(A[11]) / (rho * exp(A[11]) + (1 - rho) * exp(bg));
    const int draws = 20000;
    int hits = 0;
    g.m_Rng.seed(77);
    for (int d = 0; d < draws; d++) {
        int move = -1;
        g.ApproxSampleCurSeq(0, rho, pi, nullptr, table.data(), &move);
        ASSERT_LE(g.m_ModInfo[0].ModCount, 1);
        if (g.m_ModInfo[0].ModCount == 1) {
            EXPECT_EQ(g.m_ModInfo[0].ModStart[0], 0);
            hits++;
        }
    }
    // One draw per call: the stream has moved exactly draws values on.
    int next = g.m_Rng.next();
    EXPECT_EQ(next, NthRand(77, draws));
    double se = sqrt(pModule * (1 - pModule) / draws);
    EXPECT_NEAR((double)hits / draws, pModule, 6 * se);
}

TEST(ApproxSampleCurSeq, SequenceOfFewerThanTwoLettersLosesEverythingAndDrawsNothing)
{
    for (const char* seq : {"", "A"}) {
        CGibbsDP g;
        MakeState(g, {seq}, {5}, 10, true);
        SetModules(g, 0, {0});
        SITEINFO* s = new SITEINFO;
        s->Word = "A";   // a word shorter than the width: only its letter is uncounted
        g.AddSite(g.m_Sites[0][0], s);
        g.m_SiteNum[0] = 1;
        g.m_CountMat[0][0] = 1;
        g.m_ModInfo[0].LogRatio = 3.0;
        g.m_ModInfo[0].StepLogRatio = 4.0;
        int move = 2;
        double pi[2] = {0.5, 0.5}, dummy[3] = {0, 0, 0};
        EXPECT_EQ(DrawsTaken(g.m_Rng, 1, [&] { g.ApproxSampleCurSeq(0, 0.5, pi, nullptr, dummy, &move); }), 0);
        EXPECT_EQ(g.m_ModInfo[0].ModCount, 0);
        EXPECT_EQ(g.m_ModInfo[0].ModStart, nullptr);
        EXPECT_EQ(g.m_Sites[0][0]->Next, nullptr);
        EXPECT_EQ(g.m_ModInfo[0].LogRatio, 0.0);
        EXPECT_EQ(g.m_ModInfo[0].StepLogRatio, 0.0);
        EXPECT_EQ(move, 2);
        EXPECT_EQ(g.m_SiteNum[0], 0);
        EXPECT_EQ(g.m_CountMat[0][0], 0);
    }
}
