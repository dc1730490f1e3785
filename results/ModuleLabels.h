// Site labels of one sequence, the marks a module line of the result file
// lists: for every printed motif k (in motif order) and each of its sites
// in the sequence, label[start] = k + 1 for a forward site and -(k + 1)
// for a reverse site; 0 elsewhere. A later motif overwrites an earlier one
// at the same position, and only a site's leftmost position is marked.
#ifndef RUZARAVO_RESULTS_MODULELABELS_H
#define RUZARAVO_RESULTS_MODULELABELS_H

#include <vector>

#include "results/RunResult.h"

// Labels of sequence seq (length len) from the printed motifs of r.
std::vector<int> ModuleLabels(const RunResult& r, int seq, int len);

#endif
