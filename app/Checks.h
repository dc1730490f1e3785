// The range checks of the run parameters: pure rules over the parsed
// values (no file is read, nothing is created), in a fixed order so that
// the first rule broken is the one reported. Files are checked when they
// are read (run/Inputs.h) and outputs by app/OutputChecks.h.
#ifndef RUZARAVO_APP_CHECKS_H
#define RUZARAVO_APP_CHECKS_H

#include "run/RunParam.h"

// The fixed message of the first broken rule (an option the parser
// refused, widths, motif number, module length, threads, sweeps, runs,
// chains and support, threshold, preset), or null when all hold. A broken
// rule notes its reason (base/Fatal.h).
const char* FirstBrokenRule(const INPUTPARAMETER& param);

#endif
