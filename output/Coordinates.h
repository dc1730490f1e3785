// Where a sequence lies for the standard files: the name of its reference
// (BED/GFF3 column 1) and the offset added to its 0-based positions.
//
// By default each sequence is its own reference, named by the first word of
// its FASTA name, offset 0. With genome coordinates the first word must read
// chrom:start-end as bedtools getfasta writes it (0-based start, end
// exclusive), optionally preceded by "name::" (getfasta -name) and followed
// by "(+)" (getfasta -s on the plus strand); the reference is chrom and the
// offset start. Minus-strand extracts ("(-)") are refused: their letters run
// backwards along the genome.
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

// The place of every sequence of r; in genome mode a name that does not
// parse keeps its local place (the run loop refuses such input up front).
std::vector<SeqPlace> PlacesOf(const RunResult& r, bool genome);

#endif
