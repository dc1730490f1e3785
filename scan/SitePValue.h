// The p-value of a site's word, as FIMO gives one: the chance that a word
// drawn letter by letter from the target's letter frequencies q scores at
// least as high under the matrix, one strand, with the score sum_i
// ln(m_i(x_i) / q(x_i)). Scores are counted in steps of 0.001 (each column's
// term rounded to whole thousandths), which makes the distribution an exact
// sum over a few thousand values per column instead of 4^width words; the
// word's own score is rounded the same way, so its p-value is exact for the
// rounded scores. Makes no random draws.
#ifndef RUZARAVO_SCAN_SITEPVALUE_H
#define RUZARAVO_SCAN_SITEPVALUE_H

#include <array>
#include <vector>

class SitePValue {
public:
    SitePValue() = default;
    // logs: width x 4 natural logs of the matrix probabilities; q: letter
    // frequencies A, C, G, T (each above 0).
    SitePValue(const std::vector<double>& logs, const std::array<double, 4>& q);

    // P(score >= score of the word); codes[i] in 0..3 for column i.
    double PValue(const unsigned char* codes) const;
    // The same for the word read on the other strand: codes are the
    // forward letters, the site's column i is the complement of codes[w-1-i].
    double PValueReverse(const unsigned char* codes) const;

private:
    double Tail(long long score) const;
    int m_width = 0;
    std::vector<int> m_steps;       // width x 4 rounded column terms, thousandths
    long long m_min = 0;            // lowest possible sum
    std::vector<double> m_tail;     // m_tail[s - m_min] = P(sum >= s)
};

#endif
