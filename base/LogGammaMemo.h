// logGamma(n) remembered by n. The sampler's score takes logGamma of
// numbers near the input's length (a sum of one log per letter) every
// sweep, and those numbers move little from sweep to sweep, so most of them
// are found here instead of summed again. Each value is logGamma's own,
// computed once, so the bits are the same.
#ifndef RUZARAVO_BASE_LOGGAMMAMEMO_H
#define RUZARAVO_BASE_LOGGAMMAMEMO_H

#include <cstddef>
#include <unordered_map>

class LogGammaMemo {
public:
    // A run that visits more than mostValues arguments starts afresh.
    explicit LogGammaMemo(size_t mostValues = 1 << 16) : m_MostValues(mostValues) {}
    double operator()(int n);

private:
    size_t m_MostValues;
    std::unordered_map<int, double> m_Values;
};

#endif
