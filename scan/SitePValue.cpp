// Exact tail probabilities of rounded matrix scores (see the header).
#include "scan/SitePValue.h"

#include <algorithm>
#include <cmath>

SitePValue::SitePValue(const std::vector<double>& logs, const std::array<double, 4>& q)
{
    m_width = (int)logs.size() / 4;
    m_steps.resize(logs.size());
    for (int i = 0; i < m_width; i++)
        for (int b = 0; b < 4; b++)
            m_steps[4 * i + b] = (int)std::lround(1000.0 * (logs[4 * i + b] - log(q[b])));
    // Distribution of the sum, column by column, from its least value lo.
    long long lo = 0;
    std::vector<double> pr(1, 1.0), next;
    for (int i = 0; i < m_width; i++) {
        const int* st = &m_steps[4 * i];
        const int cmin = *std::min_element(st, st + 4), cmax = *std::max_element(st, st + 4);
        next.assign(pr.size() + (cmax - cmin), 0.0);
        for (size_t s = 0; s < pr.size(); s++)
            if (pr[s] > 0.0)
                for (int b = 0; b < 4; b++)
                    next[s + (st[b] - cmin)] += pr[s] * q[b];
        pr.swap(next);
        lo += cmin;
    }
    m_min = lo;
    m_tail.assign(pr.size() + 1, 0.0);
    for (size_t s = pr.size(); s-- > 0;)
        m_tail[s] = m_tail[s + 1] + pr[s];
}

double SitePValue::Tail(long long score) const
{
    long long i = score - m_min;
    if (i <= 0)
        return 1.0;
    if (i >= (long long)m_tail.size())
        return 0.0;
    return std::min(1.0, m_tail[i]);
}

double SitePValue::PValue(const unsigned char* codes) const
{
    long long s = 0;
    for (int i = 0; i < m_width; i++)
        s += m_steps[4 * i + codes[i]];
    return Tail(s);
}

double SitePValue::PValueReverse(const unsigned char* codes) const
{
    long long s = 0;
    for (int i = 0; i < m_width; i++)
        s += m_steps[4 * i + 3 - codes[m_width - 1 - i]];
    return Tail(s);
}
