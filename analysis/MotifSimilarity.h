// Similarity of two motifs, independent of where the motifs come from.
//
// A motif is a list of columns, each holding four non-negative numbers for
// A, C, G, T (counts or probabilities: the Pearson correlation of a column
// does not change when the column is rescaled). Two motifs are compared by
// sliding one along the other on both strands: every placement that lines
// up at least `minOverlap` columns is scored by the mean Pearson correlation
// of its aligned column pairs, and the best placement wins. A column whose
// four numbers are all equal has no spread, so its correlation with any
// column counts as 0. Ties keep the first placement in the order: forward
// strand before reverse, smaller offset before larger.
#ifndef RUZARAVO_ANALYSIS_MOTIFSIMILARITY_H
#define RUZARAVO_ANALYSIS_MOTIFSIMILARITY_H

#include <cstddef>
#include <vector>

#include "results/MotifMatrix.h"   // MotifColumn, MotifProfile

// The best placement of motif b against motif a.
struct MotifAlignment {
    bool found = false;    // false when no placement lines up minOverlap columns
    double score = 0;      // mean column Pearson correlation, -1 .. 1
    int offset = 0;        // b's column j (as oriented) faces a's column j + offset
    bool forward = true;   // false: b is reverse-complemented
    int overlap = 0;       // aligned column pairs
};

const int kMinMotifOverlap = 5;

// The motif read on the other strand: columns reversed, A<->T and C<->G.
MotifProfile ReverseComplement(const MotifProfile& m);

// Pearson correlation of two columns; 0 when either has no spread.
double ColumnPearson(const MotifColumn& x, const MotifColumn& y);

MotifAlignment CompareMotifs(const MotifProfile& a, const MotifProfile& b,
                             int minOverlap = kMinMotifOverlap);

// One entry of a ranking: which library motif, and how it aligns.
struct RankedMatch {
    std::size_t index = 0;   // position in the library
    MotifAlignment alignment;
};

// The best `count` library motifs for the query, highest score first (ties:
// earlier library entry first). Library motifs that cannot be aligned are
// left out, so fewer than `count` may come back.
std::vector<RankedMatch> BestMatches(const MotifProfile& query, const std::vector<MotifProfile>& library,
                                     std::size_t count, int minOverlap = kMinMotifOverlap);

#endif
