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
