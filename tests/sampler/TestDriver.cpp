// The sweep over many random small inputs and seeds, with the state checked
// after every sweep; and the per-sweep trace of the executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "model/ModelTestUtil.h"
#include "monitor/RunMonitor.h"
#include "sampler/SamplerFixture.h"
#include "support/TestSupport.h"

// The driver's buffers for a run on an initialised sampler.
struct SWEEPBUFFERS {
    double Rho = 0.0;
    std::vector<double> Pi;
    std::vector<double*> Pwm;
    std::vector<int> SeqLen;
    std::vector<double*> Tables;
    int MeanLen = 0;

    explicit SWEEPBUFFERS(CGibbsDP& g)
    {
        int K = g.m_MotifNum;
        Pi.assign(K + 1, 0.0);
        for (int k = 0; k < K; k++)
            Pwm.push_back(new double[4 * g.m_Width[k]]);
        long long total = 0;
        for (int i = 0; i < g.m_SeqNum; i++) {
            SeqLen.push_back(g.m_Seq[i].GetLength());
            Tables.push_back(new double[SeqLen[i] * (2 * K + 1) + 1]);
            total += SeqLen[i];
        }
        MeanLen = (int)(total / g.m_SeqNum);
        g.CalLogBgPrPos(Tables.data(), SeqLen.data());
    }
    ~SWEEPBUFFERS()
    {
        for (double* p : Pwm)
            delete[] p;
        for (double* t : Tables)
            delete[] t;
    }
};

struct SWEEPCASE {
    std::vector<std::string> Seqs;
    int K, MinWidth, MaxWidth, ModLen;
    bool Both, SampleParam, Independent, FixModLen;
};

static SWEEPCASE RandomCase(unsigned seed)
{
    CTestRandom r(seed);
    SWEEPCASE c;
    int n = 1 + r.Below(5);
    const char* letters = "ACGTACGTACGTN";
    for (int i = 0; i < n; i++) {
        int len = r.Below(6) == 0 ? r.Below(3) : r.Below(160);
        std::string s;
        for (int p = 0; p < len; p++)
            s += letters[r.Below(13)];
        c.Seqs.push_back(s);
    }
    c.K = 1 + r.Below(3);
    c.MinWidth = 5 + r.Below(3);
    c.MaxWidth = c.MinWidth + r.Below(4);
    c.ModLen = c.MinWidth + r.Below(110);
    c.Both = r.Below(2);
    c.SampleParam = r.Below(2);
    c.Independent = r.Below(6) == 0;
    c.FixModLen = r.Below(3) == 0;
    return c;
}

TEST(RunSweep, StateStaysSoundAfterEverySweep)
{
    int grown = 0, moved = 0;
    for (unsigned seed = 1; seed <= 40; seed++) {
        SWEEPCASE c = RandomCase(seed);
        CTempDir dir;
        WriteFile(dir.Path("in.fa"), ToFasta(c.Seqs));
        CGibbsDP g;
        g.m_Input = LoadedRecords(dir.Path("in.fa"));
        g.m_MotifNum = c.K;
        g.m_MinWidth = c.MinWidth;
        g.m_MaxWidth = c.MaxWidth;
        g.m_ModLen = c.ModLen;
        g.m_BothStrand = c.Both;
        g.m_SampleParam = c.SampleParam;
        g.m_Independent = c.Independent;
        g.m_FixModLen = c.FixModLen;
        g.m_IterNum = 110;
        g.m_BurnIn = 60;
        g.m_Rng.seed(seed);
        g.Initialize();
        g.BuildBackground();
        g.RandPickSite();
        ASSERT_TRUE(std::isfinite(g.m_BestLogPost));
        SWEEPBUFFERS b(g);
        for (int t = 0; t < g.m_IterNum; t++) {
            int lenBefore = g.m_ModLen;
            double s = g.RunSweep(t, &b.Rho, b.Pi.data(), b.Pwm.data(), b.Tables.data(), b.SeqLen.data(),
                                  b.MeanLen);
            ASSERT_TRUE(std::isfinite(s)) << "seed " << seed << " sweep " << t;
            ASSERT_TRUE(b.Rho > 0.0 && b.Rho < 1.0);
            ASSERT_GE(g.m_BestLogPost, s);
            // Windows overlap only right after the module length grew.
            bool grew = g.m_ModLen > lenBefore;
            grown += grew;
            moved += g.m_ModLen != lenBefore;
            std::string fault = CheckState(g, !grew);
            ASSERT_EQ(fault, "") << "seed " << seed << " sweep " << t;
            for (int k = 0; k < c.K; k++) {
                ASSERT_GE(g.m_Width[k], c.MinWidth);
                ASSERT_LE(g.m_Width[k], c.MaxWidth);
            }
            for (int i = 0; i < g.m_SeqNum; i++)
                ASSERT_TRUE(std::isfinite(g.m_ModInfo[i].LogRatio));
        }
    }
    // Both kinds of module-length move were exercised.
    EXPECT_GT(grown, 0);
    EXPECT_GT(moved, grown);
}

// The text with every copy of piece removed (the echoed command line of a
// traced run holds the extra option words).
static std::string Without(std::string text, const std::string& piece)
{
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece))
        text.erase(at, piece.size());
    return text;
}

TEST(Trace, OneRowPerSweepAndNoEffectOnTheRun)
{
    PLANTED data = MakePlanted(3, 6, 120, "TGACTCATGA", true);
    CTempDir plain, traced;
    for (const CTempDir* d : {&plain, &traced})
        WriteFile(d->Path("in.fa"), ToFasta(data.Seqs));
    std::vector<std::string> args = {"-i", "in.fa", "-n", "60", "-K", "2", "-L", "50", "-N", "2", "--seed", "17"};
    RUNRESULT a = RunRuzaravo(args, plain.m_Dir);
    args.push_back("--trace");
    args.push_back("trace.tsv");
    RUNRESULT b = RunRuzaravo(args, traced.m_Dir);
    EXPECT_EQ(a.Status, 0);
    EXPECT_EQ(b.Status, 0);
    const std::string words = "--trace trace.tsv ";
    EXPECT_EQ(a.Stdout, Without(b.Stdout, words));
    EXPECT_EQ(ReadFile(plain.Path("Output.txt")), Without(ReadFile(traced.Path("Output.txt")), words));
    EXPECT_EQ(ReadFile(plain.Path("Output.txt_modpr.txt")), ReadFile(traced.Path("Output.txt_modpr.txt")));
    EXPECT_NE(ReadFile(plain.Path("Output.txt")), "");

    // One header for the file, then the rows of both runs.
    std::vector<std::string> lines = Lines(ReadFile(traced.Path("trace.tsv")));
    ASSERT_EQ(lines.size(), 1u + 2u * 60u);
    const std::string header = "run\tsweep\trho\tlog_posterior\tmodules\tsites\twidths\tmodule_length";
    EXPECT_EQ(lines[0], header);
    for (int run = 0; run < 2; run++) {
        for (int t = 0; t < 60; t++) {
            std::vector<std::string> f = Fields(lines[1 + run * 60 + t]);
            ASSERT_EQ(f.size(), 8u);
            EXPECT_EQ(f[0], std::to_string(run));
            EXPECT_EQ(f[1], std::to_string(t));
            double rho = strtod(f[2].c_str(), nullptr);
            EXPECT_TRUE(rho > 0.0 && rho < 1.0);
            EXPECT_TRUE(std::isfinite(strtod(f[3].c_str(), nullptr)));
            EXPECT_EQ(std::count(f[5].begin(), f[5].end(), ','), 1);
            EXPECT_EQ(std::count(f[6].begin(), f[6].end(), ','), 1);
            EXPECT_EQ(f[7], "50");
        }
    }
    // The same seed writes the same trace, bit for bit.
    CTempDir again;
    WriteFile(again.Path("in.fa"), ToFasta(data.Seqs));
    RUNRESULT c = RunRuzaravo(args, again.m_Dir);
    EXPECT_EQ(c.Stdout, b.Stdout);
    EXPECT_EQ(ReadFile(again.Path("trace.tsv")), ReadFile(traced.Path("trace.tsv")));
}

TEST(Trace, UnopenableTraceFileLeavesTheRunAsItIs)
{
    PLANTED data = MakePlanted(4, 3, 80, "TGACTCATGA", false);
    CTempDir plain, traced;
    for (const CTempDir* d : {&plain, &traced})
        WriteFile(d->Path("in.fa"), ToFasta(data.Seqs));
    std::vector<std::string> args = {"-i", "in.fa", "-n", "30", "-K", "1", "--seed", "2"};
    RUNRESULT a = RunRuzaravo(args, plain.m_Dir);
    args.push_back("--trace");
    args.push_back("no/such/dir/trace.tsv");
    RUNRESULT b = RunRuzaravo(args, traced.m_Dir);
    EXPECT_EQ(b.Status, 0);
    const std::string words = "--trace no/such/dir/trace.tsv ";
    EXPECT_EQ(a.Stdout, Without(b.Stdout, words));
    EXPECT_EQ(ReadFile(plain.Path("Output.txt")), Without(ReadFile(traced.Path("Output.txt")), words));
    EXPECT_FALSE(FileExists(traced.Path("no")));
}

// The record a whole run returns: one convergence entry per sweep that
// agrees with the trace row of that sweep (score to the last bit, modules
// placed, widths), background frequencies that sum to 1, letter counts
// that add up to each sequence's length, and the run's seed and index.
TEST(DataAugmentation, RecordAgreesWithTheTrace)
{
    PLANTED data = MakePlanted(8, 5, 150, "TGACTCATGA", true);
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(data.Seqs));
    CGibbsDP g;
    g.m_Input = LoadedRecords(dir.Path("in.fa"));
    g.m_IterNum = 70;
    g.m_BurnIn = 49;
    g.m_MotifNum = 2;
    g.m_ModLen = 60;
    g.m_MinWidth = 6;
    g.m_MaxWidth = 9;
    g.m_FixModLen = false;
    g.m_Threshold = 0.5;
    g.m_RandSeed = 31;
    g.m_RunIndex = 4;
    MonitorSettings watch;
    watch.traceFile = dir.Path("t.tsv");
    watch.run = 4;
    watch.sweeps = 70;
    RunMonitor monitor(watch, false);
    testing::internal::CaptureStdout();
    RunResult r = g.DataAugmentation(&monitor);
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(31u, r.seed);
    EXPECT_EQ(4, r.run);
    EXPECT_EQ(70, r.sweeps);
    EXPECT_EQ(21, r.recorded);
    EXPECT_GE(r.cpuSeconds, 0.0);
    EXPECT_NEAR(1.0, r.bgFreqs[0] + r.bgFreqs[1] + r.bgFreqs[2] + r.bgFreqs[3], 1e-12);
    ASSERT_EQ(5u, r.seqs.size());
    for (const SequenceResult& s : r.seqs) {
        EXPECT_EQ(150, s.acgt[0] + s.acgt[1] + s.acgt[2] + s.acgt[3] + s.other);
        EXPECT_EQ(150u, s.moduleProb.size());
    }
    std::vector<std::string> lines = Lines(ReadFile(dir.Path("t.tsv")));
    ASSERT_EQ(71u, lines.size());
    ASSERT_EQ(70u, r.sweepStats.size());
    for (int t = 0; t < 70; t++) {
        std::vector<std::string> f = Fields(lines[t + 1]);
        const SweepStat& s = r.sweepStats[t];
        EXPECT_EQ(strtod(f[3].c_str(), nullptr), s.score) << t;
        EXPECT_EQ(f[4], std::to_string(s.modules)) << t;
        ASSERT_EQ(2u, s.widths.size());
        EXPECT_EQ(f[6], std::to_string(s.widths[0]) + "," + std::to_string(s.widths[1])) << t;
    }
}
