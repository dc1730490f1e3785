// Reported sites: posterior mean width, threshold, strand choice, and the
// stochastic re-alignment (candidate windows, draw count, kept alignment).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ReportState.h"

static std::string Letters(int n, unsigned seed)
{
    std::string s;
    for (int i = 0; i < n; i++) {
        seed = seed * 1103515245u + 12345u;
        s += "ACGT"[(seed >> 16) & 3];
    }
    return s;
}

static int ListLength(SITEINFO* head)
{
    int n = 0;
    for (SITEINFO* s = head->Next; s; s = s->Next)
        n++;
    return n;
}

TEST(FindOptimum, MeanWidthThresholdAndForwardStrandFirst)
{
    CGibbsDP g;
    BuildState(g, {Letters(40, 1), Letters(40, 2)}, 1, 10);
    g.m_IterNum = 1100;
    g.m_BurnIn = 99;                        // R = 1001 ... n = R + 1
    g.m_MinWidth = 10;
    g.m_MaxWidth = 14;
    g.m_Threshold = 0.5;
    TALLIES t(g);
    t.Width[12] = 700;
    t.Width[13] = 300;                      // S = 12300, 12.288 -> 12
    t.Cell(0, 3, 0, 0) = 500;               // exactly the threshold: reported
    t.Cell(0, 5, 0, 0) = 499;
    t.Cell(0, 5, 0, 1) = 499;               // neither passes
    t.Cell(0, 9, 0, 0) = 600;
    t.Cell(0, 9, 0, 1) = 900;               // both pass: forward wins
    t.Cell(1, 7, 0, 1) = 700;               // reverse only
    t.Cell(1, 29, 0, 0) = 800;              // window would pass the end
    g.FindOptimum(t.Site, t.Width, 1001);
    ASSERT_EQ(12, g.m_Width[0]);
    for (int i = 0; i < 48; i++)            // reallocated for width 12
        g.m_CountMat[0][i] = i;

    SITEINFO* s = g.m_BestSites[0][0]->Next;
    ASSERT_EQ(2, ListLength(g.m_BestSites[0][0]));
    EXPECT_EQ(9, s->Pos);                   // newest first: decreasing
    EXPECT_TRUE(s->Strand);
    EXPECT_EQ(600, s->Count);
    EXPECT_STREQ(g.m_Seq[0].Mid(9, 12).m_Data, s->Word.m_Data);
    EXPECT_EQ(3, s->Next->Pos);
    EXPECT_EQ(500, s->Next->Count);
    s = g.m_BestSites[0][1]->Next;
    ASSERT_EQ(1, ListLength(g.m_BestSites[0][1]));
    EXPECT_EQ(7, s->Pos);
    EXPECT_FALSE(s->Strand);
    EXPECT_EQ(700, s->Count);
    EXPECT_STREQ(Reverse(g.m_Seq[1].Mid(7, 12)).m_Data, s->Word.m_Data);
}

TEST(FindOptimum, WidthUsesTheWholeRowAndThresholdZeroReportsEverything)
{
    CGibbsDP g;
    BuildState(g, {Letters(30, 3)}, 1, 8);
    g.m_IterNum = 10;
    g.m_BurnIn = 0;
    g.m_MinWidth = 5;
    g.m_MaxWidth = 6;                       // recorded width 8 lies outside
    g.m_Threshold = 0.0;
    TALLIES t(g);
    t.Width[8] = 10;
    g.FindOptimum(t.Site, t.Width, 11);     // 80 / 11 = 7.27 -> 7
    EXPECT_EQ(7, g.m_Width[0]);
    EXPECT_EQ(30 - 7 + 1, ListLength(g.m_BestSites[0][0]));
    for (SITEINFO* s = g.m_BestSites[0][0]->Next; s; s = s->Next)
        EXPECT_TRUE(s->Strand);
}

TEST(FindOptimum, NoRecordedSweepReportsNothingAndKeepsTheWidth)
{
    CGibbsDP g;
    BuildState(g, {Letters(30, 4)}, 2, 9);
    g.m_IterNum = 0;
    g.m_BurnIn = 0;
    g.m_Threshold = 0.5;
    TALLIES t(g);
    PutSite(g, g.m_BestSites, 1, 0, 4, true);
    g.FindOptimum(t.Site, t.Width, 1);
    for (int k = 0; k < 2; k++) {
        EXPECT_EQ(9, g.m_Width[k]);
        EXPECT_EQ(0, ListLength(g.m_BestSites[k][0]));
    }
}

TEST(AlignSites, CandidateWindowsNearBothEnds)
{
    CGibbsDP g;
    int lo, hi;
    g.AlignCandidates(2, 100, 10, &lo, &hi);
    EXPECT_EQ(0, lo);
    EXPECT_EQ(7, hi);
    g.AlignCandidates(87, 100, 10, &lo, &hi);   // window ends 3 before the end
    EXPECT_EQ(82, lo);
    EXPECT_EQ(90, hi);
    g.AlignCandidates(40, 100, 10, &lo, &hi);
    EXPECT_EQ(35, lo);
    EXPECT_EQ(45, hi);
    g.AlignCandidates(90, 100, 10, &lo, &hi);   // window touches the end
    EXPECT_EQ(85, lo);
    EXPECT_EQ(90, hi);
}

// A state of 4 sequences with reported sites of one motif of width 6,
// including one at position 2 and one ending 3 letters before the end.
static void AlignmentState(CGibbsDP& g, bool both)
{
    BuildState(g, {Letters(60, 11), Letters(60, 12), Letters(60, 13), Letters(60, 14)}, 2, 6);
    for (int i = 0; i < 4; i++)
        g.m_BgModel[i] = 0.25;
    for (int i = 4; i < 20; i++)
        g.m_BgModel[i] = 0.25;
    g.m_IterNum = 100;
    g.m_BurnIn = 0;
    g.m_BothStrand = both;
    PutSite(g, g.m_BestSites, 0, 0, 2, true, 80);
    PutSite(g, g.m_BestSites, 0, 0, 30, false, 40);
    PutSite(g, g.m_BestSites, 0, 1, 51, true, 60);   // ends 3 before the end
    PutSite(g, g.m_BestSites, 0, 2, 20, true, 70);
    PutSite(g, g.m_BestSites, 1, 3, 10, true, 90);   // 2 sites: untouched
    PutSite(g, g.m_BestSites, 1, 3, 40, true, 90);
}

// Needs CalWeightMat, CalLogMotifPr and CalLogBgPr.
TEST(AlignSites, SitesStayInTheirWindowsAndDrawOncePerSitePerPass)
{
    for (bool both : {true, false}) {
        CGibbsDP g;
        AlignmentState(g, both);
        int home[4] = {30, 2, 51, 20};   // visiting order: lists are newest first
        int seqOf[4] = {0, 0, 1, 2};
        g.m_Rng.seed(99);
        g.AlignSites(nullptr);
        int next = g.m_Rng.next();
        Rng replay(99);
        for (int i = 0; i < 20 * 4; i++)
            replay.next();
        EXPECT_EQ(replay.next(), next) << "one draw per site and pass";

        EXPECT_EQ(4, g.m_SiteNum[0]);
        EXPECT_EQ(2, g.m_SiteNum[1]);
        int i = 0;
        for (int j = 0; j < 4; j++) {
            for (SITEINFO* s = g.m_BestSites[0][j]->Next; s; s = s->Next, i++) {
                ASSERT_LT(i, 4);
                ASSERT_EQ(seqOf[i], j);
                int lo, hi;
                g.AlignCandidates(home[i], 60, 6, &lo, &hi);
                EXPECT_GE(s->Pos, lo);
                EXPECT_LE(s->Pos, hi);
                CString w = g.m_Seq[j].Mid(s->Pos, 6);
                EXPECT_STREQ((s->Strand ? w : Reverse(w)).m_Data, s->Word.m_Data);
                EXPECT_TRUE(both || s->Strand);
            }
        }
        EXPECT_EQ(4, i);
        EXPECT_EQ(40, g.m_BestSites[0][0]->Next->Count);   // counts travel along
        EXPECT_EQ(40, g.m_BestSites[1][3]->Next->Pos);
        EXPECT_EQ(10, g.m_BestSites[1][3]->Next->Next->Pos);
        for (int k = 0; k < 2; k++)                        // m_Sites holds a copy
            for (int j = 0; j < 4; j++)
                for (SITEINFO *a = g.m_Sites[k][j]->Next, *b = g.m_BestSites[k][j]->Next; a || b;
                     a = a->Next, b = b->Next) {
                    ASSERT_TRUE(a && b);
                    EXPECT_EQ(a->Pos, b->Pos);
                    EXPECT_EQ(a->Strand, b->Strand);
                }

        CGibbsDP again;                                    // same seed, same bits
        AlignmentState(again, both);
        again.m_Rng.seed(99);
        again.AlignSites(nullptr);
        for (int j = 0; j < 4; j++)
            for (SITEINFO *a = g.m_BestSites[0][j]->Next, *b = again.m_BestSites[0][j]->Next; a || b;
                 a = a->Next, b = b->Next) {
                ASSERT_TRUE(a && b);
                EXPECT_EQ(a->Pos, b->Pos);
                EXPECT_EQ(a->Strand, b->Strand);
            }
    }
}

// Needs CalWeightMat and CalLogBgPr.
TEST(AlignSites, WeakMotifIsMarkedAndDrawsNothing)
{
    CGibbsDP g;
    AlignmentState(g, true);
    g.m_IterNum = 200;                      // largest Count 80 < 100
    g.m_Rng.seed(5);
    g.AlignSites(nullptr);
    int next = g.m_Rng.next();
    EXPECT_EQ(Rng(5).next(), next);
    EXPECT_EQ(1, g.m_SiteNum[0]);
    EXPECT_EQ(2, g.m_SiteNum[1]);
    SITEINFO* s = g.m_BestSites[0][0]->Next;
    EXPECT_EQ(30, s->Pos);
    EXPECT_EQ(2, s->Next->Pos);
}
