// The null's shuffle keeps every k-mer count and the first k - 1 letters,
// is a pure function of its seed, and really moves letters; the
// Benjamini-Hochberg q-values match a hand computation.
#include <gtest/gtest.h>

#include <map>

#include "scan/KmerShuffle.h"
#include "scan/ScanRun.h"
#include "scan/ScanTestUtil.h"

static std::map<std::string, int> KmerCounts(const std::string& s, int k)
{
    std::map<std::string, int> c;
    for (size_t i = 0; i + k <= s.size(); i++)
        c[s.substr(i, k)]++;
    return c;
}

TEST(KmerShuffle, KeepsEveryKmerCountOverManyRandomInputs)
{
    for (unsigned seed = 1; seed <= 40; seed++) {
        // Skewed composition and lengths from 2 to 600 letters.
        std::string s = RandomLetters(seed, 2 + (seed * 37) % 600);
        for (size_t i = 0; i < s.size(); i += 3)
            s[i] = 'A';
        for (int k = 1; k <= 4; k++) {
            Rng rng(seed * 11 + k);
            std::string t = KmerShuffle(s, k, rng);
            ASSERT_EQ(s.size(), t.size());
            EXPECT_EQ(KmerCounts(s, k), KmerCounts(t, k)) << "seed " << seed << " k " << k;
            EXPECT_EQ(s.substr(0, k - 1), t.substr(0, k - 1));
        }
    }
}

TEST(KmerShuffle, SameSeedSameSequenceAndLettersMove)
{
    std::string s = RandomLetters(7, 5000);
    Rng a(3), b(3), c(4);
    std::string x = KmerShuffle(s, 2, a);
    EXPECT_EQ(x, KmerShuffle(s, 2, b));
    std::string y = KmerShuffle(s, 2, c);
    EXPECT_NE(x, y);
    size_t same = 0;
    for (size_t i = 0; i < s.size(); i++)
        same += s[i] == x[i];
    EXPECT_LT(same, s.size() * 4 / 10);   // about a quarter by chance
}

TEST(KmerShuffle, NullLettersHaveTheTargetsDinucleotides)
{
    ScanSequence seq;
    seq.letters = RandomLetters(5, 3000);
    for (size_t i = 0; i < seq.letters.size(); i += 2)
        seq.letters[i] = 'C';   // CpN-rich
    seq.letters.replace(100, 50, std::string(50, 'N'));
    std::string null = NullLetters({seq}, 20000, 2, 1);
    ASSERT_EQ(20000u, null.size());
    EXPECT_EQ(std::string::npos, null.find('N'));
    auto a = KmerCounts(seq.letters, 2), b = KmerCounts(null, 2);
    EXPECT_NEAR(a["CA"] / 2950.0, b["CA"] / 20000.0, 0.01);
    EXPECT_NEAR(a["AC"] / 2950.0, b["AC"] / 20000.0, 0.01);
    EXPECT_EQ(null, NullLetters({seq}, 20000, 2, 1));
}

TEST(BenjaminiHochberg, MatchesAHandComputation)
{
    // Sorted p 0.01, 0.02, 0.03, 0.5 among 10 tests: 0.1, 0.1, 0.1, 1.
    std::vector<double> q = BenjaminiHochberg({0.03, 0.01, 0.5, 0.02}, 10);
    EXPECT_DOUBLE_EQ(0.1, q[0]);
    EXPECT_DOUBLE_EQ(0.1, q[1]);
    EXPECT_DOUBLE_EQ(1.0, q[2]);
    EXPECT_DOUBLE_EQ(0.1, q[3]);
    // Among 4 tests only: 0.04, 0.04, 0.04, 0.5.
    q = BenjaminiHochberg({0.03, 0.01, 0.5, 0.02}, 4);
    EXPECT_DOUBLE_EQ(0.04, q[1]);
    EXPECT_DOUBLE_EQ(0.04, q[0]);
    EXPECT_DOUBLE_EQ(0.5, q[2]);
}
