// Reading the known-factor library for the report (--known FILE).
//
// Two layouts are recognised from the content: the program's own
// weight-matrix layout (a header ">" + width, optionally followed by an id
// and a name, then that many rows of four numbers for A, C, G, T) and
// TRANSFAC (AC id, ID name, a "PO"/"P0" line, numbered rows of four
// numbers, "XX" or "//" ending the matrix), in which JASPAR distributes
// its collections. Fields may be separated by tabs or blanks. Every
// number must be finite and non-negative, and every row must have a
// positive sum.
#ifndef RUZARAVO_HTMLREPORT_KNOWNLIBRARY_H
#define RUZARAVO_HTMLREPORT_KNOWNLIBRARY_H

#include <string>
#include <vector>

#include "htmlreport/Report.h"

// Reads every matrix of the file; false with the reason (naming the line)
// when the file cannot be read, holds no matrix, or has a bad row.
bool ReadKnownLibrary(const std::string& path, std::vector<KnownMotif>* out, std::string* reason);

#endif
