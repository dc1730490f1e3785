// The report's enrichment table (--control, --min-enrichment): per run, one
// row per motif that was measured, with the threshold, the hits and windows
// of input and control, the ratio and the p-value, as the result file's
// enrichment line gives them. Runs that did not measure enrichment get no
// table, so their page is the one it always was.
#ifndef RUZARAVO_OUTPUT_HTML_ENRICHMENTTABLE_H
#define RUZARAVO_OUTPUT_HTML_ENRICHMENTTABLE_H

#include <string>

#include "results/RunResult.h"

// The table, "" when the run did not measure enrichment. Rows in motif
// order: every printed motif (linked to its card) and every motif that
// --min-enrichment dropped (marked so); sortable like the site tables.
std::string EnrichmentTableHtml(const RunResult& run);

#endif
