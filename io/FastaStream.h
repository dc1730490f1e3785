// Reading a FASTA input record by record and each record in pieces, so that
// a genome is never held in memory whole: a named file, or standard input
// when the name is "-", plain or gzip-compressed (BGZF and joined members
// included), decompressed as it is read.
//
// The rules are those of the whole-text reader (io/FastaText.h): a name line
// starts with '>', letters are upper-cased (lower-case ones read as N with
// maskLower), blanks and digits are skipped, any other character, a control
// byte, or letters before the first name line stop the reading with a reason
// naming the line and column. Finish() makes the checks that need the whole
// input: a name line, at least one letter, and at least half the letters
// A, C, G, T, U or N.
//
// A gzip member must be followed by another member or by the end: bytes
// after it that do not start one, or data ending inside a member, are
// refused as a damaged file rather than read in part.
//
// Memory: two read buffers and the name of the current record.
#ifndef RUZARAVO_IO_FASTASTREAM_H
#define RUZARAVO_IO_FASTASTREAM_H

#include <memory>
#include <string>

struct z_stream_s;

class FastaStream {
public:
    // Opens the input (fd >= 0 reads that descriptor instead of the path,
    // and takes it over); on a refusal notes why (base/Fatal.h) and returns
    // null. subject names the input in messages.
    static std::unique_ptr<FastaStream> Open(const std::string& path, bool maskLower, int fd = -1);
    ~FastaStream();
    FastaStream(const FastaStream&) = delete;
    FastaStream& operator=(const FastaStream&) = delete;

    // Moves to the next record (skipping what is left of the current one)
    // and gives its name line ('>' included); false at the end or on a
    // fault (then Failed()).
    bool NextRecord(std::string* name);

    // Appends up to max letters of the current record to out; returns how
    // many, 0 at the record's end or on a fault.
    size_t Letters(std::string* out, size_t max);

    // The whole-input checks, once the end is reached; false with the
    // reason noted.
    bool Finish();

    bool Failed() const { return m_failed; }
    const std::string& Subject() const { return m_subject; }

private:
    FastaStream() = default;
    int Get();            // next byte, -1 at the end or on a fault
    int Peek();
    bool Fail(const std::string& reason);
    bool Fill();
    bool ReadRaw();       // more bytes of the file into m_in; false at its end or on a fault
    bool Inflate();

    int m_fd = -1;
    bool m_gzip = false;            // the input starts with a gzip member
    bool m_memberEnd = false;       // the last gzip member is complete
    std::unique_ptr<struct z_stream_s> m_z;
    std::string m_in;               // raw bytes not yet used, from m_inPos
    size_t m_inPos = 0;
    bool m_rawEnd = false;
    std::string m_subject;
    bool m_maskLower = false;
    bool m_failed = false, m_eof = false;
    bool m_lineStart = true;
    bool m_pendingName = false;     // a '>' at a line start was met and not yet taken
    long long m_line = 1, m_column = 0;
    long long m_letters = 0, m_nucleotides = 0, m_records = 0, m_bytes = 0;
    std::string m_buf;
    size_t m_pos = 0;
};

#endif
