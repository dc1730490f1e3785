// The report's answer and the chains' convergence; see AnswerSection.h.
#include "output/html/AnswerSection.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "output/html/Convergence.h"
#include "output/html/HtmlText.h"
#include "output/html/Logo.h"
#include "output/html/ModuleMap.h"
#include "output/TextFormat.h"
#include "results/MotifMatrix.h"

namespace {

const double kLeft = 70, kWidth = 760, kTrack = 22, kPlotHeight = 160, kTop = 14;
const double kMapLeft = 160;   // room for sequence names on the module map

std::string Td(const std::string& text, bool numeric = false)
{
    return (numeric ? "<td class=\"n\">" : "<td>") + text + "</td>";
}

std::string Sig(double x)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.3g", x);
    return buf;
}

// A representative's measured significance. Its enrichment p-value is all
// a run measures today; a held-out E-value, once runs carry one, belongs in
// this cell first.
std::string SignificanceCell(const MotifResult& m)
{
    if (m.heldOut.measured)
        return Td("E " + PowerOfTenText(WritableLog10(m.heldOut.log10E)) + " (held out)", true);
    if (m.enrichment.measured)
        return Td("p " + PowerOfTenText(m.enrichment.log10P), true);
    return Td("not measured");
}

std::string FactorCell(const RunSetAnswers& answers, std::size_t n)
{
    const KnownMatch* k = BestMatchOf(answers.clusterMatches, n);
    if (!k)
        return Td("&mdash;");
    return Td(Escape(k->name.empty() ? k->id : k->name + " (" + k->id + ")") + "<br>q " + Sig(k->q));
}

std::string MotifTable(const ChainClusters& clusters, const RunSetAnswers& answers)
{
    std::string h = "<table class=\"agree answer\"><tr><th>cluster</th><th>support</th><th>logo</th>"
                    "<th>consensus</th><th>sites</th><th>significance</th>";
    h += answers.known ? "<th>known factor</th></tr>" : "</tr>";
    LogoLayout layout;
    layout.columnWidth = 12;
    layout.bitHeight = 20;
    int shown = 0;
    for (std::size_t n = 0; n < clusters.clusters.size(); n++) {
        const ChainCluster& c = clusters.clusters[n];
        if (c.support < answers.consensusSupport)
            continue;
        shown++;
        h += "<tr>" + Td("cluster" + std::to_string(n + 1)) +
             Td(std::to_string(c.support) + " of " + std::to_string(clusters.chainCount), true) +
             Td(LogoSvg(CountProfile(c.motif), "fwd", layout)) +
             Td("<span class=\"cons\">" + Escape(c.motif.consensus) + "</span>") +
             Td(std::to_string(c.motif.siteCount), true) + SignificanceCell(c.motif) +
             (answers.known ? FactorCell(answers, n) : "") + "</tr>";
    }
    if (shown == 0)
        return "<p>No cluster is supported by " + std::to_string(answers.consensusSupport) + " chains.</p>";
    return h + "</table>";
}

std::string ConsensusMap(const RunSetAnswers& answers, const std::vector<MapTrack>& seqs)
{
    std::vector<int> shown;
    long long longest = 1;
    for (const ConsensusModule& m : answers.consensusModules)
        if (shown.empty() || shown.back() != m.seq)
            shown.push_back(m.seq);
    if (shown.empty())
        return "<p>No stretch is called a module by " + std::to_string(answers.consensusSupport) + " chains.</p>";
    std::string h = "<p>" + std::to_string(answers.consensusModules.size()) + " consensus modules on " +
                    std::to_string(shown.size()) + " of " + std::to_string(seqs.size()) + " sequences";
    if (shown.size() > kMapMaxTracks) {
        h += "; the first " + std::to_string(kMapMaxTracks) + " sequences are drawn";
        shown.resize(kMapMaxTracks);
    }
    h += ".</p>";
    for (int j : shown)
        longest = std::max(longest, seqs[j].length);
    double height = kTop + kTrack * shown.size() + 10, width = kMapLeft + kWidth + 20;
    h += "<svg class=\"modmap consensusmap\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(width, 0) +
         "\" height=\"" + Num(height, 0) + "\">";
    std::size_t next = 0;
    for (std::size_t t = 0; t < shown.size(); t++) {
        int j = shown[t];
        double y = kTop + kTrack * t;
        h += "<text class=\"tick\" x=\"" + Num(kMapLeft - 4, 1) + "\" y=\"" + Num(y + 4, 1) +
             "\" text-anchor=\"end\">" + Escape(seqs[j].id.substr(0, 24)) + "</text><line x1=\"" +
             Num(kMapLeft, 1) + "\" y1=\"" + Num(y, 1) + "\" x2=\"" +
             Num(kMapLeft + kWidth * seqs[j].length / longest, 1) + "\" y2=\"" + Num(y, 1) + "\" stroke=\"#999\"/>";
        while (next < answers.consensusModules.size() && answers.consensusModules[next].seq < j)
            next++;
        for (; next < answers.consensusModules.size() && answers.consensusModules[next].seq == j; next++) {
            const ConsensusModule& m = answers.consensusModules[next];
            double x0 = kMapLeft + kWidth * m.start / longest, x1 = kMapLeft + kWidth * m.end / longest;
            h += "<rect x=\"" + Num(x0, 1) + "\" y=\"" + Num(y - 6, 1) + "\" width=\"" +
                 Num(std::max(1.0, x1 - x0), 1) + "\" height=\"12\" fill=\"#3a6ea5\" fill-opacity=\"" +
                 Num(std::min(1.0, 0.25 + 0.75 * m.meanSupport / std::max(1, answers.chainsDone)), 2) +
                 "\"><title>" + std::to_string(m.start) + "-" + std::to_string(m.end) + ", support " +
                 std::to_string(m.support) + ", mean " + Num(m.meanSupport, 2) + "</title></rect>";
        }
    }
    return h + "</svg>";
}

}  // namespace

std::string AnswerHtml(const ChainClusters& clusters, const RunSetAnswers& answers, const std::vector<MapTrack>& seqs)
{
    std::string h = "<section id=\"answer\"><h2>Answer</h2><p>What at least " +
                    std::to_string(answers.consensusSupport) + " of the " + std::to_string(clusters.chainCount) +
                    " chains agree on (<code>consensus.meme</code>, <code>consensus_modules.bed</code>).</p>"
                    "<h3>Consensus motifs</h3>";
    h += MotifTable(clusters, answers);
    h += "<h3>Consensus modules</h3>" + ConsensusMap(answers, seqs);
    return h + "</section>";
}

// The chains' log posteriors in one panel, one colour per chain.
static std::string OverlaidTraces(const std::vector<ChainTrace>& traces)
{
    double lo = INFINITY, hi = -INFINITY;
    std::size_t longest = 0;
    for (const ChainTrace& t : traces) {
        for (double v : t.logPosterior) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        longest = std::max(longest, t.logPosterior.size());
    }
    if (longest == 0)
        return "";
    if (!(hi > lo)) {
        lo -= 1;
        hi += 1;
    }
    double width = kLeft + kWidth + 20, height = kTop + kPlotHeight + 30;
    std::string svg = "<svg class=\"convergence overlay\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      Num(width, 0) + "\" height=\"" + Num(height, 0) + "\"><rect class=\"frame\" x=\"" +
                      Num(kLeft, 1) + "\" y=\"" + Num(kTop, 1) + "\" width=\"" + Num(kWidth, 1) + "\" height=\"" +
                      Num(kPlotHeight, 1) + "\"/>";
    svg += "<text class=\"tick\" x=\"" + Num(kLeft - 4, 1) + "\" y=\"" + Num(kTop + 8, 1) +
           "\" text-anchor=\"end\">" + Num(hi, 1) + "</text><text class=\"tick\" x=\"" + Num(kLeft - 4, 1) +
           "\" y=\"" + Num(kTop + kPlotHeight, 1) + "\" text-anchor=\"end\">" + Num(lo, 1) + "</text>";
    std::size_t step = std::max<std::size_t>(1, (longest + kPlotMaxPoints - 1) / kPlotMaxPoints);
    for (const ChainTrace& t : traces) {
        std::string pts;
        std::size_t n = t.logPosterior.size();
        for (std::size_t i = 0; i < n; i = (i + 1 < n && i + step >= n) ? n - 1 : i + step) {
            double x = kLeft + (longest > 1 ? (double)i / (longest - 1) : 0.5) * kWidth;
            double y = kTop + kPlotHeight - (t.logPosterior[i] - lo) / (hi - lo) * kPlotHeight;
            pts += Num(x, 1) + "," + Num(y, 1) + " ";
            if (i + 1 == n)
                break;
        }
        svg += "<polyline class=\"trace\" style=\"stroke:" + std::string(MotifColour(t.chain)) + "\" points=\"" +
               pts + "\"><title>chain " + std::to_string(t.chain + 1) + "</title></polyline>";
    }
    svg += "<text class=\"tick\" x=\"" + Num(kLeft, 1) + "\" y=\"" + Num(kTop + kPlotHeight + 16, 1) +
           "\">sweep 1</text><text class=\"tick\" x=\"" + Num(kLeft + kWidth, 1) + "\" y=\"" +
           Num(kTop + kPlotHeight + 16, 1) + "\" text-anchor=\"end\">sweep " + std::to_string(longest) + "</text>";
    return svg + "</svg>";
}

static std::string Legend(const std::vector<ChainTrace>& traces)
{
    std::string h = "<p>";
    for (const ChainTrace& t : traces)
        h += "<span style=\"color:" + std::string(MotifColour(t.chain)) + "\">&#9632;</span> chain " +
             std::to_string(t.chain + 1) + " ";
    return h + "</p>";
}

std::string ChainConvergenceHtml(const RunSetAnswers& answers, const std::vector<ChainTrace>& traces)
{
    std::string h = "<section id=\"chainconvergence\"><h2>Convergence of the chains</h2>";
    if (answers.chainsDone != answers.chainsAsked)
        h += "<p class=\"note\">" + std::to_string(answers.chainsDone) + " of " +
             std::to_string(answers.chainsAsked) + " chains finished; the others are missing.</p>";
    if (answers.diagnosed) {
        const ChainDiagnostics& d = answers.diagnostics;
        h += "<p class=\"verdict\"><b>" + Escape(ChainVerdict(d)) + "</b> (split-R-hat of the log posterior " +
             Num(d.rhatLogPosterior, 3) + ", of the module count " + Num(d.rhatModules, 3) +
             "; below " + Num(kRhatAgreement, 2) + " means agreement). Effective sample size of the log "
             "posterior per chain:";
        for (std::size_t i = 0; i < d.essLogPosterior.size(); i++)
            h += (i ? ", " : " ") + Num(d.essLogPosterior[i], 0);
        h += ".</p>";
    } else {
        h += "<p>No verdict: it takes two finished chains.</p>";
    }
    h += "<h3>Log posterior of every chain</h3>" + Legend(traces) + OverlaidTraces(traces);
    return h + "</section>";
}
