// Dinucleotide shuffle, binomial tail and the enrichment of one motif (see
// the header). The shuffle draws from a std::mt19937_64 of its own, mapped
// by plain modulo, so its output is the same on every machine.
#include "analysis/Enrichment.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "base/Helpers.h"
#include "results/MotifMatrix.h"

namespace {

// One stretch of A, C, G, T: a random Eulerian walk over its pair graph
// that ends with the stretch's last letter (Altschul and Erickson 1985).
std::string ShuffleStretch(const std::string& s, std::mt19937_64& gen)
{
    const int n = (int)s.size();
    if (n < 3)
        return s;
    std::vector<int> edges[4];
    for (int i = 0; i + 1 < n; i++)
        edges[NucleotideCode(s[i])].push_back(NucleotideCode(s[i + 1]));
    const int last = NucleotideCode(s[n - 1]);
    // Last exit of every other letter with edges: a random edge, redrawn
    // until following the last exits from any letter reaches `last`.
    int exitTo[4] = {-1, -1, -1, -1};
    for (bool ok = false; !ok;) {
        for (int a = 0; a < 4; a++)
            if (a != last && !edges[a].empty())
                exitTo[a] = (int)(gen() % edges[a].size());
        ok = true;
        for (int a = 0; a < 4 && ok; a++) {
            int v = a, steps = 0;
            while (v != last && !edges[v].empty() && steps++ < 4)
                v = edges[v][exitTo[v]];
            ok = v == last || edges[a].empty();
        }
    }
    for (int a = 0; a < 4; a++) {
        if (edges[a].empty())
            continue;
        if (a != last)
            std::swap(edges[a][exitTo[a]], edges[a].back());
        size_t free = a == last ? edges[a].size() : edges[a].size() - 1;
        for (size_t i = free; i > 1; i--)   // Fisher-Yates over the free edges
            std::swap(edges[a][i - 1], edges[a][gen() % i]);
    }
    std::string out(1, s[0]);
    size_t used[4] = {0, 0, 0, 0};
    for (int v = NucleotideCode(s[0]); (int)out.size() < n;) {
        v = edges[v][used[v]++];
        out.push_back("ACGT"[v]);
    }
    return out;
}

double LogOdds(const MotifResult& m, const std::array<double, 4>& bg, int col, int b)
{
    double p = SmoothedFraction(m, col, b);
    return log(p / bg[b]);
}

double Score(const std::vector<double>& w, int width, const char* x, bool reverse)
{
    double s = 0.0;
    for (int c = 0; c < width; c++) {
        int b = reverse ? 3 - NucleotideCode(x[width - 1 - c]) : NucleotideCode(x[c]);
        s += w[4 * c + b];
    }
    return s;
}

// Windows and hits of one set at the threshold.
void CountHits(const std::vector<double>& w, int width, double threshold, const std::vector<std::string>& seqs,
               bool bothStrands, long long* windows, long long* hits)
{
    for (const std::string& s : seqs) {
        int run = 0;   // A, C, G, T letters ending at i
        for (int i = 0; i < (int)s.size(); i++) {
            run = NucleotideCode(s[i]) < 0 ? 0 : run + 1;
            if (run < width)
                continue;
            const char* x = s.data() + i - width + 1;
            ++*windows;
            if (Score(w, width, x, false) >= threshold || (bothStrands && Score(w, width, x, true) >= threshold))
                ++*hits;
        }
    }
}

}  // namespace

std::string ShuffleDinucleotides(const std::string& seq, uint64_t seed)
{
    std::mt19937_64 gen(seed);
    std::string out;
    out.reserve(seq.size());
    size_t i = 0;
    while (i < seq.size()) {
        size_t j = i;
        while (j < seq.size() && NucleotideCode(seq[j]) >= 0)
            j++;
        out += ShuffleStretch(seq.substr(i, j - i), gen);
        for (; j < seq.size() && NucleotideCode(seq[j]) < 0; j++)
            out.push_back(seq[j]);
        i = j;
    }
    return out;
}

double BinomialUpperLog10(long long k, long long n, double p)
{
    if (k <= 0)
        return 0.0;
    if (k > n || p <= 0.0)
        return -INFINITY;
    if (p >= 1.0)
        return 0.0;
    // log-sum-exp over the terms i = k..n of ln C(n, i) p^i (1 - p)^(n - i).
    double lp = log(p), lq = log1p(-p), top = -INFINITY;
    std::vector<double> terms;
    for (long long i = k; i <= n; i++) {
        double t = lgamma(n + 1.0) - lgamma(i + 1.0) - lgamma(n - i + 1.0) + i * lp + (n - i) * lq;
        terms.push_back(t);
        top = std::max(top, t);
    }
    double sum = 0.0;
    for (double t : terms)
        sum += exp(t - top);
    return (top + log(sum)) / log(10.0);
}

// The motif's log-odds matrix against the letter frequencies (a
// frequency that is not positive counts as 0.25).
static std::vector<double> LogOddsMatrix(const MotifResult& m, const std::array<double, 4>& bgFreqs)
{
    std::array<double, 4> bg = bgFreqs;
    for (double& f : bg)
        if (!(f > 0.0))
            f = 0.25;
    std::vector<double> w(4 * m.width);
    for (int c = 0; c < m.width; c++)
        for (int b = 0; b < 4; b++)
            w[4 * c + b] = LogOdds(m, bg, c, b);
    return w;
}

EnrichmentResult MeasureEnrichment(const MotifResult& m, const std::array<double, 4>& bgFreqs,
                                   const std::vector<std::string>& input,
                                   const std::vector<std::string>& control, bool bothStrands)
{
    EnrichmentResult e;
    if (m.sites.empty() || m.width <= 0)
        return e;
    std::vector<double> w = LogOddsMatrix(m, bgFreqs);
    e.threshold = INFINITY;
    for (const SiteResult& s : m.sites) {
        if ((int)s.word.size() != m.width ||
            std::any_of(s.word.begin(), s.word.end(), [](char c) { return NucleotideCode(c) < 0; }))
            continue;
        e.threshold = std::min(e.threshold, Score(w, m.width, s.word.data(), false));
    }
    if (!std::isfinite(e.threshold))
        return e;
    CountHits(w, m.width, e.threshold, input, bothStrands, &e.inputWindows, &e.inputHits);
    CountHits(w, m.width, e.threshold, control, bothStrands, &e.controlWindows, &e.controlHits);
    if (e.inputWindows == 0 || e.controlWindows == 0)
        return e;
    e.measured = true;
    e.ratio = ((e.inputHits + 1.0) / e.inputWindows) / ((e.controlHits + 1.0) / e.controlWindows);
    double share = (double)e.inputWindows / (double)(e.inputWindows + e.controlWindows);
    e.log10P = BinomialUpperLog10(e.inputHits, e.inputHits + e.controlHits, share);
    return e;
}

int RecordsWithHit(const MotifResult& m, const EnrichmentResult& e, const std::array<double, 4>& bgFreqs,
                   const std::vector<std::string>& seqs, bool bothStrands)
{
    if (!std::isfinite(e.threshold) || m.width <= 0)
        return 0;
    std::vector<double> w = LogOddsMatrix(m, bgFreqs);
    int records = 0;
    for (const std::string& s : seqs) {
        long long windows = 0, hits = 0;
        CountHits(w, m.width, e.threshold, {s}, bothStrands, &windows, &hits);
        records += hits > 0;
    }
    return records;
}

void AddEnrichment(RunResult* r, const std::vector<std::string>& input, std::vector<std::string> control,
                   double minRatio)
{
    if (control.empty())
        for (const std::string& s : input)
            control.push_back(ShuffleDinucleotides(s, kControlShuffleSeed));
    r->enrichment = true;
    for (MotifResult& m : r->motifs) {
        if (!m.printed)
            continue;
        m.enrichment = MeasureEnrichment(m, r->bgFreqs, input, control, r->bothStrands);
        if (m.enrichment.measured && m.enrichment.ratio < minRatio)
            m.printed = false;
    }
}
