// The one way a whole file is written: to a temporary name beside it, then
// renamed over it, so a reader (or a process stopped midway) sees the old
// file or the new one, never a part. Every file that is rewritten whole
// (the output folder's files, the HTML report, the consensus BED beside
// the result file) goes through it; the result file and its companion are
// appended to instead (output/AppendBlocks.h).
#ifndef RUZARAVO_OUTPUT_REPLACEFILE_H
#define RUZARAVO_OUTPUT_REPLACEFILE_H

#include <string>

#include "base/Fault.h"

// Replaces the file at path with content. The temporary file is
// ".<name>.tmp.<pid>" in the same folder and is removed on failure. No
// fault, or {path, reason} when the file cannot be written.
Fault ReplaceFileAt(const std::string& path, const std::string& content);

#endif
