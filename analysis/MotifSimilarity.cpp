// Column-Pearson motif similarity over offsets and strands (see the header).
#include "analysis/MotifSimilarity.h"

#include <algorithm>
#include <cmath>

MotifProfile ReverseComplement(const MotifProfile& m)
{
    MotifProfile rc(m.size());
    for (std::size_t i = 0; i < m.size(); i++) {
        const MotifColumn& c = m[m.size() - 1 - i];
        rc[i] = {c[3], c[2], c[1], c[0]};
    }
    return rc;
}

double ColumnPearson(const MotifColumn& x, const MotifColumn& y)
{
    double mx = (x[0] + x[1] + x[2] + x[3]) / 4.0;
    double my = (y[0] + y[1] + y[2] + y[3]) / 4.0;
    double sxy = 0, sxx = 0, syy = 0;
    for (int b = 0; b < 4; b++) {
        double dx = x[b] - mx, dy = y[b] - my;
        sxy += dx * dy;
        sxx += dx * dx;
        syy += dy * dy;
    }
    if (sxx <= 0 || syy <= 0)
        return 0;
    return sxy / std::sqrt(sxx * syy);
}

// Best placement of b (already oriented) against a; ties keep the earlier offset.
static void ScanOffsets(const MotifProfile& a, const MotifProfile& b, bool forward, int minOverlap,
                        MotifAlignment& best)
{
    int wa = (int)a.size(), wb = (int)b.size();
    for (int offset = minOverlap - wb; offset <= wa - minOverlap; offset++) {
        int first = std::max(0, offset), last = std::min(wa, offset + wb);
        int overlap = last - first;
        if (overlap < minOverlap)
            continue;
        double sum = 0;
        for (int i = first; i < last; i++)
            sum += ColumnPearson(a[i], b[i - offset]);
        double score = sum / overlap;
        if (!best.found || score > best.score) {
            best.found = true;
            best.score = score;
            best.offset = offset;
            best.forward = forward;
            best.overlap = overlap;
        }
    }
}

MotifAlignment CompareMotifs(const MotifProfile& a, const MotifProfile& b, int minOverlap)
{
    MotifAlignment best;
    if (minOverlap < 1)
        minOverlap = 1;   // a placement must line up at least one column to have a score
    ScanOffsets(a, b, true, minOverlap, best);
    ScanOffsets(a, ReverseComplement(b), false, minOverlap, best);
    return best;
}

std::vector<RankedMatch> BestMatches(const MotifProfile& query, const std::vector<MotifProfile>& library,
                                     std::size_t count, int minOverlap)
{
    std::vector<RankedMatch> all;
    for (std::size_t i = 0; i < library.size(); i++) {
        MotifAlignment al = CompareMotifs(query, library[i], minOverlap);
        if (al.found)
            all.push_back({i, al});
    }
    std::stable_sort(all.begin(), all.end(), [](const RankedMatch& x, const RankedMatch& y) {
        return x.alignment.score > y.alignment.score;
    });
    if (all.size() > count)
        all.resize(count);
    return all;
}
