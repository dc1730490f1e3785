// The enrichment table of a run (see the header).
#include "output/html/EnrichmentTable.h"

#include "output/html/HtmlText.h"
#include "output/TextFormat.h"

static std::string NumberCell(const std::string& text)
{
    return "<td class=\"n\">" + text + "</td>";
}

static std::string HitsText(long long hits, long long windows)
{
    return std::to_string(hits) + " / " + std::to_string(windows);
}

// Whether any motif of the run was measured on held-out records.
static bool AnyHeldOut(const RunResult& run)
{
    for (const MotifResult& m : run.motifs)
        if (m.heldOut.measured)
            return true;
    return false;
}

// The held-out cell (--holdout): the E-value and the % of held-out input
// and control records holding a hit.
static std::string HeldOutCell(const MotifResult& m)
{
    const HeldOutResult& h = m.heldOut;
    if (!h.measured)
        return "<td>&ndash;</td>";
    std::string text = PowerOfTenText(WritableLog10(h.log10E)) + " (" + std::to_string(h.inputWithSite) + "/" +
                       std::to_string(h.inputRecords) + " vs " + std::to_string(h.controlWithSite) + "/" +
                       std::to_string(h.controlRecords) + " records)";
    return NumberCell(text);
}

// One row; a motif that could not be measured (no window of its width in
// the control) shows dashes.
static std::string RowHtml(const RunResult& run, const MotifResult& m, bool heldOut)
{
    std::string label = "r" + std::to_string(run.run + 1) + ".m" + std::to_string(m.index + 1);
    std::string h = "<tr><td>" + (m.printed ? "<a href=\"#" + label + "\">" + label + "</a>" : label + " (dropped)") +
                    "</td><td class=\"w\">" + Escape(m.consensus) + "</td>" +
                    NumberCell(std::to_string(m.siteCount));
    const EnrichmentResult& e = m.enrichment;
    const std::string tail = heldOut ? HeldOutCell(m) + "</tr>" : "</tr>";
    if (!e.measured)
        return h + "<td colspan=\"5\">not measured: no window of the motif's width in the control</td>" + tail;
    return h + NumberCell(Num(e.threshold, 3)) + NumberCell(HitsText(e.inputHits, e.inputWindows)) +
           NumberCell(HitsText(e.controlHits, e.controlWindows)) + NumberCell(Num(e.ratio, 3)) +
           NumberCell(PowerOfTenText(e.log10P)) + tail;
}

std::string EnrichmentTableHtml(const RunResult& run)
{
    if (!run.enrichment)
        return "";
    std::string h = "<h4>Enrichment over the control</h4><p>Windows of each motif's width that score at least its "
                    "weakest reported site, in the input and in the control; enrichment is the ratio of their "
                    "rates (one hit added to each), p the one-sided binomial p-value.</p><table class=\"sites "
                    "enrichment\"><thead><tr><th>motif</th><th>consensus</th><th data-num>sites</th>"
                    "<th data-num>score threshold</th><th data-num>input hits / windows</th>"
                    "<th data-num>control hits / windows</th><th data-num>enrichment</th>"
                    "<th data-num>p-value</th>";
    const bool heldOut = AnyHeldOut(run);
    h += heldOut ? "<th data-num title=\"p on the held-out input against the held-out control, times the motifs "
                   "tried; records holding a hit\">held-out E-value</th></tr></thead><tbody>"
                 : "</tr></thead><tbody>";
    for (const MotifResult& m : run.motifs)
        if (m.printed || m.enrichment.measured)
            h += RowHtml(run, m, heldOut);
    return h + "</tbody></table>";
}
