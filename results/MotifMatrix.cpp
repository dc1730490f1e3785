// Counts as frequencies; see MotifMatrix.h for which output uses which rule.
#include "results/MotifMatrix.h"

MotifProfile ColumnFrequencies(const MotifResult& m)
{
    MotifProfile p(m.counts.size());
    for (size_t c = 0; c < p.size(); c++) {
        int total = m.counts[c][0] + m.counts[c][1] + m.counts[c][2] + m.counts[c][3];
        for (int b = 0; b < 4; b++)
            p[c][b] = total > 0 ? (double)m.counts[c][b] / total : 0.25;
    }
    return p;
}

MotifProfile CountProfile(const MotifResult& m)
{
    MotifProfile p;
    p.reserve(m.counts.size());
    for (const auto& row : m.counts)
        p.push_back({(double)row[0], (double)row[1], (double)row[2], (double)row[3]});
    return p;
}
