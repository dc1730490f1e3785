// Every input of an invocation, read once before the first run into
// immutable values that all runs and threads share read-only: the
// sequences (-i), the given matrices (-M), the per-position background
// (-b), the background set (--bg-fasta) and the chain estimated from it,
// the control set (--control) and the known-factor library (--known).
//
// This is the only place below app/ where input files are opened. Each
// file is read whole exactly once (io/WholeInput.h), so every side file may
// be a pipe, process substitution or standard input ("-") and may be gzip
// or BGZF, like -i. A file that cannot be used gives a Refusal: the fixed
// message the program stops with and the fault (file, reason) for standard
// error; nothing stops here.
#ifndef RUZARAVO_RUN_INPUTS_H
#define RUZARAVO_RUN_INPUTS_H

#include <memory>
#include <string>
#include <vector>

#include "base/Fault.h"
#include "io/FastaText.h"
#include "io/MatrixFile.h"
#include "io/SideFiles.h"
#include "model/MarkovChain.h"
#include "run/RunParam.h"

struct RunInputs {
    std::shared_ptr<const std::vector<FastaRecord>> sequences;   // -i; null until loaded
    std::vector<MotifMatrix> givenPWM;       // -M: its first K matrices, checked
    std::vector<BgFileLine> bgLines;         // -b: the lines that can set a position
    std::shared_ptr<const MarkovChain> setChain;   // --bg-fasta: the chain of --bg-order; null: none
    std::vector<std::string> control;        // --control: its sequences (empty: the input shuffled)
    std::vector<MotifMatrix> known;          // --known: every matrix of the library
    // --holdout: the records set aside before discovery (sequences and
    // control then hold only the kept ones); empty without it.
    std::vector<std::string> heldInput;
    std::vector<std::string> heldControl;    // empty: the held-out input shuffled
};

// Why the program cannot go on: the fixed message for standard output and
// the fault for standard error. No message: nothing wrong.
struct Refusal {
    const char* message = nullptr;
    Fault fault;
    explicit operator bool() const { return message != nullptr; }
};

// The refusal with message and the reason the readers noted
// (base/Fatal.h); path names the file when the note starts with it.
Refusal RefusalFromNote(const char* message, const std::string& path);

// The side files of the runs, in this order: --bg-fasta (and its chain),
// --control, -b, -M.
Refusal LoadSideFiles(const INPUTPARAMETER& param, RunInputs* inputs);
// The --known library, when given.
Refusal LoadKnownLibrary(const INPUTPARAMETER& param, RunInputs* inputs);
// The sequences of -i ("-": standard input).
Refusal LoadSequences(const INPUTPARAMETER& param, RunInputs* inputs);

#endif
