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

namespace {

std::string LettersOfAll(const std::vector<ScanSequence>& input)
{
    std::string all;
    for (const ScanSequence& s : input)
        all += s.letters + "|";
    return all;
}

std::vector<int> KmerCounts(const std::string& x, int k)
{
    std::vector<int> counts(1 << (2 * k), 0);
    for (size_t i = 0; i + k <= x.size(); i++) {
        int code = 0;
        for (int j = 0; j < k; j++)
            code = code * 4 + NucleotideCode(x[i + j]);
        counts[code]++;
    }
    return counts;
}

}  // namespace

// The refitted null's input: over many random inputs with N letters in
// them, each stretch between N letters keeps its k-mer counts and its
// first k-1 letters, the N letters stay where they were, the same seed
// gives the same letters and another seed other ones.
TEST(ModuleSignificance, ShuffledInputKeepsEveryStretchsKmers)
{
    Rng rng(77);
    for (int trial = 0; trial < 200; trial++) {
        const int k = 1 + trial % 4;
        std::vector<ScanSequence> input(1 + trial % 3);
        for (ScanSequence& s : input) {
            s.letters = RandomLetters(1000 + trial * 7 + (unsigned)s.letters.size(), 50 + rng.next() % 200);
            for (int n = 0; n < 3; n++)   // runs of N, one possibly at an end
                s.letters.replace(rng.next() % s.letters.size(), 1 + rng.next() % 4, "NN");
            s.length = (long long)s.letters.size();
        }
        const std::vector<ScanSequence> out = ShuffledInput(input, k, 5u + trial);
        EXPECT_EQ(LettersOfAll(out), LettersOfAll(ShuffledInput(input, k, 5u + trial)));
        ASSERT_EQ(input.size(), out.size());
        bool changed = false;
        for (size_t i = 0; i < input.size(); i++) {
            const std::string &a = input[i].letters, &b = out[i].letters;
            ASSERT_EQ(a.size(), b.size());
            size_t from = 0;
            while (from <= a.size()) {
                size_t to = a.find('N', from);
                if (to == std::string::npos)
                    to = a.size();
                EXPECT_TRUE(to == a.size() || b[to] == 'N') << trial;
                const std::string x = a.substr(from, to - from), y = b.substr(from, to - from);
                EXPECT_EQ(KmerCounts(x, k), KmerCounts(y, k)) << trial << " " << x << " " << y;
                if ((int)x.size() >= k) {
                    EXPECT_EQ(x.substr(0, k - 1), y.substr(0, k - 1)) << trial;
                }
                changed = changed || x != y;
                from = to + 1;
            }
        }
        EXPECT_TRUE(changed || k > 2) << trial;   // short stretches of high k may have one order only
    }
}

// Null tiles from a run refitted to shuffled letters are scored as the
// input's modules are: each tile of L letters as a module over it, with the
// matrices less the sequence's own sites; a run without a printed motif
// adds no tile at all.
TEST(ModuleSignificance, RefitNullTilesAreScoredAsModules)
{
    Planted p = MakeRun();
    p.input[1].letters.resize(kLen - 50);   // a last tile of 150 letters
    // A site of other letters in sequence 0, so its own sites change its matrix.
    SiteResult odd;
    odd.seq = 0;
    odd.start = 700;
    odd.word = std::string(10, 'A');
    p.run.motifs[0].sites.push_back(odd);
    for (int c = 0; c < 10; c++)
        p.run.motifs[0].counts[c][0]++;
    const MarkovChain chain = ChainOf(p.input);
    std::vector<double> tiles;
    AddRefitNullTiles(p.run, p.input, chain, &tiles);
    const size_t perSeq = kLen / kL;
    ASSERT_EQ(kSeqs * perSeq, tiles.size());
    ChunkPass pass;
    for (int j : {0, 1, 15}) {
        ScanModel without, all;
        ASSERT_TRUE(ModuleModelOf(p.run, chain, &p.run.modules[j], &without));
        ASSERT_TRUE(ModuleModelOf(p.run, chain, nullptr, &all));
        for (size_t t = 0; t < perSeq; t++) {
            const int start = (int)t * kL, end = std::min((int)p.input[j].letters.size(), start + kL);
            const double score = ModuleWindowScore(without, p.input[j].letters, start, end, &pass);
            EXPECT_EQ(score, tiles[j * perSeq + t]) << j << " " << t;
            if (j == 0 && t == 1) {   // the planted tile, without its own sites and the odd one
                EXPECT_GT(score, ModuleWindowScore(all, p.input[j].letters, start, end, &pass));
            }
        }
    }
    // The planted tile of a planted sequence scores high (the other nine
    // sequences' sites vouch for it), an unplanted sequence's does not.
    EXPECT_GT(tiles[1], 5.0);
    EXPECT_LT(tiles[(kSeqs - 1) * perSeq + 1], tiles[1]);

    Planted none = MakeRun();
    none.run.motifs[0].printed = false;
    std::vector<double> nothing;
    AddRefitNullTiles(none.run, none.input, chain, &nothing);
    EXPECT_TRUE(nothing.empty());
}

// A supplied null replaces the shuffled-letter one: its size is the
// null's, and a module's p counts the supplied tiles at or above it.
TEST(ModuleSignificance, SuppliedNullGivesThePValues)
{
    Planted p = MakeRun();
    std::vector<double> null(99);
    for (int i = 0; i < 99; i++)
        null[i] = -20.0 + 0.5 * i;   // -20 .. 29, unsorted order does not matter
    std::reverse(null.begin(), null.end());
    AddModuleSignificance(&p.run, p.input, ChainOf(p.input), ModuleNullSettings(), &null);
    EXPECT_EQ(99, p.run.moduleNull.tiles);
    for (const ModuleResult& m : p.run.modules) {
        int above = 0;
        for (double v : null)
            above += v >= m.stats.score;
        EXPECT_EQ((1.0 + above) / 100.0, m.stats.p) << m.seq;
    }
}
