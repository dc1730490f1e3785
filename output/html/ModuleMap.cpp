// Drawing of the module map (see the header).
#include "output/html/ModuleMap.h"

#include <algorithm>
#include <cmath>

#include "output/ModuleStatsText.h"
#include "output/html/HtmlText.h"

namespace {

const double kLabelWidth = 170;   // pixels for the sequence names
const double kTrackWidth = 900;   // pixels for the longest sequence
const double kTrackHeight = 46;   // curve band + line + arrows
const double kCurveHeight = 22;

double PeakProb(const SequenceResult& s)
{
    double peak = 0;
    for (double p : s.moduleProb)
        peak = std::max(peak, p);
    return peak;
}

std::string ShortName(const std::string& id)
{
    return id.size() <= 24 ? id : id.substr(0, 22) + "..";
}

}  // namespace

const char* MotifColour(int k)
{
    static const char* palette[10] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e",
                                      "#17becf", "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22"};
    return palette[((k % 10) + 10) % 10];
}

std::vector<int> MapSequences(const RunResult& run, std::size_t maxTracks)
{
    std::vector<int> order(run.seqs.size());
    for (std::size_t j = 0; j < order.size(); j++)
        order[j] = (int)j;
    if (order.size() <= maxTracks)
        return order;
    std::vector<double> peak(run.seqs.size());
    for (std::size_t j = 0; j < peak.size(); j++)
        peak[j] = PeakProb(run.seqs[j]);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return peak[x] > peak[y]; });
    order.resize(maxTracks);
    std::sort(order.begin(), order.end());
    return order;
}

std::vector<CurvePoint> ReduceCurve(const std::vector<double>& prob, double pixels)
{
    std::vector<CurvePoint> pts;
    std::size_t n = prob.size();
    if (n == 0)
        return pts;
    std::size_t points = std::max<std::size_t>(1, (std::size_t)(pixels / kMapPixelsPerPoint));
    std::size_t bin = (n + points - 1) / points;
    if (bin < 1)
        bin = 1;
    // One value per bin, its largest; consecutive equal values keep only
    // the ends of their run.
    std::vector<double> vals;
    for (std::size_t s = 0; s < n; s += bin) {
        double v = 0;
        for (std::size_t p = s; p < std::min(n, s + bin); p++)
            v = std::max(v, prob[p]);
        vals.push_back(v);
    }
    for (std::size_t i = 0; i < vals.size(); i++) {
        bool sameBefore = i > 0 && vals[i - 1] == vals[i];
        bool sameAfter = i + 1 < vals.size() && vals[i + 1] == vals[i];
        if (sameBefore && sameAfter)
            continue;
        pts.push_back({(double)(i * bin), vals[i]});
        if (!sameAfter)   // a bin covers [start, end): its value holds to its end
            pts.push_back({(double)std::min(n, (i + 1) * bin), vals[i]});
    }
    return pts;
}

static std::string TrackSvg(const RunResult& run, int j, double y, double scale)
{
    const SequenceResult& s = run.seqs[j];
    int modules = 0;
    for (const ModuleResult& m : run.modules)
        modules += m.seq == j;
    std::string g = "<g class=\"track\" data-seq=\"" + Escape(s.id) + "\" data-modules=\"" +
                    std::to_string(modules) + "\" transform=\"translate(0 " + Num(y, 1) + ")\">";
    g += "<title>" + Escape(s.id) + " (" + std::to_string(s.length) + " bp)</title>";
    g += "<text class=\"name\" x=\"" + Num(kLabelWidth - 8, 1) + "\" y=\"" + Num(kCurveHeight + 4, 1) +
         "\" text-anchor=\"end\">" + Escape(ShortName(s.id)) + "</text>";
    double base = kCurveHeight;
    double width = s.length * scale;
    // Module probability curve above the line.
    std::vector<CurvePoint> pts = ReduceCurve(s.moduleProb, width);
    if (!pts.empty()) {
        g += "<path class=\"curve\" d=\"M" + Num(kLabelWidth, 1) + " " + Num(base, 1);
        for (const CurvePoint& p : pts)
            g += "L" + Num(kLabelWidth + p.pos * scale, 1) + " " + Num(base - p.prob * kCurveHeight, 1);
        g += "L" + Num(kLabelWidth + width, 1) + " " + Num(base, 1) + "Z\"/>";
    }
    g += "<line class=\"seq\" x1=\"" + Num(kLabelWidth, 1) + "\" y1=\"" + Num(base + 8, 1) + "\" x2=\"" +
         Num(kLabelWidth + width, 1) + "\" y2=\"" + Num(base + 8, 1) + "\"/>";
    for (const ModuleResult& m : run.modules) {
        if (m.seq != j)
            continue;
        g += "<rect class=\"module\" x=\"" + Num(kLabelWidth + m.start * scale, 1) + "\" y=\"" +
             Num(base + 1, 1) + "\" width=\"" + Num(std::max(1.0, (m.end - m.start) * scale), 1) +
             "\" height=\"14\"><title>module " + std::to_string(m.start) + "-" + std::to_string(m.end) +
             ModuleStatsTitle(m.stats) + "</title></rect>";
    }
    for (const MotifResult& mo : run.motifs) {
        if (!mo.printed)
            continue;
        for (const SiteResult& st : mo.sites) {
            if (st.seq != j)
                continue;
            double x0 = kLabelWidth + st.start * scale;
            double w = std::max(5.0, mo.width * scale);
            double x1 = x0 + w, ym = base + 8;
            std::string pts = st.forward
                                  ? Num(x0, 1) + "," + Num(ym - 5, 1) + " " + Num(x1, 1) + "," + Num(ym, 1) +
                                        " " + Num(x0, 1) + "," + Num(ym + 5, 1)
                                  : Num(x1, 1) + "," + Num(ym - 5, 1) + " " + Num(x0, 1) + "," + Num(ym, 1) +
                                        " " + Num(x1, 1) + "," + Num(ym + 5, 1);
            g += "<polygon class=\"site\" fill=\"" + std::string(MotifColour(mo.index)) + "\" points=\"" + pts +
                 "\"><title>motif " + std::to_string(mo.index + 1) + " " + (st.forward ? "+" : "-") + " " +
                 std::to_string(st.start) + " " + Escape(st.word) + " " + Num(st.posterior, 3) +
                 "</title></polygon>";
        }
    }
    return g + "</g>";
}

std::string ModuleMapHtml(const RunResult& run)
{
    std::vector<int> shown = MapSequences(run);
    std::string html;
    if (shown.size() < run.seqs.size())
        html += "<p class=\"note\">Showing the " + std::to_string(shown.size()) + " of " +
                std::to_string(run.seqs.size()) +
                " sequences with the highest module probability, in input order.</p>";
    html += "<p class=\"legend\">";
    for (const MotifResult& mo : run.motifs)
        if (mo.printed)
            html += "<span><i style=\"background:" + std::string(MotifColour(mo.index)) + "\"></i>motif " +
                    std::to_string(mo.index + 1) + " " + Escape(mo.consensus) + "</span> ";
    html += "<span><i class=\"modkey\"></i>module</span> <span><i class=\"curvekey\"></i>module "
            "probability (0 to 1)</span></p>";
    int longest = 1;
    for (int j : shown)
        longest = std::max(longest, run.seqs[j].length);
    double scale = kTrackWidth / longest;
    double height = shown.size() * kTrackHeight + 24;
    double width = kLabelWidth + kTrackWidth + 10;
    html += "<svg class=\"modmap\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(width, 0) +
            "\" height=\"" + Num(height, 0) + "\" viewBox=\"0 0 " + Num(width, 0) + " " + Num(height, 0) + "\">";
    // Scale bar: the longest sequence's length.
    html += "<line class=\"axis\" x1=\"" + Num(kLabelWidth, 1) + "\" y1=\"" + Num(height - 14, 1) + "\" x2=\"" +
            Num(kLabelWidth + kTrackWidth, 1) + "\" y2=\"" + Num(height - 14, 1) + "\"/><text class=\"tick\" x=\"" +
            Num(kLabelWidth, 1) + "\" y=\"" + Num(height - 2, 1) + "\">0</text><text class=\"tick\" x=\"" +
            Num(kLabelWidth + kTrackWidth, 1) + "\" y=\"" + Num(height - 2, 1) + "\" text-anchor=\"end\">" +
            std::to_string(longest) + " bp</text>";
    double y = 4;
    for (int j : shown) {
        html += TrackSvg(run, j, y, scale);
        y += kTrackHeight;
    }
    return html + "</svg>";
}
