#include "analysis/Significance.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

double LogChoose(int n, int k)
{
    return std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0);
}

}  // namespace

double FisherUpperLogP(int a, int n1, int b, int n2)
{
    if (a <= 0)
        return 0.0;
    int positives = a + b, total = n1 + n2;
    int top = std::min(n1, positives);
    // log-sum-exp of the hypergeometric terms x = a .. top.
    std::vector<double> terms;
    for (int x = a; x <= top; x++)
        terms.push_back(LogChoose(n1, x) + LogChoose(n2, positives - x) - LogChoose(total, positives));
    double peak = *std::max_element(terms.begin(), terms.end());
    double sum = 0;
    for (double t : terms)
        sum += std::exp(t - peak);
    return std::min(0.0, peak + std::log(sum));
}

std::vector<double> BenjaminiHochberg(const std::vector<double>& p)
{
    return BenjaminiHochberg(p, (long long)p.size());
}

std::vector<double> BenjaminiHochberg(const std::vector<double>& p, long long tests)
{
    const size_t m = p.size();
    std::vector<size_t> order(m);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return p[x] < p[y]; });
    std::vector<double> q(m);
    double running = 1.0;
    for (size_t r = m; r-- > 0;) {
        running = std::min(running, p[order[r]] * (double)tests / (double)(r + 1));
        q[order[r]] = running;
    }
    return q;
}
