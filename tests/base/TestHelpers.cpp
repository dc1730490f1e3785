// Numeric and DNA-word helpers: the cut-offs, tie-breaks and summation
// orders the sampler depends on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "base/Helpers.h"
#include "base/LogGammaMemo.h"

static CString Make(const char* s)
{
    CString c;
    c = s;
    return c;
}

TEST(Helpers, ReverseComplementsOnlyKnownLetters)
{
    EXPECT_STREQ("NACGT", Reverse(Make("ACGTN")).m_Data);
    EXPECT_STREQ("WSRY", Reverse(Make("RYSW")).m_Data);
    EXPECT_STREQ("tgca", Reverse(Make("acgt")).m_Data);   // lower case reversed, not complemented
    EXPECT_STREQ("DBKM", Reverse(Make("MKBD")).m_Data);
}

TEST(Helpers, WordCodeTreatsEveryOtherLetterAsA)
{
    const char* words[] = {"A", "C", "G", "T", "CA", "TG", "TT", "NC", "AAA", "RT", "c"};
    int codes[] = {0, 1, 2, 3, 4, 14, 15, 1, 0, 3, 0};
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(codes[i], WordCode(Make(words[i]))) << words[i];
}

TEST(Helpers, MinimumMaximumTakeFirstOnTies)
{
    int ints[] = {5, 2, 2, 7};
    double reals[] = {1.0, 3.0, 3.0};
    EXPECT_EQ(1, Minimum(ints, 4));
    EXPECT_EQ(1, Maximum(reals, 3));
    EXPECT_EQ(0, Minimum(ints, 1));
    EXPECT_EQ(0, Maximum(reals, 1));
    EXPECT_EQ(16, Sum(ints, 4));
    EXPECT_EQ(0, Sum(ints, 0));
    EXPECT_EQ(0, Sum(ints, -2));
}

TEST(Helpers, LogGammaSumsDownward)
{
    EXPECT_EQ(0.0, logGamma(1));
    EXPECT_EQ(0.0, logGamma(2));
    EXPECT_EQ(0.0, logGamma(0));
    EXPECT_EQ(0.0, logGamma(-4));
    EXPECT_EQ(log(2.0), logGamma(3));
    // ln(4!) summed as ln 4 + ln 3 + ln 2, in that order, bit for bit.
    EXPECT_EQ((log(4.0) + log(3.0)) + log(2.0), logGamma(5));
    double down = 0.0;
    for (int k = 999; k >= 2; k--)
        down += log((double)k);
    EXPECT_EQ(down, logGamma(1000));
    EXPECT_NEAR(lgamma(1000.0), logGamma(1000), 1e-9);
}

// The two halves give LogSum's bits, and LogSum those of the plain
// formula with a branch, on random pairs and on ties, infinities and NaN.
TEST(Helpers, LogSumHalvesGiveThePlainFormulasBits)
{
    auto plain = [](double a, double b) {
        double hi = a, lo = b;
        if (b > a) {
            hi = b;
            lo = a;
        }
        double d = lo - hi;
        return d > kLogSumCut ? hi + log(exp(d) + 1.0) : hi;
    };
    auto same = [](double u, double v) { return std::memcmp(&u, &v, sizeof u) == 0; };
    std::vector<std::pair<double, double>> pairs = {
        {0.0, -0.0}, {-0.0, 0.0}, {-0.0, -0.0}, {-5.0, -5.0}, {-5.0, -305.0}, {-305.0, -5.0},
        {-INFINITY, -INFINITY}, {-INFINITY, -1.0}, {INFINITY, 1.0}, {NAN, -1.0}, {-1.0, NAN}, {-2000.0, -2000.0},
    };
    unsigned x = 11;
    for (int i = 0; i < 100000; i++) {
        x = x * 1103515245u + 12345u;
        double a = -60.0 * ((x >> 8) & 0xffff) / 65536.0;
        x = x * 1103515245u + 12345u;
        double b = a - 400.0 * ((x >> 8) & 0xffff) / 65536.0 + 200.0;
        pairs.push_back(i % 2 ? std::make_pair(a, b) : std::make_pair(b, a));
    }
    for (auto& p : pairs) {
        double want = plain(p.first, p.second);
        ASSERT_TRUE(same(want, LogSum(p.first, p.second))) << p.first << " " << p.second;
        ASSERT_TRUE(same(want, LogSumFinish(LogSumStart(p.first, p.second)))) << p.first << " " << p.second;
    }
}

TEST(Helpers, LogSumCutOffBranch)
{
    EXPECT_EQ(log(2.0), LogSum(0.0, 0.0));
    EXPECT_EQ(0.0, LogSum(-1000.0, 0.0));
    EXPECT_EQ(0.0, LogSum(0.0, -1000.0));
    // 299.9 below: the small term is added (the formula branch), although
    // exp(-299.9) + 1.0 rounds to 1.0 so the value stays exactly -5.
    double hi = -5.0, lo = -5.0 - 299.9;
    EXPECT_EQ(hi + log(exp(lo - hi) + 1.0), LogSum(hi, lo));
    // A gap where the small term still shows proves which branch is taken.
    EXPECT_GT(LogSum(-5.0, -5.0 - 30.0), -5.0);
    EXPECT_EQ(-5.0, LogSum(-5.0, -5.0 - 300.0));
    EXPECT_EQ(-INFINITY, LogSum(-INFINITY, -INFINITY));
    EXPECT_EQ(-3.0, LogSum(-INFINITY, -3.0));
}

TEST(Helpers, ReadDataSplitsOnTabsOnly)
{
    double out[4];
    CString label = ReadData(Make("1\t2.5\t7\n"), 0, 3, out);
    EXPECT_EQ(0, label.GetLength());
    EXPECT_EQ(1.0, out[0]);
    EXPECT_EQ(2.5, out[1]);
    EXPECT_EQ(7.0, out[2]);

    ReadData(Make("1\t\t3"), 0, 3, out);
    EXPECT_EQ(0.0, out[1]);   // empty field
    EXPECT_EQ(3.0, out[2]);

    ReadData(Make("4 5 6"), 0, 3, out);   // blanks do not separate
    EXPECT_EQ(4.0, out[0]);
    EXPECT_EQ(0.0, out[1]);
    EXPECT_EQ(0.0, out[2]);

    label = ReadData(Make("chr2\t8\t9"), 1, 2, out);
    EXPECT_STREQ("chr2", label.m_Data);
    EXPECT_EQ(8.0, out[0]);
    EXPECT_EQ(9.0, out[1]);

    EXPECT_EQ(8, intpow(2, 3));
    EXPECT_EQ(1, intpow(7, 0));
}

// Remembered values are logGamma's own bits, on first use, on a repeat and
// after the memory has been renewed by more arguments than it keeps.
TEST(Helpers, LogGammaMemoGivesLogGammasBits)
{
    LogGammaMemo memo(100);
    auto same = [](double u, double v) { return std::memcmp(&u, &v, sizeof u) == 0; };
    for (int n : {-5, 0, 1, 2, 3, 255, 256, 257, 1000, 100000, 256, 100000})
        ASSERT_TRUE(same(logGamma(n), memo(n))) << n;
    for (int n = 300; n < 300 + 250; n++)
        memo(n);   // past the number of values kept
    for (int n : {300, 1000, 100000, 549})
        ASSERT_TRUE(same(logGamma(n), memo(n))) << n;
}
