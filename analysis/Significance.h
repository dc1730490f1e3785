// Significance helpers shared by the motif, module and match statistics:
// Fisher's exact test on two counts of sequences and Benjamini-Hochberg
// q-values. Everything in natural logs where p-values can be tiny.
//
// No random draws.
#ifndef RUZARAVO_ANALYSIS_SIGNIFICANCE_H
#define RUZARAVO_ANALYSIS_SIGNIFICANCE_H

#include <vector>

// Natural log of Fisher's one-sided exact p-value that a of n1 input
// sequences and b of n2 control sequences holding a site show the input
// enriched: P(X >= a) for X hypergeometric (a + b positives among n1 + n2,
// n1 drawn). 0 (p = 1) when a is 0.
double FisherUpperLogP(int a, int n1, int b, int n2);

// Benjamini-Hochberg q-values of the p-values, in their order: q_i is the
// smallest p_j m / rank_j over the p_j >= p_i, at most 1, with m the
// number of p-values.
std::vector<double> BenjaminiHochberg(const std::vector<double>& p);

// The same among `tests` tests (tests >= p.size()): the tests not given
// count as p = 1, so m = tests (the scans' tiles without a call).
std::vector<double> BenjaminiHochberg(const std::vector<double>& p, long long tests);

#endif
