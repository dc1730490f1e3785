// The module model of a scan, with every parameter fixed: K motifs (weight
// matrices), the module length L, the module rate rho (the probability that
// a module, rather than a background letter, ends at a position), the site
// rate of each motif inside a module and the background Markov chain.
//
// Inside a module a unit is a background letter (probability piB = 1 - K x
// site rate) or a site of motif k (probability site rate, either strand with
// probability 1/2 each), as in the sampler's module and site passes. Matrix
// rows receive the sampler's pseudo-count: each value v of a row summing to s
// becomes (v + 0.0025 s) / (1.01 s).
//
// Every score the scan computes is a log-odds against the background chain
// (natural log), so a stretch of background letters scores 0 and the module
// likelihood of a window is directly its log-likelihood ratio. Makes no
// random draws.
#ifndef RUZARAVO_SCAN_SCANMODEL_H
#define RUZARAVO_SCAN_SCANMODEL_H

#include <string>
#include <vector>

#include "io/MatrixFile.h"
#include "model/MarkovChain.h"
#include "scan/SitePValue.h"

// A word that cannot be a site (too near the start, or holding a letter
// other than A, C, G, T) scores this: LogSum drops it against any real term.
const double kScanNoSite = -2000.0;

struct ScanMotif {
    std::string label;          // "id name" as the matrix file gives them
    std::string shortName;      // the name (or the id when there is none), blanks as '_': one BED field
    int width = 0;              // columns
    std::vector<double> logs;   // width x 4 natural logs of the probabilities, A C G T per column
    SitePValue sitePValue;      // against the chain's letter frequencies (set by MakeScanModel)
};

struct ScanModel {
    std::vector<ScanMotif> motifs;
    int moduleLength = 0;       // L, letters of a module window
    double moduleRate = 0.0;    // rho, in (0, 1)
    double siteRate = 0.0;      // per motif and letter inside a module
    double lnRho = 0.0, ln1mRho = 0.0;
    double lnSite = 0.0;        // ln(site rate) + ln(1/2): a site on a given strand
    double lnBgIn = 0.0;        // ln(1 - K x site rate): a background letter inside a module
    int maxWidth = 0;
    MarkovChain chain;
    int localRange = 0;         // letters on either side whose composition adjusts the chain; 0: none
};

// The motifs of matrices with the sampler's pseudo-count. A row summing to 0
// is taken as uniform.
std::vector<ScanMotif> MotifsFromMatrices(const std::vector<MotifMatrix>& matrices);

// The chain whose tables[j][4 * context + b] = P_j(b | context) (j = 0 ..
// order, the layout of MarkovChain::Prob), such as a discovery run
// recorded. A probability below kChainFloor is raised to it, the sampler's
// score for a letter pair never seen; each row is then scaled to sum to 1.
MarkovChain ChainOfProbabilities(const std::vector<std::vector<double>>& tables);
const double kChainFloor = 1e-6;

// Fills the derived logarithms; the caller has checked 0 < rho < 1 and
// K x site rate < 1.
ScanModel MakeScanModel(std::vector<ScanMotif> motifs, int moduleLength, double moduleRate, double siteRate,
                        MarkovChain chain);

#endif
