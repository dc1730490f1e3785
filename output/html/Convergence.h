// Convergence plots of one run, from the per-sweep statistics kept in
// memory: the collapsed log posterior, the number of modules and every
// motif's width against the sweep, with the burn-in shaded and its end
// marked. Long runs are thinned to at most kPlotMaxPoints points per line
// (evenly spaced sweeps, the last sweep always kept).
#ifndef RUZARAVO_OUTPUT_HTML_CONVERGENCE_H
#define RUZARAVO_OUTPUT_HTML_CONVERGENCE_H

#include <string>

#include "results/RunResult.h"

const int kPlotMaxPoints = 800;

// One <svg class="convergence"> with three panels, or a short note when
// the run made no sweeps.
std::string ConvergenceHtml(const RunResult& run);

#endif
