// Building the fixed-parameter module model of a scan (see the header).
#include "scan/ScanModel.h"

#include <algorithm>
#include <cmath>

std::vector<ScanMotif> MotifsFromMatrices(const std::vector<MotifMatrix>& matrices)
{
    std::vector<ScanMotif> motifs;
    for (const MotifMatrix& m : matrices) {
        ScanMotif s;
        s.label = m.Label();
        s.shortName = m.name.empty() ? m.id : m.name;
        for (char& c : s.shortName)
            if (c == ' ' || c == '\t')
                c = '_';
        s.width = (int)m.rows.size();
        for (const auto& row : m.rows) {
            double sum = row[0] + row[1] + row[2] + row[3];
            for (int b = 0; b < 4; b++) {
                double p = sum > 0.0 ? (row[b] + 0.0025 * sum) / (1.01 * sum) : 0.25;
                s.logs.push_back(log(p));
            }
        }
        motifs.push_back(std::move(s));
    }
    return motifs;
}

// The chain is built through MarkovChain::FromCounts, which gives row
// entries (n_b + lower_b) / (n + 1) with lower the next lower order's row
// and n the row's count: counts p_b S - lower_b with S a power of two far
// above every lower_b make that (p_b S) / S = p_b to within rounding.
MarkovChain ChainOfProbabilities(const std::vector<std::vector<double>>& tables)
{
    const double S = 1099511627776.0;   // 2^40
    const int order = (int)tables.size() - 1;
    std::vector<std::vector<double>> p(tables.size()), counts(tables.size());
    for (int j = 0; j <= order; j++) {
        const size_t rows = tables[j].size() / 4;
        for (size_t ctx = 0; ctx < rows; ctx++) {
            double row[4], sum = 0.0;
            for (int b = 0; b < 4; b++)
                sum += row[b] = std::max(kChainFloor, tables[j][4 * ctx + b]);
            for (int b = 0; b < 4; b++) {
                // The lower order's row: the context without its first letter.
                const double lower = j == 0 ? 0.25 : p[j - 1][4 * (ctx % (rows / 4)) + b];
                p[j].push_back(row[b] / sum);
                counts[j].push_back(row[b] / sum * S - lower);
            }
        }
    }
    return MarkovChain::FromCounts(counts, order);
}

ScanModel MakeScanModel(std::vector<ScanMotif> motifs, int moduleLength, double moduleRate, double siteRate,
                        MarkovChain chain)
{
    ScanModel m;
    m.motifs = std::move(motifs);
    m.moduleLength = moduleLength;
    m.moduleRate = moduleRate;
    m.siteRate = siteRate;
    m.lnRho = log(moduleRate);
    m.ln1mRho = log(1.0 - moduleRate);
    m.lnSite = log(siteRate) + log(0.5);
    m.lnBgIn = log(1.0 - siteRate * (double)m.motifs.size());
    for (const ScanMotif& s : m.motifs)
        m.maxWidth = std::max(m.maxWidth, s.width);
    m.chain = std::move(chain);
    const std::array<double, 4> q = {m.chain.Prob(0, 0, 0), m.chain.Prob(0, 0, 1), m.chain.Prob(0, 0, 2),
                                     m.chain.Prob(0, 0, 3)};
    for (ScanMotif& s : m.motifs)
        s.sitePValue = SitePValue(s.logs, q);
    return m;
}
