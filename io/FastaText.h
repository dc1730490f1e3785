// The FASTA reader: turns the text of a sequence file into named records.
//
// A line starting with '>' is a name line: the whole line without its line
// break is the name ('>' and a carriage return before the break included).
// Every other line belongs to the latest name. On those lines letters are
// taken upper-cased, blanks (space, tab, carriage return, form feed) and
// digits (position numbers, blocks of ten) are skipped, and any other
// character stops the reading with a reason naming its line and column.
// Lines before the first name that hold no letter are ignored.
//
// The whole input is refused when it holds a control byte (a binary file or
// UTF-16 text), has no name line, no letter at all, more letters than an
// int holds, or when fewer than half of its letters are A, C, G, T, U or N
// (protein or other text, not DNA).
#ifndef RUZARAVO_IO_FASTATEXT_H
#define RUZARAVO_IO_FASTATEXT_H

#include <string>
#include <vector>

struct FastaRecord {
    std::string Name;      // the name line, '>' included, line break removed
    std::string Letters;   // upper-case letters ('N' for masked ones)
};

struct FastaReadOptions {
    bool MaskLower = false;   // lower-case (soft-masked) letters are read as N
};

// Parses text; on a refusal notes the reason (base/Fatal.h) with source as
// its subject and returns false. records is replaced either way.
bool ParseFastaText(const std::string& text, const std::string& source, const FastaReadOptions& options,
                    std::vector<FastaRecord>* records);

// Reads the named input ("-" for standard input, gzip/BGZF allowed) and
// parses it.
bool ReadFastaInput(const std::string& path, const FastaReadOptions& options, std::vector<FastaRecord>* records);

#endif
