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
// Memory: one read buffer and the name of the current record.
#ifndef RUZARAVO_IO_FASTASTREAM_H
#define RUZARAVO_IO_FASTASTREAM_H

#include <memory>
#include <string>

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

    void* m_gz = nullptr;           // gzFile
    std::string m_subject;
    bool m_maskLower = false;
    bool m_failed = false, m_eof = false;
    bool m_inRecord = false;        // letters of a record may follow
    bool m_lineStart = true;
    bool m_pendingName = false;     // a '>' at a line start was met and not yet taken
    long long m_line = 1, m_column = 0;
    long long m_letters = 0, m_nucleotides = 0, m_records = 0, m_bytes = 0;
    std::string m_buf;
    size_t m_pos = 0;
};

#endif
