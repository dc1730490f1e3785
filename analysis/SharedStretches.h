// Stretches shared by two input sequences: an enhancer given twice, two
// overlapping enhancers, a promoter in two records. A shared stretch counts
// its sites twice and draws the sampler to whatever it holds, so it is found
// before the runs and, on request, its later copy is masked.
//
// A stretch is an ungapped alignment of at least kMinSharedLength letters at
// kMinSharedIdentity identity or more between a later record and an earlier
// one, on either strand (repeats inside one record are left alone). Alignments
// are seeded by exact words of kSeedLength letters (any 50 letters at 95 %
// identity hold at most two mismatches and so an exact run of at least 16)
// and extended along their diagonal with match +1 and mismatch -19, the
// score that stays positive exactly while identity stays at 95 % or above;
// an extension stops once the score falls 40 below its best (an X-drop).
// Words holding letters other than A, C, G, T and words found more than
// kMaxSeedHits times in all records seed nothing, and a stretch holding
// fewer than kMinDistinctTriplets different 3-letter words is a simple
// repeat (poly-A, microsatellites), not a duplicate: a random stretch of 50
// letters holds about 34 of the 64.
//
// No random draws; the result depends only on the letters and their order.
#ifndef RUZARAVO_ANALYSIS_SHAREDSTRETCHES_H
#define RUZARAVO_ANALYSIS_SHAREDSTRETCHES_H

#include <string>
#include <vector>

const int kMinSharedLength = 50;
const double kMinSharedIdentity = 0.95;
const int kSeedLength = 12;
const int kMaxSeedHits = 64;
const int kMinDistinctTriplets = 16;

struct SharedStretch {
    int first = 0;         // index of the earlier record
    int firstStart = 0;    // 0-based start of the stretch in it
    int second = 0;        // index of the later record (the copy that is masked)
    int secondStart = 0;   // 0-based start in the later record
    int length = 0;        // letters aligned
    bool reverse = false;  // the later copy is the reverse complement
    double identity = 0;   // share of the aligned letters that agree
};

// Every shared stretch, ordered by later record, then by its start there;
// overlapping alignments of the same pair of copies are merged into the
// longest one.
std::vector<SharedStretch> FindSharedStretches(const std::vector<std::string>& seqs);

// Replaces the later copy of each stretch with N, so it is counted once.
// Returns the number of letters masked.
long MaskLaterCopies(const std::vector<SharedStretch>& stretches, std::vector<std::string>* seqs);

#endif
