// What a person and the trace file see of one run: the start lines and
// the "Finish runing iteration" lines on standard output, the trace rows
// (--trace) and the sweeps it reports to the job's progress line.
//
// A live monitor writes as the run goes (the run that is first in line).
// A buffered monitor keeps the same text in memory -- the console lines as
// strings, the trace rows as one string -- for a run on a worker thread;
// Replay later writes them out, so standard output and the trace get the
// bytes of a run that had written directly. Every monitor, buffered or
// not, reports its sweeps to the job's progress line (shared, may be
// null) at once, and clears it before it writes to standard output. Makes
// no random draws.
#ifndef RUZARAVO_MONITOR_RUNMONITOR_H
#define RUZARAVO_MONITOR_RUNMONITOR_H

#include <memory>
#include <string>
#include <vector>

#include "monitor/ProgressLine.h"
#include "monitor/TraceFile.h"
#include "sampler/SweepObserver.h"

struct MonitorSettings {
    std::string traceFile;   // --trace; empty: no trace
    bool quiet = false;      // --quiet: no progress lines
    int run = 0;             // 0-based index of the run
    int runs = 1;            // runs of the process
    int sweeps = 0;          // sweeps of the run
    ProgressLine* progress = nullptr;   // the job's progress line (not owned); null: none
};

class RunMonitor : public SweepObserver {
public:
    RunMonitor(MonitorSettings settings, bool buffered);

    void Started(const std::string& cmdLine, int seqNum) override;
    bool WantsTrace() const override { return !m_Settings.traceFile.empty(); }
    void Swept(int done, const std::string& row, bool milestone) override;
    void Finished(int done) override;

    // A buffered monitor: copies the kept lines to standard output and the
    // kept rows to the trace file (its header first when the file is new).
    void Replay();

private:
    void Say(std::string text, bool flush);

    MonitorSettings m_Settings;
    bool m_Buffered;
    std::vector<std::string> m_Lines;     // console text kept by a buffered monitor
    std::string m_Rows;                   // trace rows kept by a buffered monitor
    std::unique_ptr<TraceFile> m_Trace;   // live trace
};

#endif
