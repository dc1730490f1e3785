// DUST-style masking of low-complexity stretches (poly-A, microsatellites,
// simple repeats), which a motif finder otherwise prefers to real factors:
// they are frequent, so a wide matrix of them explains many letters.
//
// A window of kDustWindow letters scores sum_t c_t (c_t - 1) / 2 / (l - 1)
// over its l overlapping 3-letter words, c_t the count of word t (the score
// of Morgulis et al. 2006). A random window scores about 0.5, one of 70 %
// A/T about 0.8; a poly-A 31, a dinucleotide repeat 15, a trinucleotide
// repeat 10, a repeat of four different words 7.4, of five 5.8.
// Every window scoring above the threshold is masked whole. The default
// threshold catches repeats of a period up to four (dustmasker's level 20
// leaves all but homopolymers in windows this short). Windows holding
// letters other than A, C, G, T count only their words of A, C, G, T.
//
// No random draws.
#ifndef RUZARAVO_ANALYSIS_LOWCOMPLEXITY_H
#define RUZARAVO_ANALYSIS_LOWCOMPLEXITY_H

#include <string>

const int kDustWindow = 64;
const double kDustThreshold = 7.0;

// Replaces the letters of every low-complexity window with N; returns how
// many letters it masked.
long MaskLowComplexity(std::string* seq, double threshold = kDustThreshold);

#endif
