// The scan's passes: a window's ratio equals the sum over every tiling of
// the window enumerated one by one; a module straddling a chunk edge is
// found once, and a chunked scan (on any number of threads) gives exactly
// the unchunked result; a planted cluster is found, random letters give
// nothing significant.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "scan/ChunkPass.h"
#include "scan/ScanRun.h"
#include "scan/ScanTestUtil.h"

namespace {

ScanModel TestModel(const std::vector<std::string>& train, int L, double rho, double siteRate)
{
    return MakeScanModel(MotifsFromMatrices(TestMatrices()), L, rho, siteRate, MarkovChain::Estimate(train, 1));
}

// Sum over all tilings of x[s .. s+n) by background letters and sites, in
// plain probabilities relative to the background, each tiling built and
// scored on its own.
double BruteWindowRatio(const ScanModel& m, const std::string& x, const std::vector<double>& bg, int s, int n)
{
    const double piB = 1.0 - m.siteRate * m.motifs.size();
    std::function<double(int)> from = [&](int j) -> double {
        if (j == n)
            return 1.0;
        double total = piB * from(j + 1);
        for (const ScanMotif& mo : m.motifs) {
            if (j + mo.width > n)
                continue;
            double fw = 1.0, rv = 1.0;
            for (int i = 0; i < mo.width; i++) {
                const char c = x[s + j + i], rc = x[s + j + mo.width - 1 - i];
                const int code = std::string("ACGT").find(c), rcode = 3 - (int)std::string("ACGT").find(rc);
                fw *= exp(mo.logs[4 * i + code]) / exp(bg[s + j + i]);
                rv *= exp(mo.logs[4 * i + rcode]) / exp(bg[s + j + i]);
            }
            total += m.siteRate * 0.5 * (fw + rv) * from(j + mo.width);
        }
        return total;
    };
    return from(0);
}

}  // namespace

TEST(ChunkPass, WindowRatioIsTheSumOverEveryTiling)
{
    for (unsigned seed = 1; seed <= 3; seed++) {
        std::string x = RandomLetters(seed, 60);
        PlantCluster(&x, 20, 30);   // some strong sites among the tilings
        ScanModel m = TestModel({RandomLetters(seed + 100, 500)}, 30, 0.01, 0.05);
        ChunkPass pass;
        ChunkResult r;
        pass.Scan(m, x.data(), (int)x.size(), 0, 0, (long long)x.size(), &r);
        std::vector<double> bg(x.size());
        m.chain.FillLogColumn(x.data(), (int)x.size(), -1.386, bg.data(), 1);
        for (int s : {0, 17, 30}) {
            const double brute = log(BruteWindowRatio(m, x, bg, s, 30));
            EXPECT_NEAR(brute, pass.WindowPass(m, s), 1e-9 * std::max(1.0, fabs(brute))) << "seed " << seed;
        }
    }
}

TEST(ChunkPass, PrefixAndSuffixWindowScoreIsTheWindowsOwnRatio)
{
    // Strong sites everywhere, so many window edges cut one.
    std::string x = RandomLetters(4, 3000);
    for (size_t at = 100; at + 300 < x.size(); at += 170)
        PlantCluster(&x, at, 90);
    ScanModel m = TestModel({x}, 200, 0.001, 0.01);
    ChunkPass pass;
    ChunkResult r;
    pass.Scan(m, x.data(), (int)x.size(), 0, 0, (long long)x.size(), &r);
    double worst = 0.0;
    for (int s = 0; s + 200 <= (int)x.size(); s++)
        worst = std::max(worst, fabs(pass.WindowScore(s + 199, 200) - pass.WindowPass(m, s)));
    EXPECT_LT(worst, 1e-6);
}

namespace {

struct Planted {
    std::vector<ScanSequence> target;
    size_t at;
};

Planted StraddlingTarget()
{
    Planted p;
    ScanSequence s;
    s.name = s.chrom = "chrT";
    s.letters = RandomLetters(21, 12000);
    p.at = 5900;   // the cluster spans the chunk edge at 6000
    PlantCluster(&s.letters, p.at, 200);
    p.target.push_back(std::move(s));
    return p;
}

void ExpectSameOutcome(const ScanOutcome& a, const ScanOutcome& b)
{
    ASSERT_EQ(a.modules.size(), b.modules.size());
    for (size_t i = 0; i < a.modules.size(); i++) {
        const ScanCall &x = a.modules[i].call, &y = b.modules[i].call;
        EXPECT_EQ(x.start, y.start);
        EXPECT_EQ(x.llr, y.llr);   // the same bits
        EXPECT_EQ(a.modules[i].p, b.modules[i].p);
        ASSERT_EQ(x.sites.size(), y.sites.size());
        for (size_t j = 0; j < x.sites.size(); j++) {
            EXPECT_EQ(x.sites[j].start, y.sites[j].start);
            EXPECT_EQ(x.sites[j].motif, y.sites[j].motif);
            EXPECT_EQ(x.sites[j].posterior, y.sites[j].posterior);
        }
    }
    ASSERT_EQ(a.prRuns.size(), b.prRuns.size());
    for (size_t s = 0; s < a.prRuns.size(); s++) {
        ASSERT_EQ(a.prRuns[s].size(), b.prRuns[s].size());
        for (size_t i = 0; i < a.prRuns[s].size(); i++) {
            EXPECT_EQ(a.prRuns[s][i].start, b.prRuns[s][i].start);
            EXPECT_EQ(a.prRuns[s][i].end, b.prRuns[s][i].end);
            EXPECT_EQ(a.prRuns[s][i].milli, b.prRuns[s][i].milli);
        }
    }
}

}  // namespace

TEST(ScanRun, ModuleAcrossAChunkEdgeIsFoundOnceAndChunkingChangesNothing)
{
    Planted p = StraddlingTarget();
    ScanModel m = TestModel({p.target[0].letters}, 200, 0.0005, 0.01);
    for (int range : {0, 250, 2000}) {
        m.localRange = range;   // the local composition reaches across the chunk edges too
        ScanSettings whole;
        whole.nullTiles = 300;
        ScanOutcome one = RunScan(m, p.target, whole);
        int overlapping = 0;
        for (const ScanModule& mod : one.modules)
            overlapping += mod.call.start < (long long)p.at + 200 && mod.call.start + 200 > (long long)p.at;
        EXPECT_EQ(1, overlapping) << range;

        for (long long size : {2000LL, 5950LL, 6000LL, 6050LL, 5000LL}) {
            for (int threads : {1, 2}) {
                ScanSettings chunked = whole;
                chunked.chunkSize = size;
                chunked.threads = threads;
                SCOPED_TRACE("range " + std::to_string(range) + " chunk " + std::to_string(size) +
                             " threads " + std::to_string(threads));
                ExpectSameOutcome(one, RunScan(m, p.target, chunked));
            }
        }
    }
}

TEST(ScanRun, PlantedClusterIsTheTopModuleAndRandomLettersGiveNone)
{
    Planted p = StraddlingTarget();
    ScanModel m = TestModel({p.target[0].letters}, 200, 0.0005, 0.01);
    ScanSettings settings;
    settings.nullTiles = 2000;
    ScanOutcome o = RunScan(m, p.target, settings);
    ASSERT_FALSE(o.modules.empty());
    const ScanModule* top = &o.modules[0];
    for (const ScanModule& mod : o.modules)
        if (mod.call.llr > top->call.llr)
            top = &mod;
    EXPECT_LT(top->call.start, (long long)p.at + 200);
    EXPECT_GT(top->call.start + 200, (long long)p.at);
    EXPECT_LE(top->p, 1.0 / 2001.0 * 1.0001);   // above every null tile
    EXPECT_LT(top->q, 0.05);
    EXPECT_GE(top->call.sites.size(), 5u);

    // Twenty random targets of 20 kb: at most one may show a module at q < 0.05.
    int significant = 0;
    for (unsigned seed = 1; seed <= 20; seed++) {
        ScanSequence s;
        s.name = s.chrom = "r";
        s.letters = RandomLetters(1000 + seed, 20000);
        ScanModel mr = TestModel({s.letters}, 200, 0.0005, 0.01);
        settings.seed = seed;
        ScanOutcome r = RunScan(mr, {s}, settings);
        bool any = false;
        for (const ScanModule& mod : r.modules)
            any = any || mod.q < 0.05;
        significant += any;
    }
    EXPECT_LE(significant, 1);
}

TEST(ScanRun, CalledWindowsNeverOverlapComeInGenomeOrderAndIgnoreChunks)
{
    // A high module rate calls many windows, close together.
    for (unsigned seed = 1; seed <= 4; seed++) {
        ScanSequence s;
        s.name = s.chrom = "r";
        s.letters = RandomLetters(500 + seed, 30000);
        for (size_t at = 1000; at + 300 < s.letters.size(); at += 2500)
            PlantCluster(&s.letters, at, 120 + (at / 2500) % 5 * 60);
        ScanModel m = TestModel({s.letters}, 200, 0.01, 0.01);
        ScanSettings settings;
        settings.nullTiles = 100;
        settings.chunkSize = 3000;
        ScanOutcome o = RunScan(m, {s}, settings);
        ASSERT_GE(o.modules.size(), 10u);
        for (size_t i = 1; i < o.modules.size(); i++)
            EXPECT_GE(o.modules[i].call.start, o.modules[i - 1].call.start + 200) << "seed " << seed << " call " << i;
        settings.chunkSize = 1000000;
        ExpectSameOutcome(o, RunScan(m, {s}, settings));
    }
}
