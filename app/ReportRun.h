// The HTML report of one invocation: the up-front checks of --report and
// --known, and writing the page with the runs done so far.
//
// The report is written with --report, --known or --outdir: into the
// output folder as report.html, or without a folder beside the result
// file as <-o>_report.html. It is replaced after every run, so it always
// covers every finished run of the process; each run is rendered once,
// into the parts the caller keeps (output/html/Report.h).
#ifndef RUZARAVO_APP_REPORTRUN_H
#define RUZARAVO_APP_REPORTRUN_H

#include "analysis/ChainClusters.h"
#include "io/MatrixFile.h"
#include "run/RunParam.h"
#include "base/Fault.h"
#include "output/html/Report.h"
#include "results/RunResult.h"

// The fixed message of a failed report check (the reason is noted), or
// null when the report can be written or is not wanted. The --known library
// itself is read by run/Inputs.h.
const char* CheckReportOptions(const INPUTPARAMETER& param);

// Adds the run to parts and writes the page of every run added so far;
// chains are the clusters of those runs with --chains (else null); known is
// the --known library, read before the first run, and matcher the same
// library set up for matching (null without --known); answers the run
// set's answer so far (null: none). No fault when written or not wanted,
// else the file and the reason.
Fault WriteRunReport(const INPUTPARAMETER& param, const std::vector<MotifMatrix>& known, const RunResult& run,
                     const ChainClusters* chains, ReportParts* parts, const KnownMatcher* matcher = nullptr,
                     const RunSetAnswers* answers = nullptr);

#endif
