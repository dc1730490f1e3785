// Assembly of the HTML report page (see the header).
#include "output/html/Report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "output/html/AnswerSection.h"
#include "output/html/ChainsSection.h"
#include "output/html/Convergence.h"
#include "output/html/EnrichmentTable.h"
#include "output/html/HtmlText.h"
#include "output/html/Logo.h"
#include "output/html/ModuleMap.h"
#include "output/TextFormat.h"
#include "output/ReplaceFile.h"

namespace {

const char* kStyle =
    "body{font:14px/1.45 system-ui,-apple-system,'Segoe UI',Helvetica,Arial,sans-serif;color:#222;"
    "margin:0 auto;max-width:1180px;padding:12px 24px 48px}"
    "h1{font-size:24px;margin:8px 0 4px}h2{font-size:20px;border-bottom:2px solid #ddd;margin-top:32px}"
    "h3{font-size:16px;margin:22px 0 6px}h4{margin:0 0 6px;font-size:15px}"
    "pre.cmd{background:#f4f4f4;padding:8px;white-space:pre-wrap;word-break:break-all}"
    "table{border-collapse:collapse;margin:6px 0}td,th{border:1px solid #ddd;padding:2px 8px;text-align:left}"
    "th{background:#f0f0f0}td.n{text-align:right;font-variant-numeric:tabular-nums}"
    "table.sites th{cursor:pointer}table.sites td.w{font-family:monospace}"
    ".motif{border:1px solid #ddd;border-radius:6px;padding:10px 14px;margin:12px 0}"
    ".motifbody{display:flex;flex-wrap:wrap;gap:10px 28px;align-items:flex-start}"
    ".sitebox h4{margin-top:0}.logos{display:flex;flex-direction:column;gap:8px}.logos figure{margin:0}"
    "figcaption{font-size:12px;color:#555}.cons{font-family:monospace;font-size:15px}"
    ".note{color:#7a4b00;background:#fff6e0;padding:4px 8px;display:inline-block}"
    ".scroll{max-height:320px;overflow:auto;display:inline-block}"
    ".legend span{margin-right:14px}.legend i{display:inline-block;width:12px;height:12px;margin-right:4px;"
    "vertical-align:-1px}.legend i.modkey{background:#ffe8a8;border:1px solid #d9a400}"
    ".legend i.curvekey{background:#9ecae1}"
    "svg text{font:11px system-ui,Helvetica,Arial,sans-serif;fill:#333}"
    "svg .lA{fill:#109648}svg .lC{fill:#255c99}svg .lG{fill:#f7a21b}svg .lT{fill:#d62839}"
    "svg .axis{stroke:#888;fill:none}svg .seq{stroke:#555;stroke-width:1.5}"
    "svg .module{fill:#ffe8a8;stroke:#d9a400}svg .curve{fill:#9ecae1;stroke:#3182bd;stroke-width:.6}"
    "svg .frame{fill:none;stroke:#999}svg .burnin{fill:#eee}svg .burnline{stroke:#c00;stroke-dasharray:4 3}"
    "svg .trace{fill:none;stroke:#333;stroke-width:1}svg .ptitle{font-weight:600}"
    ".known{display:flex;flex-wrap:wrap;gap:12px 36px}.match{margin:4px 0}.match figure{margin:2px 0}.agree td.hi{background:#dff0d8}"
    ".agree td.mid{background:#fcf8e3}";

// Records any script error on the page (read by the browser test) before
// anything else runs.
const char* kErrorTrap =
    "<script>window.addEventListener('error',function(e){var d=document.documentElement;"
    "d.setAttribute('data-errors',(d.getAttribute('data-errors')||'')+String(e.message)+';');});</script>";

// Click a site-table heading to sort by that column (again to reverse).
const char* kSortScript =
    "<script>(function(){document.querySelectorAll('table.sites').forEach(function(t){"
    "t.querySelectorAll('th').forEach(function(th,i){th.addEventListener('click',function(){"
    "var b=t.tBodies[0],r=Array.prototype.slice.call(b.rows),n=th.hasAttribute('data-num'),"
    "d=th.getAttribute('data-dir')==='desc'?1:-1;th.setAttribute('data-dir',d===1?'asc':'desc');"
    "r.sort(function(x,y){var p=x.cells[i].textContent,q=y.cells[i].textContent;"
    "return d*(n?parseFloat(p)-parseFloat(q):p.localeCompare(q));});"
    "r.forEach(function(e){b.appendChild(e);});});});});"
    "document.documentElement.setAttribute('data-script','ok');})();</script>";

std::string Cell(const std::string& text, bool numeric = false)
{
    return numeric ? "<td class=\"n\">" + text + "</td>" : "<td>" + text + "</td>";
}

// A p-, E- or q-value as Tomtom prints it.
std::string SigText(double x)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.3g", x);
    return buf;
}

// The log posterior of every sweep, for the chains' overlaid plot.
ChainTrace TraceOf(const RunResult& run)
{
    ChainTrace t;
    t.chain = run.run;
    t.burnIn = run.burnIn;
    for (const SweepStat& s : run.sweepStats)
        t.logPosterior.push_back(s.score);
    return t;
}

std::string MotifLabel(const RunResult& run, const MotifResult& m)
{
    return "r" + std::to_string(run.run + 1) + ".m" + std::to_string(m.index + 1);
}

std::string LogPMOText(const RunResult& run)
{
    if (!run.hasLogPMO)
        return "&mdash;";
    return std::isfinite(run.logPMO) ? Num(run.logPMO, 2) : "not finite";
}

std::string InputTableHtml(const RunResult& first)
{
    InputSummary s = SummariseInput(first.seqs);
    double gc = s.acgt > 0 ? (double)s.gc / s.acgt : 0;
    return "<h3>Input</h3><table class=\"input\"><tr><th>sequences</th><th>letters</th><th>GC fraction</th>"
           "<th>shortest</th><th>longest</th><th>letters not ACGT</th></tr><tr>" +
           Cell(std::to_string(s.sequences), true) + Cell(std::to_string(s.letters), true) +
           Cell(Num(gc, 3), true) + Cell(std::to_string(s.shortest), true) + Cell(std::to_string(s.longest), true) +
           Cell(std::to_string(s.other), true) + "</tr></table>";
}

std::string RunRowHtml(const RunResult& r)
{
    int printed = 0;
    for (const MotifResult& m : r.motifs)
        printed += m.printed;
    return "<tr>" + Cell("<a href=\"#run" + std::to_string(r.run + 1) + "\">" + std::to_string(r.run + 1) + "</a>") +
           Cell(std::to_string(r.seed), true) + Cell(std::to_string(r.sweeps), true) +
           Cell(std::to_string(r.burnIn), true) + Cell(Num(r.cpuSeconds, 2), true) + Cell(LogPMOText(r), true) +
           Cell(std::to_string(r.motifNum), true) +
           Cell(r.independent ? "&mdash; (-s)" : std::to_string(r.moduleLength), true) +
           Cell(std::to_string(printed), true) +
           Cell(r.independent ? "&mdash;" : std::to_string(r.modules.size()), true) + "</tr>";
}

// inputTable is empty before the first run.
std::string HeaderHtml(const std::string& inputTable, const std::vector<std::string>& rows, const ReportInput& input)
{
    std::string h = "<header><h1>Ruzaravo report</h1><p>" + Escape(input.version) +
                    " &middot; cis-regulatory modules by Gibbs sampling</p><h3>Command line</h3><pre class=\"cmd\">" +
                    Escape(input.commandLine) + "</pre>";
    h += inputTable;
    h += "<h3>Runs</h3><table class=\"runs\"><tr><th>run</th><th>seed</th><th>sweeps</th><th>burn-in</th>"
         "<th>CPU time (s)</th><th>Log-PMO</th><th>K</th><th>L</th><th>motifs printed</th><th>modules</th></tr>";
    for (const std::string& row : rows)
        h += row;
    h += "</table>";
    if (!input.knownFile.empty())
        h += "<p>Known factors: " + std::to_string(input.known.size()) + " matrices from <code>" +
             Escape(input.knownFile) + "</code>.</p>";
    return h + "</header>";
}

std::string SiteTable(const RunResult& run, const MotifResult& m)
{
    std::vector<const SiteResult*> order;
    for (const SiteResult& s : m.sites)
        order.push_back(&s);
    std::stable_sort(order.begin(), order.end(),
                     [](const SiteResult* x, const SiteResult* y) { return x->posterior > y->posterior; });
    std::string t;
    if (order.size() > kMaxSiteRows)
        t += "<p class=\"note\">The " + std::to_string(kMaxSiteRows) + " of " + std::to_string(order.size()) +
             " sites with the highest posterior frequency.</p><br>";
    order.resize(std::min(order.size(), kMaxSiteRows));
    t += "<div class=\"scroll\"><table class=\"sites\"><thead><tr><th>sequence</th><th data-num>start (0-based)</th>"
         "<th>strand</th><th>site</th><th data-num>posterior</th></tr></thead><tbody>";
    for (const SiteResult* s : order) {
        const std::string& id = s->seq >= 0 && s->seq < (int)run.seqs.size() ? run.seqs[s->seq].id : "?";
        t += "<tr>" + Cell(Escape(id)) + Cell(std::to_string(s->start), true) + Cell(s->forward ? "+" : "&minus;") +
             "<td class=\"w\">" + Escape(s->word) + "</td>" + Cell(Num(s->posterior, 3), true) + "</tr>";
    }
    return t + "</tbody></table></div>";
}

// The query logo and the library motif, placed so aligned columns line up.
std::string AlignedLogos(const MotifProfile& query, const MotifProfile& other, const MotifAlignment& al,
                         const std::string& otherLabel)
{
    MotifProfile b = al.forward ? other : ReverseComplement(other);
    LogoLayout la, lb;
    la.columnWidth = lb.columnWidth = 16;
    la.bitHeight = lb.bitHeight = 22;
    la.leadColumns = std::max(0, -al.offset);
    lb.leadColumns = std::max(0, al.offset);
    la.totalColumns = lb.totalColumns =
        std::max(la.leadColumns + (int)query.size(), lb.leadColumns + (int)b.size());
    if (!al.forward) {
        lb.descending = true;
        lb.firstLabel = (int)b.size();
    }
    return "<div class=\"pair\"><figure>" + LogoSvg(query, "aligned", la) +
           "<figcaption>found motif</figcaption></figure><figure>" + LogoSvg(b, "known", lb) + "<figcaption>" +
           otherLabel + (al.forward ? "" : " (reverse complement)") + "</figcaption></figure></div>";
}

// The best known matches by significance (analysis/KnownMatches.h): at
// most kKnownMatches with q at most kKnownMatchMaxQ, smallest p first.
std::string KnownMatches(const MotifProfile& freq, const ReportInput& input, const KnownMatcher* matcher)
{
    if (input.known.empty() || !matcher)
        return "";
    std::vector<KnownMatch> best = MatchKnownFactors({freq}, *matcher);
    std::string h = "<h4>Best known matches</h4>";
    if (best.empty())
        return h + "<p>No library matrix matches this motif with q &le; " + Num(kKnownMatchMaxQ, 2) +
               " (column Pearson scores over every offset and strand with at least " +
               std::to_string(kMinKnownOverlap) + " columns, against the library's own columns).</p>";
    best.resize(std::min(best.size(), kKnownMatches));
    h += "<div class=\"known\">";
    for (std::size_t i = 0; i < best.size(); i++) {
        const KnownMatch& k = best[i];
        MotifAlignment al;
        al.found = true;
        al.score = k.score;
        al.offset = k.offset;
        al.forward = k.forward;
        al.overlap = k.overlap;
        std::string label = Escape(k.id) + (k.name.empty() ? "" : " " + Escape(k.name));
        h += "<div class=\"match\"><div><b>" + std::to_string(i + 1) + ". " + label + "</b><br>q " +
             SigText(k.q) + ", E " + SigText(k.e) + ", p " + SigText(k.p) + "<br>score " + Num(k.score, 3) +
             "<br>strand " + (k.forward ? "+" : "&minus;") + ", offset " + std::to_string(k.offset) + ", " +
             std::to_string(k.overlap) + " columns</div>" +
             AlignedLogos(freq, input.known[k.library].matrix, al, label) + "</div>";
    }
    return h + "</div>";
}

std::string MotifHtml(const RunResult& run, const MotifResult& m, const ReportInput& input,
                      const KnownMatcher* matcher)
{
    std::string label = MotifLabel(run, m);
    if (!m.printed)
        return "<div class=\"motif none\"><h4>Motif " + std::to_string(m.index + 1) + " (" + label + ")</h4><p>" +
               (m.dropReason == "heldout_evalue"
                    ? "Not selected: its E-value on the held-out records (" +
                          PowerOfTenText(WritableLog10(m.heldOut.log10E)) + ") is above the --select-evalue level."
                : m.enrichment.measured ? "Dropped: its enrichment over the control (" + Num(m.enrichment.ratio, 3) +
                                            ") is below the --min-enrichment level."
                                      : std::string("No sites found (fewer than 3 reported sites).")) +
               "</p></div>";
    MotifProfile freq = ColumnFrequencies(m);
    LogoLayout fwd, rc;
    rc.descending = true;
    rc.firstLabel = m.width;
    std::string h = "<div class=\"motif\" id=\"" + label + "\"><h4><span style=\"color:" +
                    std::string(MotifColour(m.index)) + "\">&#9632;</span> Motif " + std::to_string(m.index + 1) +
                    " (" + label + ") <span class=\"cons\">" + Escape(m.consensus) + "</span></h4><p>width " +
                    std::to_string(m.width) + ", " + std::to_string(m.siteCount) + " sites";
    if (!m.seedMatrix.empty())
        h += ", seeded by " + Escape(m.seedMatrix);
    h += "</p><div class=\"motifbody\"><div class=\"logos\"><figure>" + LogoSvg(freq, "fwd", fwd) +
         "<figcaption>logo (bits)</figcaption></figure><figure>" + LogoSvg(ReverseComplement(freq), "rc", rc) +
         "<figcaption>reverse complement</figcaption></figure></div>";
    h += "<div class=\"sitebox\"><h4>Sites, highest posterior first</h4>" + SiteTable(run, m) + "</div></div>";
    h += KnownMatches(freq, input, matcher);
    return h + "</div>";
}

std::string RunHtml(const RunResult& run, const ReportInput& input, const KnownMatcher* matcher)
{
    std::string id = std::to_string(run.run + 1);
    std::string h = "<section class=\"run\" id=\"run" + id + "\"><h2>Run " + id + " (seed " +
                    std::to_string(run.seed) + ")</h2><h3>Motifs</h3>";
    h += EnrichmentTableHtml(run);
    for (const MotifResult& m : run.motifs)
        h += MotifHtml(run, m, input, matcher);
    h += "<h3 id=\"map" + id + "\">Module map</h3>" + ModuleMapHtml(run);
    h += "<h3 id=\"convergence" + id + "\">Convergence</h3>" + ConvergenceHtml(run);
    return h + "</section>";
}

// The most similar printed motif of the run to a motif of run 1, as a cell
// of the agreement table.
std::string AgreementCell(const MotifProfile& q, const RunResult& run)
{
    const MotifResult* best = nullptr;
    MotifAlignment bestAl;
    for (const MotifResult& o : run.motifs) {
        if (!o.printed)
            continue;
        MotifAlignment al = CompareMotifs(q, ColumnFrequencies(o));
        if (al.found && (!best || al.score > bestAl.score)) {
            best = &o;
            bestAl = al;
        }
    }
    if (!best)
        return "<td>&mdash;</td>";
    const char* cls = bestAl.score >= 0.8 ? "hi" : bestAl.score >= 0.6 ? "mid" : "";
    return "<td class=\"" + std::string(cls) + "\">motif " + std::to_string(best->index + 1) +
           " <span class=\"cons\">" + Escape(best->consensus) + "</span> " + Num(bestAl.score, 2) +
           (bestAl.forward ? "" : " (rc)") + "</td>";
}

}  // namespace

void ReportParts::Add(const RunResult& run, const ReportInput& input)
{
    // The caller's matcher is built once for every run; without one (a
    // page made at once) the library is set up here.
    std::unique_ptr<KnownMatcher> local;
    const KnownMatcher* matcher = input.matcher;
    if (!matcher && !input.known.empty()) {
        std::vector<KnownFactor> library;
        for (const KnownMotif& k : input.known)
            library.push_back({k.id, k.name, k.matrix});
        local = std::make_unique<KnownMatcher>(std::move(library));
        matcher = local.get();
    }
    if (m_Rows.empty()) {
        m_InputTable = InputTableHtml(run);
        for (const SequenceResult& q : run.seqs)
            m_Seqs.push_back({q.id, q.length});
        for (const MotifResult& m : run.motifs)
            if (m.printed)
                m_FirstMotifs.push_back(FirstMotif{m.index, m.consensus, ColumnFrequencies(m)});
    } else {
        std::vector<std::string> cells;
        for (const FirstMotif& f : m_FirstMotifs)
            cells.push_back(AgreementCell(f.freq, run));
        m_Agreement.push_back(std::move(cells));
    }
    m_Rows.push_back(RunRowHtml(run));
    m_Sections.push_back(RunHtml(run, input, matcher));
    m_Traces.push_back(TraceOf(run));
}

// For each printed motif of run 1, the most similar printed motif of every
// other run (the cells were made as the runs were added).
static std::string AgreementHtml(const std::vector<std::string>& firstLabels,
                                 const std::vector<std::vector<std::string>>& cells)
{
    std::string h = "<section id=\"agreement\"><h2>Runs side by side</h2><p>For each motif of run 1, the most "
                    "similar motif of every other run (average column Pearson correlation over the best offset "
                    "and strand, at least " +
                    std::to_string(kMinMotifOverlap) + " columns).</p><table class=\"agree\"><tr><th>run 1</th>";
    for (std::size_t r = 1; r <= cells.size(); r++)
        h += "<th>run " + std::to_string(r + 1) + "</th>";
    h += "</tr>";
    for (std::size_t i = 0; i < firstLabels.size(); i++) {
        h += "<tr>" + firstLabels[i];
        for (const std::vector<std::string>& run : cells)
            h += run[i];
        h += "</tr>";
    }
    return h + "</table></section>";
}

std::string ReportParts::Page(const ReportInput& input) const
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
                       "<title>Ruzaravo report</title><style>";
    page += kStyle;
    page += "</style>";
    page += kErrorTrap;
    page += "</head><body>";
    page += HeaderHtml(m_InputTable, m_Rows, input);
    if (input.chains && input.answers && input.answers->consensusSupport > 0)
        page += AnswerHtml(*input.chains, *input.answers, m_Seqs);
    if (input.answers && input.answers->chainsAsked > 0)
        page += ChainConvergenceHtml(*input.answers, m_Traces);
    if (input.chains)
        page += ChainsHtml(*input.chains, input.answers && input.answers->known ? &input.answers->clusterMatches
                                                                                 : nullptr);
    for (const std::string& section : m_Sections)
        page += section;
    if (m_Rows.size() > 1) {
        std::vector<std::string> labels;
        for (const FirstMotif& f : m_FirstMotifs)
            labels.push_back("<td>motif " + std::to_string(f.index + 1) + " <span class=\"cons\">" +
                             Escape(f.consensus) + "</span></td>");
        page += AgreementHtml(labels, m_Agreement);
    }
    page += kSortScript;
    page += "</body></html>\n";
    return page;
}


InputSummary SummariseInput(const std::vector<SequenceResult>& seqs)
{
    InputSummary s;
    s.sequences = (long long)seqs.size();
    for (std::size_t j = 0; j < seqs.size(); j++) {
        const SequenceResult& q = seqs[j];
        s.letters += q.length;
        s.acgt += q.acgt[0] + q.acgt[1] + q.acgt[2] + q.acgt[3];
        s.gc += q.acgt[1] + q.acgt[2];
        s.other += q.other;
        if (j == 0 || q.length < s.shortest)
            s.shortest = q.length;
        s.longest = std::max<long long>(s.longest, q.length);
    }
    return s;
}

std::string BuildReport(const std::vector<RunResult>& runs, const ReportInput& input)
{
    ReportParts parts;
    for (const RunResult& r : runs)
        parts.Add(r, input);
    return parts.Page(input);
}

Fault WriteReportFile(const std::string& path, const std::string& html)
{
    if (ReplaceFileAt(path, html))
        return Fault(path, "the report cannot be written");
    return Fault();
}
