// The report's "Chains" section (--chains): one row per cluster of the
// chains' motifs, with its support, the chains that found it, a logo of
// its representative and a link to that motif in its chain's section;
// when the runs measured enrichment, the representative's ratio and
// p-value.
#ifndef RUZARAVO_HTMLREPORT_CHAINSSECTION_H
#define RUZARAVO_HTMLREPORT_CHAINSSECTION_H

#include <string>

#include "chains/ChainClusters.h"

std::string ChainsHtml(const ChainClusters& clusters);

#endif
