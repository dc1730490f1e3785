// The four mappings of one rand() value to a number. Every random draw of a
// run comes from the C library's rand(), seeded once per run by the sampling
// driver; each call site names the mapping its step uses so that the
// sequence of draws reads like the algorithm.
#ifndef RUZARAVO_BASE_RANDOM_H
#define RUZARAVO_BASE_RANDOM_H

#include <cstdlib>

// (0, 1), open at both ends: initial widths and the Beta/Dirichlet draws.
inline double RandOpen() { return (rand() + 1.0) / 2147483649.0; }

// [0, 1], may be 0 and 1: acceptance tests and backward draws.
inline double RandClosed() { return rand() / 2147483647.0; }

// [0, 1), may be 0, never 1: coin flips of the width/phase moves, alignment.
inline double RandHalfOpen() { return rand() / 2147483648.0; }

// 0 .. n-1 for n >= 1: initial placement and module-length move choice.
inline int RandBelow(int n) { return rand() % n; }

#endif
