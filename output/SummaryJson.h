// summary.json: the runs of the process as one JSON document, described by
// output/summary.schema.json. Coordinates are local to each sequence
// (0-based, end exclusive); "sequences" gives each one's reference and
// offset for genome coordinates.
#ifndef RUZARAVO_OUTPUT_SUMMARYJSON_H
#define RUZARAVO_OUTPUT_SUMMARYJSON_H

#include <string>
#include <vector>

#include "analysis/ChainClusters.h"
#include "results/RunResult.h"

// Version of the document layout; raised when a field changes meaning or
// goes away. New optional fields (a motif's "enrichment", the "chains"
// section) do not raise it: a reader of version 1 that ignores them reads
// every document correctly.
const int kSummaryFormatVersion = 1;

// With chains (--chains) the document ends with their "chains" section.
std::string FormatSummaryJson(const std::vector<RunResult>& runs, bool genome, const ChainClusters* chains = nullptr);

// FormatSummaryJson in parts: the head (program, command line and sequences
// of the first run, or of no run), each run's entry of "runs", and the
// document from a head and the entries of every run so far.
std::string SummaryJsonHead(const RunResult* first, bool genome);
std::string SummaryJsonRun(const RunResult& r);
// extraMembers: further top-level members, each ",\n  \"key\": value"
// (output/AnswerFiles.h), after "chains".
std::string SummaryJsonDocument(const std::string& head, const std::vector<std::string>& runs,
                                const ChainClusters* chains, const std::string& extraMembers = "");

// text as a JSON string literal, quotes included. Valid UTF-8 is kept;
// control characters and bytes that are not valid UTF-8 become \u00XX.
std::string JsonString(const std::string& text);

// Information content of a motif in bits: per column 2 + sum p log2 p
// over the letters with p = count / sites > 0 (SiteFraction).
double InformationContent(const MotifResult& m);

// A motif's "enrichment" value: an object with the threshold, the input and
// control windows and hits, the ratio and log10_p; null when the motif
// could not be measured (no window of its width in the control).
std::string EnrichmentJson(const EnrichmentResult& e);

#endif
