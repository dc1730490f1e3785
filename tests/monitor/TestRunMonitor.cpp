// The run monitor: what a run shows on standard output and in the trace,
// written as it goes or kept and replayed later, must be the same bytes.
// A whole seeded run is observed both ways; --quiet drops only the
// progress lines; a trace file that cannot be opened leaves the run going.
#include <gtest/gtest.h>

#include <string>

#include "model/GibbsDP.h"
#include "model/ModelTestUtil.h"
#include "monitor/RunMonitor.h"
#include "support/TestSupport.h"

namespace {

struct WATCHED {
    std::string Stdout;
    std::string Trace;
    RunResult Result;
};

// One seeded run over in.fa of dir, observed live or buffered and replayed.
WATCHED Watch(const CTempDir& dir, const std::string& trace, bool buffered, bool quiet)
{
    CGibbsDP g;
    g.m_Input = LoadedRecords(dir.Path("in.fa"));
    g.m_CmdLine = "Banner\n./Ruzaravo -i in.fa ";
    g.m_IterNum = 120;
    g.m_BurnIn = 83;
    g.m_MotifNum = 2;
    g.m_ModLen = 60;
    g.m_MinWidth = 6;
    g.m_MaxWidth = 9;
    g.m_RandSeed = 17;
    g.m_RunIndex = 1;
    MonitorSettings watch;
    watch.traceFile = trace;
    watch.quiet = quiet;
    watch.run = 1;
    watch.runs = 2;
    watch.sweeps = 120;
    RunMonitor monitor(watch, buffered);
    WATCHED w;
    testing::internal::CaptureStdout();
    w.Result = g.DataAugmentation(&monitor);
    if (buffered)
        monitor.Replay();
    fflush(stdout);
    w.Stdout = testing::internal::GetCapturedStdout();
    if (!trace.empty() && FileExists(trace))
        w.Trace = ReadFile(trace);
    return w;
}

}  // namespace

TEST(RunMonitor, BufferedReplayGivesTheBytesOfALiveRun)
{
    PLANTED data = MakePlanted(8, 6, 140, "TGACTCATGA", true);
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(data.Seqs));
    WATCHED live = Watch(dir, dir.Path("live.tsv"), false, false);
    WATCHED kept = Watch(dir, dir.Path("kept.tsv"), true, false);
    EXPECT_EQ("Banner\n./Ruzaravo -i in.fa \nInput 6 sequences.\n"
              "Finish runing iteration 50.\nFinish runing iteration 100.\n",
              live.Stdout);
    EXPECT_EQ(live.Stdout, kept.Stdout);
    ASSERT_EQ(121u, Lines(live.Trace).size());   // the header and one row per sweep
    EXPECT_EQ(TraceHeader(), Lines(live.Trace)[0] + "\n");
    EXPECT_EQ(live.Trace, kept.Trace);
    EXPECT_EQ(live.Result.sweepStats.size(), kept.Result.sweepStats.size());
    for (size_t t = 0; t < live.Result.sweepStats.size(); t++)
        EXPECT_EQ(live.Result.sweepStats[t].score, kept.Result.sweepStats[t].score) << t;

    // Appending to a trace that has its header adds rows only.
    WATCHED again = Watch(dir, dir.Path("live.tsv"), true, false);
    EXPECT_EQ(live.Trace + live.Trace.substr(live.Trace.find('\n') + 1), again.Trace);
}

TEST(RunMonitor, QuietDropsProgressAndAMissingTraceFolderIsNoStop)
{
    PLANTED data = MakePlanted(8, 4, 100, "TGACTCATGA", true);
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(data.Seqs));
    WATCHED quiet = Watch(dir, "", false, true);
    EXPECT_EQ("Banner\n./Ruzaravo -i in.fa \nInput 4 sequences.\n", quiet.Stdout);
    WATCHED lost = Watch(dir, dir.Path("no/such/t.tsv"), false, false);
    EXPECT_EQ(120u, lost.Result.sweepStats.size());
    EXPECT_FALSE(FileExists(dir.Path("no")));
    EXPECT_EQ(quiet.Result.sweepStats.back().score, lost.Result.sweepStats.back().score);
}
