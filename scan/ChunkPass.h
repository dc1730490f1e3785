// The scan of one chunk of one sequence: motif log-odds at every position,
// the module-model prefix pass, forward-backward over the segmentation into
// background letters and module windows, the per-position module
// probability, the module calls and, inside each called window, the exact
// site pass with the sites' posteriors. For the null it gives instead, per
// tile of L window starts, the log-likelihood ratio of the tile's best
// window.
//
// Model and recursions (all natural-log odds against the background chain):
// - background of a letter: the chain's probability in its context; with a
//   local range R, reweighted by the composition of the letters within R on
//   either side: P(b | context) x w(b) / sum_c P(c | context) w(c), w(c) the
//   local frequency of c (both strands, kLocalPrior letters of the chain's
//   own frequencies added) over the chain's. A motif is then judged against
//   the sequence around it, so a GC-rich exon does not read as a cluster of
//   GC-rich sites in an AT-rich genome;
// - site term of motif k ending at p: LogSum(forward, reverse log-odds) +
//   ln(site rate / 2); kScanNoSite where the word would start before the
//   chunk or holds a letter other than A, C, G, T;
// - prefix pass over the chunk as one long module: A[j] = LogSum(lnBgIn +
//   A[j-1], site term of k at j + A[j-w_k] for each k), as the sampler's
//   module pass, and the same pass from the right, S[j] for the letters j ..
//   n-1. The sampler scores the window s .. t as A[t] - A[s-1], which also
//   credits sites that straddle s (a window whose edge cuts a strong site
//   scores nearly as if it held it). The tilings of 0 .. t with a unit
//   boundary at s are exactly A[s-1] times the window's own, and the
//   probability of that boundary is, up to letters past t whose effect
//   across L letters vanishes, exp(A[s-1] + S[s] - A[n-1]); so the window
//   scores R[t] = A[t] + S[s] - A[n-1], the window's own likelihood ratio to
//   within rounding, for 2K LogSums per letter in all;
// - segmentation: a module ends at t with probability rho or the letter at
//   t is background with 1 - rho (positions before L - 1 are background
//   without a factor); forward Cf and backward Db give the posterior that a
//   window starts at s, P(s) = exp(ln rho + R[s+L-1] + Cf[s-1] + Db[s+L-1] -
//   Z), Z = Cf[n-1];
// - module probability of a letter: the sum of P(s) over the L windows that
//   cover it, which is what the result file's tally counts per position;
// - calls: a window is called where letters it covers have a module
//   probability above 0.5 (the result file's rule: a letter is in a module
//   when more than half the posterior puts it there) and its start
//   posterior P(s) is the highest within L - 1 starts on either side (ties
//   go to the leftmost). Called windows therefore never overlap, a stretch
//   above 0.5 of m letters gets about m / L of them as the result file
//   counts modules, and whether s is called depends only on P within L of
//   s, so chunks agree about it;
// - a called window is scored exactly by the site pass over its own L
//   letters (forward F and backward G, the mixing factor at every letter);
//   F[L-1] is its log-likelihood ratio, and the posterior of a site of
//   motif k on one strand is exp(F[before] + site term + G[end] - F[L-1]);
//   a site of k at a place is reported when its two strands together reach
//   0.5 (a palindrome splits its weight between them), on the likelier
//   strand; two reported sites never overlap, as they exclude each other.
//
// Everything a call or a site reports depends only on letters within the
// window, the chain's context before it and the R letters on either side,
// so it is the same in every chunk that holds the window with R letters to
// spare (the caller keeps R within the chunk overlap); the module probability depends on the chunk
// edges only through the forgetting of the forward and backward passes,
// which the overlap of neighbouring chunks covers.
//
// The workspace grows to the largest chunk and is reused: nothing is
// allocated per position. Makes no random draws.
#ifndef RUZARAVO_SCAN_CHUNKPASS_H
#define RUZARAVO_SCAN_CHUNKPASS_H

#include <vector>

#include "scan/ScanModel.h"

// Module probabilities below this are left out of the bedGraph.
const double kModPrFloor = 0.01;
// Sites at or above this posterior are reported.
const double kSitePosteriorMin = 0.5;

struct ScanSite {
    int motif = 0;
    long long start = 0;     // 0-based, in the sequence
    bool forward = true;
    double logOdds = 0.0;    // the word's log-odds against the background
    double posterior = 0.0;  // both strands together
    double p = 1.0;          // the word's p-value (SitePValue), on its strand
};

struct ScanCall {
    long long start = 0;     // window start, 0-based, in the sequence
    double llr = 0.0;        // module model against background over the window, natural log
    double startPr = 0.0;    // posterior that a module starts exactly here
    double maxPr = 0.0;      // highest module probability of a letter in the window
    std::vector<ScanSite> sites;
};

// A stretch of letters with one module probability, in thousandths.
struct PrRun {
    long long start = 0, end = 0;   // 0-based, end exclusive
    int milli = 0;
};

// What a chunk gives for the letters (or window starts) it owns.
struct ChunkResult {
    std::vector<ScanCall> calls;
    std::vector<PrRun> prRuns;
    std::vector<double> tileBest;   // null only: per owned tile, its best window's ratio
};

class ChunkPass {
public:
    // Scans x[0 .. n) (n >= L), which lies at offset in its sequence;
    // reports the windows starting in [ownStart, ownEnd) (sequence
    // coordinates) and the module probability of the letters there.
    void Scan(const ScanModel& m, const char* x, int n, long long offset, long long ownStart, long long ownEnd,
              ChunkResult* out);

    // Null: the best window of each tile of L starts, tiles counted from the
    // sequence start, for the tiles starting in [ownStart, ownEnd) whose
    // windows lie inside x.
    void ScanNull(const ScanModel& m, const char* x, int n, long long offset, long long ownStart, long long ownEnd,
                  ChunkResult* out);

    // Exact site pass over the window starting at chunk index s; fills F
    // (and G unless ratioOnly) and returns the window's log-likelihood ratio.
    double WindowPass(const ScanModel& m, int s, bool ratioOnly = false);

    // R[t] of the last Scan or ScanNull: the window ending at t from the
    // prefix and suffix passes.
    double WindowScore(int t, int L) const;

private:
    void ScoreMotifs(const ScanModel& m, const char* x, int n);
    void LocalComposition(const ScanModel& m);
    void PrefixPass(const ScanModel& m);
    void Segmentation(const ScanModel& m);
    void MarkPeaks(int L);
    bool IsCall(int s, int L) const;
    void AddCall(const ScanModel& m, int s, long long offset, ChunkResult* out);
    void AddPrRuns(int from, int to, long long offset, ChunkResult* out);

    int m_n = 0;
    const char* m_x = nullptr;
    std::vector<unsigned char> m_code;   // n: A 0, C 1, G 2, T 3, 4 for any other letter
    std::vector<int> m_lastBad;          // n: last index <= p whose letter is not A, C, G, T (-1 if none)
    std::vector<double> m_bg;            // n: background log-probability of each letter
    std::vector<int> m_counts;           // 4 (n + 1): A, C, G, T letters before each index
    std::vector<double> m_term;          // K x n: site term of motif k ending at p
    std::vector<double> m_prefix;        // n: A
    std::vector<double> m_suffix;        // n + 1: S, S[n] = 0
    std::vector<double> m_fwd, m_bwd;    // n: Cf, Db
    std::vector<double> m_startPr;       // n - L + 1: P(s)
    std::vector<double> m_cum;           // n - L + 2: prefix sums of P(s)
    std::vector<double> m_cover;         // n: module probability of each letter
    std::vector<double> m_F, m_G;        // L: window pass
    std::vector<double> m_lead, m_trail; // n - L + 1: largest P over the next / the previous L - 1 starts, s included
    std::vector<double> m_coverMax;      // n: largest module probability over the L letters from p
    std::vector<int> m_deque;            // n: scratch of the running maxima
};

#endif
