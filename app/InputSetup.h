// What happens to the input between reading and the first run, in this
// order: the warnings about duplicate names and shared stretches (always,
// on standard error), --mask-duplicates (the later copy of each shared
// stretch read as N), --dust (low-complexity windows read as N), and
// --holdout (a share of the input and control records set aside for the
// held-out E-values, analysis/HoldOut.h). Masking comes first, so a held-out
// record is measured as it would have been sampled.
//
// Without --mask-duplicates, --dust and --holdout the inputs are left as
// read; only standard error gains the warnings. No random draws but the
// hold-out's own fixed-seed shuffle.
#ifndef RUZARAVO_APP_INPUTSETUP_H
#define RUZARAVO_APP_INPUTSETUP_H

#include <cstdio>

#include "run/Inputs.h"
#include "run/RunParam.h"

// Applies the steps above to inputs (sequences loaded); the lines for
// the user go to err.
void SetUpInput(const INPUTPARAMETER& param, RunInputs* inputs, FILE* err);

#endif
