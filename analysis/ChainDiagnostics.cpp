#include "analysis/ChainDiagnostics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

// Inverse of the standard normal distribution function (Acklam's rational
// approximation, then one Halley step on erfc: about 1e-15 relative).
double NormalQuantile(double p)
{
    static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02, -2.759285104469687e+02,
                               1.383577518672690e+02, -3.066479806614716e+01, 2.506628277459239e+00};
    static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                               6.680131188771972e+01, -1.328068155288572e+01};
    static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                               -2.549732539343734e+00, 4.374664141464968e+00, 2.938163982698783e+00};
    static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                               3.754408661907416e+00};
    double x;
    if (p < 0.02425) {
        double q = std::sqrt(-2 * std::log(p));
        x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    } else if (p > 1 - 0.02425) {
        double q = std::sqrt(-2 * std::log(1 - p));
        x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    } else {
        double q = p - 0.5, r = q * q;
        x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
            (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
    }
    double e = 0.5 * std::erfc(-x / std::sqrt(2.0)) - p;
    double u = e * std::sqrt(2 * M_PI) * std::exp(x * x / 2);
    return x - u / (1 + x * u / 2);
}

double Mean(const std::vector<double>& v)
{
    return std::accumulate(v.begin(), v.end(), 0.0) / v.size();
}

double Variance(const std::vector<double>& v)   // with n - 1
{
    double m = Mean(v), s = 0;
    for (double x : v)
        s += (x - m) * (x - m);
    return s / (v.size() - 1);
}

// Classic potential scale reduction of equally long chains.
double ClassicRhat(const std::vector<std::vector<double>>& chains)
{
    double n = chains[0].size();
    std::vector<double> means, vars;
    for (const auto& c : chains) {
        means.push_back(Mean(c));
        vars.push_back(Variance(c));
    }
    double W = Mean(vars), B = n * Variance(means);
    if (W == 0)
        return B == 0 ? 1.0 : std::numeric_limits<double>::infinity();
    return std::sqrt(((n - 1) / n * W + B / n) / W);
}

// The draws replaced by the normal scores of their pooled ranks.
std::vector<std::vector<double>> NormalScores(const std::vector<std::vector<double>>& chains)
{
    std::vector<std::pair<double, size_t>> all;
    size_t n = chains[0].size();
    for (size_t c = 0; c < chains.size(); c++)
        for (size_t i = 0; i < n; i++)
            all.push_back({chains[c][i], c * n + i});
    std::sort(all.begin(), all.end());
    std::vector<std::vector<double>> z(chains.size(), std::vector<double>(n));
    double S = all.size();
    for (size_t i = 0; i < all.size();) {
        size_t j = i;
        while (j < all.size() && all[j].first == all[i].first)
            j++;
        double rank = (i + 1 + j) / 2.0;   // average of ranks i+1 .. j
        double score = NormalQuantile((rank - 0.375) / (S + 0.25));
        for (size_t k = i; k < j; k++)
            z[all[k].second / n][all[k].second % n] = score;
        i = j;
    }
    return z;
}

}  // namespace

double SplitRhat(const std::vector<std::vector<double>>& chains)
{
    size_t shortest = std::numeric_limits<size_t>::max();
    for (const auto& c : chains)
        shortest = std::min(shortest, c.size());
    if (chains.size() < 2 || shortest < 4)
        return std::numeric_limits<double>::quiet_NaN();
    size_t half = shortest / 2;
    std::vector<std::vector<double>> halves;
    for (const auto& c : chains) {
        halves.emplace_back(c.begin(), c.begin() + half);
        halves.emplace_back(c.end() - half, c.end());
    }
    std::vector<double> pooled;
    for (const auto& h : halves)
        pooled.insert(pooled.end(), h.begin(), h.end());
    std::nth_element(pooled.begin(), pooled.begin() + pooled.size() / 2, pooled.end());
    double median = pooled[pooled.size() / 2];
    std::vector<std::vector<double>> folded = halves;
    for (auto& h : folded)
        for (double& x : h)
            x = std::fabs(x - median);
    double bulk = ClassicRhat(NormalScores(halves));
    double tail = ClassicRhat(NormalScores(folded));
    return std::max(bulk, tail);
}

double EffectiveSampleSize(const std::vector<double>& draws)
{
    size_t n = draws.size();
    if (n < 4)
        return n;
    double m = Mean(draws), var = 0;
    for (double x : draws)
        var += (x - m) * (x - m);
    if (var == 0)
        return n;
    auto rho = [&](size_t lag) {
        double s = 0;
        for (size_t i = 0; i + lag < n; i++)
            s += (draws[i] - m) * (draws[i + lag] - m);
        return s / var;
    };
    // Geyer: sums of adjacent pairs, kept while positive and made monotone.
    double tau = -1, previous = std::numeric_limits<double>::infinity();
    for (size_t k = 0; 2 * k + 1 < n; k++) {
        double pair = rho(2 * k) + rho(2 * k + 1);
        if (pair <= 0)
            break;
        pair = std::min(pair, previous);
        previous = pair;
        tau += 2 * pair;
    }
    return std::min((double)n, n / tau);
}

ChainDiagnostics DiagnoseChains(const std::vector<RunResult>& runs)
{
    std::vector<std::vector<double>> logPost, modules;
    ChainDiagnostics d;
    for (const RunResult& r : runs) {
        std::vector<double> lp, mod;
        for (size_t t = r.burnIn; t < r.sweepStats.size(); t++) {
            lp.push_back(r.sweepStats[t].score);
            mod.push_back(r.sweepStats[t].modules);
        }
        d.essLogPosterior.push_back(EffectiveSampleSize(lp));
        logPost.push_back(std::move(lp));
        modules.push_back(std::move(mod));
    }
    d.rhatLogPosterior = SplitRhat(logPost);
    d.rhatModules = SplitRhat(modules);
    d.agree = d.rhatLogPosterior < kRhatAgreement && d.rhatModules < kRhatAgreement;
    return d;
}

const char* ChainVerdict(const ChainDiagnostics& d)
{
    if (std::isnan(d.rhatLogPosterior) || std::isnan(d.rhatModules))
        return "no verdict: it needs two chains or more with four recorded sweeps or more";
    return d.agree ? "the chains agree" : "the chains disagree: run more sweeps";
}
