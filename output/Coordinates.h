// Where a sequence lies for the standard files: the name of its reference
// (BED/GFF3 column 1) and the offset added to its 0-based positions.
//
// By default each sequence is its own reference, named by the first word of
// its FASTA name, offset 0; records that share a first word are told apart:
// the n-th record of a name (n >= 2) is named "<name>_<n>", or with the next
// free number when another record already bears that name.
//
// With genome coordinates the first word reads chrom:start-end as bedtools
// getfasta writes it (0-based start, end exclusive), optionally preceded by
// "name::" (getfasta -name) and followed by "(+)" (getfasta -s on the plus
// strand); the reference is chrom and the offset start. Minus-strand
// extracts ("(-)") are refused: their letters run backwards along the
// genome. Otherwise the name may be the four words "name chrom start end";
// the record's letter count tells the convention: end - start + 1 letters
// is 1-based inclusive (offset start - 1), end - start letters 0-based
// half-open (offset start), any other count is refused.
#ifndef RUZARAVO_OUTPUT_COORDINATES_H
#define RUZARAVO_OUTPUT_COORDINATES_H

#include <string>
#include <vector>

#include "results/RunResult.h"

struct SeqPlace {
    std::string chrom;      // reference name
    long long offset = 0;   // added to every 0-based position
    long long span = -1;    // letters the name covers (end - start); -1 for a local place
};

// Reads chrom:start-end from the first word of a name; false (place
// unchanged) when it does not have that form.
bool ParseGenomeName(const std::string& firstWord, SeqPlace* place);

// The last three of exactly four words of a name line ('>' optional):
// "name chrom start end", start and end decimal with end > start.
struct NamedSpan {
    std::string chrom;
    long long start = 0, end = 0;
};
bool ReadNamedSpan(const std::string& name, NamedSpan* span);

// The place of a record of that many letters named by span: false when
// the count fits neither convention (place unchanged).
bool PlaceOfSpan(const NamedSpan& span, long long letters, SeqPlace* place);

// The genome place of a record from the first word of its name, its whole
// name line and its letter count: the first word as chrom:start-end, else
// the four-word form.
bool ParseNamedPlace(const std::string& firstWord, const std::string& name, long long letters, SeqPlace* place);

// The place of every sequence of r; in genome mode a name that does not
// parse keeps its local place (the run loop refuses such input up front).
std::vector<SeqPlace> PlacesOf(const RunResult& r, bool genome);

#endif
