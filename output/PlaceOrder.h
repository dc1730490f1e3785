// Lines of a genome-coordinate file put in position order, the order
// `LC_ALL=C sort -k1,1 -k2,2n` (and `bedtools sort`) gives: by the bytes of
// column 1, then by the number in the start column; lines that tie keep
// their order (the sort is stable). tabix and genome browsers read such
// files directly. Used only with --genome-coords: local-coordinate files
// keep their own order.
#ifndef RUZARAVO_OUTPUT_PLACEORDER_H
#define RUZARAVO_OUTPUT_PLACEORDER_H

#include <string>

// text: whole lines, each ending in a line break, tab-separated;
// startColumn: 1-based column of the start (2 for BED, 4 for GFF3). A line
// whose start column is missing or not a number sorts as start 0.
std::string SortedByPlace(const std::string& text, int startColumn);

#endif
