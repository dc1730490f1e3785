// Result files from a hand-built sampler state: the record CollectResult
// builds, formatted by the result-file writer, byte for byte; appending;
// the module-probability block; and the guards against dividing by zero
// recorded sweeps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "ReportState.h"
#include "support/TestSupport.h"
#include "output/AppendBlocks.h"
#include "output/ResultFile.h"

// Appends the record's two blocks to path and its companion.
static void Append(const std::string& path, const RunResult& r)
{
    Fault fault = AppendRunBlocks(path, FormatResultBlock(r), FormatModPrBlock(r));
    ASSERT_FALSE(fault) << fault.path << ": " << fault.reason;
}

// Two sequences of 20 letters, K = 2, R = 10 recorded sweeps (H = 5),
// module length 10 (segments of 2 or more positions are printed).
// Motif 1: ACGT at 0 and 4 of >s1 (forward), CCCC at 8 of >s2 (reverse).
// Motif 2: two sites only, so it is not printed and labels nothing.
static void ResultState(CGibbsDP& g)
{
    BuildState(g, {"ACGTACGTACGTACGTACGT", "TTTTGGGGCCCCAAAATTTT"}, 2, 4, {">s1 100%d", ">s2"});
    g.m_CmdLine = "Banner 5%s\n./prog -i a.fa ";
    g.m_IterNum = 30;
    g.m_BurnIn = 20;
    g.m_ModLen = 10;
    g.m_CalBF = true;
    g.m_LogPMO = -7.5;
    PutSite(g, g.m_BestSites, 0, 0, 0, true, 7);
    PutSite(g, g.m_BestSites, 0, 0, 4, true, 10);
    PutSite(g, g.m_BestSites, 0, 1, 8, false, 12);
    PutSite(g, g.m_BestSites, 1, 1, 0, true, 10);
    PutSite(g, g.m_BestSites, 1, 1, 12, true, 10);
    g.m_Width[0] = 9;                       // Output takes the width from the words
}

// Module tallies: >s1 has the segment [2, 11] (10 at H keeps it open, 11
// closes it), an unlabelled [14, 16] and a short open [18, 19]; >s2 has a
// segment from 6 that is still open at its end, so it ends at 19.
static void ResultTallies(int** mod)
{
    for (int p = 0; p < 20; p++) {
        mod[0][p] = (p >= 2 && p <= 9) ? 8 : (p == 10 ? 5 : (p == 11 ? 3 : 0));
        if (p == 14 || p == 15 || p >= 18)
            mod[0][p] = 6;
        mod[1][p] = p >= 6 ? 9 : 0;
    }
}

static const char kExpectedBlock[] =
    "Banner 5%s\n./prog -i a.fa \n\n"
    "\nLog-PMO(K=2)=-7.50\n\n"
    "\n\n****************\n# of Modules:2\n"
    ">s1 100%d\t[2,11]\t+1(4)\n"
    ">s2\t[6,19]\t-1(8)\n"
    "\n\n\n**********************\nMotif_1:\n"
    "number of sites: 3\n\tA\tC\tG\tT\tCon\n"
    "1\t0.667\t0.000\t0.333\t0.000\tA\n"
    "2\t0.000\t0.667\t0.333\t0.000\tC\n"
    "3\t0.000\t0.000\t1.000\t0.000\tG\n"
    "4\t0.000\t0.000\t0.333\t0.667\tT\n"
    ">s1 100%d\tf\t4\t\t1.000\t\nACGT\n"
    ">s1 100%d\tf\t0\t\t0.700\t\nACGT\n"
    ">s2\tr\t8\t\t1.200\t\nGGGG\n"
    "\n\n\n**********************\nMotif_2:\n"
    "No sites found!\n\n";

// Needs CalWeightMat.
TEST(Output, WholeBlockOfAHandBuiltStateIsAppended)
{
    CTempDir dir;
    std::string path = dir.Path("out%d.txt");
    CGibbsDP g;
    ResultState(g);
    TALLIES t(g);
    ResultTallies(t.Mod);
    int len[2] = {20, 20};
    RunResult r = g.CollectResult(t.Mod, len, 11);
    Append(path, r);
    EXPECT_EQ(std::string(kExpectedBlock), ReadFile(path));
    EXPECT_EQ(2, g.m_ModNum);
    EXPECT_EQ(4, g.m_Width[0]);
    EXPECT_EQ(3, g.m_SiteNum[0]);
    EXPECT_EQ(2, g.m_SiteNum[1]);
    Append(path, g.CollectResult(t.Mod, len, 11));   // a second run appends
    EXPECT_EQ(std::string(kExpectedBlock) + kExpectedBlock, ReadFile(path));

    // The record behind the block: exclusive module ends, the printed end,
    // counts, consensus and sites as data.
    ASSERT_EQ(2u, r.modules.size());
    EXPECT_EQ(0, r.modules[0].seq);
    EXPECT_EQ(2, r.modules[0].start);
    EXPECT_EQ(11, r.modules[0].end);
    EXPECT_EQ(11, r.modules[0].printedEnd);
    EXPECT_EQ(20, r.modules[1].end);          // open to the end of >s2: ends after its last letter
    EXPECT_EQ(19, r.modules[1].printedEnd);
    ASSERT_EQ(2u, r.motifs.size());
    EXPECT_TRUE(r.motifs[0].printed);
    EXPECT_FALSE(r.motifs[1].printed);
    EXPECT_EQ("ACGT", r.motifs[0].consensus);
    EXPECT_EQ(3, r.motifs[0].siteCount);
    ASSERT_EQ(3u, r.motifs[0].sites.size());
    EXPECT_EQ(1, r.motifs[0].sites[2].seq);
    EXPECT_FALSE(r.motifs[0].sites[2].forward);
    EXPECT_DOUBLE_EQ(1.2, r.motifs[0].sites[2].posterior);
    EXPECT_EQ("s1", r.seqs[0].id);
    EXPECT_EQ((std::array<long long, 4>{5, 5, 5, 5}), r.seqs[0].acgt);
}

// Needs CalWeightMat.
TEST(Output, IndependentModeHasNoModuleSectionAndNoOddsWithoutB)
{
    CGibbsDP g;
    ResultState(g);
    g.m_Independent = true;
    g.m_CalBF = false;
    TALLIES t(g);
    ResultTallies(t.Mod);
    int len[2] = {20, 20};
    RunResult r = g.CollectResult(t.Mod, len, 11);
    EXPECT_TRUE(r.modules.empty());
    std::string text = FormatResultBlock(r);
    EXPECT_EQ(std::string::npos, text.find("# of Modules"));
    EXPECT_EQ(std::string::npos, text.find("Log-PMO"));
    EXPECT_EQ(0, text.find("Banner 5%s\n./prog -i a.fa \n\n\n\n\n**********************\nMotif_1:\n"));
}

// Needs CalWeightMat.
TEST(Output, NoRecordedSweepAndEndlessOddsPrintOnlyFiniteNumbers)
{
    CGibbsDP g;
    ResultState(g);
    g.m_BurnIn = g.m_IterNum;               // R = 0
    g.m_LogPMO = INFINITY;
    TALLIES t(g);
    int len[2] = {20, 20};
    std::string text = FormatResultBlock(g.CollectResult(t.Mod, len, 1));
    EXPECT_EQ(std::string::npos, text.find("inf"));
    EXPECT_EQ(std::string::npos, text.find("nan"));
    EXPECT_NE(std::string::npos, text.find(">s2\tr\t8\t\t0.000\t\nGGGG\n"));
    EXPECT_NE(std::string::npos, text.find("# of Modules:0\n"));
}

TEST(OutputModPr, SharesOfTheSampleCountPerPosition)
{
    CGibbsDP g;
    BuildState(g, {"ACG", "TT", ""}, 1, 5, {">a%s", ">b", ">c"});
    TALLIES t(g);
    t.Mod[0][0] = 11;
    t.Mod[0][1] = 5;
    t.Mod[0][2] = 0;
    t.Mod[1][0] = 10;
    t.Mod[1][1] = 3;
    int len[3] = {3, 2, 0};
    std::string text = FormatModPrBlock(g.CollectResult(t.Mod, len, 11));
    text += FormatModPrBlock(g.CollectResult(t.Mod, len, 0));   // never a division by 0
    EXPECT_EQ("\n**********\n>a%s(3)\n1.000\n0.455\n0.000\n>b(2)\n0.909\n0.273\n>c(0)\n"
              "\n**********\n>a%s(3)\n0.000\n0.000\n0.000\n>b(2)\n0.000\n0.000\n>c(0)\n",
              text);
}
