// Reading the side files once, before any run, and the result-file check.
//
// LoadPWMFile applies exactly the rules the sampler's seeding relies on
// (the matrix-file reader, the first K matrices, the width bound and the
// row rescaling), so what it accepts is what every run gets. Both side
// files are read whole through io/WholeInput.h, once: a pipe, process
// substitution, standard input ("-") and gzip/BGZF work as for -i, and a
// device such as /dev/zero is refused. Every refusal notes its reason
// (NoteInputError) for the stop that follows. The result-file check creates
// and changes nothing.
#include "io/SideFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/Fatal.h"
#include "io/MatrixFile.h"
#include "base/CString.h"
#include "base/Helpers.h"
#include "io/WholeInput.h"

static void NoteErrno(const char* path, const char* what, int err)
{
    char reason[256];
    snprintf(reason, sizeof reason, "%s (%s)", what, strerror(err));
    NoteInputError(path, reason);
}

std::vector<BgFileLine> ParseBgFileText(const std::string& text)
{
    const size_t kPiece = 999;   // a 1000-byte buffer holds 999 bytes and the NUL
    std::vector<BgFileLine> lines;
    BgFileLine line = {};
    size_t at = 0;
    while (at < text.size()) {
        size_t nl = text.find('\n', at);
        size_t end = nl == std::string::npos ? text.size() : nl + 1;
        if (end - at > kPiece)
            end = at + kPiece;
        std::string piece = text.substr(at, end - at);
        at = end;
        piece.resize(strlen(piece.c_str()));   // the buffer reads as text up to a NUL
        if (piece.size() <= 10)
            continue;
        CString cs;
        cs = piece.c_str();
        ReadData(cs, 0, 7, line.field);
        lines.push_back(line);
    }
    return lines;
}

bool LoadBgFile(const char* path, std::vector<BgFileLine>* lines)
{
    std::string text;
    if (!ReadWholeInput(path ? path : "", &text))
        return false;
    *lines = ParseBgFileText(text);
    return true;
}

bool CheckBgFile(const char* path)
{
    std::vector<BgFileLine> lines;
    return LoadBgFile(path, &lines);
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

bool LoadPWMFile(const char* path, int motifNum, std::vector<MotifMatrix>* out)
{
    std::string text;
    if (!ReadWholeInput(path ? path : "", &text))
        return false;
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
    *out = std::move(given);
    return true;
}

bool CheckPWMFile(const char* path, int motifNum)
{
    std::vector<MotifMatrix> given;
    return LoadPWMFile(path, motifNum, &given);
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
