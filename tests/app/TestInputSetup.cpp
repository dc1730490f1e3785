// The input between reading and the first run, on the shipped fly example:
// its two duplicated stretches (hb_HZ340 inside hb_HZ1.4, the end of
// h_stripe_3+4_ET22 over h_h7_element) are always warned of, naming both
// records, and --mask-duplicates masks exactly the later copies; --holdout
// sets a share of the records aside and says which; without the options
// the records are the ones read; --dust masks a simple repeat.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "analysis/HoldOut.h"
#include "analysis/LowComplexity.h"
#include "app/InputSetup.h"
#include "app/Options.h"
#include "io/FastaText.h"

namespace {

const std::string kFly = std::string(RUZARAVO_SOURCE_DIR) + "/examples/fly_crms.fasta";

struct SETUP {
    RunInputs inputs;
    std::vector<FastaRecord> read;
    std::string err;
};

// The fly example (or the records given) through SetUpInput.
SETUP Prepared(const INPUTPARAMETER& param, std::vector<std::string> control = {},
               std::vector<FastaRecord> records = {})
{
    SETUP s;
    s.read = std::move(records);
    if (s.read.empty()) {
        EXPECT_TRUE(ReadFastaInput(kFly, FastaReadOptions(), &s.read));
    }
    s.inputs.sequences = std::make_shared<const std::vector<FastaRecord>>(s.read);
    s.inputs.control = std::move(control);
    FILE* f = tmpfile();
    SetUpInput(param, &s.inputs, f);
    rewind(f);
    char buf[4096];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, f)) > 0)
        s.err.append(buf, got);
    fclose(f);
    return s;
}

int Index(const std::vector<FastaRecord>& records, const std::string& id)
{
    for (size_t i = 0; i < records.size(); i++)
        if (records[i].Name.compare(1, id.size() + 1, id + " ") == 0 || records[i].Name == ">" + id)
            return (int)i;
    return -1;
}

long Ns(const std::string& s) { return (long)std::count(s.begin(), s.end(), 'N'); }

INPUTPARAMETER Defaults()
{
    INPUTPARAMETER p;
    SetDefaultParam(&p);
    return p;
}

}  // namespace

TEST(InputSetup, DuplicatedStretchesOfTheFlyExampleAreWarnedOfAndMaskedOnRequest)
{
    SETUP plain = Prepared(Defaults());
    EXPECT_EQ(plain.read.size(), plain.inputs.sequences->size());
    for (size_t i = 0; i < plain.read.size(); i++)
        EXPECT_EQ(plain.read[i].Letters, (*plain.inputs.sequences)[i].Letters);
    for (const char* pair : {"hb_HZ1.4 1-342 and hb_HZ340 3-344 share 342 letters",
                             "h_h7_element 40-198 and h_stripe_3+4_ET22 1588-1746 share 159 letters"})
        EXPECT_NE(std::string::npos, plain.err.find(pair)) << plain.err;
    EXPECT_NE(std::string::npos, plain.err.find("count twice")) << plain.err;
    EXPECT_EQ(std::string::npos, plain.err.find("masked")) << plain.err;

    INPUTPARAMETER p = Defaults();
    p.MaskDuplicates = true;
    SETUP masked = Prepared(p);
    const std::vector<FastaRecord>& m = *masked.inputs.sequences;
    EXPECT_EQ(3, std::count(masked.err.begin(), masked.err.end(), '\n')) << masked.err;   // two pairs, one total
    EXPECT_NE(std::string::npos, masked.err.find("hb_HZ340 3-344 share 342 letters at 100.0 % identity; the second "
                                                 "copy is masked (N)")) << masked.err;
    const int hz340 = Index(m, "hb_HZ340"), et22 = Index(m, "h_stripe_3+4_ET22");
    ASSERT_GE(hz340, 0);
    ASSERT_GE(et22, 0);
    EXPECT_EQ(std::string(342, 'N'), m[hz340].Letters.substr(2, 342));
    EXPECT_EQ(std::string(159, 'N'), m[et22].Letters.substr(1587, 159));
    long added = 0;
    for (size_t i = 0; i < m.size(); i++) {
        added += Ns(m[i].Letters) - Ns(masked.read[i].Letters);
        if ((int)i != hz340 && (int)i != et22) {
            EXPECT_EQ(masked.read[i].Letters, m[i].Letters) << i;   // the earlier copies stay
        }
    }
    EXPECT_EQ(342 + 159, added);
}

TEST(InputSetup, HoldOutSetsAShareOfInputAndControlAsideAndNamesIt)
{
    INPUTPARAMETER p = Defaults();
    p.HoldOut = 0.3;
    std::vector<std::string> control(10, std::string(500, 'A'));
    SETUP s = Prepared(p, control);
    const std::vector<FastaRecord>& kept = *s.inputs.sequences;
    EXPECT_EQ(s.read.size(), kept.size() + s.inputs.heldInput.size());
    EXPECT_GE(s.inputs.heldInput.size(), 2u);
    EXPECT_EQ(10u, s.inputs.control.size() + s.inputs.heldControl.size());
    EXPECT_EQ(3u, s.inputs.heldControl.size());   // equal lengths: the first records reaching 30 %
    long all = 0, held = 0;
    for (const FastaRecord& r : s.read)
        all += (long)r.Letters.size();
    for (const std::string& h : s.inputs.heldInput)
        held += (long)h.size();
    EXPECT_GE(held, 0.3 * all);
    // Every held-out record is named once and is missing from the kept ones.
    for (const FastaRecord& r : s.read) {
        std::string id = r.Name.substr(1, r.Name.find_first_of(" \t") - 1);
        bool isKept = Index(kept, id) >= 0;
        bool named = s.err.find(" " + id + ",") != std::string::npos || s.err.find(" " + id + "\n") != std::string::npos;
        EXPECT_NE(isKept, named) << id << "\n" << s.err;
    }
    EXPECT_NE(std::string::npos, s.err.find("input records held out of discovery: ")) << s.err;
    EXPECT_NE(std::string::npos, s.err.find("3 of 10 control records held out")) << s.err;
}

// --dust masks a microsatellite and leaves random letters alone; without
// it the same records are used as read.
TEST(InputSetup, DustMasksASimpleRepeatOnly)
{
    std::mt19937 gen(3);
    std::string left(300, 'A'), right(300, 'A'), repeat;
    for (char& c : left)
        c = "ACGT"[gen() % 4];
    for (char& c : right)
        c = "ACGT"[gen() % 4];
    for (int i = 0; i < 60; i++)
        repeat += "CA";
    std::vector<FastaRecord> records = {{">r1", left + repeat + right}, {">r2", right + left}};
    INPUTPARAMETER p = Defaults();
    EXPECT_EQ(records[0].Letters, (*Prepared(p, {}, records).inputs.sequences)[0].Letters);
    p.Dust = true;
    SETUP s = Prepared(p, {}, records);
    const std::string& masked = (*s.inputs.sequences)[0].Letters;
    EXPECT_EQ(std::string(120, 'N'), masked.substr(300, 120));
    EXPECT_LE(Ns(masked), 120 + 2 * kDustWindow);   // at most a window's edge on each side
    EXPECT_EQ(records[1].Letters, (*s.inputs.sequences)[1].Letters);
    EXPECT_NE(std::string::npos, s.err.find("--dust: ")) << s.err;
}
