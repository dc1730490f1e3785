// The progress line a person at a terminal sees while a run samples:
// "run 1/3  sweep 450/2000  22%  elapsed 0:12  left 0:41", redrawn in place
// on standard error.
//
// Invariants: the line is redrawn at most 4 times a second (and once more
// at the end), so a fast run does not flood a slow terminal; it is only
// shown when standard error is a terminal and --quiet is not given, so
// pipes and log files never receive it. The clock is injected so the
// throttle can be checked without waiting.
#ifndef RUZARAVO_MONITOR_PROGRESSLINE_H
#define RUZARAVO_MONITOR_PROGRESSLINE_H

#include <string>

class ProgressLine {
public:
    using Clock = double (*)();   // seconds from any fixed origin

    // The line of run number run (from 1) of runs, with sweeps sweeps,
    // written to descriptor fd.
    ProgressLine(int fd, int run, int runs, int sweeps, Clock clock = SteadySeconds);

    // Redraws for done completed sweeps unless the last draw is under a
    // quarter second old; returns whether it drew.
    bool Update(int done);
    // Erases the line if it is shown, so other output to the terminal
    // starts on a clean line; the next allowed Update draws it again.
    void Clear();
    // Draws the final state and ends the line.
    void Finish(int done);

    // The text of the line for done sweeps after elapsed seconds.
    std::string Text(int done, double elapsed) const;

    // True when the line should be shown: not quiet, and standard error is
    // a terminal.
    static bool Wanted(bool quiet);
    static double SteadySeconds();

    static constexpr double kMinInterval = 0.25;   // seconds between draws (4 a second)

private:
    void Draw(int done, double now);
    int m_Fd;
    int m_Run;
    int m_Runs;
    int m_Sweeps;
    Clock m_Clock;
    double m_Start;
    double m_LastDraw;   // time of the last draw; far in the past before the first
    bool m_Shown;        // the line is on the terminal now
};

#endif
