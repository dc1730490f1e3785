#include "analysis/LowComplexity.h"

#include <vector>

#include "base/Helpers.h"

namespace {

// Word code of the 3 letters starting at i, or -1.
int Triplet(const std::string& s, size_t i)
{
    int a = NucleotideCode(s[i]), b = NucleotideCode(s[i + 1]), c = NucleotideCode(s[i + 2]);
    return a < 0 || b < 0 || c < 0 ? -1 : a * 16 + b * 4 + c;
}

}  // namespace

long MaskLowComplexity(std::string* seq, double threshold)
{
    const std::string& s = *seq;
    if (s.size() < (size_t)kDustWindow)
        return 0;
    const size_t words = kDustWindow - 2;   // 3-letter words of one window
    std::vector<int> count(64, 0);
    long pairs = 0;   // sum of c (c - 1) / 2, kept as words enter and leave
    std::vector<bool> mask(s.size(), false);
    auto add = [&](int w) { if (w >= 0) pairs += count[w]++; };
    auto drop = [&](int w) { if (w >= 0) pairs -= --count[w]; };
    for (size_t i = 0; i < words; i++)
        add(Triplet(s, i));
    for (size_t start = 0;; start++) {
        if ((double)pairs / (words - 1) > threshold)
            for (size_t k = start; k < start + kDustWindow; k++)
                mask[k] = true;
        if (start + kDustWindow >= s.size())
            break;
        drop(Triplet(s, start));
        add(Triplet(s, start + words));
    }
    long masked = 0;
    for (size_t k = 0; k < s.size(); k++) {
        if (mask[k] && (*seq)[k] != 'N') {
            (*seq)[k] = 'N';
            masked++;
        }
    }
    return masked;
}
