// BED and bedGraph files of all runs: sites, modules and per-position
// module probabilities. Coordinates are 0-based with exclusive ends,
// placed by output/Coordinates.h (local, or genome with --genome-coords).
#ifndef RUZARAVO_OUTPUT_BEDFILES_H
#define RUZARAVO_OUTPUT_BEDFILES_H

#include <string>
#include <vector>

#include "results/RunResult.h"

// BED6, one line per reported site of a printed motif: reference, start,
// end, "r<run>.m<k>", round(1000 x min(posterior, 1)), strand. Lines are
// sorted by sequence (FASTA order), start, run, motif; with genome
// coordinates that order is then sorted by reference and genome start
// (output/PlaceOrder.h), for tabix and genome browsers.
std::string FormatSitesBed(const std::vector<RunResult>& runs, bool genome);

// FormatSitesBed in parts: each run's lines in file order, and the merge
// of such lists (a stable merge: the lines of different runs interleave by
// sequence and start, and the file is the text of the merged lines).
struct SiteBedLine {
    int seq, start, run, motif;   // the sort key
    std::string text;             // the whole line, line break included
};
std::vector<SiteBedLine> SiteBedLines(const RunResult& r, bool genome);
void MergeSiteBedLines(std::vector<SiteBedLine>& into, const std::vector<SiteBedLine>& more);
std::string SiteBedText(const std::vector<SiteBedLine>& lines);
std::string SiteBedFile(const std::vector<SiteBedLine>& lines, bool genome);   // the file: the text, placed in order

// BED6, one line per printed module: reference, start, end, "r<run>.crm<n>",
// round(1000 x mean module probability over the module), ".". Runs in
// order, each in record order; with genome coordinates all lines sorted by
// reference and start (the runs' parts are then not the file's order).
std::string FormatModulesBed(const std::vector<RunResult>& runs, bool genome);
std::string ModulesBedLines(const RunResult& r, bool genome);   // one run's part

// bedGraph of the module probability (three decimals, as in the result
// file's companion), neighbouring positions of equal value merged; one
// track line per run, its lines in sequence order, or with genome
// coordinates sorted by reference and start within the track.
std::string FormatModPrBedGraph(const std::vector<RunResult>& runs, bool genome);
std::string ModPrBedGraphTrack(const RunResult& r, bool genome);   // one run's part

// round(1000 x min(p, 1)), 0 for p <= 0 or NaN.
int BedScore(double p);

#endif
