// The draw-free passes computed ahead of the draws give the very bits of
// the step-by-step passes: the fused module forward pass against the
// module-model pass and the literal background/module recursion, the
// two-strand sums against computing them in place, and the site draws
// with precomputed sums against those without.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "SamplerFixture.h"
#include "sampler/SweepWork.h"

namespace {

std::string RandomLetters(CTestRandom& r, int len)
{
    std::string s;
    for (int i = 0; i < len; i++)
        s += "ACGT"[r.Below(4)];
    return s;
}

}  // namespace

// Many random tables, widths, module lengths (shorter and longer than the
// sequence), mixing proportions and both strand settings.
TEST(SweepPasses, ModuleForwardGivesTheBitsOfTheSeparatePasses)
{
    CTestRandom r(2027);
    for (int trial = 0; trial < 120; trial++) {
        bool both = trial % 2 == 0;
        int len = 2 + r.Below(300);
        int K = 1 + r.Below(4);
        std::vector<int> widths;
        for (int k = 0; k < K; k++)
            widths.push_back(3 + r.Below(12));
        CGibbsDP g;
        MakeState(g, {RandomLetters(r, len)}, widths, 2 + r.Below(260), both);
        std::vector<double> table = MakeTable(g, len, 100 + trial);
        std::vector<double> pi(K + 1);
        double total = 0.0;
        for (int k = 0; k <= K; k++)
            total += pi[k] = r.Uniform(0.05, 1.0);
        for (int k = 0; k <= K; k++)
            pi[k] /= total;
        double rho = r.Uniform(0.001, 0.5);

        // The module-model pass, then the recursion over modules, as the
        // one-sequence step writes them.
        std::vector<double> A(len), C(len);
        g.CalModuleLogPr(len - 1, len, table.data(), pi.data(), A.data());
        const int stride = 2 * K + 1, bg = 2 * K;
        const int Lm = g.m_ModLen < len ? g.m_ModLen : len;
        std::vector<double> B(len);
        B[0] = table[bg];
        C[0] = B[0];
        for (int t = 1; t <= Lm - 2; t++) {
            B[t] = table[t * stride + bg];
            C[t] = C[t - 1] + B[t];
        }
        for (int t = Lm - 1; t < len; t++) {
            B[t] = t == Lm - 1 ? A[t] : A[t] - A[t - Lm];
            double x1 = log(1.0 - rho) + C[t - 1] + table[t * stride + bg];
            double x2 = log(rho) + B[t];
            if (t > Lm - 1)
                x2 = x2 + C[t - Lm];
            C[t] = LogSum(x1, x2);
        }

        MixLogTerms mix;
        g.MixLogs(pi.data(), &mix);
        std::vector<double> strand(len * K, 12345.0);
        for (int keepSums = 0; keepSums < 2; keepSums++) {
            std::vector<double> fA(len), fB(len), fC(len);
            g.ModuleForward(0, rho, mix, table.data(), keepSums ? strand.data() : nullptr, fA.data(),
                            fB.data(), fC.data());
            for (int t = 0; t < len; t++) {
                ASSERT_EQ(A[t], fA[t]) << "trial " << trial << " t " << t;
                ASSERT_EQ(B[t], fB[t]) << "trial " << trial << " t " << t;
                ASSERT_EQ(C[t], fC[t]) << "trial " << trial << " t " << t;
            }
        }
        for (int p = 0; p < len; p++)
            for (int k = 0; k < K; k++)
                ASSERT_EQ(both ? LogSum(table[p * stride + 2 * k], table[p * stride + 2 * k + 1]) : 12345.0,
                          strand[p * K + k]);
    }
}

// The same seed gives the same sites, strands and draws with and without
// the precomputed two-strand sums.
TEST(SweepPasses, SiteDrawsAreTheSameWithPrecomputedStrandSums)
{
    CTestRandom r(77);
    for (int trial = 0; trial < 40; trial++) {
        int len = 40 + r.Below(200);
        std::string seq = RandomLetters(r, len);
        CGibbsDP a, b;
        MakeState(a, {seq}, {4, 7, 5}, 30, true);
        MakeState(b, {seq}, {4, 7, 5}, 30, true);
        std::vector<double> table = MakeTable(a, len, 900 + trial);
        std::vector<double> strand(len * 3);
        for (int p = 0; p < len; p++)
            for (int k = 0; k < 3; k++)
                strand[p * 3 + k] = LogSum(table[p * 7 + 2 * k], table[p * 7 + 2 * k + 1]);
        double pi[4] = {0.1, 0.15, 0.05, 0.7};
        a.m_Rng.seed(trial + 1);
        b.m_Rng.seed(trial + 1);
        for (int e = 29; e < len; e += 31) {
            a.SampleSites(pi, table.data(), 0, e, 30);
            b.SampleSites(pi, table.data(), 0, e, 30, strand.data());
        }
        ASSERT_EQ(a.m_Rng.next(), b.m_Rng.next()) << "the same number of draws";
        for (int k = 0; k < 3; k++) {
            SITEINFO *x = a.m_Sites[k][0]->Next, *y = b.m_Sites[k][0]->Next;
            for (; x && y; x = x->Next, y = y->Next) {
                EXPECT_EQ(x->Pos, y->Pos);
                EXPECT_EQ(x->Strand, y->Strand);
            }
            EXPECT_TRUE(!x && !y) << "trial " << trial << " motif " << k;
        }
    }
}
