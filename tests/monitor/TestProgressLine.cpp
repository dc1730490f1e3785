// The job's progress line on an injected clock (no waiting, no timing):
// its text, the time left of a whole job with runs going at once, and the
// two rate limits -- at most four redraws a second on a terminal, and in a
// log a line at most every 30 s, the first after 30 s.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "monitor/ProgressLine.h"

namespace {
double s_Now = 0.0;
double FakeClock() { return s_Now; }

JobShape Shape(const char* unit, int runs, int sweeps, int parallel)
{
    JobShape j;
    j.unit = unit;
    j.runs = runs;
    j.sweeps = sweeps;
    j.parallel = parallel;
    return j;
}

// Everything written to the descriptor, read back from a temporary file.
std::string ReadBack(FILE* f)
{
    fflush(f);
    rewind(f);
    std::string text;
    for (int c; (c = fgetc(f)) != EOF;)
        text += (char)c;
    return text;
}
}  // namespace

TEST(ProgressLine, TextNamesTheRunOfTheJobAndTheJobsTimeLeft)
{
    JobShape chains = Shape("chain", 5, 2000, 1);
    EXPECT_EQ("chain 2 of 5  sweep 450/2000  job 24%  elapsed 0:12  left 0:41",
              ProgressText(chains, 2, 450, 0.245, 12.0, 41.0));
    EXPECT_EQ("run 1 of 3  sweep 0/2000  job 0%  elapsed 0:00  left ?",
              ProgressText(Shape("run", 3, 2000, 1), 1, 0, 0.0, 0.0, -1.0));
    EXPECT_EQ("run 3 of 3  sweep 2000/2000  job 100%  elapsed 1:01:05  left 0:00",
              ProgressText(Shape("run", 3, 2000, 1), 3, 2000, 1.0, 3665.0, 0.0));

    // The line names the first run not yet finished and the share of the job.
    s_Now = 100.0;
    ProgressLine p(-1, ProgressLine::Mode::Terminal, chains, FakeClock);
    EXPECT_EQ("chain 1 of 5  sweep 0/2000  job 0%  elapsed 0:00  left ?", p.Text(100.0));
    p.Update(0, 2000);
    p.RunFinished(0);
    p.Update(1, 500);
    EXPECT_EQ("chain 2 of 5  sweep 500/2000  job 25%  elapsed 0:25  left 1:15", p.Text(125.0));
}

TEST(ProgressLine, TimeLeftCoversTheWholeJobWithRunsAtOnce)
{
    // One at a time: 2 of 8 runs done in 20 s leaves 60 s.
    EXPECT_DOUBLE_EQ(60.0, JobSecondsLeft(Shape("run", 8, 100, 1), {100, 100, 0, 0, 0, 0, 0, 0}, 20.0));
    // Two at once: the same 20 s did two runs side by side; six more take 3 x 20 s.
    EXPECT_DOUBLE_EQ(60.0, JobSecondsLeft(Shape("run", 8, 100, 2), {100, 100, 0, 0, 0, 0, 0, 0}, 20.0));
    // Two at once, halfway through the first pair: 10 s for its rest, 20 s for the second pair.
    EXPECT_DOUBLE_EQ(30.0, JobSecondsLeft(Shape("chain", 4, 100, 2), {50, 50, 0, 0}, 10.0));
    // The last run cannot be shared out between the workers: the pair took
    // 20 s, the third run (alone, 10 s in) needs 10 s more. The idle worker
    // makes the estimate err long, but not down to half the run's own rest.
    const double last = JobSecondsLeft(Shape("run", 3, 100, 2), {100, 100, 50}, 30.0);
    EXPECT_GE(last, 10.0);
    EXPECT_LE(last, 12.0 + 1e-9);
    EXPECT_DOUBLE_EQ(0.0, JobSecondsLeft(Shape("run", 2, 100, 1), {100, 100}, 9.0));
    EXPECT_LT(JobSecondsLeft(Shape("run", 2, 100, 1), {0, 0}, 9.0), 0.0);   // not known yet
    EXPECT_DOUBLE_EQ(0.0, JobSecondsLeft(Shape("run", 2, 0, 1), {0, 0}, 9.0));   // -n 0
    // A steady machine: whatever the moment, elapsed + left is the job's whole time.
    std::mt19937 rng(5);
    for (int trial = 0; trial < 200; trial++) {
        const int runs = 1 + (int)(rng() % 12), parallel = 1 + (int)(rng() % 4), sweeps = 10 + (int)(rng() % 500);
        const double perSweep = 0.001 * (1 + rng() % 100);
        const int waves = (runs + parallel - 1) / parallel, full = runs / parallel * parallel;
        if (full != runs)
            continue;   // only whole waves keep every worker busy all along
        const int wave = (int)(rng() % waves), at = 1 + (int)(rng() % sweeps);
        std::vector<int> done(runs, 0);
        for (int r = 0; r < runs; r++)
            done[r] = r / parallel < wave ? sweeps : r / parallel == wave ? at : 0;
        const double elapsed = perSweep * ((double)wave * sweeps + at);
        EXPECT_NEAR(perSweep * waves * sweeps, elapsed + JobSecondsLeft(Shape("run", runs, sweeps, parallel), done,
                                                                        elapsed), 1e-9)
            << runs << " " << parallel << " " << wave << " " << at;
    }
}

TEST(ProgressLine, DrawsAtMostFourTimesASecond)
{
    int fd = open("/dev/null", O_WRONLY);
    ASSERT_GE(fd, 0);
    for (double step : {0.001, 0.01, 0.1, 0.3}) {
        s_Now = 50.0;
        ProgressLine p(fd, ProgressLine::Mode::Terminal, Shape("run", 1, 100000, 1), FakeClock);
        int draws = 0, last = -1;
        const double span = 20.0;
        for (int done = 1; s_Now < 50.0 + span; done++) {
            s_Now += step;
            if (p.Update(0, done)) {
                draws++;
                last = done;
            }
            if (done % 50 == 0)
                p.Clear();   // other output: the line waits for its next turn
        }
        EXPECT_LE(draws, (int)(span * 4) + 1) << step;
        EXPECT_GE(draws, (int)(span / (0.25 + step)) - 1) << step;   // and it does keep drawing
        EXPECT_GT(last, 0);
    }
    close(fd);
}

// In a log: nothing in the first 30 s, then whole lines at least 30 s
// apart, with the terminal's text; Clear and Finish write nothing.
TEST(ProgressLine, LogGetsALineEveryThirtySecondsAtMost)
{
    FILE* f = tmpfile();
    ASSERT_NE(nullptr, f);
    s_Now = 1000.0;
    ProgressLine p(fileno(f), ProgressLine::Mode::Log, Shape("chain", 2, 1000, 2), FakeClock);
    std::vector<double> drawn;
    for (int i = 1; i <= 2000; i++) {
        s_Now = 1000.0 + 0.07 * i;   // 140 s in all
        if (p.Update(i % 2, i / 2))
            drawn.push_back(s_Now - 1000.0);
        p.Clear();
    }
    p.Finish();
    ASSERT_EQ(4u, drawn.size());
    EXPECT_GE(drawn[0], 30.0);
    for (size_t i = 1; i < drawn.size(); i++)
        EXPECT_GE(drawn[i] - drawn[i - 1], 30.0);
    const std::string text = ReadBack(f);
    fclose(f);
    EXPECT_EQ(0u, text.find("Ruzaravo: chain 1 of 2  sweep "));
    EXPECT_EQ(4u, std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(std::string::npos, text.find('\r'));
    EXPECT_EQ(std::string::npos, text.find('\033'));
}
