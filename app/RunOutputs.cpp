// Hands each run's record to the writers; see RunOutputs.h.
#include "app/RunOutputs.h"

#include <cstdio>
#include <string>

#include "app/OutputChecks.h"
#include "app/ReportRun.h"
#include "base/Fatal.h"
#include "analysis/ChainClusters.h"
#include "io/SideFiles.h"
#include "output/AppendBlocks.h"
#include "output/ChainsTable.h"
#include "output/Coordinates.h"
#include "output/OutputFolder.h"
#include "output/ResultFile.h"

static const char kOutputFileError[] = "Output file error!";

// Appends the run's blocks to the -o file and its companion. Both files
// are checked again first (they may have changed since the start).
static void AppendResultFiles(const std::string& path, const RunResult& result)
{
    std::string block = FormatResultBlock(result);
    std::string modPr = FormatModPrBlock(result);
    if (!CheckResultFile(path.c_str()) || !CheckResultFile((path + "_modpr.txt").c_str()))
        StopOnInputError(kOutputFileError);
    std::string failedPath, reason;
    if (!AppendRunBlocks(path, block, modPr, &failedPath, &reason)) {
        NoteInputError(failedPath.c_str(), reason.c_str());
        StopOnInputError(kOutputFileError);
    }
}

// The up-front check reads the names from a plain FASTA file; this one
// covers input it could not read that way, and checks that each name
// spans as many letters as its sequence has (else every placed
// coordinate would be off).
static void CheckGenomeNamesOf(const RunResult& result)
{
    for (size_t j = 0; j < result.seqs.size(); j++) {
        const SequenceResult& s = result.seqs[j];
        SeqPlace place;
        std::string fault;
        if (!ParseGenomeName(s.id, &place))
            fault = "with --genome-coords each name must read chrom:start-end "
                    "(0-based start, as bedtools getfasta writes it)";
        else if (place.span != s.length)
            fault = "the name spans " + std::to_string(place.span) + " letters but the sequence has " +
                    std::to_string(s.length) + "; with --genome-coords they must agree";
        if (!fault.empty()) {
            std::string reason = "record " + std::to_string(j + 1) + " (>" + s.id + "): " + fault;
            NoteInputError(nullptr, reason.c_str());
            StopOnInputError("Input sequence file error!");
        }
    }
}

void RunOutputs::Add(RunResult result)
{
    if (m_Param.GenomeCoords)
        CheckGenomeNamesOf(result);
    if (AppendsResultFile(m_Param))
        AppendResultFiles(m_Param.OutFile.m_Data ? m_Param.OutFile.m_Data : "", result);
    if (m_Param.OutDir.GetLength() == 0 && !m_Param.Report && m_Param.Chains == 0)
        return;
    m_Runs.push_back(std::move(result));
    std::string failedPath, reason;
    if (m_Param.OutDir.GetLength() > 0 &&
        !WriteOutputFolder(m_Param.OutDir.m_Data, m_Runs, m_Param.GenomeCoords, &failedPath, &reason,
                           m_Param.Chains > 0, ConsensusSupport(m_Param))) {
        NoteInputError(failedPath.c_str(), reason.c_str());
        StopOnInputError(kOutputFileError);
    }
    if (!WriteRunReport(m_Param, m_Known, m_Runs, &failedPath, &reason)) {
        NoteInputError(failedPath.c_str(), reason.c_str());
        StopOnInputError(kOutputFileError);
    }
}

void RunOutputs::Finish() const
{
    if (m_Param.Chains == 0)
        return;
    ChainClusters clusters = ClusterChains(m_Runs);
    std::string text = FormatChainsSummary(clusters);
    int support = ConsensusSupport(m_Param);
    if (support > 0)
        text += FormatConsensusLine(clusters, support);
    fputs(text.c_str(), stdout);
    fflush(stdout);
    if (support == 0 || !AppendsResultFile(m_Param))
        return;
    std::string path = ConsensusPath(m_Param), reason;
    if (!ReplaceFileAt(path, FormatConsensusBed(clusters, support, m_Runs, m_Param.GenomeCoords),
                       &reason)) {
        NoteInputError(path.c_str(), reason.c_str());
        StopOnInputError(kOutputFileError);
    }
}
