// The fast passes of a sweep give the very bits of the step-by-step
// reference passes: the interleaved module forward passes against the
// module-model pass and the literal background/module recursion, the
// two-strand sums against computing them in place, the sweep's site pass
// against one window at a time, and the whole draw-free phase and its draws
// on scored sequences with N against the reference steps.
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

// The fast module pass of sequence s alone: its two-strand sums (both
// strands), then one lane.
void OneLane(CGibbsDP& g, int s, double rho, const MixLogTerms& mix, const double* table, double* strand,
             double* A, double* B, double* C)
{
    if (g.m_BothStrand)
        g.StrandSums(table, g.m_Seq[s].GetLength(), strand);
    ForwardLane lane = g.MakeLane(s, table, g.m_BothStrand ? strand : nullptr, A, B, C);
    g.ForwardLanes(&lane, 1, rho, mix);
}

}  // namespace

// Many random tables, widths, module lengths (shorter and longer than the
// sequence), mixing proportions and both strand settings.
TEST(SweepPasses, OneLaneAndReferenceGiveTheBitsOfTheLiteralRecursion)
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

        // The module-model pass, then the recursion over modules written out
        // literally.
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

        std::vector<double> rB(len), rC(len);
        g.CalModuleChain(0, rho, table.data(), A.data(), rB.data(), rC.data());
        MixLogTerms mix;
        g.MixLogs(pi.data(), &mix);
        std::vector<double> strand(len * K, 12345.0);
        std::vector<double> fA(len), fB(len), fC(len);
        OneLane(g, 0, rho, mix, table.data(), strand.data(), fA.data(), fB.data(), fC.data());
        for (int t = 0; t < len; t++) {
            ASSERT_EQ(B[t], rB[t]) << "trial " << trial << " t " << t;
            ASSERT_EQ(C[t], rC[t]) << "trial " << trial << " t " << t;
            ASSERT_EQ(A[t], fA[t]) << "trial " << trial << " t " << t;
            ASSERT_EQ(B[t], fB[t]) << "trial " << trial << " t " << t;
            ASSERT_EQ(C[t], fC[t]) << "trial " << trial << " t " << t;
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
// module) run in step give each the bits of its reference pass alone.
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
            g.CalModuleLogPr(len - 1, len, tables[s].data(), pi.data(), a);
            g.CalModuleChain(s, rho, tables[s].data(), a, a + len, a + 2 * len);
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

namespace {

// Letters with N: runs of N (now and then a soft-masked n) among A, C, G, T.
std::string LettersWithN(CTestRandom& r, int len)
{
    std::string s;
    while ((int)s.size() < len) {
        int run = 1 + r.Below(12);
        char c = r.Below(9) == 0 ? (r.Below(4) == 0 ? 'n' : 'N') : 0;
        for (int i = 0; i < run && (int)s.size() < len; i++)
            s += c ? c : "ACGT"[r.Below(4)];
    }
    return s;
}

// One random scored case: sequences (some of fewer than two letters), K,
// widths, module length, strand setting, background, matrices, rho and pi,
// and two identical sampler states a (reference) and b (fast), with
// background columns already written into both sets of tables.
struct ScoredCase {
    CGibbsDP a, b;
    std::vector<std::vector<double>> tablesA, tablesB, pwm;
    std::vector<double*> ptrA, ptrB, pwmPtr;
    std::vector<int> lens;
    std::vector<double> pi;
    double rho = 0.0;

    ScoredCase(CTestRandom& r, int trial)
    {
        const int N = 1 + r.Below(6), K = 1 + r.Below(4);
        std::vector<std::string> seqs;
        for (int i = 0; i < N; i++)
            seqs.push_back(LettersWithN(r, r.Below(8) == 0 ? r.Below(2) : 2 + r.Below(400)));
        std::vector<int> widths;
        for (int k = 0; k < K; k++)
            widths.push_back(5 + r.Below(12));
        const int modLen = 5 + r.Below(300);
        for (CGibbsDP* g : {&a, &b}) {
            MakeState(*g, seqs, widths, modLen, trial % 2 == 0);
            for (int c = 0; c < 20; c++)
                g->m_BgModel[c] = c < 4 ? 0.25 : 0.1 + 0.3 * ((c * 7 + trial) % 5) / 4.0;
        }
        b.m_Threads = 1 + trial % 3;
        for (int k = 0; k < K; k++) {
            pwm.emplace_back(4 * widths[k]);
            for (double& x : pwm.back())
                x = r.Uniform(0.02, 1.0);
        }
        for (auto& m : pwm)
            pwmPtr.push_back(m.data());
        pi.resize(K + 1);
        double total = 0.0;
        for (double& x : pi)
            total += x = r.Uniform(0.05, 1.0);
        for (double& x : pi)
            x /= total;
        rho = r.Uniform(0.01, 0.6);
        for (int i = 0; i < N; i++) {
            lens.push_back((int)seqs[i].size());
            tablesA.emplace_back((size_t)lens[i] * (2 * K + 1) + 1);
            tablesB.emplace_back((size_t)lens[i] * (2 * K + 1) + 1);
        }
        for (int i = 0; i < N; i++) {
            ptrA.push_back(tablesA[i].data());
            ptrB.push_back(tablesB[i].data());
        }
        a.CalLogBgPrPos(ptrA.data(), lens.data());
        b.CalLogBgPrPos(ptrB.data(), lens.data());
    }
};

}  // namespace

// The draw-free phase of a sweep (scores, two-strand sums, interleaved
// module passes, split over threads) and its draws, then the sweep's site
// pass, against the reference steps one sequence and one window at a time:
// on scored sequences with N, every table entry, A, B, C, forward value of
// every site window, module, ratio, site and draw is the same.
TEST(SweepPasses, FastPhaseGivesTheReferenceBitsOnScoredSequencesWithN)
{
    CTestRandom r(1931);
    int windows = 0, modules = 0, sites = 0;
    for (int trial = 0; trial < 80; trial++) {
        ScoredCase c(r, trial);
        CGibbsDP &a = c.a, &b = c.b;
        const int N = a.m_SeqNum, K = a.m_MotifNum, stride = 2 * K + 1;
        a.CalLogPrPos(c.ptrA.data(), c.lens.data(), c.pwmPtr.data());
        b.DrawFreePasses(c.rho, c.pi.data(), c.pwmPtr.data(), c.ptrB.data(), c.lens.data());
        ASSERT_EQ(c.tablesA, c.tablesB) << "trial " << trial;

        // Module pass and module draws.
        const int move0 = (int)r.Below(5) - 1;
        int moveA = move0, moveB = move0;
        a.m_Rng.seed(trial + 3);
        b.m_Rng.seed(trial + 3);
        for (int i = 0; i < N; i++) {
            const int len = c.lens[i];
            SequenceWork& w = b.m_Work->seqs[i];
            if (len >= 2) {
                std::vector<double> A(len), B(len), C(len);
                a.CalModuleLogPr(len - 1, len, c.ptrA[i], c.pi.data(), A.data());
                a.CalModuleChain(i, c.rho, c.ptrA[i], A.data(), B.data(), C.data());
                ASSERT_EQ(A, w.A) << "trial " << trial << " seq " << i;
                ASSERT_EQ(B, w.B) << "trial " << trial << " seq " << i;
                ASSERT_EQ(C, w.C) << "trial " << trial << " seq " << i;
            }
            for (int p = 0; a.m_BothStrand && p < len; p++)
                for (int k = 0; k < K; k++)
                    ASSERT_EQ(LogSum(c.tablesA[i][p * stride + 2 * k], c.tablesA[i][p * stride + 2 * k + 1]),
                              w.strand[(size_t)p * K + k]);
            a.ApproxSampleCurSeq(i, c.rho, c.pi.data(), nullptr, c.ptrA[i], &moveA);
            if (len >= 2)
                b.DrawModules(i, c.rho, w.A.data(), w.B.data(), w.C.data(), &moveB);
            else
                b.DrawModules(i, c.rho, nullptr, nullptr, nullptr, &moveB);
            const MODULEINFO &x = a.m_ModInfo[i], &y = b.m_ModInfo[i];
            ASSERT_EQ(x.ModCount, y.ModCount);
            for (int j = 0; j < x.ModCount; j++)
                ASSERT_EQ(x.ModStart[j], y.ModStart[j]);
            ASSERT_EQ(x.LogRatio, y.LogRatio);
            ASSERT_EQ(x.StepLogRatio, y.StepLogRatio);
            modules += x.ModCount;
        }
        ASSERT_EQ(moveA, moveB);

        // Site pass: the reference one window at a time (two-strand sums
        // taken in place), the sweep's from the module pass's sums.
        for (int i = 0; i < N; i++) {
            const int lm = a.m_ModLen < c.lens[i] ? a.m_ModLen : c.lens[i];
            for (int j = 0; j < a.m_ModInfo[i].ModCount; j++)
                a.SampleSites(c.pi.data(), c.ptrA[i], i, a.m_ModInfo[i].ModStart[j] + lm - 1, lm);
        }
        b.SampleSweepSites(c.pi.data(), c.ptrB.data(), c.lens.data());
        ASSERT_EQ(a.m_Rng.next(), b.m_Rng.next()) << "the same number of draws, trial " << trial;
        MixLogTerms mix;
        a.MixLogs(c.pi.data(), &mix);
        for (SiteWindow win : b.m_Work->siteWindows) {
            const double* fast = win.F;
            std::vector<double> F(win.n);
            win.F = F.data();
            win.table = c.ptrA[win.seq];
            win.strand = nullptr;
            a.CalSiteForward(win, mix);
            for (int q = 0; q < win.n; q++)
                ASSERT_EQ(F[q], fast[q]) << "trial " << trial << " window at " << win.s0 << " letter " << q;
            windows++;
        }
        for (int k = 0; k < K; k++)
            for (int i = 0; i < N; i++) {
                SITEINFO *x = a.m_Sites[k][i]->Next, *y = b.m_Sites[k][i]->Next;
                for (; x && y; x = x->Next, y = y->Next, sites++) {
                    ASSERT_EQ(x->Pos, y->Pos);
                    ASSERT_EQ(x->Strand, y->Strand);
                    ASSERT_TRUE(x->Word == y->Word);
                }
                ASSERT_TRUE(!x && !y) << "trial " << trial << " motif " << k << " seq " << i;
            }
    }
    // The cases exercise every part: many modules, windows and sites.
    EXPECT_GT(modules, 100);
    EXPECT_GT(windows, 100);
    EXPECT_GT(sites, 100);
}
