// The result file and its module-probability companion, one block of each
// per run, formatted from a run's record. Layouts are fixed byte for byte;
// see ResultFile.cpp.
#ifndef RUZARAVO_OUTPUT_RESULTFILE_H
#define RUZARAVO_OUTPUT_RESULTFILE_H

#include <string>

#include "results/RunResult.h"

// The run's block of the result file.
std::string FormatResultBlock(const RunResult& r);

// The run's block of the module-probability file (result name + "_modpr.txt").
std::string FormatModPrBlock(const RunResult& r);

#endif
