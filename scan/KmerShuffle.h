// A shuffle that keeps the count of every k-mer of a sequence (letters A,
// C, G, T only), by a random Eulerian walk through the graph whose vertices
// are the (k-1)-mers and whose edges are the k-mers (Altschul and
// Erickson's construction, generalised to k). The walk starts at the first
// (k-1)-mer and ends at the last; each vertex's final exit is drawn as a
// uniformly random arborescence towards the last vertex (loop-erased random
// walks), every other exit order uniformly, so each sequence with the same
// k-mer counts and the same first k-1 letters is equally likely.
//
// Random draws: from the given generator only, Rng::next() reduced to
// 0 .. n-1 by rejection, in this order: the random walks of the
// arborescence (vertex by vertex in code order), then each vertex's exits
// shuffled by Fisher-Yates (vertex by vertex in code order). k = 1 is a
// plain Fisher-Yates shuffle of the letters.
#ifndef RUZARAVO_SCAN_KMERSHUFFLE_H
#define RUZARAVO_SCAN_KMERSHUFFLE_H

#include <string>

#include "base/Rng.h"

// Shuffles seq (A, C, G, T only; 1 <= k <= 6) keeping its k-mer counts.
std::string KmerShuffle(const std::string& seq, int k, Rng& rng);

// A uniform number 0 .. n-1 (n >= 1) from rng, by rejection.
int UniformBelow(Rng& rng, int n);

#endif
