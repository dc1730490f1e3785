// Trace file writing (see the header). The header is written under an
// exclusive lock so two processes starting on one new file write it once.
#include "monitor/TraceFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

const char* TraceHeader()
{
    return "run\tsweep\trho\tlog_posterior\tmodules\tsites\twidths\tmodule_length\n";
}

// Writes all of text with one write call where the system allows, retrying
// only after an interruption; false when the whole text did not get out.
static bool WriteWhole(int fd, const std::string& text)
{
    ssize_t n;
    do
        n = write(fd, text.data(), text.size());
    while (n < 0 && errno == EINTR);
    return n == (ssize_t)text.size();
}

std::unique_ptr<TraceFile> TraceFile::Open(const std::string& path, const std::string& header)
{
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        fprintf(stderr, "Ruzaravo: %s: cannot open the trace file (%s); the run goes on without a trace\n",
                path.c_str(), strerror(errno));
        return nullptr;
    }
    bool ok = true;
    flock(fd, LOCK_EX);
    struct stat st;
    if (fstat(fd, &st) == 0 && st.st_size == 0)
        ok = WriteWhole(fd, header);
    flock(fd, LOCK_UN);
    if (!ok) {
        fprintf(stderr, "Ruzaravo: %s: cannot write the trace file (%s); the run goes on without a trace\n",
                path.c_str(), strerror(errno));
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<TraceFile>(new TraceFile(fd, path));
}

TraceFile::~TraceFile()
{
    if (m_Fd >= 0)
        close(m_Fd);
}

void TraceFile::WriteRow(const std::string& row)
{
    if (m_Fd < 0)
        return;
    if (!WriteWhole(m_Fd, row)) {
        fprintf(stderr, "Ruzaravo: %s: writing the trace failed (%s); the run goes on without a trace\n",
                m_Path.c_str(), strerror(errno));
        close(m_Fd);
        m_Fd = -1;
    }
}
