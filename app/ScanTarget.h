// The scan's target read as a stream, twice: a first pass names and
// measures every sequence, counts the background chain and checks the
// input before anything is written; a second pass feeds the letters to the
// scan in pieces. Neither pass holds more than a piece of a sequence, so a
// genome scans in memory bounded by the chunks, not by its size.
//
// Input that cannot be read twice (standard input from a pipe, a named
// pipe, process substitution) is first copied as it comes, still compressed if it was,
// to an unnamed temporary file (in $TMPDIR, else /tmp), which the system
// removes when the scan ends.
//
// A sequence shorter than the module length holds no window: it is left out
// of the scan, the chain and the null with a warning naming it, unless
// every sequence is that short, which is refused.
#ifndef RUZARAVO_APP_SCANTARGET_H
#define RUZARAVO_APP_SCANTARGET_H

#include <string>
#include <vector>

#include "app/ScanOptions.h"
#include "model/MarkovChain.h"
#include "scan/ScanRun.h"

// With --only, the records not named are read by both passes like the
// others (the background chain is counted over them, their letters join
// the null's), but not scanned: a job that scans some chromosomes of a
// genome file gets the p-values of a scan of the whole file.
const int kNullOnly = -2;

struct ScanTarget {
    std::vector<ScanSequence> sequences;   // the sequences scanned, letters left empty
    std::vector<int> kept;                 // per record of the input: its index in sequences, -1 if skipped,
                                           // kNullOnly if left out by --only (its letters feed the null)
    std::vector<std::string> warnings;     // one line per skipped sequence (or a count of the rest)
    long long letters = 0;                 // of the sequences scanned
    long long nucleotides = 0;             // A, C, G, T of the sequences scanned and those feeding only the null
    MarkovChain chain;
    int spool = -1;                        // the temporary copy of a one-pass input (or standard input
                                           // redirected from a file), or -1
    long long spoolStart = 0;              // where its first pass starts
    ScanTarget() = default;
    ScanTarget(const ScanTarget&) = delete;
    ScanTarget& operator=(const ScanTarget&) = delete;
    ~ScanTarget();
};

// The first pass; false with the reason (nothing written).
bool SurveyTarget(const ScanOptions& o, int maxWidth, ScanTarget* target, std::string* reason);

// The second pass, into the stream; false with the reason.
bool FeedTarget(const ScanOptions& o, const ScanTarget& target, ScanStream* stream, std::string* reason);

#endif
