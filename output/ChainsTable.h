// The consensus of the chains (--chains) as text: chains.tsv of the output
// folder, the "chains" section of summary.json, and the table printed on
// standard output after the last chain. Chains and motifs are numbered
// from 1, as in the result file.
#ifndef RUZARAVO_OUTPUT_CHAINSTABLE_H
#define RUZARAVO_OUTPUT_CHAINSTABLE_H

#include <string>
#include <vector>

#include "analysis/ChainClusters.h"
#include "analysis/KnownMatches.h"
#include "results/RunResult.h"

// One header line, then one line per cluster: cluster, support, chains
// (comma-separated), best_chain, motif, consensus, width, sites,
// mean_similarity (3 decimals), tab-separated. When the runs measured
// enrichment two columns follow: enrichment (the representative's ratio, 3
// decimals) and log10_p (2 decimals), NA for a motif that could not be
// measured; the JSON clusters gain the representative's "enrichment".
// With clusterMatches (--known: each representative's known-factor matches,
// motif = cluster index) three last columns name the best match:
// factor_id, factor (its name) and factor_q ("%.3g"), NA without a match.
std::string FormatChainsTsv(const ChainClusters& clusters, const std::vector<KnownMatch>* clusterMatches = nullptr);

// What standard output shows after the last chain: a line naming the
// number of chains and the join threshold, then the table.
std::string FormatChainsSummary(const ChainClusters& clusters);

// The value of summary.json's "chains" key (an object, no trailing newline),
// indented for its place at the top level of the document.
std::string FormatChainsJson(const ChainClusters& clusters);

// The consensus of --min-support S as BED6: every site of every cluster
// found by S chains or more, as its representative reported it: reference,
// start, end, "cluster<n>" (n as in chains.tsv), round(1000 x support /
// chains), strand. Lines are sorted by sequence (FASTA order), start and
// cluster, then with genome coordinates by reference and genome start
// (output/PlaceOrder.h). runs are the chains clustered (they place the sequences, with
// genome as for the other standard files).
std::string FormatConsensusBed(const ChainClusters& clusters, int minSupport, const std::vector<RunResult>& runs,
                               bool genome);

// The line standard output shows after the table with --min-support S:
// how many clusters and sites form the consensus.
std::string FormatConsensusLine(const ChainClusters& clusters, int minSupport);

#endif
