// Everything between parsing and the first run, in this order: the range
// checks (app/Checks.h), reading the side files (run/Inputs.h), the checks
// of the result files and the report, reading the --known library, the
// output checks, creating the output folder, reading the sequences, and
// (with --force) removing the folder's files of an earlier run that this
// run does not write.
// The first failure ends the preparation with its refusal; the top level
// prints it. A failure after the folder's creation can only be the
// sequence file, which leaves the new folder empty.
#ifndef RUZARAVO_APP_PREPARE_H
#define RUZARAVO_APP_PREPARE_H

#include "run/Inputs.h"
#include "run/RunParam.h"

// Checks and reads everything; the sequences only when withSequences.
Refusal PrepareRun(const INPUTPARAMETER& param, RunInputs* inputs, bool withSequences);

// PrepareRun without the sequences, keeping nothing: the fixed message of
// the first failure (its reason noted, base/Fatal.h), or null.
const char* ValidateInputParam(INPUTPARAMETER* param);

// Prints the refusal (the message on standard output, "Ruzaravo: <file>:
// <reason>" on standard error) and ends the process with status 1.
[[noreturn]] void StopOnRefusal(const Refusal& refusal);

#endif
