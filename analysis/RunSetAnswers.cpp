// The run set's answers; see RunSetAnswers.h.
#include "analysis/RunSetAnswers.h"

#include "results/MotifMatrix.h"

void AddRunMatches(const RunResult& run, const KnownMatcher& matcher, RunSetAnswers& answers)
{
    std::vector<MotifProfile> found;
    std::size_t first = answers.motifNames.size();
    for (const MotifResult& m : run.motifs) {
        if (!m.printed)
            continue;
        found.push_back(ColumnFrequencies(m));
        answers.motifNames.push_back("r" + std::to_string(run.run + 1) + ".m" + std::to_string(m.index + 1));
    }
    for (KnownMatch& k : MatchKnownFactors(found, matcher)) {
        k.motif += first;
        answers.motifMatches.push_back(std::move(k));
    }
}

std::vector<KnownMatch> MatchClusters(const ChainClusters& clusters, const KnownMatcher& matcher)
{
    std::vector<MotifProfile> found;
    for (const ChainCluster& c : clusters.clusters)
        found.push_back(ColumnFrequencies(c.motif));
    return MatchKnownFactors(found, matcher);
}

void UpdateChainAnswers(const std::vector<RunResult>& chains, const ChainClusters& clusters,
                        const KnownMatcher* matcher, RunSetAnswers& answers)
{
    answers.chainsDone = (int)chains.size();
    if (matcher)
        answers.clusterMatches = MatchClusters(clusters, *matcher);
    if (answers.consensusSupport > 0)
        answers.consensusModules = ConsensusOfModules(chains, answers.consensusSupport);
    answers.diagnosed = chains.size() >= 2;
    if (answers.diagnosed)
        answers.diagnostics = DiagnoseChains(chains);
}

const KnownMatch* BestMatchOf(const std::vector<KnownMatch>& matches, std::size_t motif)
{
    for (const KnownMatch& k : matches)
        if (k.motif == motif)
            return &k;
    return nullptr;
}
