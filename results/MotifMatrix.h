// A motif record's counts read as numbers per letter: the one place where
// counts become frequencies, so that every output states which rule it uses.
//
// The counts of a column sum to the motif's number of sites less the site
// letters outside A, C, G, T (an ambiguity code is counted in no row), so
// "divide by the sites" and "divide by the column" are not the same rule:
// - SiteFraction (count / sites): the result file, motifs.meme and
//   summary.json ("matrix", information content). These files print the
//   number of sites beside the matrix, and a row tells what share of those
//   sites carry each letter; a column with ambiguity letters sums to less
//   than 1 there, as these files have always printed it.
// - ColumnFrequencies (count / column total, 0.25 each in an empty column):
//   the HTML report's logos and its motif comparisons (the agreement of runs
//   and the best known matches), because a logo's height is the entropy of a
//   distribution, whose column must sum to 1.
// - SmoothedFraction ((count + 0.5) / (sites + 2)): the enrichment scores,
//   so that a letter no site shows scores a finite log-odds.
// - CountProfile (the counts themselves): chain clustering and the chains'
//   logos; the column Pearson correlation and a logo's letter shares do not
//   change when a column is scaled, so no division is made at all.
// Each function performs exactly the arithmetic its outputs always did, so
// the printed digits do not change.
#ifndef RUZARAVO_RESULTS_MOTIFMATRIX_H
#define RUZARAVO_RESULTS_MOTIFMATRIX_H

#include <array>
#include <vector>

#include "results/RunResult.h"

using MotifColumn = std::array<double, 4>;   // A C G T
using MotifProfile = std::vector<MotifColumn>;

// counts[col][b] / siteCount (the motif must have sites).
inline double SiteFraction(const MotifResult& m, int col, int b)
{
    return m.counts[col][b] / (double)m.siteCount;
}

// (counts[col][b] + 0.5) / (siteCount + 2).
inline double SmoothedFraction(const MotifResult& m, int col, int b)
{
    return (m.counts[col][b] + 0.5) / (m.siteCount + 2.0);
}

// Per column: counts / the column's total; 0.25 each when the total is 0.
MotifProfile ColumnFrequencies(const MotifResult& m);

// The counts as they are, one column per row.
MotifProfile CountProfile(const MotifResult& m);

#endif
