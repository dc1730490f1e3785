// The character classes of FASTA text, shared by the reader of a whole text
// and the streaming reader, so both accept and refuse the same bytes.
#ifndef RUZARAVO_IO_FASTACHARS_H
#define RUZARAVO_IO_FASTACHARS_H

#include <cstdio>
#include <string>

namespace fasta_chars {

inline bool IsLower(unsigned char c) { return c >= 'a' && c <= 'z'; }
inline bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
inline bool IsLetter(unsigned char c) { return IsLower(c) || IsUpper(c); }
inline bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Bytes plain text never holds: the control characters other than the
// blanks above and the line feed, and DEL.
inline bool IsControl(unsigned char c)
{
    return (c < 0x20 && !IsBlank(c) && c != '\n') || c == 0x7f;
}

// Letters of a nucleic-acid sequence written out: the four bases, U of
// RNA, and N for an unknown base.
inline bool IsNucleotide(unsigned char c)
{
    switch (c | 0x20) {
    case 'a': case 'c': case 'g': case 't': case 'u': case 'n': return true;
    default: return false;
    }
}

// The character as a user can find it in an editor.
inline std::string Shown(unsigned char c)
{
    char buf[32];
    if (c >= 0x21 && c < 0x7f)
        snprintf(buf, sizeof buf, "'%c'", c);
    else
        snprintf(buf, sizeof buf, "byte 0x%02X", c);
    return buf;
}

}  // namespace fasta_chars

#endif
