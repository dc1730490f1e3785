// Up-front checks of the files named on the command line: main runs them
// before any run, so a bad file stops the program before anything is
// written.
//
// CheckPWMFile reads the file exactly as ReadInputPWM will (the same
// matrix-file reader, the first K matrices, the same width bound and row
// rescaling), so what it accepts is what the reader gets. Every refusal notes its reason (NoteInputError) for
// the stop that follows. The background and matrix files must be regular
// files: each is read twice (once here, once for real), which a pipe or a
// device cannot give, and a device such as /dev/zero never ends. A file
// whose first bytes mark it as compressed is refused with a hint to
// decompress it. The result-file check creates and changes nothing.
#include "io/SideFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/Fatal.h"
#include "io/MatrixFile.h"
#include "model/PWMFormat.h"
#include "io/WholeInput.h"

// The hint for a file that starts with the magic bytes of a compressed
// format, or null. gzip also covers BGZF (bgzip, .bam): the side files are
// read as plain text only, unlike the sequence file.
static const char* CompressionHint(const unsigned char* head, size_t n)
{
    if (n >= 2 && head[0] == 0x1f && head[1] == 0x8b)
        return "the file is gzip-compressed; decompress it first (gunzip)";
    return UnreadCompressionHint(std::string((const char*)head, n));
}

static void NoteErrno(const char* path, const char* what, int err)
{
    char reason[256];
    snprintf(reason, sizeof reason, "%s (%s)", what, strerror(err));
    NoteInputError(path, reason);
}

// Opens an input file for reading at its first byte, or notes why it
// cannot be used and returns null.
FILE* OpenInputFile(const char* path)
{
    if (!path || !*path) {
        NoteInputError(nullptr, "an empty file name was given");
        return nullptr;
    }
    FILE* f = fopen(path, "r");
    if (!f) {
        NoteErrno(path, "the file cannot be opened", errno);
        return nullptr;
    }
    struct stat st;
    const char* refusal = nullptr;
    if (fstat(fileno(f), &st) != 0)
        refusal = "the file cannot be examined";
    else if (S_ISDIR(st.st_mode))
        refusal = "is a directory, not a file";
    else if (!S_ISREG(st.st_mode))
        refusal = "is not a regular file (a pipe or a device); it is read twice, so give a regular file";
    if (!refusal) {
        unsigned char head[8];
        size_t got = fread(head, 1, sizeof head, f);
        refusal = CompressionHint(head, got);
        if (!refusal && fseek(f, 0L, SEEK_SET) != 0)
            refusal = "the file cannot be read from its start";
    }
    if (refusal) {
        NoteInputError(path, refusal);
        fclose(f);
        return nullptr;
    }
    return f;
}

bool CheckBgFile(const char* path)
{
    FILE* f = OpenInputFile(path);
    if (!f)
        return false;
    char buf[65536];
    while (fread(buf, 1, sizeof buf, f) == sizeof buf) {
    }
    bool ok = ferror(f) == 0;
    fclose(f);
    if (!ok)
        NoteInputError(path, "the file cannot be read");
    return ok;
}

// Notes a fault of matrix m (1-based), row r (1-based; 0: its header).
static void NoteMatrix(const char* path, int m, long r, const char* what)
{
    char reason[256];
    if (r > 0)
        snprintf(reason, sizeof reason, "matrix %d, row %ld: %s", m, r, what);
    else
        snprintf(reason, sizeof reason, "matrix %d: %s", m, what);
    NoteInputError(path, reason);
}

bool CheckPWMFile(const char* path, int motifNum)
{
    FILE* f = OpenInputFile(path);
    if (!f)
        return false;
    std::string text;
    bool unreadable = !ReadRestOfFile(f, &text);
    fclose(f);
    if (unreadable) {
        NoteInputError(path, "the file cannot be read");
        return false;
    }
    std::vector<MotifMatrix> given;
    std::string reason;
    MatrixFormat format;
    if (!ParseMatrixText(text, &given, &reason, &format, motifNum > 0 ? (size_t)motifNum : 0)) {
        NoteInputError(path, reason.c_str());
        return false;
    }
    for (size_t m = 0; m < given.size(); m++) {
        long w = (long)given[m].rows.size();
        if (w < kPWMMinWidth || w > kPWMMaxWidth) {
            char what[160];
            if (format == MatrixFormat::Own)
                snprintf(what, sizeof what, "the width after '>' is %ld; it must lie in %d..%d", w, kPWMMinWidth,
                         kPWMMaxWidth);
            else
                snprintf(what, sizeof what, "%s has %ld columns; a width must lie in %d..%d",
                         given[m].id.c_str(), w, kPWMMinWidth, kPWMMaxWidth);
            NoteMatrix(path, (int)m + 1, 0, what);
            return false;
        }
        for (long j = 0; j < w; j++) {
            double r[4];
            if (!RescalePWMRow(given[m].rows[j].data(), r)) {
                NoteMatrix(path, (int)m + 1, j + 1,
                           "the four values for A, C, G, T must not all be 0");
                return false;
            }
        }
    }
    return true;
}

// The directory part of path ("." when it has none).
static std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool CheckResultFile(const char* path)
{
    if (!path || !*path) {
        NoteInputError("-o", "an empty result file name was given");
        return false;
    }
    std::string name = path;
    if (name.back() == '/') {
        NoteInputError(path, "names a directory; name a result file with -o");
        return false;
    }
    struct stat st;
    if (stat(path, &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            NoteInputError(path, "is a directory; name a result file with -o");
            return false;
        }
        // Opening without O_CREAT changes nothing; O_NONBLOCK keeps a pipe
        // without a reader from blocking.
        int fd = open(path, O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) {
            NoteErrno(path, "the result file cannot be written", errno);
            return false;
        }
        close(fd);
        return true;
    }
    if (errno != ENOENT) {
        NoteErrno(path, "the result file cannot be examined", errno);
        return false;
    }
    std::string dir = DirectoryOf(name);
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        NoteInputError(path, "the result file cannot be created: its directory does not exist");
        return false;
    }
    if (access(dir.c_str(), W_OK | X_OK) != 0) {
        NoteErrno(path, "the result file cannot be created in its directory", errno);
        return false;
    }
    return true;
}
