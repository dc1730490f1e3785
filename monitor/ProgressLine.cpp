// Progress line drawing (see the header). Times are shown as m:ss, or
// h:mm:ss from an hour on; the time left is the elapsed time scaled by the
// share of sweeps still to do, shown as "?" before the first sweep ends.
#include "monitor/ProgressLine.h"

#include <unistd.h>

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

double ProgressLine::SteadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool ProgressLine::Wanted(bool quiet)
{
    return !quiet && isatty(STDERR_FILENO);
}

ProgressLine::ProgressLine(int fd, int run, int runs, int sweeps, Clock clock)
    : m_Fd(fd), m_Run(run), m_Runs(runs), m_Sweeps(sweeps), m_Clock(clock), m_Start(clock())
{
    m_LastDraw = m_Start - 2 * kMinInterval - 1.0;
    m_Shown = false;
}

std::string ProgressLine::Text(int done, double elapsed) const
{
    int percent = m_Sweeps > 0 ? (int)(100.0 * done / m_Sweeps) : 100;
    std::string left = done > 0 ? Clocked(elapsed * (m_Sweeps - done) / done) : "?";
    char buf[160];
    snprintf(buf, sizeof buf, "run %d/%d  sweep %d/%d  %3d%%  elapsed %s  left %s", m_Run, m_Runs, done, m_Sweeps,
             percent, Clocked(elapsed).c_str(), left.c_str());
    return buf;
}

void ProgressLine::Draw(int done, double now)
{
    // Carriage return, the text, then erase whatever a longer earlier text left.
    std::string line = "\r" + Text(done, now - m_Start) + "\033[K";
    ssize_t n = write(m_Fd, line.data(), line.size());
    (void)n;   // a terminal that cannot take the line loses only the display
    m_LastDraw = now;
    m_Shown = true;
}

bool ProgressLine::Update(int done)
{
    double now = m_Clock();
    if (now - m_LastDraw < kMinInterval)
        return false;
    Draw(done, now);
    return true;
}

void ProgressLine::Clear()
{
    if (!m_Shown)
        return;
    ssize_t n = write(m_Fd, "\r\033[K", 4);
    (void)n;
    m_Shown = false;
}

void ProgressLine::Finish(int done)
{
    Draw(done, m_Clock());
    ssize_t n = write(m_Fd, "\n", 1);
    (void)n;
}
