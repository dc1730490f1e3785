// Width and phase moves: the MH boundary cases, the motif score, blocked
// ends, the rebuilt words of a proposal, and the drift of a motif without
// sites, replayed draw by draw.
#include <gtest/gtest.h>

#include <cmath>

#include "sampler/SamplerFixture.h"

TEST(MH, BoundaryCasesDrawExactlyAsStated)
{
    CGibbsDP g;
    bool accept = true;
    // Exactly -200: not below the cut, so a number is drawn.
    EXPECT_EQ(DrawsTaken(g.m_Rng, 1, [&] { accept = g.MH(0.0, -200.0, 0.0); }), 1);
    EXPECT_EQ(accept, exp(-200.0) > NthRand(1, 0) / 2147483647.0);
    // Below -200: rejected without a draw.
    EXPECT_EQ(DrawsTaken(g.m_Rng, 1, [&] { accept = g.MH(0.0, -200.000001, 0.0); }), 0);
    EXPECT_FALSE(accept);
    // Exactly 0: one draw, accepted unless it maps to 1.0.
    for (unsigned seed = 1; seed <= 20; seed++) {
        EXPECT_EQ(DrawsTaken(g.m_Rng, seed, [&] { accept = g.MH(5.0, 5.0, 0.0); }), 1);
        EXPECT_EQ(accept, 1.0 > NthRand(seed, 0) / 2147483647.0);
    }
    // Above 0, correction included: accepted without a draw.
    EXPECT_EQ(DrawsTaken(g.m_Rng, 1, [&] { accept = g.MH(0.0, -1.0, 1.0 + 1e-12); }), 0);
    EXPECT_TRUE(accept);
}

TEST(CalLogPCondPW, IsTheMotifTermWithTheFirstColumnTotal)
{
    CGibbsDP g;
    MakeState(g, {"ACGT"}, {7}, 10, true);
    int C[28] = {0};
    double r = g.CalLogPCondPW(5, 9, 7, C, -3.0);
    double expect = log(24.0) - log(40320.0) - 7 * log(6.0) - (-3.0) + 7 * log(15.0) - log(5040.0);
    EXPECT_NEAR(r, expect, 1e-9);
    // Column 0 holds 3 letters: every column is divided by lg(3 + 4) = ln 720.
    C[0] = 2;
    C[1] = 1;
    C[7] = 1;
    r = g.CalLogPCondPW(2, 2, 7, C, 0.0);
    expect = log(2.0) - 7 * log(720.0) + 7 * log(15.0) - log(5040.0);
    EXPECT_NEAR(r, expect, 1e-9);
}

TEST(CheckBoundary, SitesOnASequenceEndBlockTheMatchingMotifEnd)
{
    struct CASE {
        int Pos;
        bool Forward;
        bool Left, Right;
    } cases[] = {
        {0, true, true, false},
        {15, false, true, false},   // a reverse site's left end is its rightmost letter
        {15, true, false, true},
        {0, false, false, true},
        {7, true, false, false},
    };
    for (const CASE& c : cases) {
        CGibbsDP g;
        MakeState(g, {"ACGTTGCAACGGTTACCATG", "ACGTACGTACGTACGTACGTACGT"}, {5}, 20, true);
        PutSite(g, 0, 0, c.Pos, c.Forward, 5);
        PutSite(g, 0, 1, 7, true, 5);
        bool flags[2];
        g.CheckBoundary(g.m_Sites[0], flags);
        EXPECT_EQ(flags[0], c.Left) << c.Pos << " " << c.Forward;
        EXPECT_EQ(flags[1], c.Right) << c.Pos << " " << c.Forward;
    }
}

// First seed whose first two half-open draws pick the given end and direction.
static unsigned SeedFor(bool leftEnd, bool grow)
{
    for (unsigned seed = 1;; seed++) {
        bool left = NthRand(seed, 0) / 2147483648.0 <= 0.5;
        bool up = NthRand(seed, 1) / 2147483648.0 > 0.5;
        if (left == leftEnd && up == grow)
            return seed;
    }
}

TEST(UpdateWidth, RefusedMovesStillDrawEndAndDirection)
{
    CGibbsDP g;
    MakeState(g, {"ACGTTGCAACGGTTACCATG"}, {5}, 20, true);
    g.m_MinWidth = 5;
    g.m_MaxWidth = 8;
    PutSite(g, 0, 0, 0, true, 5);   // blocks the left end
    SITEINFO* before = g.m_Sites[0][0]->Next;
    EXPECT_EQ(DrawsTaken(g.m_Rng, SeedFor(true, true), [&] { g.UpdateWidth(0); }), 2);
    EXPECT_EQ(DrawsTaken(g.m_Rng, SeedFor(false, false), [&] { g.UpdateWidth(0); }), 2);   // at the minimum
    EXPECT_EQ(g.m_Width[0], 5);
    EXPECT_EQ(g.m_Sites[0][0]->Next, before);
    g.m_Width[0] = 8;
    EXPECT_EQ(DrawsTaken(g.m_Rng, SeedFor(false, true), [&] { g.UpdateWidth(0); }), 2);     // at the maximum
    EXPECT_EQ(g.m_Width[0], 8);
}

TEST(UpdateWidth, ProposalRebuildsWordsAtTheChosenEndOfEachStrand)
{
    std::string seq = "ACGTTGCAACGGTTACCATG";
    CGibbsDP g;
    MakeState(g, {seq}, {5}, 20, true);
    PutSite(g, 0, 0, 10, false, 5);
    PutSite(g, 0, 0, 3, true, 5);
    double gOld, gNew;
    // Growing at the left end: a forward site gains the letter before it, a
    // reverse site the letter after it (as its new first column).
    SITEINFO** heads = g.BuildMovedSites(0, 6, -1, 0, &gOld, &gNew);
    SITEINFO* f = heads[0]->Next;
    SITEINFO* r = f->Next;
    EXPECT_EQ(f->Pos, 2);
    EXPECT_EQ(std::string(f->Word.m_Data), seq.substr(2, 6));
    EXPECT_EQ(r->Pos, 10);
    EXPECT_TRUE(r->Word == Reverse(g.m_Seq[0].Mid(10, 6)));
    EXPECT_EQ(r->Word[0], Complement(seq[15]));
    EXPECT_EQ(r->Next, nullptr);
    double oldExpect = g.CalLogBgPr(g.m_Seq[0].Mid(3, 5)) + g.CalLogBgPr(Reverse(g.m_Seq[0].Mid(10, 5)));
    EXPECT_NEAR(gOld, oldExpect, 1e-12);
    EXPECT_TRUE(std::isfinite(gNew));
    g.DelSiteHead(heads);
    // Shrinking at the right end keeps both starts' reading frames.
    heads = g.BuildMovedSites(0, 4, 0, 1, &gOld, &gNew);
    EXPECT_EQ(heads[0]->Next->Pos, 3);
    EXPECT_EQ(std::string(heads[0]->Next->Word.m_Data), seq.substr(3, 4));
    EXPECT_EQ(heads[0]->Next->Next->Pos, 11);
    EXPECT_TRUE(heads[0]->Next->Next->Word == Reverse(g.m_Seq[0].Mid(11, 4)));
    g.DelSiteHead(heads);
}

TEST(UpdateWidth, MotifWithoutSitesDriftsToTheMinimumWidth)
{
    for (unsigned seed = 1; seed <= 5; seed++) {
        CGibbsDP g;
        MakeState(g, {"ACGTTGCAACGGTTACCATG"}, {12}, 20, true);
        g.m_MinWidth = 8;
        g.m_MaxWidth = 12;
        std::vector<int> widths;
        g.m_Rng.seed(seed);
        for (int step = 0; step < 200; step++) {
            g.UpdateWidth(0);
            widths.push_back(g.m_Width[0]);
        }
        // Replay: shrinking has d = ln(0.4 w) > 0 (no draw); growing has
        // d = ln(15 / (6 (w + 1))) and one draw.
        Rng replay(seed);
        int w = 12, atMin = 0;
        for (int step = 0; step < 200; step++) {
            replay.next();   // end
            bool grow = replay.next() / 2147483648.0 > 0.5;
            if (!grow && w > 8)
                w--;
            else if (grow && w < 12 && exp(log(15.0 / (6.0 * (w + 1)))) > replay.next() / 2147483647.0)
                w++;
            ASSERT_EQ(widths[step], w) << "seed " << seed << " step " << step;
            atMin += w == 8;
        }
        EXPECT_GT(atMin, 100);
    }
}

TEST(PhaseShift, ShiftThatChangesNothingIsAccepted)
{
    for (unsigned seed = 1; seed <= 10; seed++) {
        CGibbsDP g;
        MakeState(g, {std::string(30, 'A')}, {5}, 30, true);
        PutSite(g, 0, 0, 12, true, 5);
        PutSite(g, 0, 0, 5, true, 5);
        g.CalLogPostPrSample();   // counts match the sites
        EXPECT_EQ(DrawsTaken(g.m_Rng, seed, [&] { g.PhaseShift(0); }), 2);
        bool right = NthRand(seed, 0) / 2147483648.0 > 0.5;
        ASSERT_TRUE(1.0 > NthRand(seed, 1) / 2147483647.0);
        SITEINFO* s = g.m_Sites[0][0]->Next;
        EXPECT_EQ(s->Pos, right ? 6 : 4);
        EXPECT_EQ(s->Next->Pos, right ? 13 : 11);
        EXPECT_EQ(std::string(s->Word.m_Data), "AAAAA");
    }
}
