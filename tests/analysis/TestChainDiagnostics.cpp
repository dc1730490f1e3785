// Convergence diagnostics on chains whose answer is known: independent
// draws of one distribution agree, shifted or drifting chains do not, and
// the effective sample size of an AR(1) chain is near its theoretical value.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "analysis/ChainDiagnostics.h"

namespace {

std::vector<double> Ar1(std::mt19937_64& gen, int n, double phi, double shift = 0, double drift = 0)
{
    std::normal_distribution<double> noise(0.0, std::sqrt(1 - phi * phi));
    std::vector<double> x(n);
    double v = noise(gen) / std::sqrt(1 - phi * phi);
    for (int i = 0; i < n; i++) {
        v = phi * v + noise(gen);
        x[i] = v + shift + drift * i / n;
    }
    return x;
}

}  // namespace

TEST(ChainDiagnostics, RhatSeparatesAgreeingFromShiftedAndDriftingChains)
{
    std::mt19937_64 gen(11);
    for (int rep = 0; rep < 10; rep++) {
        std::vector<std::vector<double>> same, shifted, drifting;
        for (int c = 0; c < 4; c++) {
            same.push_back(Ar1(gen, 1000, 0.0));
            shifted.push_back(Ar1(gen, 1000, 0.0, c == 3 ? 1.0 : 0.0));
            drifting.push_back(Ar1(gen, 1000, 0.0, 0.0, 2.0));
        }
        EXPECT_LT(SplitRhat(same), kRhatAgreement) << rep;
        EXPECT_GT(SplitRhat(shifted), 1.05) << rep;
        EXPECT_GT(SplitRhat(drifting), 1.05) << rep;   // only the split halves see a drift
    }
}

TEST(ChainDiagnostics, DegenerateChains)
{
    EXPECT_EQ(1.0, SplitRhat({{2, 2, 2, 2}, {2, 2, 2, 2}}));
    EXPECT_TRUE(std::isinf(SplitRhat({{1, 1, 1, 1}, {2, 2, 2, 2}})));
    EXPECT_TRUE(std::isnan(SplitRhat({{1, 2, 3, 4}})));
    EXPECT_TRUE(std::isnan(SplitRhat({{1, 2, 3}, {1, 2, 3}})));
    EXPECT_EQ(4.0, EffectiveSampleSize({5, 5, 5, 5}));
}

TEST(ChainDiagnostics, EffectiveSampleSizeOfIndependentAndAutocorrelatedDraws)
{
    std::mt19937_64 gen(5);
    const int n = 4000;
    for (int rep = 0; rep < 5; rep++) {
        double iid = EffectiveSampleSize(Ar1(gen, n, 0.0));
        EXPECT_GT(iid, 0.8 * n);
        EXPECT_LE(iid, n);
        // AR(1) with phi 0.9: n (1 - phi) / (1 + phi), about 211.
        double ar = EffectiveSampleSize(Ar1(gen, n, 0.9));
        EXPECT_GT(ar, 0.6 * n * 0.1 / 1.9);
        EXPECT_LT(ar, 1.5 * n * 0.1 / 1.9);
    }
}

TEST(ChainDiagnostics, RunsAreDiagnosedOnTheirRecordedSweeps)
{
    std::mt19937_64 gen(3);
    std::vector<RunResult> runs(3);
    for (RunResult& r : runs) {
        r.burnIn = 100;
        std::vector<double> lp = Ar1(gen, 600, 0.5);
        for (int t = 0; t < 600; t++) {
            SweepStat s;
            // The burn-in climbs far away: it must be left out.
            s.score = t < 100 ? -1000.0 + t : lp[t];
            s.modules = 5 + (int)(gen() % 3);
            r.sweepStats.push_back(s);
        }
    }
    ChainDiagnostics d = DiagnoseChains(runs);
    EXPECT_LT(d.rhatLogPosterior, 1.02);
    EXPECT_LT(d.rhatModules, 1.02);
    ASSERT_EQ(3u, d.essLogPosterior.size());
    EXPECT_STREQ("the chains agree", ChainVerdict(d));
    runs[2].sweepStats[300].score = 1e6;   // one chain leaps away
    for (int t = 300; t < 600; t++)
        runs[2].sweepStats[t].score += 50;
    ChainDiagnostics apart = DiagnoseChains(runs);
    EXPECT_FALSE(apart.agree);
    EXPECT_STREQ("the chains disagree: run more sweeps", ChainVerdict(apart));
}
