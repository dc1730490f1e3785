// The order-k background chain: its tables against counts worked by hand,
// the scoring of stretches with short and broken contexts, and properties
// over random inputs (rows sum to 1, column and word scores agree).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "model/MarkovChain.h"

namespace {

const double kAmb = -1.386;
enum { A, C, G, T };

int Ctx(const char* letters)
{
    int c = 0;
    for (const char* p = letters; *p; p++)
        c = 4 * c + (*p == 'C' ? C : *p == 'G' ? G : *p == 'T' ? T : A);
    return c;
}

}  // namespace

// "AAC" and its reverse complement "GTT" are counted.
//   order 0: A 2, C 1, G 1, T 2 of 6 letters;
//   order 1: after A: A 1, C 1; after G: T 1; after T: T 1; after C: nothing;
//   order 2: after AA: C 1; after GT: T 1.
// Each row is (count + P_lower) / (row total + 1), P_lower of order -1 = 1/4.
TEST(MarkovChain, TablesMatchCountsWorkedByHand)
{
    MarkovChain m = MarkovChain::Estimate({"AAC"}, 2);
    ASSERT_EQ(2, m.Order());
    const double p0[4] = {2.25 / 7, 1.25 / 7, 1.25 / 7, 2.25 / 7};
    for (int b = 0; b < 4; b++)
        EXPECT_DOUBLE_EQ(p0[b], m.Prob(0, 0, b));

    EXPECT_DOUBLE_EQ((1 + p0[A]) / 3, m.Prob(1, A, A));
    EXPECT_DOUBLE_EQ((1 + p0[C]) / 3, m.Prob(1, A, C));
    EXPECT_DOUBLE_EQ((0 + p0[G]) / 3, m.Prob(1, A, G));
    EXPECT_DOUBLE_EQ((0 + p0[T]) / 3, m.Prob(1, A, T));
    for (int b = 0; b < 4; b++)
        EXPECT_DOUBLE_EQ(p0[b], m.Prob(1, C, b));   // C starts no pair: order 0's row
    const double tAfterT = (1 + p0[T]) / 2;
    EXPECT_DOUBLE_EQ(tAfterT, m.Prob(1, T, T));
    EXPECT_DOUBLE_EQ((1 + p0[T]) / 2, m.Prob(1, G, T));

    EXPECT_DOUBLE_EQ((1 + m.Prob(1, A, C)) / 2, m.Prob(2, Ctx("AA"), C));
    EXPECT_DOUBLE_EQ((0 + m.Prob(1, A, A)) / 2, m.Prob(2, Ctx("AA"), A));
    EXPECT_DOUBLE_EQ((1 + tAfterT) / 2, m.Prob(2, Ctx("GT"), T));
    // A context never seen takes the row of its last letter.
    for (int b = 0; b < 4; b++)
        EXPECT_DOUBLE_EQ(m.Prob(1, A, b), m.Prob(2, Ctx("CA"), b));
}

TEST(MarkovChain, LettersOtherThanACGTBreakTheCounts)
{
    // "ANC" counts A and C (and T, G from "GNT") at order 0 and no pair.
    MarkovChain m = MarkovChain::Estimate({"ANC"}, 1);
    for (int b = 0; b < 4; b++)
        EXPECT_DOUBLE_EQ((1 + 0.25) / 5, m.Prob(0, 0, b));
    for (int a = 0; a < 4; a++)
        for (int b = 0; b < 4; b++)
            EXPECT_DOUBLE_EQ(m.Prob(0, 0, b), m.Prob(1, a, b));
}

TEST(MarkovChain, StretchUsesTheContextItHolds)
{
    MarkovChain m = MarkovChain::Estimate({"AACGTTAGCA", "GGATC"}, 2);
    auto L = [&](int j, const char* ctx, int b) { return log(m.Prob(j, Ctx(ctx), b)); };
    // First letters use the shorter contexts the word offers.
    EXPECT_DOUBLE_EQ(L(0, "", A) + L(1, "A", C) + L(2, "AC", G) + L(2, "CG", T),
                     m.LogPrWord("ACGT", 4, kAmb));
    // An N scores the fixed value and starts the context afresh.
    EXPECT_DOUBLE_EQ(L(0, "", A) + L(1, "A", C) + kAmb + L(0, "", G) + L(1, "G", T) + L(2, "GT", A),
                     m.LogPrWord("ACNGTA", 6, kAmb));
    EXPECT_EQ(0.0, m.LogPrWord("ACGT", 0, kAmb));

    std::vector<double> col(2 * 6, 99.0);
    m.FillLogColumn("ACNGTA", 6, kAmb, col.data() + 1, 2);
    EXPECT_DOUBLE_EQ(L(0, "", A), col[1]);
    EXPECT_EQ(kAmb, col[5]);
    EXPECT_DOUBLE_EQ(L(2, "GT", A), col[11]);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(99.0, col[2 * i]);   // only every stride-th cell is written
}

// Over random inputs and every order: each row is a distribution without
// zeros, the chain is strand-symmetric at order 0, and the column of a
// stretch sums (left to right) to the stretch's word score.
TEST(MarkovChain, PropertiesOverRandomInputs)
{
    std::mt19937 gen(20261207);
    const char letters[] = "ACGTACGTACGTN";
    for (int trial = 0; trial < 30; trial++) {
        std::vector<std::string> seqs(1 + gen() % 4);
        for (std::string& s : seqs)
            for (int i = 0, n = (int)(gen() % 60); i < n; i++)
                s.push_back(letters[gen() % 13]);
        int order = (int)(gen() % (MarkovChain::kMaxOrder + 1));
        MarkovChain m = MarkovChain::Estimate(seqs, order);
        for (int j = 0; j <= order; j++) {
            for (int ctx = 0; ctx < (1 << (2 * j)); ctx++) {
                double sum = 0.0;
                for (int b = 0; b < 4; b++) {
                    EXPECT_GT(m.Prob(j, ctx, b), 0.0);
                    sum += m.Prob(j, ctx, b);
                }
                EXPECT_NEAR(1.0, sum, 1e-12);
            }
        }
        EXPECT_DOUBLE_EQ(m.Prob(0, 0, A), m.Prob(0, 0, T));
        EXPECT_DOUBLE_EQ(m.Prob(0, 0, C), m.Prob(0, 0, G));
        for (const std::string& s : seqs) {
            std::vector<double> col(s.size() + 1, 0.0);
            m.FillLogColumn(s.data(), (int)s.size(), kAmb, col.data(), 1);
            double sum = 0.0;
            for (size_t i = 0; i < s.size(); i++)
                sum += col[i];
            EXPECT_EQ(sum, m.LogPrWord(s.data(), (int)s.size(), kAmb));
        }
    }
}

// Counting in pieces, as a genome is read, gives the chain of Estimate bit
// for bit: random sequences with N runs, cut at random places, every order.
TEST(MarkovChain, CountsGatheredInPiecesGiveTheSameChain)
{
    std::mt19937 rng(7);
    for (int order = 0; order <= MarkovChain::kMaxOrder; order++) {
        std::vector<std::string> seqs;
        for (int s = 0; s < 4; s++) {
            std::string x(1 + rng() % 400, 'A');
            for (char& c : x)
                c = rng() % 25 == 0 ? 'N' : "ACGT"[rng() % 4];
            seqs.push_back(x);
        }
        ChainCounter counter(order);
        for (const std::string& x : seqs) {
            for (size_t at = 0; at < x.size();) {
                size_t n = std::min(x.size() - at, (size_t)(rng() % 9));
                counter.Add(x.data() + at, n);
                at += n;
            }
            counter.EndSequence();
        }
        MarkovChain whole = MarkovChain::Estimate(seqs, order), pieces = counter.Chain();
        for (int j = 0; j <= order; j++)
            for (int ctx = 0; ctx < (1 << (2 * j)); ctx++)
                for (int b = 0; b < 4; b++)
                    ASSERT_EQ(whole.Prob(j, ctx, b), pieces.Prob(j, ctx, b)) << order << " " << j << " " << ctx;
    }
}
