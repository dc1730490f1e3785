// The four mappings of one generator value (0 .. 2147483647) to a number.
// Every random draw of a run comes from the run's own generator (base/Rng.h,
// the rand() stream of the C library), seeded once per run by the sampling
// driver; each call site names the mapping its step uses so that the
// sequence of draws reads like the algorithm.
#ifndef RUZARAVO_BASE_RANDOM_H
#define RUZARAVO_BASE_RANDOM_H

#include "base/Rng.h"

// (0, 1), open at both ends: initial widths and the Beta/Dirichlet draws.
inline double RandOpen(Rng& rng) { return (rng.next() + 1.0) / 2147483649.0; }

// [0, 1], may be 0 and 1: acceptance tests and backward draws.
inline double RandClosed(Rng& rng) { return rng.next() / 2147483647.0; }

// [0, 1), may be 0, never 1: coin flips of the width/phase moves, alignment.
inline double RandHalfOpen(Rng& rng) { return rng.next() / 2147483648.0; }

// 0 .. n-1 for n >= 1: initial placement and module-length move choice.
inline int RandBelow(Rng& rng, int n) { return rng.next() % n; }

#endif
