// Clustering of the chains' motifs; see ChainClusters.h.
//
// Each motif is compared with every member placed before it, and each
// member once more with its representative: quadratic in the number of
// reported motifs, which for tens of chains of a few motifs takes
// milliseconds, so nothing is cached.
#include "analysis/ChainClusters.h"

#include <algorithm>

double ChainSimilarity(const MotifResult& a, const MotifResult& b)
{
    int overlap = std::min({kMinMotifOverlap, (int)a.counts.size(), (int)b.counts.size()});
    if (overlap < 1)
        return -1;
    MotifAlignment al = CompareMotifs(CountProfile(a), CountProfile(b), overlap);
    return al.found ? al.score : -1;
}

namespace {

// A cluster under construction: its members and where they came from.
struct Pending {
    std::vector<ChainMember> members;
    std::vector<const MotifResult*> motifs;   // parallel to members
};

double MeanSimilarityTo(const Pending& c, const MotifResult& m)
{
    double sum = 0;
    for (const MotifResult* other : c.motifs)
        sum += ChainSimilarity(*other, m);
    return sum / (double)c.motifs.size();
}

// The member with the most sites; ties keep the earlier member, which is
// the earlier chain and then the lower motif number.
size_t Representative(const Pending& c)
{
    size_t best = 0;
    for (size_t i = 1; i < c.motifs.size(); i++)
        if (c.motifs[i]->siteCount > c.motifs[best]->siteCount)
            best = i;
    return best;
}

ChainCluster Finish(const Pending& c)
{
    ChainCluster out;
    out.members = c.members;
    out.best = (int)Representative(c);
    out.motif = *c.motifs[out.best];
    double sum = 0;
    for (size_t i = 0; i < c.motifs.size(); i++) {
        out.members[i].similarity = (int)i == out.best ? 1.0 : ChainSimilarity(out.motif, *c.motifs[i]);
        if ((int)i != out.best)
            sum += out.members[i].similarity;
        out.chains.push_back(c.members[i].chain);
    }
    if (c.motifs.size() > 1)
        out.meanSimilarity = sum / (double)(c.motifs.size() - 1);
    std::sort(out.chains.begin(), out.chains.end());
    out.chains.erase(std::unique(out.chains.begin(), out.chains.end()), out.chains.end());
    out.support = (int)out.chains.size();
    return out;
}

}  // namespace

ChainClusters ClusterChains(const std::vector<RunResult>& runs, double joinSimilarity)
{
    std::vector<Pending> pending;
    for (size_t chain = 0; chain < runs.size(); chain++) {
        for (const MotifResult& m : runs[chain].motifs) {
            if (!m.printed || m.counts.empty())
                continue;
            int bestCluster = -1;
            double bestScore = joinSimilarity;
            for (size_t c = 0; c < pending.size(); c++) {
                double s = MeanSimilarityTo(pending[c], m);
                if (s >= bestScore && (bestCluster < 0 || s > bestScore)) {
                    bestCluster = (int)c;
                    bestScore = s;
                }
            }
            if (bestCluster < 0) {
                pending.push_back(Pending());
                bestCluster = (int)pending.size() - 1;
            }
            pending[bestCluster].members.push_back({runs[chain].run, m.index, 1.0});
            pending[bestCluster].motifs.push_back(&m);
        }
    }
    ChainClusters out;
    out.chainCount = (int)runs.size();
    out.joinSimilarity = joinSimilarity;
    out.enrichment = std::any_of(runs.begin(), runs.end(), [](const RunResult& r) { return r.enrichment; });
    for (const Pending& c : pending)
        out.clusters.push_back(Finish(c));
    // Stable: equal support and sites keep the order of first appearance.
    std::stable_sort(out.clusters.begin(), out.clusters.end(), [](const ChainCluster& a, const ChainCluster& b) {
        if (a.support != b.support)
            return a.support > b.support;
        return a.motif.siteCount > b.motif.siteCount;
    });
    return out;
}
