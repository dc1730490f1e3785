// matches.tsv: the known-factor matches of the found motifs (KnownMatches)
// as a tab-separated table that pandas, R and the csv module read as is.
#ifndef RUZARAVO_OUTPUT_MATCHESTABLE_H
#define RUZARAVO_OUTPUT_MATCHESTABLE_H

#include <string>
#include <vector>

#include "analysis/KnownMatches.h"

// A header line, then one line per match in the order given:
// motif (motifNames[match.motif], e.g. r1.m2; the 1-based position when the
// list is shorter), library_id, name, offset
// (the library matrix's column j, as oriented, faces the found motif's
// column j + offset), strand ("+", or "-" for the reverse complement of the
// library matrix), overlap (aligned columns), score (mean column Pearson
// correlation, "%.4f"), p, E and q ("%.3g", like Tomtom: 0.000123,
// 4.56e-07). An empty name stays an empty field; tabs, line breaks and
// other control characters in ids and names become spaces, so every line
// keeps its ten fields.
std::string FormatMatchesTsv(const std::vector<KnownMatch>& matches, const std::vector<std::string>& motifNames);

#endif
