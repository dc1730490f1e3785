// Console lines, trace rows and the progress reports of one run (see the
// header). Console text is flushed after each "Finish runing iteration"
// line so that progress shows at once, also through a pipe.
#include "monitor/RunMonitor.h"

#include <cstdio>
#include <utility>

RunMonitor::RunMonitor(MonitorSettings settings, bool buffered)
    : m_Settings(std::move(settings)), m_Buffered(buffered)
{
}

void RunMonitor::Say(std::string text, bool flush)
{
    if (m_Buffered) {
        m_Lines.push_back(std::move(text));
        return;
    }
    if (m_Settings.progress)
        m_Settings.progress->Clear();
    fputs(text.c_str(), stdout);
    if (flush)
        fflush(stdout);
}

void RunMonitor::Started(const std::string& cmdLine, int seqNum)
{
    Say(cmdLine + "\nInput " + std::to_string(seqNum) + " sequences.\n", false);
    if (m_Buffered)
        return;
    if (WantsTrace())
        m_Trace = TraceFile::Open(m_Settings.traceFile, TraceHeader());
}

void RunMonitor::Swept(int done, const std::string& row, bool milestone)
{
    if (m_Buffered)
        m_Rows += row;
    else if (m_Trace)
        m_Trace->WriteRow(row);
    if (milestone && !m_Settings.quiet)
        Say("Finish runing iteration " + std::to_string(done) + ".\n", true);
    if (m_Settings.progress)
        m_Settings.progress->Update(m_Settings.run, done);
}

void RunMonitor::Finished(int)
{
    if (m_Settings.progress)
        m_Settings.progress->RunFinished(m_Settings.run);
    m_Trace.reset();
}

void RunMonitor::Replay()
{
    if (m_Settings.progress)
        m_Settings.progress->Clear();
    for (const std::string& line : m_Lines)
        fputs(line.c_str(), stdout);
    fflush(stdout);
    if (!WantsTrace())
        return;
    std::unique_ptr<TraceFile> file = TraceFile::Open(m_Settings.traceFile, TraceHeader());
    if (file && !m_Rows.empty())
        file->WriteRow(m_Rows);
}
