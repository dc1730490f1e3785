// The model a scan takes from the output folder of a discovery run
// (--model DIR): its summary.json, first run. The motifs are the run's
// reported count matrices, or the folder's consensus.meme when it has one
// (--chains with --min-support: the motifs most chains agree on); the
// module length is the run's; the module rate is the run's modules per
// letter of its input and the site rate its reported sites per motif and
// letter of its modules (each left unset when the run reported no module or
// no site, so the scan's default applies).
// The background chain is the run's own ("background_chain"), so that the
// scan explains letters as the discovery did (a chain from a --bg-fasta set
// keeps its meaning); a folder written before runs recorded it has none,
// and the scan then estimates its chain from the target. Only
// format_version 1 is read.
#ifndef RUZARAVO_APP_SCANMODELFOLDER_H
#define RUZARAVO_APP_SCANMODELFOLDER_H

#include <string>
#include <vector>

#include "io/MatrixFile.h"

struct ScanModelFolder {
    std::vector<MotifMatrix> matrices;   // counts, one per reported motif
    int moduleLength = 0;
    double moduleRate = -1.0;            // -1: the run gives none
    double siteRate = -1.0;              // -1: the run gives none
    std::vector<std::vector<double>> chain;   // the run's background chain tables; empty: none recorded
    bool consensus = false;              // the matrices are the folder's consensus.meme
};

// Reads dir/summary.json; false with the reason when it cannot be read, is
// not JSON, has another format_version or holds no motif.
bool ReadScanModelFolder(const std::string& dir, ScanModelFolder* out, std::string* reason);

#endif
