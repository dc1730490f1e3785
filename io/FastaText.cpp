// FASTA parsing from memory (rules in the header).
//
// One pass over the text: line numbers and columns are counted from 1 so a
// refusal points at the exact character. Letters are appended to the
// current record as they are met; nothing is kept of a refused input.
#include "io/FastaText.h"

#include <climits>
#include <cstdio>

#include "base/Fatal.h"
#include "io/FastaChars.h"
#include "io/WholeInput.h"

namespace {

using namespace fasta_chars;

bool Refuse(const std::string& source, const std::string& reason)
{
    NoteInputError(source.c_str(), reason.c_str());
    return false;
}

// The line (from 1) holding byte at.
long long LineOf(const std::string& text, size_t at)
{
    long long line = 1;
    for (size_t i = 0; i < at; i++)
        line += text[i] == '\n';
    return line;
}

}  // namespace

bool ParseFastaText(const std::string& text, const std::string& source, const FastaReadOptions& options,
                    std::vector<FastaRecord>* records)
{
    records->clear();
    if (text.empty())
        return Refuse(source, "the file is empty");
    for (size_t i = 0; i < text.size(); i++) {
        if (IsControl((unsigned char)text[i]))
            return Refuse(source, "line " + std::to_string(LineOf(text, i)) + " holds " +
                                      Shown((unsigned char)text[i]) +
                                      ": it is a binary file, not FASTA text (or text in UTF-16; save it as "
                                      "plain ASCII)");
    }
    long long letters = 0, nucleotides = 0, lineNo = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        lineNo++;
        if (text[at] == '>') {
            records->push_back(FastaRecord{text.substr(at, end - at), std::string()});
        } else if (records->empty()) {
            // Before the first name only lines without letters are allowed.
            for (size_t i = at; i < end; i++)
                if (IsLetter((unsigned char)text[i]))
                    return Refuse(source, "text before the first name line ('>') at line " + std::to_string(lineNo));
        } else {
            for (size_t i = at; i < end; i++) {
                unsigned char c = (unsigned char)text[i];
                if (IsBlank(c) || IsDigit(c))
                    continue;
                if (!IsLetter(c))
                    return Refuse(source, "line " + std::to_string(lineNo) + ", column " +
                                              std::to_string(i - at + 1) + ": " + Shown(c) +
                                              " is not a sequence letter (sequence lines hold letters; blanks and "
                                              "digits are skipped)");
                if (++letters > INT_MAX)
                    return Refuse(source, "too many letters (over 2147483647 in all)");
                nucleotides += IsNucleotide(c);
                char up = IsLower(c) ? (options.MaskLower ? 'N' : (char)(c - 'a' + 'A')) : (char)c;
                records->back().Letters.push_back(up);
            }
        }
        at = end + 1;
    }
    if (records->empty())
        return Refuse(source, "no sequence name line ('>') found");
    if (records->size() > (size_t)INT_MAX)
        return Refuse(source, "too many sequences (over 2147483647)");
    if (letters == 0)
        return Refuse(source, "no sequence letters: every record after its name line is empty");
    if (2 * nucleotides < letters) {
        char reason[256];
        snprintf(reason, sizeof reason,
                 "not DNA: only %lld of the %lld letters (%.0f%%) are A, C, G, T, U or N; "
                 "this looks like protein or other text",
                 nucleotides, letters, 100.0 * (double)nucleotides / (double)letters);
        return Refuse(source, reason);
    }
    return true;
}

bool ReadFastaInput(const std::string& path, const FastaReadOptions& options, std::vector<FastaRecord>* records)
{
    records->clear();
    std::string text;
    if (!ReadWholeInput(path, &text))
        return false;
    return ParseFastaText(text, path == "-" ? "standard input" : path, options, records);
}
