// Writers of the chains' consensus; see ChainsTable.h.
#include "writers/ChainsTable.h"

#include "writers/FeatureNames.h"
#include "writers/SummaryJson.h"
#include "writers/TextFormat.h"

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

std::string FormatChainsTsv(const ChainClusters& clusters)
{
    std::string out = "cluster\tsupport\tchains\tbest_chain\tmotif\tconsensus\twidth\tsites\tmean_similarity";
    out += clusters.enrichment ? "\tenrichment\tlog10_p\n" : "\n";
    for (size_t n = 0; n < clusters.clusters.size(); n++) {
        const ChainCluster& c = clusters.clusters[n];
        const ChainMember& best = c.members[c.best];
        AppendF(out, "%zu\t%d\t%s\t%d\t%d\t%s\t%zu\t%d\t%.3f", n + 1, c.support, ChainList(c, ",").c_str(),
                best.chain + 1, best.motif + 1, c.motif.consensus.c_str(), c.motif.counts.size(),
                c.motif.siteCount, Printable(c.meanSimilarity));
        out += clusters.enrichment ? EnrichmentCells(c.motif.enrichment) + "\n" : "\n";
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
