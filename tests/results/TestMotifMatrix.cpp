// Counts as frequencies: the rules differ exactly where a site holds a
// letter outside ACGT, and each output uses its stated rule there: the
// result file and motifs.meme print the share of the sites (a column
// summing to less than 1), the report's column frequencies sum to 1, an
// empty column is uniform, and the smoothed fraction of an unseen letter
// is positive.
#include <gtest/gtest.h>

#include "output/MotifFiles.h"
#include "output/ResultFile.h"
#include "results/MotifMatrix.h"

namespace {

// Four sites of width 2; in column 2 one site shows 'R', counted nowhere.
RunResult AmbiguousRun()
{
    RunResult r;
    r.cmdLine = "Banner\n./Ruzaravo -i a.fa ";
    r.motifNum = 1;
    r.bgFreqs = {0.25, 0.25, 0.25, 0.25};
    SequenceResult s;
    s.name = ">a";
    s.id = "a";
    s.length = 20;
    s.moduleProb.assign(20, 0.0);
    r.seqs = {s};
    MotifResult m;
    m.printed = true;
    m.width = 2;
    m.siteCount = 4;
    m.counts = {{{4, 0, 0, 0}}, {{0, 3, 0, 0}}};
    m.consensus = "AC";
    for (int i = 0; i < 4; i++)
        m.sites.push_back({0, 4 * i, true, i == 3 ? "AR" : "AC", 5, 0.5});
    r.motifs = {m};
    return r;
}

}  // namespace

TEST(MotifMatrix, EachRuleWhereTheyDiffer)
{
    RunResult r = AmbiguousRun();
    const MotifResult& m = r.motifs[0];
    EXPECT_EQ(0.75, SiteFraction(m, 1, 1));
    MotifProfile freq = ColumnFrequencies(m);
    EXPECT_EQ(1.0, freq[1][1]);
    EXPECT_EQ(0.0, freq[1][0]);
    EXPECT_EQ(0.5 / 6.0, SmoothedFraction(m, 1, 0));
    EXPECT_EQ(3.5 / 6.0, SmoothedFraction(m, 1, 1));
    MotifProfile counts = CountProfile(m);
    EXPECT_EQ((MotifColumn{0, 3, 0, 0}), counts[1]);

    MotifResult empty;
    empty.counts = {{{0, 0, 0, 0}}};
    EXPECT_EQ((MotifColumn{0.25, 0.25, 0.25, 0.25}), ColumnFrequencies(empty)[0]);

    // The files that state the number of sites print the share of the sites.
    EXPECT_NE(std::string::npos, FormatMeme({r}).find(" 0.000000 0.750000 0.000000 0.000000\n"));
    EXPECT_NE(std::string::npos, FormatResultBlock(r).find("2\t0.000\t0.750\t0.000\t0.000\tC\n"));
}
