// The local composition of the scan's background: a GC-rich island in an
// AT-rich sequence holds many chance matches of GC-rich matrices, which the
// genome-wide chain reads as a module and the local composition does not,
// while a planted cluster of the same matrices in the AT-rich sequence is
// found either way; where the composition is the chain's own, the local
// reweighting changes a window's ratio only a little.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "scan/ChunkPass.h"
#include "scan/ScanRun.h"
#include "scan/ScanTestUtil.h"

namespace {

// Letters drawn with probability gc of G or C.
std::string Skewed(unsigned seed, size_t n, double gc)
{
    Rng rng(seed);
    std::string s(n, 'A');
    for (char& c : s) {
        const double u = (rng.next() % 1000000) / 1000000.0;
        c = u < gc / 2 ? 'G' : u < gc ? 'C' : u < gc + (1 - gc) / 2 ? 'A' : 'T';
    }
    return s;
}

std::vector<ScanMotif> GcMotifs()
{
    std::vector<MotifMatrix> matrices;
    std::string text, reason;
    for (const std::string c : {"GCGGCCGC", "CCGCGGGC"}) {
        text += ">" + std::to_string(c.size()) + " " + c + "\n";
        for (char x : c)
            for (int b = 0; b < 4; b++)
                text += std::string(b ? "\t" : "") + ("ACGT"[b] == x ? "85" : "5") + (b == 3 ? "\n" : "");
    }
    EXPECT_TRUE(ParseMatrixText(text, &matrices, &reason)) << reason;
    return MotifsFromMatrices(matrices);
}

bool AnyCallIn(const ScanOutcome& o, long long a, long long b)
{
    for (const ScanModule& m : o.modules)
        if (m.call.start < b && m.call.start + o.moduleLength > a)
            return true;
    return false;
}

}  // namespace

TEST(LocalComposition, GcIslandIsNoModuleButAPlantedClusterIs)
{
    ScanSequence s;
    s.name = s.chrom = "chrI";
    s.letters = Skewed(3, 30000, 0.3);
    s.letters.replace(8000, 3000, Skewed(4, 3000, 0.75));
    for (int i = 0; i < 3; i++) {
        s.letters.replace(20010 + 60 * i, 8, "GCGGCCGC");
        s.letters.replace(20040 + 60 * i, 8, "GCCCGCGG");   // the second motif, reverse strand
    }
    ScanModel m = MakeScanModel(GcMotifs(), 200, 0.0005, 0.01, MarkovChain::Estimate({s.letters}, 1));
    ScanSettings settings;
    settings.nullTiles = 300;
    const ScanOutcome global = RunScan(m, {s}, settings);
    m.localRange = 250;
    const ScanOutcome local = RunScan(m, {s}, settings);
    EXPECT_TRUE(AnyCallIn(global, 8000, 11000));
    EXPECT_FALSE(AnyCallIn(local, 8000, 11000));
    EXPECT_TRUE(AnyCallIn(global, 20000, 20200));
    EXPECT_TRUE(AnyCallIn(local, 20000, 20200));
}

TEST(LocalComposition, UniformLettersKeepTheirWindowRatios)
{
    const std::string x = RandomLetters(9, 6000);
    ScanModel m =
        MakeScanModel(MotifsFromMatrices(TestMatrices()), 200, 0.0005, 0.01, MarkovChain::Estimate({x}, 1));
    ChunkPass pass;
    ChunkResult r;
    pass.Scan(m, x.data(), (int)x.size(), 0, 0, (long long)x.size(), &r);
    std::vector<double> before;
    for (int s = 1000; s < 5000; s += 250)
        before.push_back(pass.WindowPass(m, s, true));
    m.localRange = 250;
    pass.Scan(m, x.data(), (int)x.size(), 0, 0, (long long)x.size(), &r);
    double largest = 0.0;
    for (int s = 1000, i = 0; s < 5000; s += 250, i++) {
        const double d = std::fabs(pass.WindowPass(m, s, true) - before[i]);
        largest = std::max(largest, d);
    }
    EXPECT_GT(largest, 0.0);   // the reweighting does act ...
    EXPECT_LT(largest, 0.5);   // ... but uniform letters are near the chain everywhere
}
