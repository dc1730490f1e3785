// Motifs found by independent chains, grouped by similarity.
//
// With --chains C the process makes C complete runs ("chains"), each with
// its own generator seeded from a mix of the seed and the chain index
// (base/SeedMix.h), so chains of different --seed values share none.
// After the runs, every reported motif of every chain (3 or more sites) is
// placed in a cluster, one motif at a time in chain order, then motif
// order. A motif's similarity to a cluster is the mean, over the cluster's
// members so far, of the average column Pearson correlation at the best
// offset and strand (analysis/MotifSimilarity.h); it joins the cluster of
// highest similarity when that reaches the join threshold, else it starts
// a new cluster. Averaging over every member keeps one loose match from
// pulling unrelated motifs together one step at a time.
//
// A cluster's support is the number of distinct chains among its members
// (a chain that found the same motif twice counts once). It is reported
// through one member, its representative: the member with the most sites
// (ties: earlier chain, then lower motif number), i.e. the chain in which
// that motif is best supported by the data. Clusters are ordered by
// support, then the representative's sites, then first appearance.
// Nothing here draws random numbers; the result depends only on the runs.
#ifndef RUZARAVO_ANALYSIS_CHAINCLUSTERS_H
#define RUZARAVO_ANALYSIS_CHAINCLUSTERS_H

#include <string>
#include <vector>

#include "analysis/MotifSimilarity.h"
#include "results/RunResult.h"

// Unrelated random motifs of 8-15 sharp columns reach 0.75 at their best
// offset and strand in about 3 % of pairs (median 0.45), while findings of
// one factor by different chains of the fly example score 0.76-0.98. A
// motif must reach it on average against the members already there.
const double kChainJoinSimilarity = 0.75;

// One motif of one chain.
struct ChainMember {
    int chain = 0;            // 0-based run index (the result files show chain + 1)
    int motif = 0;            // 0-based motif index within that chain
    double similarity = 1;    // to the cluster's representative (1 for the representative)
};

struct ChainCluster {
    int support = 0;                    // distinct chains among the members
    std::vector<int> chains;            // those chains, ascending, 0-based
    std::vector<ChainMember> members;   // in joining order: chain order, then motif order
    int best = 0;                       // index into members of the representative
    MotifResult motif;                  // the representative motif, as its chain reported it
    double meanSimilarity = 1;          // mean similarity of the other members to it; 1 alone
};

struct ChainClusters {
    int chainCount = 0;                 // chains (runs) clustered
    double joinSimilarity = kChainJoinSimilarity;
    bool enrichment = false;            // the runs measured enrichment: each cluster shows its representative's
    std::vector<ChainCluster> clusters; // support descending, see the file comment
};

// Clusters the reported motifs of the runs, given in chain order; a
// member names its chain by the run index of its record.
ChainClusters ClusterChains(const std::vector<RunResult>& runs, double joinSimilarity = kChainJoinSimilarity);

// Similarity of two motifs as the clustering sees it: best placement on
// either strand overlapping at least min(5, both widths) columns; -1 when
// either motif has no columns.
double ChainSimilarity(const MotifResult& a, const MotifResult& b);

#endif
