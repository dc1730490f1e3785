// The scan's report.html: one self-contained page with the top modules by
// score, each drawn as its window with its sites as arrows coloured by
// motif (right on the forward strand, left on the reverse); the score
// distribution of the calls against the null's tiles as an SVG histogram
// (each as the share of its own count, on one scale of scores); and the
// model used: module length, rates, background order and a logo of every
// matrix. Every text from the input passes through Escape.
#ifndef RUZARAVO_OUTPUT_HTML_SCANREPORT_H
#define RUZARAVO_OUTPUT_HTML_SCANREPORT_H

#include <string>
#include <vector>

#include "scan/ScanRun.h"

// Modules drawn, the highest ranks among those reported.
const std::size_t kReportTopModules = 10;
// Bars of the score histogram.
const int kHistogramBins = 40;

// rank: per index into o.modules, 1 = highest score (as the BED files name
// them); reported: the modules that pass the filter.
std::string ScanReportHtml(const ScanOutcome& o, const ScanModel& m, const std::vector<ScanSequence>& target,
                           const std::vector<size_t>& reported, const std::vector<int>& rank);

#endif
