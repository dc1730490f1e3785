// The report's "Chains" section (--chains): one row per cluster of the
// chains' motifs, with its support, the chains that found it, a logo of
// its representative and a link to that motif in its chain's section;
// when the runs measured enrichment, the representative's ratio and
// p-value.
#ifndef RUZARAVO_OUTPUT_HTML_CHAINSSECTION_H
#define RUZARAVO_OUTPUT_HTML_CHAINSSECTION_H

#include <string>

#include "analysis/ChainClusters.h"

std::string ChainsHtml(const ChainClusters& clusters);

#endif
