// Numeric and DNA-word helpers shared by the sampler and its readers.
//
// All are pure functions: no state, no random draws. Letter code: A = 0,
// C = 1, G = 2, T = 3, every other character 0. Several sampling steps rely
// on the exact tie-breaks and cut-offs documented here.
#ifndef RUZARAVO_BASE_HELPERS_H
#define RUZARAVO_BASE_HELPERS_H

#include <cmath>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/CString.h"

// Below this, LogSum ignores the smaller term entirely.
const double kLogSumCut = -300.0;

// Letter code of one character: A 0, C 1, G 2, T 3, anything else 0.
inline int LetterCode(char c)
{
    switch (c) {
    case 'C': return 1;
    case 'G': return 2;
    case 'T': return 3;
    default: return 0;
    }
}

// Code of a nucleotide: A 0, C 1, G 2, T 3, and -1 for anything else (N,
// ambiguity letters), for the models that must tell a letter from a gap.
inline int NucleotideCode(char c)
{
    switch (c) {
    case 'A': return 0;
    case 'C': return 1;
    case 'G': return 2;
    case 'T': return 3;
    default: return -1;
    }
}

// Complement of one character: A<->T, C<->G, R<->Y; everything else unchanged.
char Complement(char c);

CString Reverse(CString word);        // reverse complement
int WordCode(CString word);           // base-4 number, first letter most significant
int Sum(int* a, int n);               // 0 when n <= 0
int Minimum(int* a, int n);           // index of the first smallest; 0 when n <= 1
int Maximum(double* a, int n);        // index of the first largest; 0 when n <= 1
double logGamma(int n);               // ln((n-1)!), summed from ln(n-1) down to ln 2; 0 for n <= 2
CString ReadData(CString line, int skip, int n, double* out);
int intpow(int a, int n);             // a^n by repeated multiplication; 1 when n <= 0

// ln(exp(a) + exp(b)), stable: hi + ln(exp(lo - hi) + 1), or hi alone when
// lo is more than 300 below it. Inline: the forward passes call it for every
// position and motif.
//
// It comes in two halves so that a caller with many independent sums can
// take all their exps, then all their logs: within one sum the log waits
// for the exp, and glibc's calls are long enough that the processor cannot
// look past one sum to the next. LogSum(a, b) is LogSumFinish(LogSumStart(a,
// b)), the same operations in the same order either way.
struct LogSumParts {
    double hi;   // the larger term
    double e;    // exp(lo - hi), or -1 when lo - hi is at or below the cut
};

// hi and lo are picked without a branch where the machine has the
// instructions (maxsd/minsd give exactly "b if b > a, else a" and "a if
// a < b, else b"): which strand of a position scores higher is a coin toss
// that a branch predictor misses half the time.
inline LogSumParts LogSumStart(double a, double b)
{
#ifdef __SSE2__
    const double hi = _mm_cvtsd_f64(_mm_max_sd(_mm_set_sd(b), _mm_set_sd(a)));
    const double lo = _mm_cvtsd_f64(_mm_min_sd(_mm_set_sd(a), _mm_set_sd(b)));
#else
    const double hi = b > a ? b : a;
    const double lo = b > a ? a : b;
#endif
    const double d = lo - hi;
    return {hi, d > kLogSumCut ? exp(d) : -1.0};
}

inline double LogSumFinish(LogSumParts p)
{
    return p.e < 0.0 ? p.hi : p.hi + log(p.e + 1.0);
}

inline double LogSum(double a, double b)
{
    return LogSumFinish(LogSumStart(a, b));
}

#endif
