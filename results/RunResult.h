// What one sampler run found, as plain data.
//
// The sampler computes a RunResult; writers turn results into files (the
// result file and its module-probability companion, the standard formats of
// the output folder, the HTML report). Nothing here refers to the sampler's
// own structures, so a writer can be tested on a hand-made result.
//
// Coordinates are 0-based letter indices into the sequence as read. A
// module's `end` is exclusive (the first position after it); `printedEnd`
// is the number the result file shows, which is the first position whose
// module probability fell below one half, or the last letter when the
// module runs to the end of its sequence.
#ifndef RUZARAVO_RESULTS_RUNRESULT_H
#define RUZARAVO_RESULTS_RUNRESULT_H

#include <array>
#include <string>
#include <vector>

// One input sequence as the run read it.
struct SequenceResult {
    std::string name;                 // whole name line, '>' included, line break removed
    std::string id;                   // first word of the name, without '>'
    int length = 0;                   // letters
    std::array<long long, 4> acgt{};  // letters A, C, G, T (upper-cased)
    long long other = 0;              // every other letter (N, IUPAC codes, ...)
    std::vector<double> moduleProb;   // per position: share of recorded sweeps inside a module, 0..1
};

// One reported site of a motif.
struct SiteResult {
    int seq = 0;            // 0-based sequence index, FASTA order
    int start = 0;          // 0-based leftmost position on the forward strand
    bool forward = true;    // strand of the site
    std::string word;       // letters in the motif's direction (reverse complement on the minus strand)
    int count = 0;          // recorded sweeps in which the site was sampled (pooled over neighbours)
    double posterior = 0;   // count / recorded sweeps; pooling can take it above 1
};

// Enrichment of a motif's sites in the input against control sequence
// (measured only with --control or --min-enrichment; see analysis/Enrichment.h).
struct EnrichmentResult {
    bool measured = false;        // false: not asked for, or nothing to measure
    double threshold = 0;         // lowest log-odds score (natural log) of a reported site
    long long inputWindows = 0;   // windows of the motif's width scored in the input
    long long inputHits = 0;      // of them at or above the threshold
    long long controlWindows = 0;
    long long controlHits = 0;
    double ratio = 0;             // (inputHits + 1) / inputWindows over (controlHits + 1) / controlWindows
    double log10P = 0;            // log10 of the one-sided binomial p-value
};

// A motif measured on held-out records (--holdout; see analysis/HoldOut.h).
struct HeldOutResult {
    bool measured = false;        // false: nothing held out, or nothing to measure
    EnrichmentResult enrichment;  // hits in the held-out input against the held-out control
    double log10E = 0;            // log10 of p x motifs tried
    int inputRecords = 0;         // held-out input records
    int inputWithSite = 0;        // of them holding a hit
    int controlRecords = 0;
    int controlWithSite = 0;
};

// One motif: all K are present, `printed` says whether the result file
// shows its matrix and sites (3 or more reported sites) or "No sites found!".
struct MotifResult {
    int index = 0;                            // 0-based motif number k (the files say k + 1)
    bool printed = false;
    int width = 0;                            // columns
    int siteCount = 0;                        // reported sites; a count row sums to it less the ambiguity letters of its sites
    std::vector<std::array<int, 4>> counts;   // width rows of letter counts, A C G T
    std::string consensus;                    // per column the most frequent letter (earliest of A C G T on ties)
    std::vector<SiteResult> sites;            // sequence order, then position order as reported
    std::string seedMatrix;                   // name of the given matrix (-M) that seeded it, "" if none
    EnrichmentResult enrichment;              // with --control or --min-enrichment
    HeldOutResult heldOut;                    // with --holdout
    std::string dropReason;                   // why a found motif is not printed: "" or "heldout_evalue" (--select-evalue)
};

// The significance of a printed module at the run's final parameters
// (--module-stats; see scan/ModuleSignificance.h).
struct ModuleStats {
    bool measured = false;        // false: not asked for
    double score = 0;             // log-likelihood ratio of the module's best window, natural log
    double p = 1, q = 1;          // against the shuffled null; Benjamini-Hochberg over the input's tiles
    bool noMotif = false;         // flagged: the run printed no motif, so there is no module model
    bool negativeLogPMO = false;  // flagged: -B gave the run a negative log posterior model odds
    bool qAbove = false;          // flagged: q above the run's threshold
};

// What the module p- and q-values of a run rest on (--module-stats).
struct ModuleNullResult {
    bool measured = false;
    int tiles = 0;                // null tiles of L shuffled letters
    long long tests = 0;          // tiles of the input the q-values count
    double qThreshold = 0;        // q above it is flagged
    double siteRate = 0;          // the model's site rate per motif and letter inside a module
    int nullRuns = 0;             // discovery runs on shuffled input behind the null (0: the run's
                                  // own model scoring shuffled letters)
};

// One printed module.
struct ModuleResult {
    int seq = 0;          // 0-based sequence index
    int start = 0;        // first position in the module
    int end = 0;          // exclusive end
    int printedEnd = 0;   // end as the result file prints it (see the file comment)
    ModuleStats stats;    // with --module-stats
};

// Convergence of one sweep, kept in memory for the report.
struct SweepStat {
    double score = 0;          // collapsed log posterior of the sweep (natural log)
    int modules = 0;           // modules placed in the sweep
    std::vector<int> widths;   // K motif widths
};

struct RunResult {
    int run = 0;                      // 0-based run index within the process
    unsigned seed = 0;                // generator seed the run actually used
    std::string cmdLine;              // banner line, then every command-line word and a blank
    int sweeps = 0;                   // sweeps performed
    int burnIn = 0;                   // sweeps not recorded
    int recorded = 0;                 // sweeps added to the tallies: sweeps - burnIn
    int motifNum = 0;                 // K
    int moduleLength = 0;             // L at the end of the run (moves with -d)
    bool independent = false;         // -s: no module structure
    bool bothStrands = true;          // -r
    bool hasLogPMO = false;           // -B given
    double logPMO = 0;                // log posterior model odds (natural log)
    double cpuSeconds = 0;            // CPU time of the run
    std::array<double, 4> bgFreqs{};  // background letter frequencies A C G T of the input
    int bgOrder = 1;                  // order k of the background chain the run scored letters with
    std::vector<std::vector<double>> bgChain;   // k + 1 tables: P_j(b | context) at 4 * context + b, j = 0..k
    bool enrichment = false;          // --control or --min-enrichment: motifs were measured (see analysis/Enrichment.h)
    std::vector<SequenceResult> seqs;
    std::vector<MotifResult> motifs;  // K entries, motif order
    std::vector<ModuleResult> modules;  // printed modules, sequence order then position
    ModuleNullResult moduleNull;        // with --module-stats
    std::vector<SweepStat> sweepStats;  // one per sweep, in order
};

#endif
