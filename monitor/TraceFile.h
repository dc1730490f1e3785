// The per-sweep trace file (--trace): one header line per file, then one
// tab-separated row per sweep of every run that names the file.
//
// Invariants: the header is written only when the file is empty, so runs
// and repeated invocations appending to one file give one table that a
// plain CSV/TSV reader loads; every row reaches the file with one write on
// a descriptor opened for appending, so a run that is interrupted (Ctrl-C,
// a kill) leaves the file ending on a whole row, and rows of processes
// tracing into one file do not interleave mid-row.
#ifndef RUZARAVO_MONITOR_TRACEFILE_H
#define RUZARAVO_MONITOR_TRACEFILE_H

#include <memory>
#include <string>

// Header line of a trace file (written once per file): the columns of the
// sampler's trace row (CGibbsDP::TraceRow).
const char* TraceHeader();

class TraceFile {
public:
    // Opens path for appending and writes header (a whole line) if the file
    // is empty. On failure says so on standard error and returns null: the
    // run goes on without a trace.
    static std::unique_ptr<TraceFile> Open(const std::string& path, const std::string& header);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Appends one row (ending in a line break). A failed write is reported
    // once on standard error and ends the trace; the run goes on.
    void WriteRow(const std::string& row);

private:
    TraceFile(int fd, std::string path) : m_Fd(fd), m_Path(std::move(path)) {}
    int m_Fd;
    std::string m_Path;
};

#endif
