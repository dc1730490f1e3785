#include "base/LogGammaMemo.h"

#include "base/Helpers.h"

// Below this a sum is as quick as a lookup.
static const int kSmallest = 256;

double LogGammaMemo::operator()(int n)
{
    if (n < kSmallest)
        return logGamma(n);
    auto found = m_Values.find(n);
    if (found != m_Values.end())
        return found->second;
    if (m_Values.size() >= m_MostValues)
        m_Values.clear();
    double v = logGamma(n);
    m_Values.emplace(n, v);
    return v;
}
