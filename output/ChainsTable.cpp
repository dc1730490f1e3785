// Writers of the chains' consensus; see ChainsTable.h.
#include "output/ChainsTable.h"

#include <algorithm>
#include <tuple>

#include "output/BedFiles.h"
#include "output/Coordinates.h"
#include "output/FeatureNames.h"
#include "output/PlaceOrder.h"
#include "output/SummaryJson.h"
#include "output/TextFormat.h"

static std::string ChainList(const ChainCluster& c, const char* separator)
{
    std::string out;
    for (size_t i = 0; i < c.chains.size(); i++)
        out += (i ? separator : "") + std::to_string(c.chains[i] + 1);
    return out;
}

// The enrichment columns of a row: the representative's ratio and log10
// p-value as the result file prints them, NA when it was not measured.
static std::string EnrichmentCells(const EnrichmentResult& e)
{
    if (!e.measured)
        return "\tNA\tNA";
    std::string out;
    AppendF(out, "\t%.3f\t%.2f", Printable(e.ratio), Printable(e.log10P));
    return out;
}

// Whether any cluster's representative was measured on held-out records.
static bool AnyHeldOut(const ChainClusters& clusters)
{
    return std::any_of(clusters.clusters.begin(), clusters.clusters.end(),
                       [](const ChainCluster& c) { return c.motif.heldOut.measured; });
}

// The held-out columns of a row (--holdout): the representative's E-value
// and the % of held-out input and control records holding a hit; NA when
// it was not measured.
static std::string HeldOutCells(const HeldOutResult& h)
{
    if (!h.measured)
        return "\tNA\tNA\tNA";
    std::string out = "\t" + PowerOfTenText(WritableLog10(h.log10E));
    AppendF(out, "\t%.1f\t%.1f", h.inputRecords > 0 ? 100.0 * h.inputWithSite / h.inputRecords : 0.0,
            h.controlRecords > 0 ? 100.0 * h.controlWithSite / h.controlRecords : 0.0);
    return out;
}

// The best known factor of cluster n: id, name and q-value, NA without one.
static std::string FactorCells(const std::vector<KnownMatch>& matches, size_t n)
{
    for (const KnownMatch& k : matches) {
        if (k.motif != n)
            continue;
        std::string out = "\t";
        for (char c : k.id + "\t" + k.name)
            out += (unsigned char)c < 0x20 && c != '\t' ? ' ' : c;
        AppendF(out, "\t%.3g", Printable(k.q));
        return out;
    }
    return "\tNA\tNA\tNA";
}

std::string FormatChainsTsv(const ChainClusters& clusters, const std::vector<KnownMatch>* clusterMatches)
{
    const bool heldOut = AnyHeldOut(clusters);
    std::string out = "cluster\tsupport\tchains\tbest_chain\tmotif\tconsensus\twidth\tsites\tmean_similarity";
    out += clusters.enrichment ? "\tenrichment\tlog10_p" : "";
    out += heldOut ? "\theldout_E\tinput_with_site_pct\tcontrol_with_site_pct" : "";
    out += clusterMatches ? "\tfactor_id\tfactor\tfactor_q\n" : "\n";
    for (size_t n = 0; n < clusters.clusters.size(); n++) {
        const ChainCluster& c = clusters.clusters[n];
        const ChainMember& best = c.members[c.best];
        AppendF(out, "%zu\t%d\t%s\t%d\t%d\t%s\t%zu\t%d\t%.3f", n + 1, c.support, ChainList(c, ",").c_str(),
                best.chain + 1, best.motif + 1, c.motif.consensus.c_str(), c.motif.counts.size(),
                c.motif.siteCount, Printable(c.meanSimilarity));
        out += clusters.enrichment ? EnrichmentCells(c.motif.enrichment) : "";
        out += heldOut ? HeldOutCells(c.motif.heldOut) : "";
        out += clusterMatches ? FactorCells(*clusterMatches, n) + "\n" : "\n";
    }
    return out;
}

std::string FormatChainsSummary(const ChainClusters& clusters)
{
    std::string out;
    AppendF(out, "Motifs of %d chains in %zu clusters (joined at mean similarity %.2f or more):\n",
            clusters.chainCount, clusters.clusters.size(), clusters.joinSimilarity);
    return out + FormatChainsTsv(clusters);
}

static std::string Number(double x)
{
    std::string out;
    AppendF(out, "%.10g", Printable(x));
    return out;
}

static void AddCluster(std::string& out, size_t n, const ChainCluster& c, bool enrichment)
{
    const ChainMember& best = c.members[c.best];
    out += "    {\"cluster\": " + std::to_string(n + 1) + ", \"support\": " + std::to_string(c.support) +
           ", \"chains\": [" + ChainList(c, ", ") + "], \"best_chain\": " + std::to_string(best.chain + 1) +
           ", \"motif\": " + std::to_string(best.motif + 1) +
           ", \"id\": " + JsonString(MotifName(best.chain, best.motif)) +
           ", \"consensus\": " + JsonString(c.motif.consensus) + ", \"width\": " +
           std::to_string(c.motif.counts.size()) + ", \"nsites\": " + std::to_string(c.motif.siteCount) +
           ", \"mean_similarity\": " + Number(c.meanSimilarity);
    if (enrichment)
        out += ", \"enrichment\": " + EnrichmentJson(c.motif.enrichment);
    out += ",\n      \"members\": [";
    for (size_t i = 0; i < c.members.size(); i++) {
        const ChainMember& m = c.members[i];
        out += (i ? ", " : "") + std::string("{\"chain\": ") + std::to_string(m.chain + 1) +
               ", \"motif\": " + std::to_string(m.motif + 1) + ", \"similarity\": " + Number(m.similarity) + "}";
    }
    out += "]}";
}

std::string FormatChainsJson(const ChainClusters& clusters)
{
    std::string out = "{\"chains\": " + std::to_string(clusters.chainCount) +
                      ", \"join_similarity\": " + Number(clusters.joinSimilarity) + ", \"clusters\": [";
    for (size_t n = 0; n < clusters.clusters.size(); n++) {
        out += n ? ",\n" : "\n";
        AddCluster(out, n, clusters.clusters[n], clusters.enrichment);
    }
    out += clusters.clusters.empty() ? "]}" : "\n  ]}";
    return out;
}

namespace {

struct ConsensusLine {
    int seq, start;
    size_t cluster;
    std::string text;
};

}  // namespace

std::string FormatConsensusBed(const ChainClusters& clusters, int minSupport, const std::vector<RunResult>& runs,
                               bool genome)
{
    if (runs.empty())
        return "";
    // Every chain read the same sequences, so the first one places them all.
    std::vector<SeqPlace> places = PlacesOf(runs.front(), genome);
    std::vector<ConsensusLine> lines;
    for (size_t n = 0; n < clusters.clusters.size(); n++) {
        const ChainCluster& c = clusters.clusters[n];
        if (c.support < minSupport)
            continue;
        int score = BedScore(c.support / (double)clusters.chainCount);
        for (const SiteResult& s : c.motif.sites) {
            const SeqPlace& at = places[s.seq];
            long long start = at.offset + s.start;
            std::string text = at.chrom;
            AppendF(text, "\t%lld\t%lld\tcluster%zu\t%d\t%c\n", start, start + (long long)s.word.size(), n + 1,
                    score, s.forward ? '+' : '-');
            lines.push_back(ConsensusLine{s.seq, s.start, n, text});
        }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const ConsensusLine& a, const ConsensusLine& b) {
        return std::tie(a.seq, a.start, a.cluster) < std::tie(b.seq, b.start, b.cluster);
    });
    std::string out;
    for (const ConsensusLine& l : lines)
        out += l.text;
    return genome ? SortedByPlace(out, 2) : out;
}

std::string FormatConsensusLine(const ChainClusters& clusters, int minSupport)
{
    size_t kept = 0;
    int sites = 0;
    for (const ChainCluster& c : clusters.clusters) {
        if (c.support >= minSupport) {
            kept++;
            sites += (int)c.motif.sites.size();
        }
    }
    std::string out;
    AppendF(out, "Consensus (support %d or more of %d chains): %zu clusters, %d sites\n", minSupport,
            clusters.chainCount, kept, sites);
    return out;
}
