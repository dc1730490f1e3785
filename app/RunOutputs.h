// Where the results of the runs go. Each run's record is handed over as
// soon as the run ends: its blocks are appended to the -o file and its
// companion (unless --outdir is given without -o), and the output folder,
// when asked for, is rewritten with every run so far, so an interrupted
// process leaves the folder whole for the runs it finished. The HTML
// report (with --outdir, --report or --known) is rewritten the same way.
#ifndef RUZARAVO_APP_RUNOUTPUTS_H
#define RUZARAVO_APP_RUNOUTPUTS_H

#include <vector>

#include "io/MatrixFile.h"
#include "run/RunParam.h"
#include "results/RunResult.h"

class RunOutputs {
public:
    // known: the --known library, read before the first run (outlives this).
    RunOutputs(const INPUTPARAMETER& param, const std::vector<MotifMatrix>& known) : m_Param(param), m_Known(known)
    {
    }

    // Writes the run's record everywhere the parameters ask for; stops with
    // "Output file error!" (status 1) when a write fails, after taking back
    // what this run had appended, or with "Input sequence file error!" when
    // --genome-coords meets a name that does not parse (nothing written).
    void Add(RunResult result);

    // After the last run: with --chains, prints the clusters of the chains'
    // motifs on standard output (also without --outdir, so they are never
    // lost); with --min-support also the size of the consensus, whose sites
    // replace the file beside the result file (ConsensusPath) when that is
    // written. Nothing otherwise.
    void Finish() const;

private:
    const INPUTPARAMETER& m_Param;
    const std::vector<MotifMatrix>& m_Known;
    std::vector<RunResult> m_Runs;   // kept for the output folder, the report and the chains
};

#endif
