// Where the results of the runs go. Each run's record is handed over as
// soon as the run ends: its blocks are appended to the -o file and its
// companion (unless --outdir is given without -o), and the output folder,
// when asked for, is rewritten with every run so far, so an interrupted
// process leaves the folder whole for the runs it finished. The HTML
// report (with --outdir, --report or --known) is rewritten the same way.
//
// Everything is computed once: a run's blocks and its share of every
// folder file and of the report are rendered when it is added and kept
// (output/OutputFolder.h, output/html/Report.h), so a run costs the
// rendering of that run plus the writing of the files. With --chains the
// chains' clusters are computed once per run, for the runs so far, and the
// same clusters reach chains.tsv, summary.json, the report and, after the
// last run, standard output and the consensus file. The run set's answers
// (analysis/RunSetAnswers.h: known-factor matches with --known, consensus
// modules with --min-support, the chains' convergence) are brought up to
// date once per run too and reach the folder and the report alike.
#ifndef RUZARAVO_APP_RUNOUTPUTS_H
#define RUZARAVO_APP_RUNOUTPUTS_H

#include <memory>
#include <vector>

#include "analysis/ChainClusters.h"
#include "analysis/KnownMatches.h"
#include "analysis/RunSetAnswers.h"
#include "io/MatrixFile.h"
#include "run/RunParam.h"
#include "output/OutputFolder.h"
#include "output/html/Report.h"
#include "results/RunResult.h"

class RunOutputs {
public:
    // known: the --known library, read before the first run (outlives this).
    RunOutputs(const INPUTPARAMETER& param, const std::vector<MotifMatrix>& known);

    // Writes the run's record everywhere the parameters ask for; stops with
    // "Output file error!" (status 1) when a write fails, after taking back
    // what this run had appended, or with "Input sequence file error!" when
    // --genome-coords meets a name that does not parse (nothing written).
    void Add(const RunResult& result);

    // After the last run: with --chains, prints the clusters of the chains'
    // motifs on standard output (also without --outdir, so they are never
    // lost); with --min-support also the size of the consensus, whose sites
    // replace the file beside the result file (ConsensusPath) when that is
    // written. Nothing otherwise.
    void Finish();

private:
    void Cluster();
    void UpdateAnswers(const RunResult& result);

    const INPUTPARAMETER& m_Param;
    const std::vector<MotifMatrix>& m_Known;
    std::unique_ptr<FolderContent> m_Folder;   // with --outdir
    ReportParts m_Report;
    std::vector<RunResult> m_Chains;           // with --chains: the runs so far, for the clusters
    ChainClusters m_Clusters;                  // of m_Chains
    bool m_Clustered = false;                  // m_Clusters is current
    std::unique_ptr<KnownMatcher> m_Matcher;   // with --known
    RunSetAnswers m_Answers;
};

#endif
