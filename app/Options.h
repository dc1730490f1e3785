// The run-parameter record, command-line parsing, the usage text, the
// validation of options and side files, and one complete run.
#ifndef RUZARAVO_APP_OPTIONS_H
#define RUZARAVO_APP_OPTIONS_H

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/CString.h"
#include "base/Version.h"
#include "results/RunResult.h"
#include "io/FastaText.h"


struct INPUTPARAMETER {
    CString CmdLine;      // banner line, then every command-line word followed by one blank
    bool BothStrand;      // -r: 1 both strands, 0 forward only
    bool Independent;     // -s: K independent motifs, no module structure
    bool FixModLen;       // -d clears it: module length never moves
    bool SampleParam;     // -P: draw parameters from their posterior every sweep
    bool CalBF;           // -B: compute the log posterior model odds
    bool UseBgFile;       // -b given
    bool UsePWM;          // -M given
    CString SeqFile;      // -i: FASTA file name
    CString BgFile;       // -b: background-probability file name
    CString OutFile;      // -o: result file name
    CString PWMFile;      // -M: weight-matrix file name
    int IterNum;          // -n: sweeps per run, >= 0
    int MotifNum;         // -K: number of motifs
    int MinWidth;         // -w: smallest motif width
    int MaxWidth;         // -W: largest motif width
    int ModLen;           // -L: module length in letters
    int RunNum;           // -N: complete runs, one after another
    double Threshold;     // -c: posterior frequency for reporting a site

    // Extensions (long options).
    bool SeedGiven;       // --seed given
    unsigned Seed;        // --seed value, or the clock read once at start
    CString TraceFile;    // --trace: per-sweep trace file; empty: none
    bool ShowHelp;        // --help, -h
    bool ShowVersion;     // --version
    int BgOrder;          // --bg-order: order of the background chain, 0..5 (-1: not a number)
    CString BgFasta;      // --bg-fasta: background sequence set; empty: the input
    CString Preset;       // --preset: name of the option set applied first; empty: none
    bool Enrichment;      // --control or --min-enrichment given: measure motif enrichment
    CString ControlFile;  // --control: control sequences; empty: the input shuffled
    double MinEnrichment; // --min-enrichment: motifs below this ratio are dropped (0: none)
    bool OutFileGiven;    // -o given (with --outdir the -o file is written only then)
    CString OutDir;       // --outdir: output folder; empty: none
    bool Force;           // --force: replace the files of a non-empty output folder
    bool GenomeCoords;    // --genome-coords: names chrom:start-end place the standard files on the genome
    int Threads;          // --threads: threads for the runs and inside a run, 1..kMaxThreads
    bool Quiet;           // --quiet: no progress lines
    bool MaskLower;       // --mask-lower: lower-case letters read as N
    int Chains;           // --chains: independent chains, clustered after the runs (0: off; sets RunNum)
    int MinSupport;       // --min-support: clusters found by this many chains or more form the consensus
                          // (0: no consensus; kMajoritySupport: more than half of the chains)
    bool RunNumGiven;     // -N given (refused together with --chains)

    // What the parser found wrong, reported by the checks: the fixed message
    // of the first problem (null: none) and its explanation.
    const char* OptionMessage;
    std::string OptionSubject;    // the option and its value as typed
    std::string OptionReason;
    std::vector<std::string> Warnings;   // unknown single-letter options, for standard error

    // The sequences, read once before the first run and shared by all runs.
    std::shared_ptr<const std::vector<FastaRecord>> Sequences;
    bool Report;          // --report (or --known): write the HTML report
    CString KnownFile;    // --known: matrices of known factors for the report; empty: none
};

void SetDefaultParam(INPUTPARAMETER* param);
void ParseInputParam(INPUTPARAMETER* param, int argc, char** argv);
// Every option the parser knows, as typed ("-i", ..., "--seed"): the help
// text and the manual page must name each of them.
std::vector<std::string> OptionNames();

void PrintReadme();    // the usage text shown for a start without arguments
void PrintHelp();      // the complete option list (--help, -h)

// Burn-in sweeps: the exact product of iterNum and the double 0.7,
// truncated toward zero (2000 gives 1399).
int BurnInSweeps(int iterNum);

// Largest -K: the tallies hold K x 10000 ints and every position table
// len x (2K + 1) doubles, so K is bounded well below any int overflow and
// within the memory of an ordinary machine for inputs of a few thousand
// letters per sequence.
const int kMaxMotifNum = 1000;
// Largest -L: the posterior score sums about (modules x L) logarithms per
// sweep, so a module length far beyond the sequences would make every sweep
// take seconds to minutes; 100,000 letters is far above any real module.
const int kMaxModLen = 100000;

// The message of the first failed check (an option the parser refused,
// width range, motif number and
// its bound, module length and its bound, sweeps, runs and threshold,
// the side files, then whether the
// result files can be appended to), or null when all pass. A failed check
// also notes its reason (base/Fatal.h).
const char* ValidateInputParam(INPUTPARAMETER* param);
// Stops with that message and status 1 when a check fails.
void CheckInputParam(INPUTPARAMETER* param);

// Reads the sequence file once (-i, "-" for standard input) into
// param->Sequences; stops with the fixed message when it is refused.
void LoadSequences(INPUTPARAMETER* param);

// The seed for a run without --seed: a high-resolution clock mixed with the
// process id, so runs started in the same second differ.
unsigned ClockSeed();

// One complete run; run is its 0-based index within the process. Returns
// what the run found; writing it is the caller's (app/RunOutputs.h).
RunResult RunModSampling(INPUTPARAMETER* param, int run);
// The same with the run's progress lines and trace sent to console and
// trace (null: standard output and the --trace file) and threads threads
// for its draw-free passes.
RunResult RunModSampling(INPUTPARAMETER* param, int run, FILE* console, FILE* trace, int threads);

// --min-support majority: a cluster must be found by more than half of the
// chains (3 of 5, 2 of 3), so the rule follows --chains when that changes.
const int kMajoritySupport = -1;

// The support a cluster needs to join the consensus (0: no consensus).
int ConsensusSupport(const INPUTPARAMETER& param);

// Largest --threads: far above any machine this runs on, small enough that
// a mistyped value cannot start thousands of threads.
const int kMaxThreads = 256;

#endif
