// The output folder; see OutputFolder.h.
//
// FolderContent::Content is the one place every file's writer is called: a
// new file of the folder is added there and to FolderPlan::Files. A run's
// share of a file is what the file's writer gives for that run alone; the
// writers' whole-file functions are those shares put together the same
// way, so the folder written run by run holds the bytes one call of each
// writer would give for all runs.
#include "output/OutputFolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>

#include "output/AnswerFiles.h"
#include "output/ChainsTable.h"
#include "output/Gff3File.h"
#include "output/MatchesTable.h"
#include "output/MotifFiles.h"
#include "output/PlaceOrder.h"
#include "output/ReplaceFile.h"
#include "output/ResultFile.h"
#include "output/SummaryJson.h"

static std::string Because(const char* what, int err)
{
    return std::string(what) + " (" + strerror(err) + ")";
}

const char* FolderFileName(FolderFile file)
{
    switch (file) {
    case FolderFile::Result: return "result.txt";
    case FolderFile::ModPr: return "result.txt_modpr.txt";
    case FolderFile::Meme: return "motifs.meme";
    case FolderFile::Jaspar: return "motifs.jaspar";
    case FolderFile::SitesBed: return "sites.bed";
    case FolderFile::ModulesBed: return "modules.bed";
    case FolderFile::Gff3: return "annotations.gff3";
    case FolderFile::BedGraph: return "modpr.bedgraph";
    case FolderFile::ChainsTsv: return "chains.tsv";
    case FolderFile::ConsensusBed: return "consensus.bed";
    case FolderFile::ConsensusMeme: return "consensus.meme";
    case FolderFile::ConsensusModulesBed: return "consensus_modules.bed";
    case FolderFile::MatchesTsv: return "matches.tsv";
    case FolderFile::Summary: return "summary.json";
    }
    return "";
}

std::vector<FolderFile> FolderPlan::Files() const
{
    std::vector<FolderFile> files = {FolderFile::Result,   FolderFile::ModPr,      FolderFile::Meme,
                                     FolderFile::Jaspar,   FolderFile::SitesBed,   FolderFile::ModulesBed,
                                     FolderFile::Gff3,     FolderFile::BedGraph};
    if (chains)
        files.push_back(FolderFile::ChainsTsv);
    if (chains && minSupport > 0)
        files.push_back(FolderFile::ConsensusBed);
    if (chains && minSupport > 0) {
        files.push_back(FolderFile::ConsensusMeme);
        files.push_back(FolderFile::ConsensusModulesBed);
    }
    if (known)
        files.push_back(FolderFile::MatchesTsv);
    files.push_back(FolderFile::Summary);
    return files;
}

std::vector<std::string> FolderPlan::Names() const
{
    std::vector<std::string> names;
    for (FolderFile file : Files())
        names.push_back(FolderFileName(file));
    return names;
}

const std::vector<std::string>& OwnFolderNames()
{
    static const std::vector<std::string> names = {
        "result.txt",   "result.txt_modpr.txt", "motifs.meme",    "motifs.jaspar",
        "sites.bed",    "modules.bed",          "annotations.gff3", "modpr.bedgraph",
        "chains.tsv",   "consensus.bed",        "matches.tsv",    "consensus.meme",
        "consensus_modules.bed", "report.html", "summary.json",
    };
    return names;
}

Fault RemoveStaleFolderFiles(const std::string& dir, const std::vector<std::string>& keep,
                             std::vector<std::string>* removed)
{
    for (const std::string& name : OwnFolderNames()) {
        if (std::find(keep.begin(), keep.end(), name) != keep.end())
            continue;
        std::string path = dir + "/" + name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
            continue;   // absent, or not a file this program writes
        if (unlink(path.c_str()) != 0 && errno != ENOENT)
            return Fault(path, Because("the stale file of an earlier run cannot be removed", errno));
        removed->push_back(name);
    }
    return Fault();
}

std::vector<std::string> OutputFolderNames(bool chains, bool consensus, bool known)
{
    FolderPlan plan;
    plan.chains = chains;
    plan.minSupport = consensus ? 1 : 0;
    plan.known = known;
    return plan.Names();
}

void FolderContent::Add(const RunResult& run, std::string resultBlock, std::string modPrBlock)
{
    if (m_Runs.empty()) {
        m_MemeHeader = MemeHeader(&run);
        m_Gff3Header = Gff3Header(&run, m_Genome);
        m_SummaryHead = SummaryJsonHead(&run, m_Genome);
    }
    RunShare share;
    share.result = std::move(resultBlock);
    share.modPr = std::move(modPrBlock);
    share.meme = MemeMotifs(run);
    share.jaspar = JasparMotifs(run);
    share.modulesBed = ModulesBedLines(run, m_Genome);
    share.gff3 = Gff3Features(run, m_Genome);
    share.bedGraph = ModPrBedGraphTrack(run, m_Genome);
    m_Runs.push_back(std::move(share));
    m_SummaryRuns.push_back(SummaryJsonRun(run));
    MergeSiteBedLines(m_Sites, SiteBedLines(run, m_Genome));
}

void FolderContent::Add(const RunResult& run)
{
    Add(run, FormatResultBlock(run), FormatModPrBlock(run));
}

std::string FolderContent::Joined(std::string RunShare::*part) const
{
    std::size_t size = 0;
    for (const RunShare& r : m_Runs)
        size += (r.*part).size();
    std::string out;
    out.reserve(size);
    for (const RunShare& r : m_Runs)
        out += r.*part;
    return out;
}

// The files of the run set's answer (output/AnswerFiles.h).
static std::string MatchesTsvText(const RunSetAnswers& answers)
{
    std::vector<KnownMatch> matches;
    std::vector<std::string> names;
    AllMatches(answers, &matches, &names);
    return FormatMatchesTsv(matches, names);
}

std::string FolderContent::Content(FolderFile file, const ChainClusters* clusters,
                                   const std::vector<RunResult>& runs, const RunSetAnswers* answers) const
{
    bool none = m_Runs.empty();
    switch (file) {
    case FolderFile::Result: return Joined(&RunShare::result);
    case FolderFile::ModPr: return Joined(&RunShare::modPr);
    case FolderFile::Meme: return (none ? MemeHeader(nullptr) : m_MemeHeader) + Joined(&RunShare::meme);
    case FolderFile::Jaspar: return Joined(&RunShare::jaspar);
    case FolderFile::SitesBed: return SiteBedFile(m_Sites, m_Genome);
    case FolderFile::ModulesBed:
        return m_Genome ? SortedByPlace(Joined(&RunShare::modulesBed), 2) : Joined(&RunShare::modulesBed);
    case FolderFile::Gff3:
        return (none ? Gff3Header(nullptr, m_Genome) : m_Gff3Header) + Gff3Body(Joined(&RunShare::gff3), m_Genome);
    case FolderFile::BedGraph: return Joined(&RunShare::bedGraph);
    case FolderFile::ChainsTsv:
        return FormatChainsTsv(*clusters, m_Plan.known ? &answers->clusterMatches : nullptr);
    case FolderFile::ConsensusBed: return FormatConsensusBed(*clusters, m_Plan.minSupport, runs, m_Genome);
    case FolderFile::ConsensusMeme: return FormatConsensusMeme(*clusters, *answers, runs);
    case FolderFile::ConsensusModulesBed: return FormatConsensusModulesBed(*answers, runs, m_Genome);
    case FolderFile::MatchesTsv: return MatchesTsvText(*answers);
    case FolderFile::Summary:
        return SummaryJsonDocument(none ? SummaryJsonHead(nullptr, m_Genome) : m_SummaryHead, m_SummaryRuns,
                                   m_Plan.chains ? clusters : nullptr, AnswerJsonMembers(*answers));
    }
    return "";
}

std::vector<std::pair<std::string, std::string>> FolderContent::Files(const ChainClusters* clusters,
                                                                      const std::vector<RunResult>& runs,
                                                                      const RunSetAnswers* answers) const
{
    assert(!m_Plan.chains || clusters);
    static const RunSetAnswers kNone;   // no answers given: no matches, no consensus modules
    if (!answers)
        answers = &kNone;
    std::vector<std::pair<std::string, std::string>> files;
    for (FolderFile file : m_Plan.Files())
        files.emplace_back(FolderFileName(file), Content(file, clusters, runs, answers));
    return files;
}

Fault WriteOutputFolder(const std::string& dir, const FolderContent& content, const ChainClusters* clusters,
                        const std::vector<RunResult>& runs, const RunSetAnswers* answers)
{
    for (const auto& file : content.Files(clusters, runs, answers)) {
        Fault fault = ReplaceFileAt(dir + "/" + file.first, file.second);
        if (fault)
            return fault;
    }
    return Fault();
}

std::vector<std::pair<std::string, std::string>> OutputFolderFiles(const std::vector<RunResult>& runs, bool genome,
                                                                   const FolderPlan& plan,
                                                                   const ChainClusters* clusters,
                                                                   const RunSetAnswers* answers)
{
    FolderContent content(plan, genome);
    for (const RunResult& r : runs)
        content.Add(r);
    RunSetAnswers own;
    if (!answers) {
        own.known = plan.known;
        own.chainsAsked = plan.chains ? (int)runs.size() : 0;
        own.consensusSupport = plan.chains ? plan.minSupport : 0;
        if (plan.chains && clusters)
            UpdateChainAnswers(runs, *clusters, nullptr, own);
        answers = &own;
    }
    return content.Files(clusters, runs, answers);
}

// Creates dir and its missing parents.
static bool MakeDirs(const std::string& dir, std::string* reason)
{
    for (size_t at = 1; at <= dir.size(); at++) {
        if (at < dir.size() && dir[at] != '/')
            continue;
        std::string part = dir.substr(0, at);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            *reason = Because("the output folder cannot be created", errno);
            return false;
        }
    }
    return true;
}

static bool IsEmptyDir(const std::string& dir, bool* empty)
{
    DIR* d = opendir(dir.c_str());
    if (!d)
        return false;
    *empty = true;
    while (struct dirent* e = readdir(d)) {
        if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) {
            *empty = false;
            break;
        }
    }
    closedir(d);
    return true;
}

bool PrepareOutputFolder(const std::string& dir, bool force, std::string* reason)
{
    if (dir.empty()) {
        *reason = "an empty folder name was given";
        return false;
    }
    struct stat st;
    if (stat(dir.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            *reason = Because("the output folder cannot be examined", errno);
            return false;
        }
        return MakeDirs(dir, reason);
    }
    if (!S_ISDIR(st.st_mode)) {
        *reason = "exists and is not a folder";
        return false;
    }
    if (access(dir.c_str(), W_OK | X_OK) != 0) {
        *reason = Because("the output folder cannot be written", errno);
        return false;
    }
    bool empty = false;
    if (!IsEmptyDir(dir, &empty)) {
        *reason = Because("the output folder cannot be read", errno);
        return false;
    }
    if (!empty && !force) {
        *reason = "the output folder is not empty; give --force to replace its files";
        return false;
    }
    return true;
}
