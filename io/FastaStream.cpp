// Record-by-record FASTA reading (rules in the header).
//
// zlib's gz reader passes plain text through unchanged and inflates gzip
// members one after another, so one code path reads every accepted input.
// Bytes are examined one at a time with their line and column, as the
// whole-text reader counts them, so a refusal points at the same place.
#include "io/FastaStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/Fatal.h"
#include "io/WholeInput.h"

namespace {

bool IsLower(int c) { return c >= 'a' && c <= 'z'; }
bool IsLetter(int c) { return IsLower(c) || (c >= 'A' && c <= 'Z'); }
bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsControl(int c) { return (c < 0x20 && !IsBlank(c) && c != '\n') || c == 0x7f; }

bool IsNucleotide(int c)
{
    switch (c | 0x20) {
    case 'a': case 'c': case 'g': case 't': case 'u': case 'n': return true;
    default: return false;
    }
}

std::string Shown(int c)
{
    char buf[32];
    if (c >= 0x21 && c < 0x7f)
        snprintf(buf, sizeof buf, "'%c'", c);
    else
        snprintf(buf, sizeof buf, "byte 0x%02X", c);
    return buf;
}

const size_t kReadSize = 1 << 16;

}  // namespace

std::unique_ptr<FastaStream> FastaStream::Open(const std::string& path, bool maskLower, int fd)
{
    const bool fromStdin = path == "-";
    const std::string subject = fromStdin ? "standard input" : path;
    if (path.empty()) {
        NoteInputError(nullptr, "an empty file name was given");
        return nullptr;
    }
    if (fd < 0)
        fd = fromStdin ? dup(0) : open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        std::string reason = std::string("the file cannot be opened (") + strerror(errno) + ")";
        NoteInputError(subject.c_str(), reason.c_str());
        return nullptr;
    }
    struct stat st;
    const char* refusal = nullptr;
    if (fstat(fd, &st) != 0)
        refusal = "the file cannot be examined";
    else if (S_ISDIR(st.st_mode))
        refusal = "is a directory, not a file";
    else if (!fromStdin && (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)))
        refusal = "is a device, not a file (use - to read standard input)";
    gzFile gz = refusal ? nullptr : gzdopen(fd, "rb");
    if (!gz) {
        close(fd);
        NoteInputError(subject.c_str(), refusal ? refusal : "the gzip decompressor could not be started");
        return nullptr;
    }
    gzbuffer(gz, 1 << 17);
    std::unique_ptr<FastaStream> s(new FastaStream());
    s->m_gz = gz;
    s->m_subject = subject;
    s->m_maskLower = maskLower;
    if (s->Fill())
        if (const char* hint = UnreadCompressionHint(s->m_buf.substr(0, 8))) {
            NoteInputError(subject.c_str(), hint);
            return nullptr;
        }
    if (s->m_failed)
        return nullptr;
    return s;
}

FastaStream::~FastaStream()
{
    if (m_gz)
        gzclose_r((gzFile)m_gz);
}

bool FastaStream::Fail(const std::string& reason)
{
    if (!m_failed)
        NoteInputError(m_subject.c_str(), reason.c_str());
    m_failed = true;
    return false;
}

// Reads the next block; false at the end or on a fault.
bool FastaStream::Fill()
{
    if (m_eof || m_failed)
        return false;
    m_buf.resize(kReadSize);
    int got = gzread((gzFile)m_gz, &m_buf[0], (unsigned)kReadSize);
    m_pos = 0;
    if (got < 0) {
        int err = 0;
        gzerror((gzFile)m_gz, &err);
        m_buf.clear();
        if (err == Z_ERRNO)
            return Fail(std::string("the input cannot be read (") + strerror(errno) + ")");
        return Fail(err == Z_BUF_ERROR ? "the gzip data ends early; the file is truncated"
                                       : "the gzip data is corrupt; the file is damaged");
    }
    m_buf.resize((size_t)got);
    if (got == 0) {
        // A gzip stream cut short reads as a short end; zlib notes it.
        int err = 0;
        gzerror((gzFile)m_gz, &err);
        if (err == Z_BUF_ERROR)
            return Fail("the gzip data ends early; the file is truncated");
        m_eof = true;
        return false;
    }
    return true;
}

int FastaStream::Peek()
{
    if (m_pos == m_buf.size() && !Fill())
        return -1;
    return (unsigned char)m_buf[m_pos];
}

int FastaStream::Get()
{
    int c = Peek();
    if (c < 0)
        return c;
    m_pos++;
    m_bytes++;
    if (c == '\n') {
        m_line++;
        m_column = 0;
        m_lineStart = true;
        return c;
    }
    m_column++;
    m_lineStart = false;
    if (IsControl(c)) {
        Fail("line " + std::to_string(m_line) + " holds " + Shown(c) +
             ": it is a binary file, not FASTA text (or text in UTF-16; save it as plain ASCII)");
        return -1;
    }
    return c;
}

size_t FastaStream::Letters(std::string* out, size_t max)
{
    size_t n = 0;
    while (n < max && !m_pendingName) {
        int c = Peek();
        if (c < 0)
            break;
        if (m_lineStart && c == '>') {
            m_pendingName = true;
            break;
        }
        if ((c = Get()) < 0)
            break;
        if (c == '\n' || IsBlank(c) || IsDigit(c))
            continue;
        if (m_records == 0) {
            // Before the first name only lines without letters are allowed.
            if (IsLetter(c))
                Fail("text before the first name line ('>') at line " + std::to_string(m_line));
            continue;
        }
        if (!IsLetter(c)) {
            Fail("line " + std::to_string(m_line) + ", column " + std::to_string(m_column) + ": " + Shown(c) +
                 " is not a sequence letter (sequence lines hold letters; blanks and digits are skipped)");
            break;
        }
        m_letters++;
        m_nucleotides += IsNucleotide(c);
        out->push_back(IsLower(c) ? (m_maskLower ? 'N' : (char)(c - 'a' + 'A')) : (char)c);
        n++;
    }
    return m_failed ? 0 : n;
}

bool FastaStream::NextRecord(std::string* name)
{
    std::string skipped;
    while (!m_pendingName && !m_failed) {
        skipped.clear();
        if (Letters(&skipped, kReadSize) == 0 && !m_pendingName)
            break;
    }
    if (m_failed || !m_pendingName)
        return false;
    m_pendingName = false;
    name->clear();
    for (int c; (c = Peek()) >= 0 && c != '\n';) {
        if ((c = Get()) < 0)
            return false;
        name->push_back((char)c);
    }
    if (m_failed)
        return false;
    m_records++;
    return true;
}

bool FastaStream::Finish()
{
    if (m_failed)
        return false;
    if (m_bytes == 0)
        return Fail("the file is empty");
    if (m_records == 0)
        return Fail("no sequence name line ('>') found");
    if (m_letters == 0)
        return Fail("no sequence letters: every record after its name line is empty");
    if (2 * m_nucleotides < m_letters) {
        char reason[256];
        snprintf(reason, sizeof reason,
                 "not DNA: only %lld of the %lld letters (%.0f%%) are A, C, G, T, U or N; "
                 "this looks like protein or other text",
                 m_nucleotides, m_letters, 100.0 * (double)m_nucleotides / (double)m_letters);
        return Fail(reason);
    }
    return true;
}
