// All-or-nothing appends of a run's two blocks; see AppendBlocks.h.
//
// Why the locks: with O_APPEND alone, a block larger than one write or two
// processes taking back blocks could interleave or cut each other's data.
// Holding an exclusive flock on both files from before the first write
// until after the last take-back means nobody else appends in between, so
// a file's size before our write is exactly where our bytes begin. A file
// that cannot be locked (a file system without flock) is still written.
// Non-regular files (a pipe, /dev/stdout) cannot be cut back; their
// failures are reported without a take-back.
#include "output/AppendBlocks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// One file opened for appending under an exclusive lock; closing releases
// the lock.
class LockedAppend {
public:
    explicit LockedAppend(const std::string& path)
    {
        m_Fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
        if (m_Fd < 0) {
            m_Error = errno;
            return;
        }
        while (flock(m_Fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        struct stat st;
        if (fstat(m_Fd, &st) == 0 && S_ISREG(st.st_mode))
            m_Start = st.st_size;
    }
    ~LockedAppend()
    {
        if (m_Fd >= 0)
            close(m_Fd);   // also releases the lock
    }
    LockedAppend(const LockedAppend&) = delete;
    LockedAppend& operator=(const LockedAppend&) = delete;

    bool IsOpen() const { return m_Fd >= 0; }
    int Error() const { return m_Error; }
    bool CanTakeBack() const { return m_Start >= 0; }

    // Writes the whole block: one write, continued only after a short one.
    bool Write(const std::string& block)
    {
        size_t done = 0;
        while (done < block.size()) {
            ssize_t n = write(m_Fd, block.data() + done, block.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_Error = n < 0 ? errno : ENOSPC;
                return false;
            }
            done += (size_t)n;
        }
        return true;
    }

    // Cuts the file back to its size before this object's write.
    void TakeBack()
    {
        if (m_Start >= 0)
            (void)ftruncate(m_Fd, (off_t)m_Start);
    }

private:
    int m_Fd = -1;
    int m_Error = 0;
    long long m_Start = -1;
};

Fault Fail(const std::string& path, const char* what, int err, bool takenBack)
{
    std::string reason = std::string(what) + " (" + strerror(err) + ")";
    if (takenBack)
        reason += "; the partial block was removed";
    return Fault(path, reason);
}

}  // namespace

Fault AppendRunBlocks(const std::string& resultPath, const std::string& resultBlock,
                      const std::string& modPrBlock)
{
    std::string modPrPath = resultPath + "_modpr.txt";
    LockedAppend result(resultPath);
    if (!result.IsOpen())
        return Fail(resultPath, "the result file cannot be opened for appending", result.Error(), false);
    LockedAppend modPr(modPrPath);
    if (!modPr.IsOpen())
        return Fail(modPrPath, "the module-probability file cannot be opened for appending", modPr.Error(), false);
    if (!result.Write(resultBlock)) {
        result.TakeBack();
        return Fail(resultPath, "writing the result block failed", result.Error(), result.CanTakeBack());
    }
    if (!modPr.Write(modPrBlock)) {
        modPr.TakeBack();
        result.TakeBack();
        return Fail(modPrPath, "writing the result block failed", modPr.Error(), modPr.CanTakeBack());
    }
    return Fault();
}
