// The draw-free passes computed ahead of the draws give the very bits of
// the step-by-step passes: the fused module forward pass against the
// module-model pass and the literal background/module recursion, the
// two-strand sums against computing them in place, and the site draws
// with precomputed sums against those without.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
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

// Sequences of unequal lengths (two letters, shorter and longer than the
// module) run in step give each the bits of its pass alone.
TEST(SweepPasses, InterleavedForwardPassesGiveEachSequencesOwnBits)
{
    CTestRandom r(4711);
    for (int trial = 0; trial < 60; trial++) {
        bool both = trial % 3 != 0;
        int n = 1 + r.Below(kForwardLanes);
        std::vector<std::string> seqs;
        for (int g = 0; g < n; g++)
            seqs.push_back(RandomLetters(r, g == 0 && trial % 4 == 0 ? 2 : 2 + r.Below(400)));
        int K = 1 + r.Below(4);
        std::vector<int> widths;
        for (int k = 0; k < K; k++)
            widths.push_back(3 + r.Below(12));
        CGibbsDP g;
        MakeState(g, seqs, widths, 2 + r.Below(200), both);
        std::vector<double> pi(K + 1, 1.0 / (K + 1));
        MixLogTerms mix;
        g.MixLogs(pi.data(), &mix);
        double rho = r.Uniform(0.001, 0.5);

        std::vector<std::vector<double>> tables, strands, alone, lanes;
        std::vector<ForwardLane> group;
        for (int s = 0; s < n; s++) {
            int len = (int)seqs[s].size();
            tables.push_back(MakeTable(g, len, 50 * trial + s));
            strands.emplace_back((size_t)len * K);
            alone.emplace_back(3 * (size_t)len);
            lanes.emplace_back(3 * (size_t)len, 777.0);
        }
        for (int s = 0; s < n; s++) {
            int len = (int)seqs[s].size();
            double* a = alone[s].data();
            std::vector<double> unused((size_t)len * K);
            g.ModuleForward(s, rho, mix, tables[s].data(), unused.data(), a, a + len, a + 2 * len);
            if (both)
                g.StrandSums(tables[s].data(), len, strands[s].data());
            double* l = lanes[s].data();
            group.push_back(g.MakeLane(s, tables[s].data(), both ? strands[s].data() : nullptr, l, l + len,
                                       l + 2 * len));
        }
        g.ForwardLanes(group.data(), n, rho, mix);
        for (int s = 0; s < n; s++)
            for (size_t e = 0; e < alone[s].size(); e++)
                ASSERT_EQ(alone[s][e], lanes[s][e]) << "trial " << trial << " seq " << s << " entry " << e;
    }
}

// More motifs than one batch of sums holds: every entry is still its own
// LogSum.
TEST(SweepPasses, StrandSumsOfManyMotifsCrossTheirBatches)
{
    CTestRandom r(5);
    std::vector<int> widths(130, 4);
    CGibbsDP g;
    MakeState(g, {RandomLetters(r, 9)}, widths, 5, true);
    std::vector<double> table = MakeTable(g, 9, 3);
    std::vector<double> strand(9 * 130);
    g.StrandSums(table.data(), 9, strand.data());
    const int stride = 2 * 130 + 1;
    for (int p = 0; p < 9; p++)
        for (int k = 0; k < 130; k++)
            ASSERT_EQ(LogSum(table[p * stride + 2 * k], table[p * stride + 2 * k + 1]), strand[p * 130 + k]);
}

// A sweep's site pass (forward passes of all windows first, several in
// step, then the draws) gives the sites and draws of one window at a time,
// with windows cut at the sequence ends, windows too short for any site and
// both strand settings.
TEST(SweepPasses, SweepSitePassGivesTheSitesOfOneWindowAtATime)
{
    CTestRandom r(99);
    for (int trial = 0; trial < 40; trial++) {
        const bool both = trial % 2 == 0;
        const int N = 1 + r.Below(7), Lm = 20 + r.Below(60);
        std::vector<std::string> seqs;
        for (int i = 0; i < N; i++)
            seqs.push_back(RandomLetters(r, i == 0 ? 3 : 10 + r.Below(300)));
        CGibbsDP a, b;
        MakeState(a, seqs, {4, 7, 5}, Lm, both);
        MakeState(b, seqs, {4, 7, 5}, Lm, both);
        std::vector<std::vector<double>> tables;
        std::vector<double*> ptrs;
        std::vector<int> lens;
        b.m_Work = std::make_unique<SweepWork>();
        b.m_Work->seqs.resize(N);
        for (int i = 0; i < N; i++) {
            const int len = (int)seqs[i].size();
            tables.push_back(MakeTable(a, len, 300 * trial + i));
            lens.push_back(len);
            std::vector<double>& strand = b.m_Work->seqs[i].strand;
            if (both) {
                strand.resize((size_t)len * 3);
                for (int p = 0; p < len; p++)
                    for (int k = 0; k < 3; k++)
                        strand[p * 3 + k] = LogSum(tables[i][p * 7 + 2 * k], tables[i][p * 7 + 2 * k + 1]);
            }
            // Non-overlapping module starts, descending, the first possibly
            // running past the sequence's end.
            std::vector<int> starts;
            for (int s = len - 1 - r.Below(Lm); s >= 0; s -= Lm + r.Below(40))
                starts.push_back(s);
            SetModules(a, i, starts);
            SetModules(b, i, starts);
        }
        for (auto& t : tables)
            ptrs.push_back(t.data());
        double pi[4] = {0.1, 0.15, 0.05, 0.7};
        a.m_Rng.seed(trial + 7);
        b.m_Rng.seed(trial + 7);
        for (int i = 0; i < N; i++) {
            const int lm = Lm < lens[i] ? Lm : lens[i];
            for (int j = 0; j < a.m_ModInfo[i].ModCount; j++)
                a.SampleSites(pi, ptrs[i], i, a.m_ModInfo[i].ModStart[j] + lm - 1, lm);
        }
        b.SampleSweepSites(pi, ptrs.data(), lens.data());
        ASSERT_EQ(a.m_Rng.next(), b.m_Rng.next()) << "the same number of draws, trial " << trial;
        for (int k = 0; k < 3; k++)
            for (int i = 0; i < N; i++) {
                SITEINFO *x = a.m_Sites[k][i]->Next, *y = b.m_Sites[k][i]->Next;
                for (; x && y; x = x->Next, y = y->Next) {
                    ASSERT_EQ(x->Pos, y->Pos);
                    ASSERT_EQ(x->Strand, y->Strand);
                }
                ASSERT_TRUE(!x && !y) << "trial " << trial << " motif " << k << " seq " << i;
            }
    }
}
