// Shared stretches: planted copies (forward, reverse, mutated, cut short)
// must be found where they were planted; random records share nothing.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/SharedStretches.h"
#include "io/FastaText.h"

namespace {

std::string RandomDna(std::mt19937& gen, int n)
{
    std::string s(n, 'A');
    for (char& c : s)
        c = "ACGT"[gen() % 4];
    return s;
}

std::string Revcomp(const std::string& s)
{
    std::string r(s.rbegin(), s.rend());
    for (char& c : r)
        c = c == 'A' ? 'T' : c == 'C' ? 'G' : c == 'G' ? 'C' : 'A';
    return r;
}

}  // namespace

TEST(SharedStretches, PlantedCopiesAreFoundOnBothStrands)
{
    std::mt19937 gen(7);
    std::vector<std::string> seqs;
    for (int i = 0; i < 5; i++)
        seqs.push_back(RandomDna(gen, 800));
    // Record 3 holds 120 letters of record 1 with 4 changes (96.7 %).
    std::string copy = seqs[1].substr(200, 120);
    for (int k : {10, 40, 70, 100})
        copy[k] = copy[k] == 'A' ? 'C' : 'A';
    seqs[3].replace(500, 120, copy);
    // Record 4 holds the reverse complement of 60 letters of record 0.
    seqs[4].replace(30, 60, Revcomp(seqs[0].substr(600, 60)));
    // Record 2 holds 45 letters of record 0: too short to count.
    seqs[2].replace(100, 45, seqs[0].substr(100, 45));

    std::vector<SharedStretch> found = FindSharedStretches(seqs);
    ASSERT_EQ(2u, found.size());
    EXPECT_EQ(1, found[0].first);
    EXPECT_EQ(3, found[0].second);
    EXPECT_FALSE(found[0].reverse);
    // A mismatch within 19 letters of an end costs more than the letters
    // beyond it gain, so the alignment may stop there: it lies inside the
    // planted copy and covers most of it.
    EXPECT_EQ(found[0].firstStart - 200, found[0].secondStart - 500);
    EXPECT_GE(found[0].secondStart, 497);   // chance matches beyond the ends may join
    EXPECT_LE(found[0].secondStart + found[0].length, 623);
    EXPECT_GE(found[0].length, 100);
    EXPECT_GE(found[0].identity, kMinSharedIdentity);
    EXPECT_EQ(0, found[1].first);
    EXPECT_EQ(4, found[1].second);
    EXPECT_TRUE(found[1].reverse);
    EXPECT_NEAR(30, found[1].secondStart, 2);
    EXPECT_NEAR(60, found[1].length, 4);

    long masked = MaskLaterCopies(found, &seqs);
    EXPECT_EQ(found[0].length + found[1].length, masked);
    EXPECT_EQ(std::string(found[0].length, 'N'), seqs[3].substr(found[0].secondStart, found[0].length));
    EXPECT_EQ(std::string::npos, seqs[1].find('N'));   // the earlier copy is kept
}

TEST(SharedStretches, RandomRecordsAndHeavyMutationShareNothing)
{
    for (unsigned seed = 1; seed <= 20; seed++) {
        std::mt19937 gen(seed);
        std::vector<std::string> seqs;
        for (int i = 0; i < 6; i++)
            seqs.push_back(RandomDna(gen, 2000));
        // A copy at 90 % identity is a homolog, not a duplicate.
        std::string copy = seqs[0].substr(0, 200);
        for (int k = 5; k < 200; k += 10)
            copy[k] = copy[k] == 'G' ? 'T' : 'G';
        seqs[5].replace(1000, 200, copy);
        // Simple repeats shared by every record seed nothing.
        for (std::string& s : seqs)
            s.replace(1500, 80, std::string(80, 'A'));
        EXPECT_TRUE(FindSharedStretches(seqs).empty()) << "seed " << seed;
    }
}

TEST(SharedStretches, ShippedExampleHoldsItsTwoOverlappingPairs)
{
    std::vector<FastaRecord> records;
    ASSERT_TRUE(ReadFastaInput(std::string(RUZARAVO_SOURCE_DIR) + "/examples/fly_crms.fasta", FastaReadOptions(),
                               &records));
    std::vector<std::string> seqs;
    for (const FastaRecord& r : records)
        seqs.push_back(r.Letters);
    std::vector<SharedStretch> found = FindSharedStretches(seqs);
    ASSERT_EQ(2u, found.size());
    for (const SharedStretch& s : found) {
        EXPECT_GE(s.length, kMinSharedLength);
        EXPECT_LT(s.first, s.second);
    }
}
