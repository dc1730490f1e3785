// Known-factor matches with significance, after Tomtom (Gupta et al.,
// Genome Biology 2007): which library matrices a found motif resembles,
// and how surprising each resemblance is.
//
// Column score: the Pearson correlation of a found column and a library
// column (ColumnPearson; scale-free, so counts and probabilities compare
// alike), in -1..1. Every placement of a library matrix against the found
// motif, on both strands, that lines up at least min(5, width of the
// shorter of the two) columns is scored by the sum of its column scores.
//
// Null: the library's own columns. For each found column the scores
// against every library column, forward and complemented, form its null
// distribution; a placement's sum is compared with the distribution of the
// sum of independent draws for exactly the found columns it covers,
// computed exactly by convolution after rounding each score to a grid of
// 0.02 (the observed sum is rounded the same way). A placement of few
// columns thus needs higher column scores than a long one to reach the same
// p-value: short partial overlaps no longer outrank full-length matches.
//
// Per library matrix the placement with the smallest p-value wins (ties:
// forward strand before reverse, smaller offset first); its p-value is
// corrected for the n placements tried as 1 - (1 - p)^n. E = p x the number
// of library matrices; q is the Benjamini-Hochberg q-value over the
// library's p-values for that found motif. Nothing here draws a random
// number; results depend only on the inputs.
#ifndef RUZARAVO_ANALYSIS_KNOWNMATCHES_H
#define RUZARAVO_ANALYSIS_KNOWNMATCHES_H

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/MotifSimilarity.h"
#include "io/MatrixFile.h"

// One matrix of the known-factor library.
struct KnownFactor {
    std::string id;        // library id (JASPAR: the matrix id, MA0049.1)
    std::string name;      // factor name (hb), may be empty
    MotifProfile columns;  // A C G T counts or probabilities per column
};

// The matrices of a matrix file (ReadMatrixFile) as a library, in file order.
std::vector<KnownFactor> KnownFactorsOf(const std::vector<MotifMatrix>& matrices);

// The best placement of one library matrix against one found motif.
struct KnownMatch {
    std::size_t motif = 0;    // the found motif's position in the list matched
    std::size_t library = 0;  // the library matrix's position in the library
    std::string id;           // the library matrix's id and name
    std::string name;
    int offset = 0;           // library column j (as oriented) faces found column j + offset
    bool forward = true;      // false: the library matrix is reverse-complemented
    int overlap = 0;          // aligned column pairs
    double score = 0;         // mean column Pearson correlation of the placement, -1..1
    double p = 1;             // p-value, corrected for the placements tried
    double e = 1;             // p x library size
    double q = 1;             // Benjamini-Hochberg q-value over the library
};

// Fewest columns a placement lines up, unless one of the motifs is shorter.
const int kMinKnownOverlap = 5;

// Q-value threshold Tomtom applies by default; the callers' usual choice.
const double kKnownMatchMaxQ = 0.5;

// The library with its column pool, built once for any number of found motifs.
class KnownMatcher {
public:
    explicit KnownMatcher(std::vector<KnownFactor> library);

    // Every library matrix's best placement against the found motif (its
    // position in the caller's list is `motif`), smallest p first (ties:
    // library order). Matrices without columns are left out and not
    // counted in the library size; an empty found motif matches nothing.
    std::vector<KnownMatch> Match(const MotifProfile& found, std::size_t motif) const;

    const std::vector<KnownFactor>& Library() const { return m_Library; }

    // A column less its mean, with the sum of squares of the differences.
    struct Centred {
        MotifColumn d{};
        double ss = 0;
    };

private:
    struct Tails;
    void ScoreColumns(const MotifProfile& found, std::vector<double>& scores, std::vector<int>& bins) const;
    KnownMatch BestPlacement(std::size_t entry, int width, const std::vector<double>& scores,
                             const std::vector<int>& bins, const Tails& tails) const;

    std::vector<KnownFactor> m_Library;
    std::vector<Centred> m_Pool;         // every library column, then every column complemented
    std::vector<std::size_t> m_Start;    // first pool column of each library matrix
    std::size_t m_Matched = 0;           // library matrices with at least one column
    int m_MaxWidth = 0;                  // columns of the widest library matrix
};

// The matches of every found motif whose q-value is at most maxQ, in the
// order of the found motifs, each motif's smallest p first.
std::vector<KnownMatch> MatchKnownFactors(const std::vector<MotifProfile>& found, const KnownMatcher& matcher,
                                          double maxQ = kKnownMatchMaxQ);

#endif
