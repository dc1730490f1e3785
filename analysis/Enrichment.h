// Enrichment of a reported motif in the input against control sequence.
//
// Each motif becomes a log-odds matrix (its reported site counts plus half a
// count per letter, against the input's letter frequencies); its threshold is
// the lowest score among its reported sites. Every window of the motif's
// width made only of A, C, G, T is a trial, a hit when its score on the
// forward strand (or, when both strands are searched, on either strand)
// reaches the threshold. The rate of hits per window is compared between
// the input and the control: the ratio uses one added hit on each side (so
// it is finite), and the p-value is one-sided binomial, the chance that at
// least the input's hits fall in the input when all hits of both sets are
// spread over their windows in proportion.
//
// The default control is the input shuffled preserving its dinucleotides
// (Altschul-Erickson, each stretch between letters other than A, C, G, T
// shuffled on its own, those letters kept in place), with a fixed seed from a
// generator of its own: the sampler's random draws are untouched and every
// run gives the same control.
#ifndef RUZARAVO_ANALYSIS_ENRICHMENT_H
#define RUZARAVO_ANALYSIS_ENRICHMENT_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "results/RunResult.h"

// The fixed seed of the default control.
constexpr uint64_t kControlShuffleSeed = 20051205;

// seq shuffled preserving the count of every dinucleotide, its first and
// last letter and the place of every letter other than A, C, G, T.
std::string ShuffleDinucleotides(const std::string& seq, uint64_t seed);

// Log10 of P(X >= k) for X binomial(n, p); 0 when k <= 0.
double BinomialUpperLog10(long long k, long long n, double p);

// Measures motif m of a run on the input and control letters.
EnrichmentResult MeasureEnrichment(const MotifResult& m, const std::array<double, 4>& bgFreqs,
                                   const std::vector<std::string>& input,
                                   const std::vector<std::string>& control, bool bothStrands);

// Records of seqs holding at least one window at or above the threshold of
// m's enrichment result e (e.threshold from MeasureEnrichment).
int RecordsWithHit(const MotifResult& m, const EnrichmentResult& e, const std::array<double, 4>& bgFreqs,
                   const std::vector<std::string>& seqs, bool bothStrands);

// Measures every printed motif of r and marks r as measured (the writers
// then show enrichment); a motif whose ratio is below minRatio is no
// longer printed (its sites leave the result file and the module lines).
// control empty: the input shuffled with kControlShuffleSeed.
void AddEnrichment(RunResult* r, const std::vector<std::string>& input, std::vector<std::string> control,
                   double minRatio);

#endif
