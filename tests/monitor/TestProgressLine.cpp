// The progress line's text and its throttle, on an injected clock (no
// waiting, no timing): however often it is asked, it draws at most four
// times per second of clock time.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "monitor/ProgressLine.h"

namespace {
double s_Now = 0.0;
double FakeClock() { return s_Now; }
}  // namespace

TEST(ProgressLine, TextShowsRunSweepShareAndTimes)
{
    s_Now = 100.0;
    ProgressLine p(-1, 1, 3, 2000, FakeClock);
    EXPECT_EQ("run 1/3  sweep 450/2000   22%  elapsed 0:12  left 0:41", p.Text(450, 12.0));
    EXPECT_EQ("run 1/3  sweep 0/2000    0%  elapsed 0:00  left ?", p.Text(0, 0.0));
    EXPECT_EQ("run 1/3  sweep 2000/2000  100%  elapsed 1:01:05  left 0:00", p.Text(2000, 3665.0));
    ProgressLine none(-1, 2, 2, 0, FakeClock);
    EXPECT_EQ("run 2/2  sweep 0/0  100%  elapsed 0:00  left ?", none.Text(0, 0.0));
}

TEST(ProgressLine, DrawsAtMostFourTimesASecond)
{
    int fd = open("/dev/null", O_WRONLY);
    ASSERT_GE(fd, 0);
    for (double step : {0.001, 0.01, 0.1, 0.3}) {
        s_Now = 50.0;
        ProgressLine p(fd, 1, 1, 100000, FakeClock);
        int draws = 0, last = -1;
        const double span = 20.0;
        for (int done = 1; s_Now < 50.0 + span; done++) {
            s_Now += step;
            if (p.Update(done)) {
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
