// Progress of the whole job (see the header). Times are shown as m:ss, or
// h:mm:ss from an hour on.
#include "monitor/ProgressLine.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

static std::string Clocked(double seconds)
{
    long s = seconds < 0 ? 0 : (long)(seconds + 0.5);
    char buf[32];
    if (s >= 3600)
        snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
    return buf;
}

double JobSecondsLeft(const JobShape& job, const std::vector<int>& done, double elapsed)
{
    long long doneAll = 0, leftAll = 0;
    int mostLeft = 0;
    for (int d : done) {
        int left = std::max(0, job.sweeps - d);
        doneAll += d;
        leftAll += left;
        if (d > 0)
            mostLeft = std::max(mostLeft, left);   // a started run cannot be shared out
    }
    if (leftAll == 0)
        return 0.0;
    if (doneAll == 0)
        return -1.0;
    const int parallel = std::max(1, std::min(job.parallel, (int)done.size()));
    const double perSweep = elapsed * parallel / (double)doneAll;   // one sweep of one run
    return perSweep * std::max((double)leftAll / parallel, (double)mostLeft);
}

std::string ProgressText(const JobShape& job, int run, int runDone, double share, double elapsed, double left)
{
    char buf[200];
    snprintf(buf, sizeof buf, "%s %d of %d  sweep %d/%d  job %d%%  elapsed %s  left %s", job.unit.c_str(), run,
             job.runs, runDone, job.sweeps, (int)(100.0 * share), Clocked(elapsed).c_str(),
             left < 0 ? "?" : Clocked(left).c_str());
    return buf;
}

bool RateLimit::Due(double now)
{
    if (now < m_Next)
        return false;
    m_Next = now + m_Every;
    return true;
}

double ProgressLine::SteadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

const ProgressLine::Mode* ProgressLine::ModeFor(bool quiet)
{
    static const Mode terminal = Mode::Terminal, log = Mode::Log;
    if (quiet)
        return nullptr;
    return isatty(STDERR_FILENO) ? &terminal : &log;
}

ProgressLine::ProgressLine(int fd, Mode mode, JobShape job, Clock clock)
    : m_Fd(fd), m_Mode(mode), m_Job(std::move(job)), m_Clock(clock), m_Start(clock()),
      m_Limit(m_Start, mode == Mode::Terminal ? 0.0 : kLogInterval,
              mode == Mode::Terminal ? kTerminalInterval : kLogInterval),
      m_Done(std::max(0, m_Job.runs), 0)
{
}

std::string ProgressLine::TextLocked(double now) const
{
    const double elapsed = now - m_Start;
    size_t current = 0;
    while (current + 1 < m_Done.size() && m_Done[current] >= m_Job.sweeps)
        current++;
    long long doneAll = 0;
    for (int d : m_Done)
        doneAll += std::min(d, m_Job.sweeps);
    const long long total = (long long)m_Job.sweeps * (long long)m_Done.size();
    const double share = total > 0 ? (double)doneAll / (double)total : 1.0;
    const int runDone = m_Done.empty() ? 0 : m_Done[current];
    return ProgressText(m_Job, (int)current + 1, runDone, share, elapsed, JobSecondsLeft(m_Job, m_Done, elapsed));
}

std::string ProgressLine::Text(double now) const
{
    std::lock_guard<std::mutex> g(m_Lock);
    return TextLocked(now);
}

void ProgressLine::Draw(double now)
{
    // Terminal: carriage return, the text, then erase whatever a longer
    // earlier text left. Log: one whole line.
    std::string line = m_Mode == Mode::Terminal ? "\r" + TextLocked(now) + "\033[K"
                                                : "Ruzaravo: " + TextLocked(now) + "\n";
    ssize_t n = write(m_Fd, line.data(), line.size());
    (void)n;   // a terminal or log that cannot take the line loses only the display
    m_Shown = m_Mode == Mode::Terminal;
}

bool ProgressLine::Update(int run, int done)
{
    std::lock_guard<std::mutex> g(m_Lock);
    if (run >= 0 && run < (int)m_Done.size())
        m_Done[run] = done;
    double now = m_Clock();
    if (!m_Limit.Due(now))
        return false;
    Draw(now);
    return true;
}

void ProgressLine::RunFinished(int run)
{
    std::lock_guard<std::mutex> g(m_Lock);
    if (run >= 0 && run < (int)m_Done.size())
        m_Done[run] = std::max(m_Done[run], m_Job.sweeps);
}

void ProgressLine::Clear()
{
    std::lock_guard<std::mutex> g(m_Lock);
    if (!m_Shown)
        return;
    ssize_t n = write(m_Fd, "\r\033[K", 4);
    (void)n;
    m_Shown = false;
}

void ProgressLine::Finish()
{
    std::lock_guard<std::mutex> g(m_Lock);
    if (m_Mode != Mode::Terminal)
        return;
    Draw(m_Clock());
    ssize_t n = write(m_Fd, "\n", 1);
    (void)n;
    m_Shown = false;
}
