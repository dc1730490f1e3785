// Brute-force enumeration of every tiling of a window by background
// letters and motif sites, with its probability under the module model
// (mixing factor on every background letter) or the site-sampling model
// (mixing factor only from the wmin-th letter of the window on).
#ifndef RUZARAVO_TESTS_SAMPLER_TILINGS_H
#define RUZARAVO_TESTS_SAMPLER_TILINGS_H

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "model/GibbsDP.h"

// One site of a tiling, as "pos:k:strand".
inline std::string SiteKey(int pos, int k, bool forward)
{
    return std::to_string(pos) + ":" + std::to_string(k) + ":" + (forward ? "f" : "r");
}

struct TILINGWALK {
    const CGibbsDP* G;
    const double* Table;
    const double* Pi;
    int S0, N, Wmin;
    bool SiteModel;                           // factor pi[K] only from the wmin-th letter
    std::map<std::string, double> Prob;       // sorted site keys joined by ' ' -> probability

    void Walk(int j, double prob, std::vector<std::string>& sites)
    {
        int K = G->m_MotifNum, stride = 2 * K + 1;
        if (j == N) {
            std::vector<std::string> sorted = sites;
            std::sort(sorted.begin(), sorted.end());
            std::string key;
            for (const std::string& s : sorted)
                key += s + " ";
            Prob[key] += prob;
            return;
        }
        int p = S0 + j;
        double mix = !SiteModel || j + 1 >= Wmin ? Pi[K] : 1.0;
        Walk(j + 1, prob * mix * exp(Table[p * stride + 2 * K]), sites);
        for (int k = 0; k < K; k++) {
            int w = G->m_Width[k];
            if (j + w > N)
                continue;
            int end = p + w - 1;
            for (int s = 0; s < (G->m_BothStrand ? 2 : 1); s++) {
                double f = Pi[k] * (G->m_BothStrand ? 0.5 : 1.0) * exp(Table[end * stride + 2 * k + s]);
                sites.push_back(SiteKey(p, k, s == 0));
                Walk(j + w, prob * f, sites);
                sites.pop_back();
            }
        }
    }
};

inline std::map<std::string, double> EnumerateTilings(const CGibbsDP& g, const double* table, const double* pi,
                                                      int e, int n, bool siteModel)
{
    int wmin = *std::min_element(g.m_Width, g.m_Width + g.m_MotifNum);
    TILINGWALK walk{&g, table, pi, e - n + 1, n, wmin, siteModel, {}};
    std::vector<std::string> sites;
    walk.Walk(0, 1.0, sites);
    return walk.Prob;
}

inline double TotalOf(const std::map<std::string, double>& tilings)
{
    double total = 0.0;
    for (const auto& t : tilings)
        total += t.second;
    return total;
}

#endif
