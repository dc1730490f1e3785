// Record-by-record FASTA reading (rules in the header).
//
// The raw bytes are read in blocks; when the input starts with gzip's magic
// bytes every block is inflated, member after member, else the bytes are
// used as they are.
// Bytes are examined one at a time with their line and column, as the
// whole-text reader counts them, so a refusal points at the same place.
#include "io/FastaStream.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/Fatal.h"
#include "io/FastaChars.h"
#include "io/WholeInput.h"

namespace {

using namespace fasta_chars;

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
    if (const char* refusal = InputRefusal(fd, fromStdin, "is a device, not a file (use - to read standard input)")) {
        close(fd);
        NoteInputError(subject.c_str(), refusal);
        return nullptr;
    }
    std::unique_ptr<FastaStream> s(new FastaStream());
    s->m_fd = fd;
    s->m_subject = subject;
    s->m_maskLower = maskLower;
    while (s->m_in.size() < 8 && s->ReadRaw()) {
    }
    if (const char* hint = UnreadCompressionHint(s->m_in.substr(0, 8))) {
        NoteInputError(subject.c_str(), hint);
        return nullptr;
    }
    s->m_gzip = s->m_in.size() >= 2 && (unsigned char)s->m_in[0] == 0x1f && (unsigned char)s->m_in[1] == 0x8b;
    if (s->m_gzip) {
        s->m_z.reset(new z_stream());
        memset(s->m_z.get(), 0, sizeof(z_stream));
        if (inflateInit2(s->m_z.get(), 15 + 16) != Z_OK) {
            s->m_z.reset();
            NoteInputError(subject.c_str(), "the gzip decompressor could not be started");
            return nullptr;
        }
    }
    if (s->m_failed)
        return nullptr;
    return s;
}

FastaStream::~FastaStream()
{
    if (m_z)
        inflateEnd(m_z.get());
    if (m_fd >= 0)
        close(m_fd);
}

bool FastaStream::Fail(const std::string& reason)
{
    if (!m_failed)
        NoteInputError(m_subject.c_str(), reason.c_str());
    m_failed = true;
    return false;
}

bool FastaStream::ReadRaw()
{
    if (m_rawEnd || m_failed)
        return false;
    if (m_inPos > 0) {
        m_in.erase(0, m_inPos);
        m_inPos = 0;
    }
    char block[kReadSize];
    for (;;) {
        ssize_t got = read(m_fd, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Fail(std::string("the input cannot be read (") + strerror(errno) + ")");
        if (got == 0) {
            m_rawEnd = true;
            return false;
        }
        m_in.append(block, (size_t)got);
        return true;
    }
}

// Inflates into m_buf until it holds letters or the input ends.
bool FastaStream::Inflate()
{
    z_stream& z = *m_z;
    m_buf.resize(kReadSize);
    for (;;) {
        if (m_inPos == m_in.size() && !ReadRaw()) {
            if (m_failed)
                return false;
            if (!m_memberEnd)
                return Fail("the gzip data ends early; the file is truncated");
            m_eof = true;
            return false;
        }
        if (m_memberEnd) {
            // Another member must start here.
            if (m_in.size() - m_inPos < 2 && ReadRaw() && m_in.size() - m_inPos < 2)
                continue;
            if (m_in.size() - m_inPos < 2 || (unsigned char)m_in[m_inPos] != 0x1f ||
                (unsigned char)m_in[m_inPos + 1] != 0x8b)
                return Fail("the gzip data is followed by bytes that are not gzip data; the file is damaged");
            inflateReset(&z);
            m_memberEnd = false;
        }
        z.next_in = (Bytef*)&m_in[m_inPos];
        z.avail_in = (uInt)(m_in.size() - m_inPos);
        z.next_out = (Bytef*)&m_buf[0];
        z.avail_out = (uInt)kReadSize;
        int rc = inflate(&z, Z_NO_FLUSH);
        m_inPos = m_in.size() - z.avail_in;
        const size_t made = kReadSize - z.avail_out;
        if (rc == Z_STREAM_END)
            m_memberEnd = true;
        else if (rc != Z_OK && rc != Z_BUF_ERROR)
            return Fail("the gzip data is corrupt; the file is damaged");
        if (made > 0) {
            m_buf.resize(made);
            return true;
        }
    }
}

// Reads the next block; false at the end or on a fault.
bool FastaStream::Fill()
{
    m_pos = 0;
    if (m_eof || m_failed)
        return false;
    if (m_gzip) {
        if (Inflate())
            return true;
        m_buf.clear();
        return false;
    }
    if (m_inPos == m_in.size() && !ReadRaw()) {
        m_buf.clear();
        m_eof = !m_failed;
        return false;
    }
    m_buf.assign(m_in, m_inPos, std::string::npos);
    m_inPos = m_in.size();
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
