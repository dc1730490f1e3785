// Estimation and scoring of the order-k background chain (see the header).
#include "model/MarkovChain.h"

#include <cmath>

#include "base/Helpers.h"

namespace {

inline int Mask(int j)
{
    return (1 << (2 * j)) - 1;
}

std::string ReverseComplement(const std::string& s)
{
    std::string r(s.rbegin(), s.rend());
    for (char& c : r) {
        switch (c) {
        case 'A': c = 'T'; break;
        case 'C': c = 'G'; break;
        case 'G': c = 'C'; break;
        case 'T': c = 'A'; break;
        default: c = 'N'; break;
        }
    }
    return r;
}

void Count(const std::string& s, int order, std::vector<std::vector<double>>* counts)
{
    int code = 0, run = 0;
    for (char c : s) {
        int b = NucleotideCode(c);
        if (b < 0) {
            code = 0;
            run = 0;
            continue;
        }
        for (int j = 0; j <= run; j++)
            (*counts)[j][4 * (code & Mask(j)) + b] += 1.0;
        code = ((code << 2) | b) & Mask(order);
        if (run < order)
            run++;
    }
}

}  // namespace

MarkovChain MarkovChain::Estimate(const std::vector<std::string>& seqs, int order)
{
    std::vector<std::vector<double>> counts(order + 1);
    for (int j = 0; j <= order; j++)
        counts[j].assign((size_t)4 << (2 * j), 0.0);
    for (const std::string& s : seqs) {
        Count(s, order, &counts);
        Count(ReverseComplement(s), order, &counts);
    }
    return FromCounts(counts, order);
}

MarkovChain MarkovChain::FromCounts(const std::vector<std::vector<double>>& counts, int order)
{
    MarkovChain chain;
    chain.m_order = order;
    chain.m_prob.resize(order + 1);
    chain.m_log.resize(order + 1);
    for (int j = 0; j <= order; j++) {
        std::vector<double>& p = chain.m_prob[j];
        p.resize(counts[j].size());
        for (int ctx = 0; ctx <= Mask(j); ctx++) {
            const double* n = &counts[j][4 * ctx];
            double total = n[0] + n[1] + n[2] + n[3];
            for (int b = 0; b < 4; b++) {
                double lower = j == 0 ? 0.25 : chain.m_prob[j - 1][4 * (ctx & Mask(j - 1)) + b];
                p[4 * ctx + b] = (n[b] + kPseudoCount * lower) / (total + kPseudoCount);
            }
        }
        chain.m_log[j].resize(p.size());
        for (size_t i = 0; i < p.size(); i++)
            chain.m_log[j][i] = log(p[i]);
    }
    return chain;
}

double MarkovChain::Prob(int j, int context, int b) const
{
    return m_prob[j][4 * context + b];
}

// The stretch scorer shared by LogPrWord and FillLogColumn: calls put(i, v)
// with the log-probability v of letter i.
template <typename Put>
static inline void ScoreStretch(const std::vector<std::vector<double>>& logs, int order, const char* x,
                                int n, double ambiguousLogPr, Put put)
{
    const int maskK = Mask(order);
    int code = 0, run = 0;
    for (int i = 0; i < n; i++) {
        int b = NucleotideCode(x[i]);
        if (b < 0) {
            put(i, ambiguousLogPr);
            code = 0;
            run = 0;
            continue;
        }
        put(i, logs[run][4 * (code & Mask(run)) + b]);
        code = ((code << 2) | b) & maskK;
        if (run < order)
            run++;
    }
}

double MarkovChain::LogPrWord(const char* x, int n, double ambiguousLogPr) const
{
    double sum = 0.0;
    ScoreStretch(m_log, m_order, x, n, ambiguousLogPr, [&sum](int, double v) { sum += v; });
    return sum;
}

void MarkovChain::FillLogColumn(const char* x, int n, double ambiguousLogPr, double* out, long stride) const
{
    ScoreStretch(m_log, m_order, x, n, ambiguousLogPr, [out, stride](int i, double v) { out[i * stride] = v; });
}

ChainCounter::ChainCounter(int order) : m_order(order), m_counts(order + 1)
{
    for (int j = 0; j <= order; j++)
        m_counts[j].assign((size_t)4 << (2 * j), 0.0);
}

void ChainCounter::Add(const char* x, size_t n)
{
    for (size_t i = 0; i < n; i++) {
        int b = NucleotideCode(x[i]);
        if (b < 0) {
            m_run = 0;
            continue;
        }
        for (int k = m_run; k > 0; k--)
            m_last[k] = m_last[k - 1];
        m_last[0] = b;
        // Word of j + 1 letters ending here: m_last[j] .. m_last[0].
        int fwd = 0, rev = 0;
        for (int j = 0; j <= m_run; j++) {
            m_counts[j][4 * fwd + b] += 1.0;
            m_counts[j][4 * rev + 3 - m_last[j]] += 1.0;
            fwd |= m_last[j + 1 <= m_run ? j + 1 : 0] << (2 * j);
            rev = (rev << 2) | (3 - m_last[j]);
        }
        if (m_run < m_order)
            m_run++;
    }
}

void ChainCounter::EndSequence()
{
    m_run = 0;
}
