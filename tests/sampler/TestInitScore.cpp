// Initial placement layouts, the draws they take, and the collapsed score
// against closed forms.
#include <gtest/gtest.h>

#include <cmath>

#include "sampler/SamplerFixture.h"

// ln((n-1)!) from the C library, 0 for n <= 2: an independent logGamma.
static double Lg(long long n)
{
    return n <= 2 ? 0.0 : std::lgamma((double)n);
}

TEST(CalBayesianScore, MatchesClosedFormWithoutModulesOrSites)
{
    CGibbsDP g;
    MakeState(g, {std::string(57, 'A')}, {10, 12}, 20, true);
    int n[2] = {0, 0};
    double s = g.CalBayesianScore(0, n, g.m_CountMat, g.m_Width, 0.0);
    // -ln(T + 1) - ln(K!) + sum over motifs of (-w ln 6 + w ln 15 - ln w!).
    double expect = -log(58.0) - log(2.0);
    for (int w : {10, 12})
        expect += -w * log(6.0) + w * log(15.0) - std::lgamma(w + 1.0);
    EXPECT_NEAR(s, expect, 1e-9);
}

TEST(CalBayesianScore, MatchesLogGammaFormulaWithModulesAndSites)
{
    CGibbsDP g;
    MakeState(g, {std::string(300, 'C')}, {5, 6}, 20, true);
    int n[2] = {4, 2};
    CTestRandom r(7);
    for (int k = 0; k < 2; k++)
        for (int c = 0; c < 4 * g.m_Width[k]; c++)
            g.m_CountMat[k][c] = r.Below(5);
    int a = 3, T = 300, L = 20;
    double G = -12.5;
    double expect = Lg(a + 1) + Lg(T - a * L + 1) - Lg(T - a * (L - 1) + 2);
    // Each site counts as one position of the mixing term.
    expect += Lg(a * L - 6 + 1) + Lg(1 + 4) + Lg(1 + 2) - Lg(a * L + 3);
    for (int k = 0; k < 2; k++) {
        for (int c = 0; c < 4 * g.m_Width[k]; c++)
            expect += Lg(1 + g.m_CountMat[k][c]);
        expect -= g.m_Width[k] * Lg(4 + n[k]);
        expect += g.m_Width[k] * log(15.0) - Lg(g.m_Width[k] + 1);
    }
    expect -= G;
    EXPECT_NEAR(g.CalBayesianScore(a, n, g.m_CountMat, g.m_Width, G), expect, 1e-8);
}

// Lists the sites of motif k in sequence i as (Pos, Word).
static std::vector<std::pair<int, std::string>> SitesOf(CGibbsDP& g, int k, int i)
{
    std::vector<std::pair<int, std::string>> out;
    for (SITEINFO* s = g.m_Sites[k][i]->Next; s; s = s->Next) {
        EXPECT_TRUE(s->Strand);
        out.push_back({s->Pos, std::string(s->Word.m_Data, s->Word.GetLength())});
    }
    return out;
}

TEST(RandPickSite, SequenceNotLongerThanModuleIsOneModuleFromZero)
{
    CGibbsDP g;
    MakeState(g, {"ACGTACGT"}, {8}, 10, true);
    // Spacing 0, K = 1: start value % 1, offset value % 1.
    EXPECT_EQ(DrawsTaken(g.m_Rng, 11, [&] { g.RandPickSite(); }), 2);
    ASSERT_EQ(g.m_ModInfo[0].ModCount, 1);
    EXPECT_EQ(g.m_ModInfo[0].ModStart[0], 0);
    EXPECT_EQ(SitesOf(g, 0, 0), (std::vector<std::pair<int, std::string>>{{0, "ACGTACGT"}}));
    EXPECT_EQ(g.m_ModInfo[0].LogRatio, 0.0);
}

TEST(RandPickSite, SpacingZeroPutsSitesSideBySideInMotifOrder)
{
    std::string seq = "ACGTTGCAACGGTTACCATGACGTTGCAACGGTTACCATGACGTTGCAAC";   // 50 letters
    for (unsigned seed = 1; seed <= 20; seed++) {
        CGibbsDP g;
        MakeState(g, {seq}, {10, 10}, 20, false);
        EXPECT_EQ(DrawsTaken(g.m_Rng, seed, [&] { g.RandPickSite(); }), 3);
        int start = NthRand(seed, 0) % 31;
        EXPECT_EQ(g.m_ModInfo[0].ModStart[0], start);
        EXPECT_EQ(SitesOf(g, 0, 0), (std::vector<std::pair<int, std::string>>{{start, seq.substr(start, 10)}}));
        EXPECT_EQ(SitesOf(g, 1, 0),
                  (std::vector<std::pair<int, std::string>>{{start + 10, seq.substr(start + 10, 10)}}));
    }
}

TEST(RandPickSite, SlotsHoldSitesInsideTheModule)
{
    std::string seq(100, 'G');
    for (unsigned seed = 1; seed <= 50; seed++) {
        CGibbsDP g;
        MakeState(g, {seq}, {5, 6, 7}, 40, true);
        g.m_Rng.seed(seed);
        g.RandPickSite();   // spacing (40 - 18) / 3 = 7
        int s0 = g.m_ModInfo[0].ModStart[0];
        EXPECT_EQ(s0, NthRand(seed, 0) % 61);
        int slot = s0, prevEnd = s0;
        for (int k = 0; k < 3; k++) {
            auto sites = SitesOf(g, k, 0);
            ASSERT_EQ(sites.size(), 1u);
            int pos = sites[0].first;
            EXPECT_GE(pos, slot);
            EXPECT_LE(pos, slot + 7);
            EXPECT_GE(pos, prevEnd);
            prevEnd = pos + g.m_Width[k];
            slot += 7 + g.m_Width[k];
        }
        EXPECT_LE(prevEnd, s0 + 40);
    }
}

TEST(RandPickSite, ShortSequencesGetNothingAndDrawNothing)
{
    CGibbsDP g;
    MakeState(g, {"", "A", "ACGTACGTACGT", "C"}, {5}, 10, true);
    // Only the 12-letter sequence draws: its start and one offset.
    EXPECT_EQ(DrawsTaken(g.m_Rng, 5, [&] { g.RandPickSite(); }), 2);
    for (int i : {0, 1, 3}) {
        EXPECT_EQ(g.m_ModInfo[i].ModCount, 0);
        EXPECT_EQ(g.m_ModInfo[i].ModStart, nullptr);
        EXPECT_EQ(g.m_Sites[0][i]->Next, nullptr);
    }
    EXPECT_EQ(g.m_ModInfo[2].ModCount, 1);
    EXPECT_EQ(g.m_SiteNum[0], 1);
}

TEST(RandPickSite, NegativeSpacingPacksSitesAndDropsThosePastTheEnd)
{
    CGibbsDP g;
    MakeState(g, {"ACGTACGTACGT"}, {5, 5, 5}, 12, true);
    // Spacing (12 - 15) / 3 = -1 taken as 0; still one draw per motif.
    EXPECT_EQ(DrawsTaken(g.m_Rng, 9, [&] { g.RandPickSite(); }), 4);
    EXPECT_EQ(SitesOf(g, 0, 0), (std::vector<std::pair<int, std::string>>{{0, "ACGTA"}}));
    EXPECT_EQ(SitesOf(g, 1, 0), (std::vector<std::pair<int, std::string>>{{5, "CGTAC"}}));
    EXPECT_TRUE(SitesOf(g, 2, 0).empty());   // 10 .. 14 would pass the end
    EXPECT_EQ(g.m_SiteNum[2], 0);
}

TEST(RandPickSite, BestSampleIsTheScoredInitialConfiguration)
{
    CGibbsDP g;
    MakeState(g, {"ACGTTGCAACGGTTACCATGACGT", "TTGCAACGGTTACCATGACG"}, {5, 6}, 15, true);
    g.m_Rng.seed(3);
    g.RandPickSite();
    double best = g.m_BestLogPost;
    EXPECT_TRUE(std::isfinite(best));
    EXPECT_EQ(g.CalLogPostPrSample(), best);
    EXPECT_EQ(g.m_SiteNum[0], 2);
    EXPECT_EQ(g.m_SiteNum[1], 2);
    for (int k = 0; k < 2; k++)
        for (int i = 0; i < 2; i++) {
            SITEINFO* a = g.m_Sites[k][i]->Next;
            SITEINFO* b = g.m_BestSites[k][i]->Next;
            ASSERT_TRUE(a && b);
            EXPECT_EQ(a->Pos, b->Pos);
            EXPECT_EQ(b->Next, nullptr);
        }
    // Module ratios are added to the score one sequence at a time.
    g.m_ModInfo[0].LogRatio = 1.5;
    g.m_ModInfo[1].LogRatio = 2.25;
    EXPECT_EQ(g.CalLogPostPrSample(), best + 1.5 + 2.25);
}
