// The "Chains" section of the report; see ChainsSection.h. Rows come in
// the clusters' order (support first); a cluster found by every chain is
// marked like a strong match of the run comparison.
#include "output/html/ChainsSection.h"

#include <cstdio>

#include "output/html/HtmlText.h"
#include "output/html/Logo.h"
#include "output/TextFormat.h"
#include "results/MotifMatrix.h"

static std::string Td(const std::string& text, const char* cls = "")
{
    return std::string("<td") + (*cls ? std::string(" class=\"") + cls + "\"" : "") + ">" + text + "</td>";
}

// The representative's enrichment ratio and p-value (dashes when it could
// not be measured).
static std::string EnrichmentCells(const EnrichmentResult& e)
{
    if (!e.measured)
        return Td("&mdash;") + Td("&mdash;");
    return Td(Num(e.ratio, 3), "n") + Td(PowerOfTenText(e.log10P), "n");
}

// The best known factor of cluster n and its q-value (a dash without one).
static std::string FactorCell(const std::vector<KnownMatch>& matches, size_t n)
{
    for (const KnownMatch& k : matches)
        if (k.motif == n) {
            char q[32];
            snprintf(q, sizeof q, "%.3g", k.q);
            return Td(Escape(k.name.empty() ? k.id : k.name + " (" + k.id + ")") + "<br>q " + q);
        }
    return Td("&mdash;");
}

std::string ChainsHtml(const ChainClusters& clusters, const std::vector<KnownMatch>* clusterMatches)
{
    std::string h = "<section id=\"chains\"><h2>Chains</h2><p>The printed motifs of " +
                    std::to_string(clusters.chainCount) +
                    " independent chains, clustered: a motif joins the cluster whose members it matches with a "
                    "mean similarity (average column Pearson correlation over the best offset and strand) of " +
                    Num(clusters.joinSimilarity, 2) +
                    " or more. Support: how many chains found it. Each cluster is shown through its member with "
                    "the most sites.</p><table class=\"agree chains\"><tr><th>cluster</th><th>support</th>"
                    "<th>chains</th><th>shown</th><th>logo</th><th>consensus</th><th>width</th><th>sites</th>"
                    "<th>mean similarity</th>";
    h += clusters.enrichment ? "<th>enrichment</th><th>p-value</th>" : "";
    h += clusterMatches ? "<th>known factor</th></tr>" : "</tr>";
    LogoLayout layout;
    layout.columnWidth = 12;
    layout.bitHeight = 20;
    for (size_t n = 0; n < clusters.clusters.size(); n++) {
        const ChainCluster& c = clusters.clusters[n];
        const ChainMember& best = c.members[c.best];
        std::string chains;
        for (size_t i = 0; i < c.chains.size(); i++)
            chains += (i ? ", " : "") + std::to_string(c.chains[i] + 1);
        std::string label = "r" + std::to_string(best.chain + 1) + ".m" + std::to_string(best.motif + 1);
        h += "<tr>" + Td(std::to_string(n + 1), "n") +
             Td(std::to_string(c.support) + " of " + std::to_string(clusters.chainCount),
                c.support == clusters.chainCount ? "n hi" : "n") +
             Td(chains) + Td("<a href=\"#" + label + "\">" + label + "</a>") +
             Td(LogoSvg(CountProfile(c.motif), "fwd", layout)) + Td("<span class=\"cons\">" + Escape(c.motif.consensus) +
             "</span>") + Td(std::to_string(c.motif.counts.size()), "n") + Td(std::to_string(c.motif.siteCount), "n") +
             Td(Num(c.meanSimilarity, 3), "n") + (clusters.enrichment ? EnrichmentCells(c.motif.enrichment) : "") +
             (clusterMatches ? FactorCell(*clusterMatches, n) : "") + "</tr>";
    }
    return h + "</table></section>";
}
