// The run parameters: every option of the command line after parsing,
// with its default when not given. A plain record shared by the checks,
// the runs and the writers; it holds no data read from a file (run/Inputs.h
// holds that) and is handed to runs and threads read-only.
#ifndef RUZARAVO_RUN_RUNPARAM_H
#define RUZARAVO_RUN_RUNPARAM_H

#include <string>
#include <vector>

#include "base/CString.h"

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
    double HoldOut;       // --holdout: share of the input (and control) records held out of discovery (0: none)
    double SelectEValue;  // --select-evalue: with --holdout, motifs with a held-out E-value above it are not reported
    bool SelectGiven;     // --select-evalue given (refused without --holdout)
    bool MaskDuplicates;  // --mask-duplicates: the later copy of every stretch shared by two records read as N
    bool Dust;            // --dust: low-complexity windows read as N
    bool ModuleStats;     // --module-stats: score, p- and q-value of every module
    double ModuleQ;       // --module-q: with --module-stats, modules with q above it are flagged
    bool ModuleQGiven;    // --module-q given (refused without --module-stats)
    int ModuleNullRuns;   // --module-null-runs: discovery runs on shuffled input for the module null
                          // (0: the run's own model on shuffled letters)
    bool ModuleNullRunsGiven;   // --module-null-runs given (refused without --module-stats)

    // What the parser found wrong, reported by the checks: the fixed message
    // of the first problem (null: none) and its explanation.
    const char* OptionMessage;
    std::string OptionSubject;    // the option and its value as typed
    std::string OptionReason;
    std::vector<std::string> Warnings;   // unknown single-letter options, for standard error

    bool Report;          // --report (or --known): write the HTML report
    CString KnownFile;    // --known: matrices of known factors for the report; empty: none
};

// Largest -K: the tallies hold K x 10000 ints and every position table
// len x (2K + 1) doubles, so K is bounded well below any int overflow and
// within the memory of an ordinary machine for inputs of a few thousand
// letters per sequence.
const int kMaxMotifNum = 1000;
// Largest -L: the posterior score sums about (modules x L) logarithms per
// sweep, so a module length far beyond the sequences would make every sweep
// take seconds to minutes; 100,000 letters is far above any real module.
const int kMaxModLen = 100000;
// Largest --threads: far above any machine this runs on, small enough that
// a mistyped value cannot start thousands of threads.
const int kMaxThreads = 256;

// --min-support majority: a cluster must be found by more than half of the
// chains (3 of 5, 2 of 3), so the rule follows --chains when that changes.
const int kMajoritySupport = -1;

// The held-out E-value a motif must not exceed to be reported with
// --holdout, as STREME's default: at 0.05 about one motif in twenty of a
// random input passes.
const double kDefaultSelectEValue = 0.05;

// The q-value above which --module-stats flags a module.
const double kDefaultModuleQ = 0.05;

// Discovery runs on shuffled input that make the module null.
const int kDefaultModuleNullRuns = 0;

// The support a cluster needs to join the consensus (0: no consensus).
inline int ConsensusSupport(const INPUTPARAMETER& param)
{
    return param.MinSupport == kMajoritySupport ? param.Chains / 2 + 1 : param.MinSupport;
}

#endif
