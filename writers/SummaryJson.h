// summary.json: the runs of the process as one JSON document, described by
// writers/summary.schema.json. Coordinates are local to each sequence
// (0-based, end exclusive); "sequences" gives each one's reference and
// offset for genome coordinates.
#ifndef RUZARAVO_WRITERS_SUMMARYJSON_H
#define RUZARAVO_WRITERS_SUMMARYJSON_H

#include <string>
#include <vector>

#include "results/RunResult.h"

// Version of the document layout; raised when a field changes meaning or
// goes away (new fields do not raise it).
const int kSummaryFormatVersion = 1;

std::string FormatSummaryJson(const std::vector<RunResult>& runs, bool genome);

// text as a JSON string literal, quotes included. Valid UTF-8 is kept;
// control characters and bytes that are not valid UTF-8 become \u00XX.
std::string JsonString(const std::string& text);

// Information content of a motif in bits: per column 2 + sum p log2 p
// over the letters with p = count / sites > 0.
double InformationContent(const MotifResult& m);

#endif
