// The scan's report page (see the header).
#include "output/html/ScanReport.h"

#include <algorithm>
#include <cmath>

#include "output/html/HtmlText.h"
#include "output/html/Logo.h"
#include "output/html/ModuleMap.h"

namespace {

const double kTrackWidth = 720, kTrackLeft = 10;

// One module: its window as a line, its sites as arrows.
std::string ModuleSvg(const ScanModule& mod, const ScanModel& m)
{
    const double scale = (kTrackWidth - 2 * kTrackLeft) / m.moduleLength;
    std::string out = "<svg class=\"scanmod\" width=\"" + Num(kTrackWidth, 0) +
                      "\" height=\"40\" viewBox=\"0 0 " + Num(kTrackWidth, 0) + " 40\">"
                      "<line x1=\"" + Num(kTrackLeft, 0) + "\" y1=\"20\" x2=\"" + Num(kTrackWidth - kTrackLeft, 0) +
                      "\" y2=\"20\" stroke=\"#555\"/>";
    for (const ScanSite& s : mod.call.sites) {
        const double a = kTrackLeft + (double)(s.start - mod.call.start) * scale;
        const double b = a + m.motifs[s.motif].width * scale, tip = std::min(6.0, b - a);
        const std::string pts = s.forward
            ? Num(a, 1) + ",12 " + Num(b - tip, 1) + ",12 " + Num(b, 1) + ",20 " + Num(b - tip, 1) + ",28 " +
                  Num(a, 1) + ",28"
            : Num(b, 1) + ",12 " + Num(a + tip, 1) + ",12 " + Num(a, 1) + ",20 " + Num(a + tip, 1) + ",28 " +
                  Num(b, 1) + ",28";
        out += "<polygon class=\"site\" points=\"" + pts + "\" fill=\"" + MotifColour(s.motif) + "\"><title>" +
               Escape(m.motifs[s.motif].shortName) + " " + (s.forward ? "+" : "-") + " posterior " +
               Num(s.posterior, 2) + "</title></polygon>";
    }
    return out + "</svg>";
}

std::string TopModules(const ScanOutcome& o, const ScanModel& m, const std::vector<ScanSequence>& target,
                       const std::vector<size_t>& reported, const std::vector<int>& rank)
{
    std::vector<size_t> top = reported;
    std::sort(top.begin(), top.end(), [&](size_t a, size_t b) { return rank[a] < rank[b]; });
    if (top.size() > kReportTopModules)
        top.resize(kReportTopModules);
    if (top.empty())
        return "<p>No module passes the filter.</p>";
    std::string out = "<table class=\"scantop\"><tr><th>module</th><th>place</th><th>score</th><th>p</th>"
                      "<th>q</th><th>sites</th></tr>";
    for (size_t i : top) {
        const ScanModule& mod = o.modules[i];
        const ScanSequence& s = target[(size_t)mod.seq];
        const long long from = s.offset + mod.call.start;
        out += "<tr><td>crm" + std::to_string(rank[i]) + "</td><td>" + Escape(s.chrom) + ":" +
               std::to_string(from + 1) + "-" + std::to_string(from + m.moduleLength) + "</td><td>" +
               Num(mod.call.llr, 3) + "</td><td>" + Num(mod.p, 6) + "</td><td>" + Num(mod.q, 6) + "</td><td>" +
               ModuleSvg(mod, m) + "</td></tr>";
    }
    out += "</table><p class=\"legend\">";
    for (size_t k = 0; k < m.motifs.size(); k++)
        out += std::string("<span style=\"color:") + MotifColour((int)k) + "\">&#9632;</span> " +
               Escape(m.motifs[k].shortName) + " ";
    return out + "</p>";
}

// Counts of values per bin over [lo, hi], as shares of their number.
std::vector<double> Shares(const std::vector<double>& v, double lo, double hi)
{
    std::vector<double> bins(kHistogramBins, 0.0);
    for (double x : v) {
        int b = (int)std::floor((x - lo) / (hi - lo) * kHistogramBins);
        bins[(size_t)std::max(0, std::min(kHistogramBins - 1, b))] += 1.0 / (double)v.size();
    }
    return bins;
}

std::string Histogram(const ScanOutcome& o)
{
    std::vector<double> calls;
    for (const ScanModule& mod : o.modules)
        calls.push_back(mod.call.llr);
    if (o.nullBest.empty())
        return "<p>No null tile was scanned.</p>";
    double lo = o.nullBest.front(), hi = o.nullBest.back();
    for (double x : calls) {
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    if (hi <= lo)
        hi = lo + 1.0;
    const std::vector<double> nb = Shares(o.nullBest, lo, hi), cb = Shares(calls, lo, hi);
    const double w = 720, h = 160, bw = w / kHistogramBins;
    double top = 0;
    for (int b = 0; b < kHistogramBins; b++)
        top = std::max({top, nb[(size_t)b], cb[(size_t)b]});
    std::string out = "<svg class=\"scanhist\" width=\"720\" height=\"190\" viewBox=\"0 0 720 190\">";
    for (int b = 0; b < kHistogramBins; b++) {
        const double hn = nb[(size_t)b] / top * h, hc = cb[(size_t)b] / top * h;
        out += "<rect class=\"null\" x=\"" + Num(b * bw, 1) + "\" y=\"" + Num(h - hn, 1) + "\" width=\"" +
               Num(bw * 0.5, 1) + "\" height=\"" + Num(hn, 1) + "\" fill=\"#aaa\"/>";
        out += "<rect class=\"calls\" x=\"" + Num(b * bw + bw * 0.5, 1) + "\" y=\"" + Num(h - hc, 1) +
               "\" width=\"" + Num(bw * 0.5, 1) + "\" height=\"" + Num(hc, 1) + "\" fill=\"#c0392b\"/>";
    }
    out += "<text x=\"0\" y=\"180\">" + Num(lo, 1) + "</text><text x=\"690\" y=\"180\">" + Num(hi, 1) +
           "</text></svg><p>Score (log-likelihood ratio, natural log): grey the best window of each of the " +
           std::to_string(o.nullBest.size()) + " null tiles, red the " + std::to_string(calls.size()) +
           " calls; each as the share of its own count.</p>";
    return out;
}

std::string ModelSection(const ScanModel& m)
{
    std::string out = "<table class=\"scanmodel\"><tr><th>module length</th><td>" +
                      std::to_string(m.moduleLength) + "</td></tr><tr><th>module rate</th><td>" +
                      Num(m.moduleRate, 6) + "</td></tr><tr><th>site rate</th><td>" + Num(m.siteRate, 6) +
                      "</td></tr><tr><th>background order</th><td>" + std::to_string(m.chain.Order()) +
                      "</td></tr></table>";
    for (size_t k = 0; k < m.motifs.size(); k++) {
        const ScanMotif& mo = m.motifs[k];
        MotifProfile profile((size_t)mo.width);
        for (int j = 0; j < mo.width; j++)
            for (int b = 0; b < 4; b++)
                profile[(size_t)j][(size_t)b] = std::exp(mo.logs[(size_t)(4 * j + b)]);
        out += "<div class=\"scanmotif\"><h3>" + Escape(mo.label) + "</h3>" + LogoSvg(profile, "scanlogo", {}) +
               "</div>";
    }
    return out;
}

}  // namespace

std::string ScanReportHtml(const ScanOutcome& o, const ScanModel& m, const std::vector<ScanSequence>& target,
                           const std::vector<size_t>& reported, const std::vector<int>& rank)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Ruzaravo scan</title><style>"
           "body{font-family:sans-serif;margin:2em}td,th{padding:2px 8px;text-align:left}"
           "svg .lA{fill:#109648}svg .lC{fill:#255c99}svg .lG{fill:#f7a21b}svg .lT{fill:#d62839}"
           "svg .axis{stroke:#888;fill:none}svg text{font-size:11px}"
           "</style></head><body><h1>Ruzaravo scan</h1><p>" +
           std::to_string(o.letters) + " letters in " + std::to_string(target.size()) + " sequences; " +
           std::to_string(reported.size()) + " modules reported of " + std::to_string(o.modules.size()) +
           " calls.</p><h2>Top modules</h2>" + TopModules(o, m, target, reported, rank) +
           "<h2>Scores against the null</h2>" + Histogram(o) + "<h2>Model</h2>" + ModelSection(m) +
           "</body></html>\n";
}
