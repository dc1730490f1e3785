// The module map of one run: one track per sequence, drawn to one scale.
//
// A track is the sequence as a line, its printed modules as boxes, the
// reported sites of printed motifs as arrows coloured by motif (pointing
// right on the forward strand, left on the reverse), and the per-position
// module probability as a filled curve above the line. The curve is
// reduced to at most one point per `kMapPixelsPerPoint` pixels, each
// point the largest probability of its stretch (peaks survive), and runs
// of equal values are drawn as one segment, so a megabase input gives a
// page of a few megabytes at most.
#ifndef RUZARAVO_OUTPUT_HTML_MODULEMAP_H
#define RUZARAVO_OUTPUT_HTML_MODULEMAP_H

#include <cstddef>
#include <string>
#include <vector>

#include "results/RunResult.h"

const std::size_t kMapMaxTracks = 200;
const int kMapPixelsPerPoint = 3;

// Indices of the sequences the map shows: every sequence when there are
// at most maxTracks, else the maxTracks with the highest peak module
// probability (ties: earlier sequence). Returned in FASTA order.
std::vector<int> MapSequences(const RunResult& run, std::size_t maxTracks = kMapMaxTracks);

// Curve points of one sequence: (position, probability) pairs, at most
// about pixels / kMapPixelsPerPoint + 2 of them, first at 0, last at length.
struct CurvePoint {
    double pos = 0;
    double prob = 0;
};
std::vector<CurvePoint> ReduceCurve(const std::vector<double>& prob, double pixels);

// The map section's inner HTML: a note when sequences were left out, the
// motif legend and one <svg class="modmap">.
std::string ModuleMapHtml(const RunResult& run);

// Colour of motif k (a fixed palette, repeating after ten motifs).
const char* MotifColour(int k);

#endif
