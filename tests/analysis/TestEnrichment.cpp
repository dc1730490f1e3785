// Motif enrichment: the dinucleotide shuffle keeps what it must, the
// binomial tail against values worked by hand, a planted motif measured
// against a control without it (and against the input itself), the drop of
// motifs below a level, and the result-file line of a real run.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "analysis/Enrichment.h"
#include "support/TestSupport.h"

namespace {

std::map<std::string, int> Pairs(const std::string& s)
{
    std::map<std::string, int> n;
    for (size_t i = 0; i + 1 < s.size(); i++)
        n[s.substr(i, 2)]++;
    return n;
}

// A motif made of `copies` identical sites of word, counts included.
MotifResult MotifOf(const std::string& word, int copies)
{
    MotifResult m;
    m.printed = true;
    m.width = (int)word.size();
    m.siteCount = copies;
    m.counts.assign(word.size(), {0, 0, 0, 0});
    for (size_t c = 0; c < word.size(); c++)
        m.counts[c][std::string("ACGT").find(word[c])] = copies;
    for (int i = 0; i < copies; i++)
        m.sites.push_back(SiteResult{i, 0, true, word, 1, 1.0});
    return m;
}

}  // namespace

TEST(Enrichment, ShuffleKeepsDinucleotidesEndsAndOtherLetters)
{
    std::mt19937 gen(11);
    for (int trial = 0; trial < 200; trial++) {
        std::string s;
        for (int i = 0, n = (int)(gen() % 80); i < n; i++)
            s.push_back("ACGTACGTACGTAN"[gen() % 14]);
        std::string t = ShuffleDinucleotides(s, 7);
        ASSERT_EQ(s.size(), t.size());
        EXPECT_EQ(t, ShuffleDinucleotides(s, 7)) << "same seed, same control";
        for (size_t i = 0; i < s.size(); i++)
            EXPECT_EQ(s[i] == 'N', t[i] == 'N') << s;
        EXPECT_EQ(Pairs(s), Pairs(t)) << s << "\n" << t;
        if (!s.empty()) {
            EXPECT_EQ(s.front(), t.front());
            EXPECT_EQ(s.back(), t.back());
        }
    }
    std::string longSeq;
    for (int i = 0; i < 400; i++)
        longSeq.push_back("ACGT"[gen() % 4]);
    EXPECT_NE(longSeq, ShuffleDinucleotides(longSeq, 7));
    EXPECT_NE(ShuffleDinucleotides(longSeq, 7), ShuffleDinucleotides(longSeq, 8));
}

TEST(Enrichment, BinomialTailByHand)
{
    EXPECT_DOUBLE_EQ(log10(0.25), BinomialUpperLog10(2, 2, 0.5));
    EXPECT_NEAR(log10(0.75), BinomialUpperLog10(1, 2, 0.5), 1e-12);
    EXPECT_NEAR(log10(1 - 0.9 * 0.9 * 0.9), BinomialUpperLog10(1, 3, 0.1), 1e-12);
    EXPECT_NEAR(log10(3 * 0.01 * 0.9 + 0.001), BinomialUpperLog10(2, 3, 0.1), 1e-12);
    EXPECT_EQ(0.0, BinomialUpperLog10(0, 5, 0.3));
    EXPECT_LT(BinomialUpperLog10(60, 60, 0.5), -18.0);   // no underflow to -inf
    EXPECT_GT(BinomialUpperLog10(60, 60, 0.5), -18.1);
}

TEST(Enrichment, PlantedMotifAgainstControls)
{
    const std::string word = "TGACCTAGCG";
    PLANTED planted = MakePlanted(5, 30, 400, word, true);
    PLANTED plain = MakePlanted(6, 30, 400, "A", false);   // a single-letter "motif" changes nothing
    RunResult r;
    r.bothStrands = true;
    r.bgFreqs = {0.25, 0.25, 0.25, 0.25};
    r.motifs.push_back(MotifOf(word, 30));

    EnrichmentResult e = MeasureEnrichment(r.motifs[0], r.bgFreqs, planted.Seqs, plain.Seqs, true);
    ASSERT_TRUE(e.measured);
    EXPECT_EQ(30 * (400 - 9), e.inputWindows);
    EXPECT_EQ(e.inputWindows, e.controlWindows);
    EXPECT_GE(e.inputHits, 30);     // every planted copy, on either strand
    EXPECT_LE(e.controlHits, 2);    // a 10-letter word by chance in 12,000 windows
    EXPECT_GT(e.ratio, 10.0);
    EXPECT_LT(e.log10P, -7.0);

    // Forward strand only: the reverse copies are no longer hits.
    EnrichmentResult fwd = MeasureEnrichment(r.motifs[0], r.bgFreqs, planted.Seqs, plain.Seqs, false);
    int forwardCopies = 0;
    for (bool f : planted.SiteForward)
        forwardCopies += f;
    EXPECT_LT(fwd.inputHits, e.inputHits);
    EXPECT_GE(fwd.inputHits, forwardCopies);

    // The input against itself: ratio exactly 1, no significance.
    EnrichmentResult self = MeasureEnrichment(r.motifs[0], r.bgFreqs, planted.Seqs, planted.Seqs, true);
    EXPECT_EQ(1.0, self.ratio);
    EXPECT_GT(self.log10P, -1.0);

    // A level above the ratio drops the motif; the default control (the
    // shuffled input) breaks the planted copies up.
    RunResult kept = r, dropped = r;
    AddEnrichment(&kept, planted.Seqs, {}, 2.0);
    EXPECT_TRUE(kept.motifs[0].printed);
    EXPECT_GT(kept.motifs[0].enrichment.ratio, 2.0);
    AddEnrichment(&dropped, planted.Seqs, plain.Seqs, 1e9);
    EXPECT_FALSE(dropped.motifs[0].printed);
}

TEST(Enrichment, ResultFileShowsTheLine)
{
    const std::string motif = "TGACCTAGCGTA";
    PLANTED planted = MakePlanted(77, 20, 300, motif, true);
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(planted.Seqs, "p"));
    std::vector<std::string> args = {"-i", "in.fa", "-K", "1", "-s", "-n", "200", "--seed", "21"};
    std::vector<std::string> with = args, high = args;
    with.insert(with.end(), {"--min-enrichment", "1.5", "-o", "with.txt"});
    high.insert(high.end(), {"--min-enrichment", "1e9", "-o", "high.txt"});
    ASSERT_EQ(0, RunRuzaravo(with, dir.m_Dir).Status);
    ASSERT_EQ(0, RunRuzaravo(high, dir.m_Dir).Status);
    std::string a = ReadFile(dir.Path("with.txt")), b = ReadFile(dir.Path("high.txt"));
    EXPECT_NE(std::string::npos, a.find("number of sites: ")) << a;
    EXPECT_NE(std::string::npos, a.find("\nenrichment: ")) << a;
    EXPECT_NE(std::string::npos, b.find("Motif_1:\nNo sites found!")) << b;
}
