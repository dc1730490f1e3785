// What a run set answers beyond its runs' own records: the known-factor
// matches of every printed motif and of the chains' clusters (--known), the
// modules enough chains agree on (--chains with --min-support) and whether
// the chains converged (--chains, two or more finished).
//
// Kept up to date after each run by app/RunOutputs and read by the writers
// of the output folder and the report, so each is computed once per run.
// Nothing here draws random numbers.
#ifndef RUZARAVO_ANALYSIS_RUNSETANSWERS_H
#define RUZARAVO_ANALYSIS_RUNSETANSWERS_H

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/ChainClusters.h"
#include "analysis/ChainDiagnostics.h"
#include "analysis/ConsensusModules.h"
#include "analysis/KnownMatches.h"
#include "results/RunResult.h"

struct RunSetAnswers {
    bool known = false;                     // --known given: the matches below are wanted
    std::vector<std::string> motifNames;    // r<run>.m<k> of every printed motif so far, in run then motif order
    std::vector<KnownMatch> motifMatches;   // their matches (motif indexes motifNames), q at most kKnownMatchMaxQ
    std::vector<KnownMatch> clusterMatches; // the clusters' representatives' matches (motif = cluster index)

    int consensusSupport = 0;               // --min-support with --chains, else 0
    std::vector<ConsensusModule> consensusModules;

    int chainsAsked = 0;                    // --chains C, else 0
    int chainsDone = 0;
    bool diagnosed = false;                 // two or more chains done: diagnostics hold
    ChainDiagnostics diagnostics;
};

// Adds the printed motifs of a finished run to answers.motifNames and their
// matches to answers.motifMatches.
void AddRunMatches(const RunResult& run, const KnownMatcher& matcher, RunSetAnswers& answers);

// Brings the chains' part of answers up to date for the chains so far and
// their clusters: chainsDone, the clusters' matches (with a matcher), the
// consensus modules (consensusSupport above 0) and, from two chains on,
// the diagnostics.
void UpdateChainAnswers(const std::vector<RunResult>& chains, const ChainClusters& clusters,
                        const KnownMatcher* matcher, RunSetAnswers& answers);

// The matches of each cluster's representative, motif = cluster index.
std::vector<KnownMatch> MatchClusters(const ChainClusters& clusters, const KnownMatcher& matcher);

// The best (smallest p) match of found motif `motif` among matches ordered as
// MatchKnownFactors orders them, or null when it has none.
const KnownMatch* BestMatchOf(const std::vector<KnownMatch>& matches, std::size_t motif);

#endif
