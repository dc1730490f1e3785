// The progress of the whole job (every run of -N, or every chain of
// --chains) that a person sees on standard error:
// "chain 2 of 5  sweep 450/2000  job 29%  elapsed 0:12  left 0:41".
//
// On a terminal the line is redrawn in place at most 4 times a second (and
// once more at the end); with standard error not a terminal (a batch log,
// a pipe) a plain line "Ruzaravo: <same text>" is written at most every
// 30 seconds, the first after 30 seconds, so short runs add nothing to a
// log. --quiet makes no ProgressLine at all. The run named is the first
// one not yet finished (the one whose output standard output shows next);
// the time left is that of the whole job, with up to `parallel` runs
// going at once (--threads).
//
// Invariants: Update, Clear and Finish may be called from any thread (one
// lock guards the state and every write). The clock is injected, so the
// rate limits can be checked without waiting. Draws nothing random.
#ifndef RUZARAVO_MONITOR_PROGRESSLINE_H
#define RUZARAVO_MONITOR_PROGRESSLINE_H

#include <mutex>
#include <string>
#include <utility>
#include <vector>

// What the job is made of.
struct JobShape {
    std::string unit = "run";   // "run" (-N) or "chain" (--chains)
    int runs = 1;               // runs or chains of the job
    int sweeps = 0;             // sweeps of each run
    int parallel = 1;           // runs going at once (--threads)
};

// Seconds the job still needs after elapsed seconds, done[r] sweeps of run
// r being finished: the time of one sweep of one run is measured over every
// sweep done so far (parallel runs sharing the elapsed time), and the job
// ends when the remaining sweeps, spread over parallel runs, are done, but
// no sooner than the run with the most left. Negative: not known yet (no
// sweep done).
double JobSecondsLeft(const JobShape& job, const std::vector<int>& done, double elapsed);

// The line's text for run number run (from 1) at sweep runDone, with
// share of the job's sweeps done, elapsed and left seconds (left < 0: "?").
std::string ProgressText(const JobShape& job, int run, int runDone, double share, double elapsed, double left);

// When a line is due: not before first seconds after the start, then at
// least every seconds apart.
class RateLimit {
public:
    RateLimit(double start, double first, double every) : m_Next(start + first), m_Every(every) {}
    // True (and the next time set) when now is at or past the next time.
    bool Due(double now);

private:
    double m_Next;
    double m_Every;
};

class ProgressLine {
public:
    using Clock = double (*)();   // seconds from any fixed origin
    enum class Mode { Terminal, Log };

    ProgressLine(int fd, Mode mode, JobShape job, Clock clock = SteadySeconds);

    // Run number run (0-based) has done sweeps; draws when due, returns
    // whether it drew.
    bool Update(int run, int done);
    // Run number run is over (its sweeps all done).
    void RunFinished(int run);
    // On a terminal, erases the line if it is shown, so other output starts
    // on a clean line; the next due Update draws it again.
    void Clear();
    // On a terminal, draws the final state and ends the line.
    void Finish();

    // The current text, elapsed being now minus the start.
    std::string Text(double now) const;

    // The mode for standard error, or null when nothing is shown (--quiet).
    static const Mode* ModeFor(bool quiet);
    static double SteadySeconds();

    static constexpr double kTerminalInterval = 0.25;   // seconds between redraws (4 a second)
    static constexpr double kLogInterval = 30.0;        // seconds between log lines, and before the first

private:
    std::string TextLocked(double now) const;
    void Draw(double now);
    int m_Fd;
    Mode m_Mode;
    JobShape m_Job;
    Clock m_Clock;
    double m_Start;
    RateLimit m_Limit;
    std::vector<int> m_Done;   // sweeps done by each run
    bool m_Shown = false;      // terminal: the line is on the screen now
    mutable std::mutex m_Lock;
};

#endif
