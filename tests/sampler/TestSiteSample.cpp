// Site sampling on the reference path (SampleSites): frequencies of drawn
// tilings against the exact posterior (brute force), the one-site window,
// and the draws each window takes. TestSweepPasses holds the sweep's site
// pass to it.
#include <gtest/gtest.h>

#include <cmath>

#include "sampler/SamplerFixture.h"
#include "sampler/Tilings.h"

// The sites of sequence 0 as a tiling key (see Tilings.h); checks each word.
static std::string DrawnKey(CGibbsDP& g)
{
    std::vector<std::string> keys;
    for (int k = 0; k < g.m_MotifNum; k++)
        for (SITEINFO* s = g.m_Sites[k][0]->Next; s; s = s->Next) {
            CString window = g.m_Seq[0].Mid(s->Pos, g.m_Width[k]);
            EXPECT_TRUE(s->Word == (s->Strand ? window : Reverse(window)));
            keys.push_back(SiteKey(s->Pos, k, s->Strand));
        }
    std::sort(keys.begin(), keys.end());
    std::string key;
    for (const std::string& s : keys)
        key += s + " ";
    return key;
}

TEST(SampleSites, WindowOfExactlyTheWidthHoldsItsOnlySiteWithExactProbability)
{
    CGibbsDP g;
    std::string seq = "ACGTTGCAACGGTTACCATGACGTTGCAAC";
    MakeState(g, {seq}, {10}, 10, false);
    std::vector<double> table = MakeTable(g, 30, 5);
    table[19 * 3 + 0] = -14.5;
    double pi[2] = {0.4, 0.6};
    double bg = 0.0;
    for (int p = 10; p <= 19; p++)
        bg += table[p * 3 + 2];
    // The background tiling gets the mixing factor once, at the 10th letter.
    double site = 0.4 * exp(-14.5);
    double pSite = site / (site + 0.6 * exp(bg));
    const int draws = 20000;
    int hits = 0;
    g.m_Rng.seed(123);
    for (int d = 0; d < draws; d++) {
        g.SampleSites(pi, table.data(), 0, 19, 10);
        SITEINFO* s = g.m_Sites[0][0]->Next;
        if (s) {
            hits++;
            EXPECT_EQ(s->Pos, 10);
            EXPECT_TRUE(s->Strand);
            EXPECT_EQ(std::string(s->Word.m_Data), seq.substr(10, 10));
            EXPECT_EQ(s->Next, nullptr);
        }
        g.ExcludeCurSeq(0);
    }
    // Exactly one random number per window, site or not.
    int next = g.m_Rng.next();
    EXPECT_EQ(next, NthRand(123, draws));
    double se = sqrt(pSite * (1 - pSite) / draws);
    EXPECT_GT(pSite, 0.05);
    EXPECT_NEAR((double)hits / draws, pSite, 6 * se);
}

TEST(SampleSites, DrawsTilingsWithTheirExactPosteriorFrequencies)
{
    for (bool both : {false, true}) {
        CGibbsDP g;
        MakeState(g, {"ACGTTGCAACGG"}, {3, 4}, 12, both);
        std::vector<double> table = MakeTable(g, 12, both ? 9 : 10);
        double pi[3] = {0.3, 0.3, 0.4};
        // Window 2 .. 10 of the sequence.
        std::map<std::string, double> exact = EnumerateTilings(g, table.data(), pi, 10, 9, true);
        double total = TotalOf(exact);
        const int draws = 20000;
        std::map<std::string, int> seen;
        g.m_Rng.seed(both ? 31 : 32);
        for (int d = 0; d < draws; d++) {
            g.SampleSites(pi, table.data(), 0, 10, 9);
            seen[DrawnKey(g)]++;
            g.ExcludeCurSeq(0);
        }
        int checked = 0;
        for (const auto& t : exact) {
            double p = t.second / total;
            double expect = p * draws;
            if (expect < 20)
                continue;
            checked++;
            EXPECT_NEAR(seen[t.first], expect, 6 * sqrt(expect * (1 - p))) << "tiling '" << t.first << "'";
        }
        EXPECT_GE(checked, 5);
        for (const auto& s : seen)
            EXPECT_TRUE(exact.count(s.first)) << "impossible tiling '" << s.first << "'";
    }
}

TEST(SampleSites, DrawsOneNumberPerBackwardStep)
{
    CGibbsDP g;
    MakeState(g, {"ACGTTGCAACGGTTACCATG"}, {5, 6}, 20, true);
    std::vector<double> table = MakeTable(g, 20, 4);
    for (int p = 0; p < 20; p++)
        for (int c = 0; c < 4; c++)
            table[p * 5 + c] = NoSiteLogPr;   // no word can be a site
    double pi[3] = {0.3, 0.3, 0.4};
    // A window of 12 letters with no site: one number for q = 11 down to 4.
    EXPECT_EQ(DrawsTaken(g.m_Rng, 6, [&] { g.SampleSites(pi, table.data(), 0, 15, 12); }), 8);
    EXPECT_EQ(DrawnKey(g), "");
    // A window shorter than the smallest width: nothing at all.
    EXPECT_EQ(DrawsTaken(g.m_Rng, 6, [&] { g.SampleSites(pi, table.data(), 0, 15, 4); }), 0);
}
