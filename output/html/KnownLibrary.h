// The known-factor library for the report (--known FILE): every matrix of
// a file in any layout -M reads (the program's own weight-matrix layout,
// MEME, JASPAR, TRANSFAC; recognised from the content), as report entries.
#ifndef RUZARAVO_OUTPUT_HTML_KNOWNLIBRARY_H
#define RUZARAVO_OUTPUT_HTML_KNOWNLIBRARY_H

#include <string>
#include <vector>

#include "output/html/Report.h"

// Reads every matrix of the file; false with the reader's reason when the
// file cannot be read, holds no matrix or has a bad row.
bool ReadKnownLibrary(const std::string& path, std::vector<KnownMotif>* out, std::string* reason);

#endif
