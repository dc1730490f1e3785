// Whole-input reading with transparent gzip/BGZF decompression.
//
// The raw bytes are read first and decompressed from memory: a gzip stream
// may hold several members one after another (BGZF blocks, or files joined
// with cat), and every member is inflated in turn. Data that ends inside a
// member, or bytes after a member that do not start another one, are
// refused as a damaged file rather than taken in part.
#include "io/WholeInput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>

#include "base/Fatal.h"

namespace {

void NoteErrno(const std::string& subject, const char* what, int err)
{
    std::string reason = std::string(what) + " (" + strerror(err) + ")";
    NoteInputError(subject.c_str(), reason.c_str());
}

bool IsGzip(const std::string& data, size_t at)
{
    return data.size() >= at + 2 && (unsigned char)data[at] == 0x1f && (unsigned char)data[at + 1] == 0x8b;
}

// Reads everything fd delivers until its end.
bool ReadAll(int fd, const std::string& subject, std::string* bytes)
{
    char buf[1 << 16];
    for (;;) {
        ssize_t got = read(fd, buf, sizeof buf);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            NoteErrno(subject, "the input cannot be read", errno);
            return false;
        }
        bytes->append(buf, (size_t)got);
    }
}

// Inflates every gzip member of packed into plain.
bool Gunzip(const std::string& packed, const std::string& subject, std::string* plain)
{
    z_stream z;
    memset(&z, 0, sizeof z);
    if (inflateInit2(&z, 15 + 16) != Z_OK) {
        NoteInputError(subject.c_str(), "the gzip decompressor could not be started");
        return false;
    }
    z.next_in = (Bytef*)packed.data();
    z.avail_in = (uInt)0;
    size_t consumed = 0;
    char out[1 << 16];
    bool ok = true;
    const char* fault = nullptr;
    while (ok) {
        if (z.avail_in == 0 && consumed < packed.size()) {
            size_t chunk = packed.size() - consumed;
            if (chunk > (1u << 30))
                chunk = 1u << 30;
            z.next_in = (Bytef*)packed.data() + consumed;
            z.avail_in = (uInt)chunk;
            consumed += chunk;
        }
        z.next_out = (Bytef*)out;
        z.avail_out = sizeof out;
        int rc = inflate(&z, Z_NO_FLUSH);
        plain->append(out, sizeof out - z.avail_out);
        if (rc == Z_STREAM_END) {
            size_t next = consumed - z.avail_in;   // first byte after this member
            if (next == packed.size())
                break;
            if (!IsGzip(packed, next)) {
                fault = "the gzip data is followed by bytes that are not gzip data; the file is damaged";
                ok = false;
                break;
            }
            inflateReset(&z);
        } else if (rc == Z_BUF_ERROR && z.avail_in == 0 && consumed == packed.size()) {
            fault = "the gzip data ends early; the file is truncated";
            ok = false;
        } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
            fault = "the gzip data is corrupt; the file is damaged";
            ok = false;
        }
    }
    inflateEnd(&z);
    if (fault)
        NoteInputError(subject.c_str(), fault);
    return ok;
}

}  // namespace

const char* UnreadCompressionHint(const std::string& head)
{
    const size_t n = head.size();
    const unsigned char* h = (const unsigned char*)head.data();
    if (n >= 4 && h[0] == 'B' && h[1] == 'Z' && h[2] == 'h' && h[3] >= '1' && h[3] <= '9')
        return "the file is bzip2-compressed; decompress it first (bunzip2)";
    if (n >= 6 && memcmp(h, "\xfd" "7zXZ\0", 6) == 0)
        return "the file is xz-compressed; decompress it first (unxz)";
    if (n >= 4 && memcmp(h, "\x28\xb5\x2f\xfd", 4) == 0)
        return "the file is zstd-compressed; decompress it first (unzstd)";
    return nullptr;
}

const char* InputRefusal(int fd, bool fromStdin, const char* deviceRefusal)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return "the file cannot be examined";
    if (S_ISDIR(st.st_mode))
        return "is a directory, not a file";
    if (!fromStdin && (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)))
        return deviceRefusal;
    return nullptr;
}

bool ReadWholeInput(const std::string& path, std::string* bytes)
{
    bytes->clear();
    const bool fromStdin = path == "-";
    const std::string subject = fromStdin ? "standard input" : path;
    if (path.empty()) {
        NoteInputError(nullptr, "an empty file name was given");
        return false;
    }
    int fd = fromStdin ? 0 : open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        NoteErrno(subject, "the file cannot be opened", errno);
        return false;
    }
    const char* refusal = InputRefusal(fd, fromStdin, "is a device, not a file (use -i - to read standard input)");
    std::string raw;
    bool ok = !refusal && ReadAll(fd, subject, &raw);
    if (!fromStdin)
        close(fd);
    if (refusal) {
        NoteInputError(subject.c_str(), refusal);
        return false;
    }
    if (!ok)
        return false;
    if (const char* hint = UnreadCompressionHint(raw.substr(0, 8))) {
        NoteInputError(subject.c_str(), hint);
        return false;
    }
    if (!IsGzip(raw, 0)) {
        bytes->swap(raw);
        return true;
    }
    return Gunzip(raw, subject, bytes);
}
