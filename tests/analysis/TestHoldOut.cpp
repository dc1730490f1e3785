// Held-out significance: a motif planted in the held-out records is
// significant after the correction for motifs tried, a motif absent from
// them is not, and the held-out records are a fixed, stated share.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analysis/HoldOut.h"

namespace {

std::string RandomDna(std::mt19937& gen, int n)
{
    std::string s(n, 'A');
    for (char& c : s)
        c = "ACGT"[gen() % 4];
    return s;
}

// A motif result for word, as if reported with `sites` exact copies of it.
MotifResult ReportedMotif(const std::string& word, int sites)
{
    MotifResult m;
    m.printed = true;
    m.width = (int)word.size();
    m.siteCount = sites;
    for (char c : word) {
        std::array<int, 4> row{0, 0, 0, 0};
        row[std::string("ACGT").find(c)] = sites;
        m.counts.push_back(row);
    }
    for (int k = 0; k < sites; k++) {
        SiteResult s;
        s.word = word;
        m.sites.push_back(s);
    }
    return m;
}

RunResult OneMotifRun(const std::string& word)
{
    RunResult r;
    r.bgFreqs = {0.25, 0.25, 0.25, 0.25};
    r.bothStrands = true;
    r.motifs.push_back(ReportedMotif(word, 10));
    return r;
}

}  // namespace

TEST(HoldOut, PlantedMotifIsSignificantAndAbsentOneIsNot)
{
    const std::string word = "TGACGTCAGG";
    int falsePositives = 0;
    for (unsigned seed = 1; seed <= 20; seed++) {
        std::mt19937 gen(seed);
        std::vector<std::string> held, control;
        for (int i = 0; i < 20; i++) {
            held.push_back(RandomDna(gen, 500));
            control.push_back(RandomDna(gen, 500));
        }
        RunResult absent = OneMotifRun(word);
        AddHeldOutSignificance(&absent, held, control, 15);
        ASSERT_TRUE(absent.motifs[0].heldOut.measured);
        falsePositives += absent.motifs[0].heldOut.log10E < std::log10(0.05);

        // Two sites a record: 40 hits against a control expecting about 0.04.
        for (std::string& s : held) {
            s.replace(20 + gen() % 200, word.size(), word);
            s.replace(260 + gen() % 200, word.size(), word);
        }
        RunResult planted = OneMotifRun(word);
        AddHeldOutSignificance(&planted, held, control, 15);
        const HeldOutResult& h = planted.motifs[0].heldOut;
        ASSERT_TRUE(h.measured);
        EXPECT_LT(h.log10E, -8) << seed;
        EXPECT_NEAR(h.enrichment.log10P + std::log10(15.0), h.log10E, 1e-12);
        EXPECT_EQ(20, h.inputRecords);
        EXPECT_EQ(20, h.inputWithSite);
        EXPECT_EQ(20, h.controlRecords);
        EXPECT_LE(h.controlWithSite, 1);
    }
    EXPECT_LE(falsePositives, 1);
}

TEST(HoldOut, HeldOutRecordsAreAFixedShareAndOneIsAlwaysKept)
{
    std::mt19937 gen(4);
    std::vector<std::string> records;
    for (int i = 0; i < 40; i++)
        records.push_back(RandomDna(gen, 100 + gen() % 900));
    std::vector<bool> held = ChooseHeldOut(records, 0.1);
    EXPECT_EQ(held, ChooseHeldOut(records, 0.1));   // the same records every time
    double total = 0, taken = 0, largest = 0;
    for (size_t i = 0; i < records.size(); i++) {
        total += records[i].size();
        if (held[i]) {
            taken += records[i].size();
            largest = std::max(largest, (double)records[i].size());
        }
    }
    EXPECT_GE(taken, 0.1 * total);
    EXPECT_LT(taken - largest, 0.1 * total);   // no record more than needed
    EXPECT_EQ(SelectRecords(records, held, true).size() + SelectRecords(records, held, false).size(),
              records.size());

    std::vector<std::string> two = {"ACGTACGTAC", "ACGTACGTAC"};
    std::vector<bool> most = ChooseHeldOut(two, 0.99);
    EXPECT_EQ(1, (int)most[0] + (int)most[1]);
    EXPECT_EQ(std::vector<bool>{false}, ChooseHeldOut({"ACGT"}, 0.5));
    EXPECT_EQ(std::vector<bool>(2, false), ChooseHeldOut(two, 0.0));
}
