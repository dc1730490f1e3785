// Known-factor matching with p-, E- and q-values; see KnownMatches.h.
//
// Per found motif of width W the work is: the column scores against the
// whole pool (W x 2 x library columns), W null histograms, and for every
// run of found columns a..b (at most as long as the widest library matrix)
// the exact distribution of the summed rounded scores, built from a by one
// convolution per added column (at most W^3 / 6 x 101^2 multiply-adds);
// every placement then costs one table look-up per column. 24 motifs of
// width 15 against the 286 insect matrices take about 0.1-0.2 s.
#include "analysis/KnownMatches.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace {

// Rounded column scores: round((score + 1) x 50), 0..100.
const int kBinsPerUnit = 50;
const int kColumnBins = 2 * kBinsPerUnit + 1;

// round((score + 1) x 50), halves up; floor, since lround costs a library call.
int ScoreBin(double score)
{
    int bin = (int)std::floor((score + 1) * kBinsPerUnit + 0.5);
    return std::min(std::max(bin, 0), kColumnBins - 1);
}

// A column less its mean, and the sum of squares of that: the parts of
// ColumnPearson, done in its order so that the correlation keeps its bits.
KnownMatcher::Centred Centre(const MotifColumn& x)
{
    KnownMatcher::Centred c;
    double mean = (x[0] + x[1] + x[2] + x[3]) / 4.0;
    for (int b = 0; b < 4; b++) {
        c.d[b] = x[b] - mean;
        c.ss += c.d[b] * c.d[b];
    }
    return c;
}

// ColumnPearson(x, y) from the centred columns.
double Pearson(const KnownMatcher::Centred& x, const KnownMatcher::Centred& y)
{
    if (x.ss <= 0 || y.ss <= 0)
        return 0;
    double sxy = 0;
    for (int b = 0; b < 4; b++)
        sxy += x.d[b] * y.d[b];
    return sxy / std::sqrt(x.ss * y.ss);
}

MotifColumn Complement(const MotifColumn& c)
{
    return {c[3], c[2], c[1], c[0]};
}

// 1 - (1 - p)^n without losing small p to rounding.
double CorrectForPlacements(double p, int n)
{
    if (p >= 1)
        return 1;
    return -std::expm1(n * std::log1p(-p));
}

// E-values and Benjamini-Hochberg q-values of one found motif's matches.
void AddEAndQ(std::vector<KnownMatch>& matches)
{
    const double m = (double)matches.size();
    std::vector<std::size_t> order(matches.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return matches[x].p < matches[y].p; });
    double running = 1;
    for (std::size_t r = order.size(); r-- > 0;) {
        KnownMatch& k = matches[order[r]];
        running = std::min(running, k.p * m / (double)(r + 1));
        k.q = running;
        k.e = k.p * m;
    }
}

}  // namespace

// Upper tails of the null sums: At(a, b, x) = P(sum of the rounded scores
// of found columns a..b >= x) when every column draws its score from its
// null histogram independently; for runs of at most maxLength columns (no
// placement lines up more than the widest library matrix).
struct KnownMatcher::Tails {
    Tails(const std::vector<int>& bins, int width, std::size_t pool, int maxLength)
        : m_Width(width), m_Tail((std::size_t)width * width)
    {
        std::vector<std::vector<double>> hist(width, std::vector<double>(kColumnBins, 0.0));
        for (int i = 0; i < width; i++) {
            for (std::size_t c = 0; c < pool; c++)
                hist[i][bins[i * pool + c]] += 1;
            for (double& h : hist[i])
                h /= (double)pool;
        }
        std::vector<double> dist, next;
        dist.reserve((std::size_t)width * (kColumnBins - 1) + 1);
        next.reserve(dist.capacity());
        for (int a = 0; a < width; a++) {
            dist = hist[a];
            StoreTail(a, a, dist);
            for (int b = a + 1; b < width && b - a < maxLength; b++) {
                Convolve(dist, hist[b], next);
                std::swap(dist, next);
                StoreTail(a, b, dist);
            }
        }
    }

    double At(int a, int b, int x) const
    {
        const std::vector<double>& t = m_Tail[(std::size_t)a * m_Width + b];
        return x < (int)t.size() ? t[x] : 0.0;
    }

private:
    // Every out[s] receives its terms in the order of y, so the result does
    // not depend on how the x loop is grouped (four at a time, for speed).
    static void Convolve(const std::vector<double>& dist, const std::vector<double>& h, std::vector<double>& out)
    {
        out.assign(dist.size() + kColumnBins - 1, 0.0);
        const std::size_t n = dist.size(), n4 = n - n % 4;
        const double* __restrict d = dist.data();
        for (int y = 0; y < kColumnBins; y++) {
            const double hy = h[y];
            if (hy == 0)
                continue;
            double* __restrict o = out.data() + y;
            for (std::size_t x = 0; x < n4; x += 4) {
                o[x] += d[x] * hy;
                o[x + 1] += d[x + 1] * hy;
                o[x + 2] += d[x + 2] * hy;
                o[x + 3] += d[x + 3] * hy;
            }
            for (std::size_t x = n4; x < n; x++)
                o[x] += d[x] * hy;
        }
    }

    // Summed from the top, so that small tails keep their precision.
    void StoreTail(int a, int b, const std::vector<double>& dist)
    {
        std::vector<double>& t = m_Tail[(std::size_t)a * m_Width + b];
        t.assign(dist.size(), 0.0);
        double sum = 0;
        for (std::size_t x = dist.size(); x-- > 0;) {
            sum += dist[x];
            t[x] = std::min(sum, 1.0);
        }
    }

    int m_Width;
    std::vector<std::vector<double>> m_Tail;   // [a x width + b]
};

std::vector<KnownFactor> KnownFactorsOf(const std::vector<MotifMatrix>& matrices)
{
    std::vector<KnownFactor> out;
    out.reserve(matrices.size());
    for (const MotifMatrix& m : matrices)
        out.push_back({m.id, m.name, MotifProfile(m.rows.begin(), m.rows.end())});
    return out;
}

KnownMatcher::KnownMatcher(std::vector<KnownFactor> library) : m_Library(std::move(library))
{
    for (const KnownFactor& k : m_Library) {
        m_Start.push_back(m_Pool.size());
        for (const MotifColumn& c : k.columns)
            m_Pool.push_back(Centre(c));
        if (!k.columns.empty())
            m_Matched++;
        m_MaxWidth = std::max(m_MaxWidth, (int)k.columns.size());
    }
    for (const KnownFactor& k : m_Library)
        for (const MotifColumn& c : k.columns)
            m_Pool.push_back(Centre(Complement(c)));
}

void KnownMatcher::ScoreColumns(const MotifProfile& found, std::vector<double>& scores, std::vector<int>& bins) const
{
    const std::size_t pool = m_Pool.size();
    scores.resize(found.size() * pool);
    bins.resize(scores.size());
    for (std::size_t i = 0; i < found.size(); i++) {
        const Centred x = Centre(found[i]);
        for (std::size_t c = 0; c < pool; c++) {
            double s = Pearson(x, m_Pool[c]);
            scores[i * pool + c] = s;
            bins[i * pool + c] = ScoreBin(s);
        }
    }
}

KnownMatch KnownMatcher::BestPlacement(std::size_t entry, int width, const std::vector<double>& scores,
                                       const std::vector<int>& bins, const Tails& tails) const
{
    const std::size_t pool = m_Pool.size(), half = pool / 2, start = m_Start[entry];
    const int wt = (int)m_Library[entry].columns.size();
    const int minOverlap = std::min(kMinKnownOverlap, std::min(width, wt));
    KnownMatch best;
    best.library = entry;
    best.id = m_Library[entry].id;
    best.name = m_Library[entry].name;
    double bestP = 2;
    int tried = 0;
    for (int strand = 0; strand < 2; strand++) {
        for (int offset = minOverlap - wt; offset <= width - minOverlap; offset++, tried++) {
            int first = std::max(0, offset), last = std::min(width, offset + wt);
            int binSum = 0;
            double scoreSum = 0;
            for (int i = first; i < last; i++) {
                int j = i - offset;
                std::size_t c = strand == 0 ? start + j : half + start + (wt - 1 - j);
                binSum += bins[i * pool + c];
                scoreSum += scores[i * pool + c];
            }
            double p = tails.At(first, last - 1, binSum);
            if (p < bestP) {
                bestP = p;
                best.offset = offset;
                best.forward = strand == 0;
                best.overlap = last - first;
                best.score = scoreSum / (last - first);
            }
        }
    }
    best.p = CorrectForPlacements(bestP, tried);
    return best;
}

std::vector<KnownMatch> KnownMatcher::Match(const MotifProfile& found, std::size_t motif) const
{
    std::vector<KnownMatch> out;
    const int width = (int)found.size();
    if (width == 0 || m_Matched == 0)
        return out;
    std::vector<double> scores;
    std::vector<int> bins;
    ScoreColumns(found, scores, bins);
    Tails tails(bins, width, m_Pool.size(), m_MaxWidth);
    out.reserve(m_Matched);
    for (std::size_t e = 0; e < m_Library.size(); e++) {
        if (m_Library[e].columns.empty())
            continue;
        out.push_back(BestPlacement(e, width, scores, bins, tails));
        out.back().motif = motif;
    }
    AddEAndQ(out);
    std::stable_sort(out.begin(), out.end(), [](const KnownMatch& x, const KnownMatch& y) { return x.p < y.p; });
    return out;
}

std::vector<KnownMatch> MatchKnownFactors(const std::vector<MotifProfile>& found, const KnownMatcher& matcher,
                                          double maxQ)
{
    std::vector<KnownMatch> out;
    for (std::size_t m = 0; m < found.size(); m++)
        for (KnownMatch& k : matcher.Match(found[m], m))
            if (k.q <= maxQ)
                out.push_back(std::move(k));
    return out;
}
