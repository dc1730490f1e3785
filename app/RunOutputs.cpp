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
#include "output/ReplaceFile.h"
#include "output/ResultFile.h"

static const char kOutputFileError[] = "Output file error!";

// Stops the process on a failed write: the fault on standard error, the
// fixed message on standard output.
static void StopOnFault(const Fault& fault)
{
    if (!fault)
        return;
    NoteInputError(fault.path.c_str(), fault.reason.c_str());
    StopOnInputError(kOutputFileError);
}

// Appends the run's blocks to the -o file and its companion. Both files
// are checked again first (they may have changed since the start).
static void AppendResultFiles(const std::string& path, const std::string& block, const std::string& modPr)
{
    if (!CheckResultFile(path.c_str()) || !CheckResultFile((path + "_modpr.txt").c_str()))
        StopOnInputError(kOutputFileError);
    StopOnFault(AppendRunBlocks(path, block, modPr));
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
        NamedSpan span;
        std::string fault;
        if (!ParseNamedPlace(s.id, s.name, s.length, &place))
            fault = ReadNamedSpan(s.name, &span) ? SpanFault(span, s.length) : kGenomeNameRule;
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

RunOutputs::RunOutputs(const INPUTPARAMETER& param, const std::vector<MotifMatrix>& known)
    : m_Param(param), m_Known(known)
{
    if (param.OutDir.GetLength() > 0) {
        FolderPlan plan;
        plan.chains = param.Chains > 0;
        plan.minSupport = ConsensusSupport(param);
        plan.known = param.KnownFile.GetLength() > 0;
        m_Folder = std::make_unique<FolderContent>(plan, param.GenomeCoords);
    }
    if (param.KnownFile.GetLength() > 0) {
        m_Matcher = std::make_unique<KnownMatcher>(KnownFactorsOf(known));
        m_Answers.known = true;
    }
    m_Answers.chainsAsked = param.Chains;
    m_Answers.consensusSupport = ConsensusSupport(param);
}

// The answers that follow from the runs so far: matches of the new run's
// motifs and of the clusters (current when the folder or report needs
// them), the consensus modules and the chains' diagnostics.
void RunOutputs::UpdateAnswers(const RunResult& result)
{
    if (m_Matcher)
        AddRunMatches(result, *m_Matcher, m_Answers);
    if (m_Param.Chains == 0 || !m_Clustered)
        return;
    UpdateChainAnswers(m_Chains, m_Clusters, m_Matcher.get(), m_Answers);
}

void RunOutputs::Cluster()
{
    m_Clusters = ClusterChains(m_Chains);
    m_Clustered = true;
}

void RunOutputs::Add(const RunResult& result)
{
    if (m_Param.GenomeCoords)
        CheckGenomeNamesOf(result);
    std::string block = FormatResultBlock(result), modPr = FormatModPrBlock(result);
    if (AppendsResultFile(m_Param))
        AppendResultFiles(m_Param.OutFile.m_Data ? m_Param.OutFile.m_Data : "", block, modPr);
    const ChainClusters* clusters = nullptr;
    if (m_Param.Chains > 0) {
        m_Chains.push_back(result);
        m_Clustered = false;
        // The folder and the report show the clusters of the runs so far;
        // without them the clusters are needed only after the last run.
        if (m_Folder || m_Param.Report) {
            Cluster();
            clusters = &m_Clusters;
        }
    }
    UpdateAnswers(result);
    if (m_Folder) {
        m_Folder->Add(result, std::move(block), std::move(modPr));
        StopOnFault(WriteOutputFolder(m_Param.OutDir.m_Data, *m_Folder, clusters, m_Chains, &m_Answers));
    }
    StopOnFault(WriteRunReport(m_Param, m_Known, result, clusters, &m_Report, m_Matcher.get(), &m_Answers));
}

void RunOutputs::Finish()
{
    if (m_Param.Chains == 0)
        return;
    if (!m_Clustered)
        Cluster();
    std::string text = FormatChainsSummary(m_Clusters);
    int support = ConsensusSupport(m_Param);
    if (support > 0)
        text += FormatConsensusLine(m_Clusters, support);
    fputs(text.c_str(), stdout);
    fflush(stdout);
    if (support == 0 || !AppendsResultFile(m_Param))
        return;
    StopOnFault(ReplaceFileAt(ConsensusPath(m_Param), FormatConsensusBed(m_Clusters, support, m_Chains,
                                                                          m_Param.GenomeCoords)));
}
