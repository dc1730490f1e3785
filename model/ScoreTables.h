// Lookup tables for scoring every word of the input against the K weight
// matrices, rebuilt whenever the matrices change (once per sweep).
//
// A word's score is the sum 0.0 + ln m[0][c0] + ln m[1][c1] + ..., added
// left to right. Its first terms depend only on the word's first letters,
// so the partial sums of every possible prefix of `depth` letters are
// computed once, each by the same additions in the same order (the table
// entry of prefix c0..c(d-1) is the entry of c0..c(d-2) plus ln m[d-1][c]),
// and a word's score continues from its prefix's entry. The bits are those
// of adding every term in turn; the work per word drops from its width to
// one lookup plus the letters past the prefix.
#ifndef RUZARAVO_MODEL_SCORETABLES_H
#define RUZARAVO_MODEL_SCORETABLES_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Deepest prefix table: 4^10 doubles (8 MB) per motif.
constexpr int kMaxPrefixDepth = 10;
// The tables of all motifs together stay within this many doubles (256 KB),
// so that their lookups, which jump around, hit a near cache.
constexpr long long kPrefixTableDoubles = 32768;

struct ScoreTables {
    std::vector<double> logs;           // ln of every matrix entry; motif k's rows from offset[k]
    std::vector<int> offset;            // K + 1
    std::vector<int> depth;             // K: letters covered by motif k's prefix table (>= 1)
    std::vector<size_t> prefixOffset;   // K + 1: where motif k's 4^depth[k] partial sums start
    std::vector<double> prefix;         // the partial sums, prefix index c0 c1 .. in base 4, c0 highest
    int maxDepth = 1;                   // largest depth[k]
};

// Deepest prefix worth building for K motifs over an input of `letters`
// letters: building a table of depth d costs about 4^d / 0.75 additions per
// motif, so 4^d stays at most the letters scored with it, and K 4^d at most
// kPrefixTableDoubles (1 .. kMaxPrefixDepth).
int PrefixDepthFor(long long letters, int K);

// Fills t->prefix, prefixOffset, depth and maxDepth from t->logs and
// t->offset for motifs of the given widths, with depths of at most cap.
void BuildPrefixSums(const int* widths, int K, int cap, ScoreTables* t);

// Scratch space of one thread scoring one sequence: letter codes of the
// sequence and of its complement, the rolling prefix indices and the last
// N at or before each position.
struct ScoreScratch {
    std::vector<unsigned char> codes;    // 2 n: codes, then complement codes
    std::vector<uint32_t> grams;         // 2 n: forward, then reverse-complement prefix indices
    std::vector<int> lastN;              // n (at least 1)
};

#endif
