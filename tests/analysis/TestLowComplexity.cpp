// Low-complexity masking: simple repeats planted in random sequence are
// masked and nothing far from them is; random sequence is left alone.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "analysis/LowComplexity.h"

namespace {

std::string RandomDna(std::mt19937& gen, int n)
{
    std::string s(n, 'A');
    for (char& c : s)
        c = "ACGT"[gen() % 4];
    return s;
}

std::string Repeat(const std::string& unit, int n)
{
    std::string s;
    while ((int)s.size() < n)
        s += unit;
    return s.substr(0, n);
}

}  // namespace

TEST(LowComplexity, SimpleRepeatsAreMaskedAndRandomSequenceIsNot)
{
    std::mt19937 gen(2);
    for (const std::string unit : {"A", "AT", "CAG", "GATA"}) {
        std::string seq = RandomDna(gen, 1000);
        seq.replace(400, 100, Repeat(unit, 100));
        std::string masked = seq;
        long n = MaskLowComplexity(&masked);
        EXPECT_GE(n, 100) << unit;
        EXPECT_EQ(std::string(100, 'N'), masked.substr(400, 100)) << unit;
        // Masked windows reach at most a window beyond the repeat.
        EXPECT_EQ(seq.substr(0, 400 - kDustWindow), masked.substr(0, 400 - kDustWindow)) << unit;
        EXPECT_EQ(seq.substr(500 + kDustWindow), masked.substr(500 + kDustWindow)) << unit;
    }
    for (int rep = 0; rep < 20; rep++) {
        std::string seq = RandomDna(gen, 5000);
        EXPECT_EQ(0, MaskLowComplexity(&seq)) << rep;
        // AT-rich sequence (70 % A or T) is no simple repeat.
        for (char& c : seq)
            c = gen() % 100 < 70 ? "AT"[gen() % 2] : "CG"[gen() % 2];
        EXPECT_EQ(0, MaskLowComplexity(&seq)) << rep;
    }
    std::string penta = RandomDna(gen, 300);
    penta.replace(100, 100, Repeat("TCAGG", 100));   // five different words: 5.8
    std::string copy = penta;
    EXPECT_EQ(0, MaskLowComplexity(&copy));
    EXPECT_GE(MaskLowComplexity(&penta, 5.0), 100);   // a lower threshold takes it
}

TEST(LowComplexity, ShortAndAmbiguousSequence)
{
    std::string shortSeq(kDustWindow - 1, 'A');
    EXPECT_EQ(0, MaskLowComplexity(&shortSeq));
    std::string ns(300, 'N');
    EXPECT_EQ(0, MaskLowComplexity(&ns));
    std::string edge = std::string(kDustWindow, 'A');
    EXPECT_EQ(kDustWindow, MaskLowComplexity(&edge));   // one window, the whole sequence
}
