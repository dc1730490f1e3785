// Module statistics of a discovery run's record: a module's score follows
// the null tiles' rule exactly, modules over planted clusters of sites get
// the smallest p-values and q < 0.05 while modules over random letters do
// not, q is Benjamini-Hochberg over the input's tiles, and the flags
// follow the log model odds, the q threshold and a run without motifs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/Significance.h"
#include "base/Helpers.h"
#include "scan/ModuleSignificance.h"
#include "scan/ScanTestUtil.h"

namespace {

const char kWord[] = "TGACTCATCG";
const int kSeqs = 20, kLen = 1000, kModStart = 300, kL = 200;

// kSeqs uniform sequences; the first half hold three copies of kWord
// (forward) at 330, 400 and 470, inside the module [300, 500).
struct Planted {
    RunResult run;
    std::vector<ScanSequence> input;
};

void AddSite(RunResult* r, int seq, int start)
{
    SiteResult s;
    s.seq = seq;
    s.start = start;
    s.word = kWord;
    r->motifs[0].sites.push_back(s);
    for (int c = 0; c < (int)s.word.size(); c++)
        r->motifs[0].counts[c][NucleotideCode(s.word[c])]++;
}

Planted MakeRun()
{
    Planted p;
    RunResult& r = p.run;
    r.seed = 5;
    r.moduleLength = kL;
    MotifResult m;
    m.printed = true;
    m.width = (int)std::string(kWord).size();
    m.counts.assign(m.width, {0, 0, 0, 0});
    m.consensus = kWord;
    r.motifs.push_back(m);
    for (int j = 0; j < kSeqs; j++) {
        ScanSequence s;
        s.letters = RandomLetters(100 + j, kLen);
        if (j < kSeqs / 2)
            for (int at : {330, 400, 470}) {
                s.letters.replace(at, m.width, kWord);
                AddSite(&r, j, at);
            }
        s.length = kLen;
        SequenceResult seq;
        seq.length = kLen;
        r.seqs.push_back(seq);
        r.modules.push_back(ModuleResult{j, kModStart, kModStart + kL, kModStart + kL, {}});
        p.input.push_back(s);
    }
    return p;
}

MarkovChain ChainOf(const std::vector<ScanSequence>& input)
{
    std::vector<std::string> letters;
    for (const ScanSequence& s : input)
        letters.push_back(s.letters);
    return MarkovChain::Estimate(letters, 1);
}

}  // namespace

// The windows holding a module's middle letter are the L starts of one null
// tile when the middle letter ends the tile's first window, so the module's
// score is that tile's best window, bit for bit.
TEST(ModuleSignificance, ScoreFollowsTheNullTileRule)
{
    Planted p = MakeRun();
    const MarkovChain chain = ChainOf(p.input);
    ScanModel model;
    ASSERT_TRUE(ModuleModelOf(p.run, chain, nullptr, &model));
    ChunkPass pass, tiles;
    int compared = 0;
    for (int j : {0, 3, 12, 17}) {
        const std::string& x = p.input[j].letters;
        ChunkResult r;
        tiles.ScanNull(model, x.data(), kLen, 0, 0, kLen, &r);
        // Tile 0 is skipped (no letter before it); tile t covers starts t L ..
        for (size_t k = 0; k < r.tileBest.size(); k++) {
            const int tile = (int)(k + 1) * kL, mid = tile + kL - 1;
            EXPECT_EQ(r.tileBest[k], ModuleWindowScore(model, x, mid - 99, mid + 101, &pass)) << j << " " << tile;
            compared++;
        }
    }
    EXPECT_GE(compared, 8);
}

TEST(ModuleSignificance, PlantedModulesAreSignificantRandomOnesAreNot)
{
    Planted p = MakeRun();
    p.run.hasLogPMO = true;
    p.run.logPMO = 2.5;
    ModuleNullSettings settings;
    settings.seed = 11;
    AddModuleSignificance(&p.run, p.input, ChainOf(p.input), settings);
    const ModuleNullResult& n = p.run.moduleNull;
    ASSERT_TRUE(n.measured);
    EXPECT_EQ(kModuleNullTiles, n.tiles);
    EXPECT_EQ(kSeqs * kLen / kL, n.tests);
    std::vector<double> pv;
    for (int j = 0; j < kSeqs; j++) {
        const ModuleStats& s = p.run.modules[j].stats;
        ASSERT_TRUE(s.measured);
        pv.push_back(s.p);
        EXPECT_FALSE(s.negativeLogPMO);
        EXPECT_FALSE(s.noMotif);
        EXPECT_EQ(s.q > 0.05, s.qAbove) << j;
        if (j < kSeqs / 2) {
            // Three exact copies beat every tile of shuffled letters.
            EXPECT_EQ(1.0 / (kModuleNullTiles + 1), s.p) << j;
            EXPECT_LT(s.q, 0.05) << j;
            EXPECT_GT(s.score, 5.0) << j;
        } else {
            EXPECT_GT(s.q, 0.05) << j;
            EXPECT_LT(s.score, p.run.modules[0].stats.score) << j;
        }
    }
    const std::vector<double> q = BenjaminiHochberg(pv, n.tests);
    for (int j = 0; j < kSeqs; j++)
        EXPECT_EQ(q[j], p.run.modules[j].stats.q) << j;
}

TEST(ModuleSignificance, FlagsFollowTheModelOddsAndTheThreshold)
{
    Planted p = MakeRun();
    p.run.hasLogPMO = true;
    p.run.logPMO = -0.5;
    ModuleNullSettings settings;
    settings.qThreshold = 1e-6;   // below every q the tiles allow
    AddModuleSignificance(&p.run, p.input, ChainOf(p.input), settings);
    for (const ModuleResult& m : p.run.modules) {
        EXPECT_TRUE(m.stats.negativeLogPMO);
        EXPECT_TRUE(m.stats.qAbove);
    }
    // A run that printed no motif has no model: every module is flagged.
    Planted none = MakeRun();
    none.run.motifs[0].printed = false;
    AddModuleSignificance(&none.run, none.input, ChainOf(none.input), ModuleNullSettings());
    for (const ModuleResult& m : none.run.modules) {
        EXPECT_TRUE(m.stats.noMotif);
        EXPECT_TRUE(m.stats.qAbove);
        EXPECT_EQ(1.0, m.stats.p);
        EXPECT_FALSE(m.stats.negativeLogPMO);
    }
    EXPECT_EQ(0, none.run.moduleNull.tiles);
}

// A module is scored without its own sequence's sites, so the sites of a
// cluster found once only do not vouch for themselves.
TEST(ModuleSignificance, OwnSequenceSitesAreLeftOut)
{
    Planted p = MakeRun();
    const MarkovChain chain = ChainOf(p.input);
    ScanModel all, without;
    ASSERT_TRUE(ModuleModelOf(p.run, chain, nullptr, &all));
    ASSERT_TRUE(ModuleModelOf(p.run, chain, &p.run.modules[0], &without));
    // 30 sites, 3 of them in sequence 0: each consensus letter keeps 27 of 30.
    const double rowSum = 30.0, kept = 27.0;
    for (int c = 0; c < all.motifs[0].width; c++) {
        const int b = NucleotideCode(kWord[c]);
        EXPECT_DOUBLE_EQ(log((rowSum + 0.0025 * rowSum) / (1.01 * rowSum)), all.motifs[0].logs[4 * c + b]);
        EXPECT_DOUBLE_EQ(log((kept + 0.0025 * kept) / (1.01 * kept)), without.motifs[0].logs[4 * c + b]);
    }
    EXPECT_EQ(all.siteRate, without.siteRate);
    EXPECT_DOUBLE_EQ(30.0 / (kSeqs * kL), all.siteRate);
}
