// Posterior tallies: recording, the neighbour merge, the site-count peak
// rules with the final shrink, and the module count.
#include <gtest/gtest.h>

#include <string>

#include "ReportState.h"

static std::string Letters(int n)
{
    std::string s;
    for (int i = 0; i < n; i++)
        s += "ACGT"[(i * 7 + i / 3) % 4];
    return s;
}

// A state of one sequence of len letters with R recorded sweeps.
static void OneSequence(CGibbsDP& g, int len, int R, bool both, int K = 1)
{
    BuildState(g, {Letters(len)}, K, 10);
    g.m_IterNum = R;
    g.m_BurnIn = 0;
    g.m_BothStrand = both;
}

TEST(RecordMD, AddsSitesWidthsCountsAndModuleWindows)
{
    CGibbsDP g;
    BuildState(g, {Letters(30), Letters(12)}, 2, 6);
    g.m_ModLen = 8;
    TALLIES t(g);
    PutSite(g, g.m_Sites, 0, 0, 3, true);
    PutSite(g, g.m_Sites, 0, 0, 20, false);
    PutSite(g, g.m_Sites, 1, 1, 3, false);
    g.m_SiteNum[0] = 2;
    g.m_SiteNum[1] = 12000;   // tallied at 9999
    g.m_Width[1] = 60;        // only a matrix file can do this: last cell
    g.m_ModInfo[0].ModCount = 2;
    g.m_ModInfo[0].ModStart = new int[2]{20, 2};
    g.m_ModInfo[1].ModCount = 1;
    g.m_ModInfo[1].ModStart = new int[1]{7};   // window 7..14 cut at 11
    g.RecordMD(t.Site, t.Width, t.SiteNum, t.Mod);
    g.RecordMD(t.Site, t.Width, t.SiteNum, t.Mod);

    EXPECT_EQ(2, t.Cell(0, 3, 0, 0));
    EXPECT_EQ(2, t.Cell(0, 20, 0, 1));
    EXPECT_EQ(0, t.Cell(0, 20, 0, 0));
    EXPECT_EQ(2, t.Cell(1, 3, 1, 1));
    EXPECT_EQ(2, t.Width[0 * kWidthHistSize + 6]);
    EXPECT_EQ(2, t.Width[1 * kWidthHistSize + kWidthHistSize - 1]);
    EXPECT_EQ(2, t.SiteNum[0 * kSiteNumHistSize + 2]);
    EXPECT_EQ(2, t.SiteNum[1 * kSiteNumHistSize + 9999]);
    int covered0 = 0, covered1 = 0;
    for (int p = 0; p < 30; p++) {
        bool in = (p >= 2 && p < 10) || (p >= 20 && p < 28);
        EXPECT_EQ(in ? 2 : 0, t.Mod[0][p]) << p;
        covered0 += t.Mod[0][p] > 0;
    }
    for (int p = 0; p < 12; p++)
        covered1 += t.Mod[1][p] == 2;
    EXPECT_EQ(16, covered0);
    EXPECT_EQ(5, covered1);   // positions 7..11

    g.m_Independent = true;   // no module tally at all
    g.RecordMD(t.Site, t.Width, t.SiteNum, t.Mod);
    EXPECT_EQ(2, t.Mod[0][2]);
    EXPECT_EQ(3, t.Cell(0, 3, 0, 0));
}

TEST(SumNeighborMD, WorkedMergeGathersThreeTalliesAtTheLargest)
{
    for (bool both : {false, true}) {
        CGibbsDP g;
        OneSequence(g, 30, 1000, both);
        TALLIES t(g);
        t.Cell(0, 10, 0, 0) = 60;
        t.Cell(0, 12, 0, 0) = 300;
        t.Cell(0, 15, 0, 0) = 120;
        g.SumNeighborMD(t.Site);
        for (int p = 0; p < 30; p++) {
            EXPECT_EQ(p == 12 ? 480 : 0, t.Cell(0, p, 0, 0)) << p;
            EXPECT_EQ(0, t.Cell(0, p, 0, 1)) << p;
        }
    }
}

TEST(SumNeighborMD, TriggerIsStrictlyAboveFivePercent)
{
    for (int v : {50, 51}) {
        CGibbsDP g;
        OneSequence(g, 30, 1000, true);
        TALLIES t(g);
        t.Cell(0, 10, 0, 0) = v;
        t.Cell(0, 12, 0, 0) = 40;
        g.SumNeighborMD(t.Site);
        if (v == 50) {
            EXPECT_EQ(50, t.Cell(0, 10, 0, 0));
            EXPECT_EQ(40, t.Cell(0, 12, 0, 0));
        } else {
            EXPECT_EQ(91, t.Cell(0, 10, 0, 0));
            EXPECT_EQ(0, t.Cell(0, 12, 0, 0));
        }
    }
}

TEST(SumNeighborMD, StrandsMergeOnlyWhenBothAreSearched)
{
    CGibbsDP both;
    OneSequence(both, 30, 1000, true, 2);
    TALLIES tb(both);
    tb.Cell(0, 10, 1, 0) = 60;
    tb.Cell(0, 12, 1, 1) = 100;
    tb.Cell(0, 11, 0, 0) = 30;   // another motif: untouched
    both.SumNeighborMD(tb.Site);
    EXPECT_EQ(160, tb.Cell(0, 12, 1, 1));
    EXPECT_EQ(0, tb.Cell(0, 10, 1, 0));
    EXPECT_EQ(30, tb.Cell(0, 11, 0, 0));

    CGibbsDP one;
    OneSequence(one, 30, 1000, false, 2);
    TALLIES to(one);
    to.Cell(0, 10, 1, 0) = 60;
    to.Cell(0, 12, 1, 1) = 100;   // odd column: neither trigger nor merged
    to.Cell(0, 13, 1, 1) = 70;
    one.SumNeighborMD(to.Site);
    EXPECT_EQ(60, to.Cell(0, 10, 1, 0));
    EXPECT_EQ(100, to.Cell(0, 12, 1, 1));
    EXPECT_EQ(70, to.Cell(0, 13, 1, 1));
}

TEST(SumNeighborMD, WindowStaysOffTheLastLetterAndShortSequencesAreSkipped)
{
    CGibbsDP g;
    BuildState(g, {"ACG", "AC", Letters(20)}, 1, 5);
    g.m_IterNum = 100;
    g.m_BurnIn = 0;
    TALLIES t(g);
    t.Cell(0, 0, 0, 0) = 10;
    t.Cell(0, 1, 0, 0) = 20;
    t.Cell(0, 2, 0, 0) = 30;   // the last letter is never in a window
    t.Cell(1, 0, 0, 0) = 90;   // 2 letters: never scanned
    t.Cell(1, 1, 0, 1) = 95;
    t.Cell(2, 17, 0, 0) = 10;
    t.Cell(2, 18, 0, 0) = 10;  // p = 18 is past the scan (len - 3 = 17)
    t.Cell(2, 19, 0, 0) = 50;
    g.SumNeighborMD(t.Site);
    EXPECT_EQ(0, t.Cell(0, 0, 0, 0));
    EXPECT_EQ(30, t.Cell(0, 1, 0, 0));
    EXPECT_EQ(30, t.Cell(0, 2, 0, 0));
    EXPECT_EQ(90, t.Cell(1, 0, 0, 0));
    EXPECT_EQ(95, t.Cell(1, 1, 0, 1));
    EXPECT_EQ(20, t.Cell(2, 17, 0, 0));
    EXPECT_EQ(0, t.Cell(2, 18, 0, 0));
    EXPECT_EQ(50, t.Cell(2, 19, 0, 0));
}

// Histogram rows whose smoothed heights are known: a block of c at 4 and 5
// makes a strict peak of height c / 3 at 2; Tent(n, 32) makes a strict
// peak of height 20 at n; a lone c at 4 makes one of height c / 5 at 1.
static void Block(int* h, int c)
{
    h[4] += c;
    h[5] += c;
}
static void Tent(int* h, int n)
{
    for (int m = n - 4; m <= n + 4; m++)
        if (m >= 0)
            h[m] += 32 - 7 * (m > n ? m - n : n - m);
}

TEST(InferSiteCount, PeakRulesPreferAClearlyDominantSmallCount)
{
    CGibbsDP g;
    BuildState(g, {Letters(40)}, 1, 10);
    int* h = new int[kSiteNumHistSize]();
    double* s = new double[kSiteNumHistSize];
    Block(h, 150);
    Tent(h, 30);
    EXPECT_EQ(30, g.PeakSiteCount(h, s));   // 50 is not above 4 x 20
    EXPECT_DOUBLE_EQ(50.0, s[2]);
    EXPECT_DOUBLE_EQ(20.0, s[30]);
    for (int i = 0; i < kSiteNumHistSize; i++)
        h[i] = 0;
    Block(h, 270);
    Tent(h, 30);
    EXPECT_EQ(2, g.PeakSiteCount(h, s));    // 90 is above 80
    for (int i = 0; i < kSiteNumHistSize; i++)
        h[i] = i == 7 ? 7 : 0;              // smoothed 1.0 nowhere above it
    EXPECT_EQ(-1, g.PeakSiteCount(h, s));
    delete[] h;
    delete[] s;
}

TEST(InferSiteCount, NoPeakGivesZeroAndLargeCountsAreShrunk)
{
    CGibbsDP g;
    BuildState(g, {Letters(40)}, 3, 10);
    int* h = new int[3 * kSiteNumHistSize]();
    Block(h, 150);
    Tent(h, 30);                            // choice 30 -> 27
    Tent(h + kSiteNumHistSize, 15);         // 15 -> 14
    h[2 * kSiteNumHistSize + 50] = 7;       // no peak -> 0
    g.InferSiteCount(h);
    EXPECT_EQ(27, g.m_SiteNum[0]);
    EXPECT_EQ(14, g.m_SiteNum[1]);
    EXPECT_EQ(0, g.m_SiteNum[2]);
    delete[] h;
}

// Needs CalWeightMat: a small choice is checked against the best sample.
TEST(InferSiteCount, SmallChoiceFallsBackToThePlausibleBestSample)
{
    CGibbsDP g;
    BuildState(g, {Letters(40), Letters(40)}, 2, 5);   // 2N = 4
    int* h = new int[2 * kSiteNumHistSize]();
    Block(h, 270);
    Tent(h, 30);                            // choice 2, best sample has 3
    Block(h + kSiteNumHistSize, 270);
    Tent(h + kSiteNumHistSize, 30);         // choice 2, best sample has 5
    for (int p : {0, 10, 20})
        PutSite(g, g.m_BestSites, 0, 0, p, true);
    for (int p : {0, 10, 20, 30})
        PutSite(g, g.m_BestSites, 1, 1, p, true);
    PutSite(g, g.m_BestSites, 1, 0, 5, false);
    g.InferSiteCount(h);
    EXPECT_EQ(3, g.m_SiteNum[0]);           // floor(3 x 0.9 + 0.5)
    EXPECT_EQ(2, g.m_SiteNum[1]);           // 5 >= 2N keeps 2
    EXPECT_EQ(1, g.m_CountMat[0][0]);       // rebuilt from the best sample
    delete[] h;
}

// Needs CalWeightMat for the two counts of 4 or less.
TEST(InferSiteCount, FinalScalingOfOneToThirty)
{
    CGibbsDP g;
    BuildState(g, {Letters(40)}, 6, 5);     // N = 1: 2 best sites are kept
    int* h = new int[6 * kSiteNumHistSize]();
    h[4] = 50;                              // peak 1 (height 10)
    Tent(h + 1 * kSiteNumHistSize, 4);
    Tent(h + 2 * kSiteNumHistSize, 5);
    Tent(h + 3 * kSiteNumHistSize, 10);
    Tent(h + 4 * kSiteNumHistSize, 15);
    Tent(h + 5 * kSiteNumHistSize, 30);
    for (int k = 0; k < 2; k++) {
        PutSite(g, g.m_BestSites, k, 0, 0, true);
        PutSite(g, g.m_BestSites, k, 0, 20, true);
    }
    g.InferSiteCount(h);
    int expected[6] = {1, 4, 5, 9, 14, 27};
    for (int k = 0; k < 6; k++)
        EXPECT_EQ(expected[k], g.m_SiteNum[k]) << k;
    delete[] h;
}

TEST(InferModule, CountsPositionsAboveHalfTheRecordedSweeps)
{
    for (int qualifying : {200, 399, 400}) {
        CGibbsDP g;
        BuildState(g, {Letters(300), Letters(300)}, 1, 10);
        g.m_IterNum = 1101;
        g.m_BurnIn = 100;                   // R = 1001: 501 or more counts
        g.m_ModLen = 200;
        TALLIES t(g);
        int len[2] = {300, 300};
        for (int i = 0; i < 600; i++)
            t.Mod[i / 300][i % 300] = i < qualifying ? 501 : 500;
        g.InferModule(t.Mod, len);
        EXPECT_EQ(qualifying, g.m_ModPosNum);
        EXPECT_EQ(qualifying / 200, g.m_ModNum);
    }
}
