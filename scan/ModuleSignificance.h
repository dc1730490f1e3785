// The score, p-value and q-value of every module a discovery run printed,
// at the run's final parameters and against the same kind of null as a
// scan's (scan/ScanRun.h).
//
// Model (a ScanModel): the run's printed motifs with their count matrices
// (the scan's pseudo-count), the run's final module length L, the module
// rate = printed modules per letter of the input, and one site rate shared
// by the motifs: the reported sites that lie inside a printed module,
// divided by (printed motifs x letters of the printed modules), which is
// the mean of the motifs' own rates (the scan's model has one rate; at
// least one site is counted, and the rate is at most 0.5 / motifs so that
// background letters keep most of a module). The background is the
// chain the caller gives (the run's).
//
// A module is scored with the matrices less the reported sites of its own
// sequence: the motifs were fitted to the input, and a window that holds
// the very sites its matrix was counted from scores far above any window
// of shuffled letters whatever the input. Taking the sequence's sites out
// lowers that bias but cannot remove it (the other sites were chosen for
// being alike), so on random input fitted motifs still give small
// p-values: the q-values are those of the fitted model, to be read with
// the log posterior model odds (-B) and the held-out motif E-values.
//
// Score: a printed module has a variable length, while the null's unit is
// a tile of L window starts. A module is scored by the windows of L
// letters that hold its middle letter (start + (length - 1) / 2): L
// window starts, fewer where the sequence ends cut them off, so a module
// is never given more chances than a null tile. Among them the window
// with the best prefix-pass score is scored exactly by the site pass, the
// rule a null tile follows (ChunkPass::ScanNull); the score is that
// window's log-likelihood ratio of the module model against the
// background, natural log. A sequence shorter than L is scored as one
// window of its whole length (the sampler's module there), against the
// same null of L letters, which is conservative.
//
// p = (1 + null tiles at or above the score) / (1 + null tiles); q is
// Benjamini-Hochberg over every tile of L letters of the input (letters
// / L, at least the modules), the tiles without a module counting as p = 1,
// as the scan counts them.
//
// Random draws: only the null's shuffles, from the scan's own generator
// seeded with the given seed; the sampler's generator is not touched.
#ifndef RUZARAVO_SCAN_MODULESIGNIFICANCE_H
#define RUZARAVO_SCAN_MODULESIGNIFICANCE_H

#include <string>
#include <vector>

#include "model/MarkovChain.h"
#include "results/RunResult.h"
#include "scan/ChunkPass.h"
#include "scan/ScanModel.h"
#include "scan/ScanRun.h"

// Null tiles: the scan's default, fewer for long modules so that the null
// stays within kModuleNullLetters letters.
const int kModuleNullTiles = 20000;
const long long kModuleNullLetters = 20000000;

struct ModuleNullSettings {
    unsigned seed = 1;          // of the null's shuffles
    int threads = 1;
    double qThreshold = 0.05;   // q above it is flagged
};

// The run's module model (see above), with the sites inside the module
// `without` taken out of the count matrices (null: all sites); false when
// the run printed no motif or no module.
bool ModuleModelOf(const RunResult& r, const MarkovChain& chain, const ModuleResult* without, ScanModel* out);

// The score of the module [start, end) of the letters x (see above).
double ModuleWindowScore(const ScanModel& m, const std::string& x, int start, int end, ChunkPass* pass);

// Null tiles for module length L.
int ModuleNullTiles(int L);

// Fills the stats of every printed module of r and r->moduleNull; input
// holds the run's sequences (the letters it read, in its order). Without
// refitNull the null is the run's own model on shuffled letters (above);
// with it, refitNull holds the null tiles' scores (any order).
void AddModuleSignificance(RunResult* r, const std::vector<ScanSequence>& input, const MarkovChain& chain,
                           const ModuleNullSettings& settings, const std::vector<double>* refitNull = nullptr);

// Refitted null: the letters of every sequence shuffled keeping its
// k-mers, each stretch of A, C, G, T letters on its own (other letters
// stay in place, stretches shorter than k as they are).
std::vector<ScanSequence> ShuffledInput(const std::vector<ScanSequence>& input, int k, unsigned seed);

// Refitted null: the shuffled input cut into tiles of L letters (the last
// of a sequence shorter), each scored exactly as a printed module over it
// would be by the discovery run on that input (nullRun): the matrices less
// the sequence's own sites, the best window holding the tile's middle
// letter. So the null has as many tiles per run as the input has tests.
// Appended to tiles; nothing when the run printed no motif or no module
// (its tiles then cannot look like a module).
void AddRefitNullTiles(const RunResult& nullRun, const std::vector<ScanSequence>& shuffled, const MarkovChain& chain,
                       std::vector<double>* tiles);

#endif
