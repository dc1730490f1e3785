// The two recursion steps that the reference passes (sampler/Reference.cpp)
// and the fast passes (ForwardLanes, SiteForwardLanes) share, written once
// so that both take the same additions in the same order:
//   SiteEndStep    "a site ends here": at the window's (jj + 1)-th letter,
//                  the term of one motif's site ending there, LogSummed into
//                  the forward value f[jj] (module-model pass A, site pass F),
//                  from the site's log-likelihood and mixing log (SiteLogPr,
//                  SiteMixLog; the module lanes read their two-strand sums
//                  directly, as they always have them);
//   ModuleEndStep  "a module ends here": at position t of a sequence, the
//                  module score B[t] and the two ways letters 0 .. t end
//                  (background letter or module), LogSummed into C[t].
// Each returns the LogSum begun (LogSumStart); LogSumFinish of it is the new
// value, the bits of LogSum. A fast pass begins the sums of several lanes
// before finishing any, so their exp/log latencies overlap.
#ifndef RUZARAVO_SAMPLER_FORWARDSTEP_H
#define RUZARAVO_SAMPLER_FORWARDSTEP_H

#include "base/Helpers.h"
#include "sampler/SweepWork.h"

// The log-likelihood of motif k's site whose last letter is at table row
// `row` (sequence position p): the forward column or, with both strands, the
// LogSum of the two strand columns, read from the sequence's two-strand sums
// (strand[p K + k]) when they are given, else taken here.
inline double SiteLogPr(const double* row, const double* strand, long p, int K, int k, bool both)
{
    if (!both)
        return row[2 * k];
    return strand ? strand[p * K + k] : LogSum(row[2 * k], row[2 * k + 1]);
}

// The mixing log of a site of motif k: ln pi[k], or ln pi[k] + ln 0.5 when
// the site may lie on either strand.
inline double SiteMixLog(const MixLogTerms& mix, int k, bool both)
{
    return both ? mix.lnPiHalf[k] : mix.lnPi[k];
}

// f[jj] LogSum (a site of width w, log-likelihood site and mixing log
// lnMix, ends at the window's (jj + 1)-th letter), begun. The letters of
// the window before the site (f[jj - w]) are added when there are any. The
// caller checks that the site fits: jj + 1 >= w.
inline LogSumParts SiteEndStep(double site, double lnMix, const double* f, int jj, int w)
{
    double x = site + lnMix;
    if (jj + 1 > w)
        x = x + f[jj - w];
    return LogSumStart(f[jj], x);
}

// Sets B[t] (the module ending at t: A[t] - A[t - Lm], or A[t] for the
// first), and returns C[t] begun: the letter at t is background (ln(1 - rho)
// + C[t - 1] + its background log-probability bg) or a module ends at t
// (ln rho + B[t], + C[t - Lm] when letters lie before it). t >= Lm - 1 >= 1.
inline LogSumParts ModuleEndStep(const double* A, double* B, const double* C, double bg, double lnRho,
                                 double lnNotRho, int t, int Lm)
{
    B[t] = t == Lm - 1 ? A[t] : A[t] - A[t - Lm];
    double x1 = lnNotRho + C[t - 1] + bg;
    double x2 = lnRho + B[t];
    if (t > Lm - 1)
        x2 = x2 + C[t - Lm];
    return LogSumStart(x1, x2);
}

#endif
