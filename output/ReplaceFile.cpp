// Whole-file replacement through a temporary file and a rename; see
// ReplaceFile.h. There is no fsync: it would cost more than the writing
// itself, and a crash of the machine (not of the process) is not guarded.
#include "output/ReplaceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

static std::string Because(const char* what, int err)
{
    return std::string(what) + " (" + strerror(err) + ")";
}

// Writes all of content to fd; 0 or the error.
static int WriteAll(int fd, const std::string& content)
{
    size_t done = 0;
    while (done < content.size()) {
        ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += (size_t)n;
    }
    return 0;
}

Fault ReplaceFileAt(const std::string& path, const std::string& content)
{
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = dir + "/." + name + ".tmp." + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return Fault(path, Because("cannot be created", errno));
    int err = WriteAll(fd, content);
    if (close(fd) != 0 && !err)
        err = errno;
    if (!err && rename(temp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err) {
        unlink(temp.c_str());
        return Fault(path, Because("writing the file failed", err));
    }
    return Fault();
}
