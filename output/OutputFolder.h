// The output folder (--outdir): its plan (which files it holds), the
// folder's contents rendered one run at a time, and writing them.
//
// Every file holds every run of the process so far and is rewritten whole
// after each run through output/ReplaceFile.h, so an interrupted process
// leaves the folder whole for the runs it finished. Each run is rendered
// once, when it is added: its share of every file is kept, and a file is
// put together from the kept shares, so adding run n renders only run n.
#ifndef RUZARAVO_OUTPUT_OUTPUTFOLDER_H
#define RUZARAVO_OUTPUT_OUTPUTFOLDER_H

#include <string>
#include <utility>
#include <vector>

#include "analysis/ChainClusters.h"
#include "analysis/RunSetAnswers.h"
#include "base/Fault.h"
#include "output/BedFiles.h"
#include "results/RunResult.h"

// The files of the folder, in writing order (summary.json last, so a
// reader who waits for it finds the others of the same run in place).
enum class FolderFile {
    Result, ModPr, Meme, Jaspar, SitesBed, ModulesBed, Gff3, BedGraph, ChainsTsv, ConsensusBed,
    ConsensusMeme, ConsensusModulesBed, MatchesTsv, Summary
};

const char* FolderFileName(FolderFile file);

// Which files a process writes: chains (--chains) adds chains.tsv and the
// "chains" section of summary.json; minSupport above 0 (--min-support,
// with --chains) adds consensus.bed, the sites of the clusters found by
// that many chains or more, consensus.meme (their representatives) and
// consensus_modules.bed (the stretches that many chains call a module);
// known (--known) adds matches.tsv.
struct FolderPlan {
    bool chains = false;
    int minSupport = 0;
    bool known = false;

    std::vector<FolderFile> Files() const;
    std::vector<std::string> Names() const;   // the names of Files(), same order
};

// Every name a folder of this program may hold, whichever the plan and
// whichever writer puts it there (the FolderPlan files, the report,
// matches.tsv, the consensus motifs and modules): the one list --force
// clears stale files by. A file added to the folder adds its name here;
// no other name in a folder is ever removed.
const std::vector<std::string>& OwnFolderNames();

// Removes from dir every file of OwnFolderNames() that is not in keep
// (the names the current run writes): regular files and symbolic links,
// never a folder or a name not in the list. removed gets the names taken
// away, in the list's order. No fault, or the fault of the first file
// that cannot be removed (those before it are gone).
Fault RemoveStaleFolderFiles(const std::string& dir, const std::vector<std::string>& keep,
                             std::vector<std::string>* removed);

// FolderPlan{chains, consensus ? 1 : 0}.Names(): for the checks made
// before any run, which need the names only.
std::vector<std::string> OutputFolderNames(bool chains = false, bool consensus = false, bool known = false);

// Makes dir ready before any run: creates it (and missing parents) when it
// does not exist; an existing one must be a writable directory, and empty
// unless force. Returns false with the reason otherwise.
bool PrepareOutputFolder(const std::string& dir, bool force, std::string* reason);

// The folder's files for the runs added so far.
class FolderContent {
public:
    FolderContent(FolderPlan plan, bool genome) : m_Plan(plan), m_Genome(genome) {}

    // Renders the run's share of every file. resultBlock and modPrBlock are
    // the run's FormatResultBlock and FormatModPrBlock (the caller has them
    // already for the -o file); the one-argument form formats them.
    void Add(const RunResult& run, std::string resultBlock, std::string modPrBlock);
    void Add(const RunResult& run);

    // Every file of the plan as (name, content), in the plan's order. With
    // chains in the plan, clusters are the added runs' (analysis/) and runs
    // those same runs (they place the consensus sites); both are unused
    // otherwise. answers (analysis/RunSetAnswers.h) are needed with known or
    // a consensus in the plan and add their members to summary.json.
    std::vector<std::pair<std::string, std::string>> Files(const ChainClusters* clusters,
                                                           const std::vector<RunResult>& runs,
                                                           const RunSetAnswers* answers = nullptr) const;

private:
    struct RunShare {   // one run's part of each file
        std::string result, modPr, meme, jaspar, modulesBed, gff3, bedGraph;
    };
    std::string Content(FolderFile file, const ChainClusters* clusters, const std::vector<RunResult>& runs,
                        const RunSetAnswers* answers) const;
    std::string Joined(std::string RunShare::*part) const;

    FolderPlan m_Plan;
    bool m_Genome;
    std::string m_MemeHeader, m_Gff3Header, m_SummaryHead;   // from the first run
    std::vector<RunShare> m_Runs;
    std::vector<std::string> m_SummaryRuns;   // the runs' summary.json entries
    std::vector<SiteBedLine> m_Sites;         // every run's sites.bed lines, merged in file order
};

// Writes every file of content.Files(clusters, runs) into dir, replacing
// earlier ones. No fault, or the fault of the first file that cannot be
// written (its path and why); files already renamed into place stay whole.
Fault WriteOutputFolder(const std::string& dir, const FolderContent& content, const ChainClusters* clusters,
                        const std::vector<RunResult>& runs, const RunSetAnswers* answers = nullptr);

// All files of the folder for the given runs at once (tests and tools):
// FolderContent with every run added; without answers, those of the runs
// as chains (no known-factor library: no matches).
std::vector<std::pair<std::string, std::string>> OutputFolderFiles(const std::vector<RunResult>& runs, bool genome,
                                                                   const FolderPlan& plan = FolderPlan(),
                                                                   const ChainClusters* clusters = nullptr,
                                                                   const RunSetAnswers* answers = nullptr);

#endif
