// The report's "Chains" section (--chains): one row per cluster of the
// chains' motifs, with its support, the chains that found it, a logo of
// its representative and a link to that motif in its chain's section;
// when the runs measured enrichment, the representative's ratio and
// p-value; with clusterMatches (--known: the representatives' matches,
// motif = cluster index) the best-matching factor and its q-value.
#ifndef RUZARAVO_OUTPUT_HTML_CHAINSSECTION_H
#define RUZARAVO_OUTPUT_HTML_CHAINSSECTION_H

#include <string>

#include <vector>

#include "analysis/ChainClusters.h"
#include "analysis/KnownMatches.h"

std::string ChainsHtml(const ChainClusters& clusters, const std::vector<KnownMatch>* clusterMatches = nullptr);

#endif
