// Drawing of the convergence plots (see the header).
#include "output/html/Convergence.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "output/html/HtmlText.h"
#include "output/html/ModuleMap.h"

namespace {

const double kLeft = 70, kWidth = 760, kPanelHeight = 110, kGap = 34, kTop = 20;

struct Panel {
    std::string title;
    double y0 = 0;   // top of the plot area
    double lo = 0, hi = 1;
};

// Sweeps drawn: every step-th, plus the last.
std::vector<int> Thinned(int n)
{
    std::vector<int> idx;
    int step = std::max(1, (n + kPlotMaxPoints - 1) / kPlotMaxPoints);
    for (int t = 0; t < n; t += step)
        idx.push_back(t);
    if (!idx.empty() && idx.back() != n - 1)
        idx.push_back(n - 1);
    return idx;
}

double X(int t, int n)
{
    return kLeft + (n > 1 ? (double)t / (n - 1) : 0.5) * kWidth;
}

double Y(const Panel& p, double v)
{
    return p.y0 + kPanelHeight - (v - p.lo) / (p.hi - p.lo) * kPanelHeight;
}

std::string Line(const Panel& p, const std::vector<int>& idx, int n, const std::function<double(int)>& value,
                 const std::string& cls, const std::string& colour)
{
    std::string pts;
    for (int t : idx)
        pts += Num(X(t, n), 1) + "," + Num(Y(p, value(t)), 1) + " ";
    std::string style = colour.empty() ? "" : " style=\"stroke:" + colour + "\"";
    return "<polyline class=\"" + cls + "\"" + style + " points=\"" + pts + "\"/>";
}

std::string Frame(const Panel& p, int n, int burnIn, int decimals)
{
    std::string s = "<text class=\"ptitle\" x=\"" + Num(kLeft, 1) + "\" y=\"" + Num(p.y0 - 6, 1) + "\">" +
                    p.title + "</text>";
    if (burnIn > 0 && n > 0) {
        double xb = X(std::min(burnIn, n - 1), n);
        s += "<rect class=\"burnin\" x=\"" + Num(kLeft, 1) + "\" y=\"" + Num(p.y0, 1) + "\" width=\"" +
             Num(xb - kLeft, 1) + "\" height=\"" + Num(kPanelHeight, 1) + "\"/><line class=\"burnline\" x1=\"" +
             Num(xb, 1) + "\" y1=\"" + Num(p.y0, 1) + "\" x2=\"" + Num(xb, 1) + "\" y2=\"" +
             Num(p.y0 + kPanelHeight, 1) + "\"/>";
    }
    s += "<rect class=\"frame\" x=\"" + Num(kLeft, 1) + "\" y=\"" + Num(p.y0, 1) + "\" width=\"" + Num(kWidth, 1) +
         "\" height=\"" + Num(kPanelHeight, 1) + "\"/>";
    s += "<text class=\"tick\" x=\"" + Num(kLeft - 4, 1) + "\" y=\"" + Num(p.y0 + 8, 1) +
         "\" text-anchor=\"end\">" + Num(p.hi, decimals) + "</text><text class=\"tick\" x=\"" + Num(kLeft - 4, 1) +
         "\" y=\"" + Num(p.y0 + kPanelHeight, 1) + "\" text-anchor=\"end\">" + Num(p.lo, decimals) + "</text>";
    return s;
}

void Range(Panel& p, double lo, double hi)
{
    if (hi <= lo) {
        lo -= 1;
        hi += 1;
    }
    p.lo = lo;
    p.hi = hi;
}

}  // namespace

std::string ConvergenceHtml(const RunResult& run)
{
    const std::vector<SweepStat>& st = run.sweepStats;
    int n = (int)st.size();
    if (n == 0)
        return "<p class=\"note\">The run made no sweeps.</p>";
    std::vector<int> idx = Thinned(n);
    Panel score{"log posterior (natural log)"}, mods{"modules"}, widths{"motif widths"};
    double slo = st[0].score, shi = st[0].score, wlo = 1e9, whi = -1e9;
    int mhi = 0;
    for (const SweepStat& s : st) {
        slo = std::min(slo, s.score);
        shi = std::max(shi, s.score);
        mhi = std::max(mhi, s.modules);
        for (int w : s.widths) {
            wlo = std::min(wlo, (double)w);
            whi = std::max(whi, (double)w);
        }
    }
    if (whi < wlo)
        wlo = whi = 0;
    Range(score, slo, shi);
    Range(mods, 0, mhi);
    Range(widths, wlo - 1, whi + 1);
    score.y0 = kTop;
    mods.y0 = score.y0 + kPanelHeight + kGap;
    widths.y0 = mods.y0 + kPanelHeight + kGap;
    double height = widths.y0 + kPanelHeight + 30;
    double width = kLeft + kWidth + 20;
    std::string svg = "<svg class=\"convergence\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(width, 0) +
                      "\" height=\"" + Num(height, 0) + "\" viewBox=\"0 0 " + Num(width, 0) + " " +
                      Num(height, 0) + "\">";
    svg += Frame(score, n, run.burnIn, 1);
    svg += Line(score, idx, n, [&](int t) { return st[t].score; }, "trace", "");
    svg += Frame(mods, n, run.burnIn, 0);
    svg += Line(mods, idx, n, [&](int t) { return (double)st[t].modules; }, "trace", "");
    svg += Frame(widths, n, run.burnIn, 0);
    std::size_t k = st[0].widths.size();
    for (std::size_t m = 0; m < k; m++)
        svg += Line(widths, idx, n,
                    [&](int t) { return m < st[t].widths.size() ? (double)st[t].widths[m] : 0.0; }, "trace w",
                    MotifColour((int)m));
    double axisY = widths.y0 + kPanelHeight + 16;
    svg += "<text class=\"tick\" x=\"" + Num(kLeft, 1) + "\" y=\"" + Num(axisY, 1) + "\">sweep 1</text>";
    svg += "<text class=\"tick\" x=\"" + Num(kLeft + kWidth, 1) + "\" y=\"" + Num(axisY, 1) +
           "\" text-anchor=\"end\">sweep " + std::to_string(n) + "</text>";
    if (run.burnIn > 0)
        svg += "<text class=\"tick\" x=\"" + Num(X(std::min(run.burnIn, n - 1), n), 1) + "\" y=\"" +
               Num(axisY, 1) + "\" text-anchor=\"middle\">end of burn-in (" + std::to_string(run.burnIn) +
               ")</text>";
    return svg + "</svg>";
}
