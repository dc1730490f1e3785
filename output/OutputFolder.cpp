// The output folder; see OutputFolder.h.
//
// Each file is written whole to ".<name>.tmp.<pid>" in the folder and
// renamed over <name>, so a reader (or a process stopped midway) sees the
// old file or the new one, never a part; a failure removes the temporary
// file. There is no fsync: it would cost more than the writing itself.
// OutputFolderFiles is the one place every file's writer is called: a new
// file of the folder is added there.
#include "output/OutputFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "analysis/ChainClusters.h"
#include "output/BedFiles.h"
#include "output/ChainsTable.h"
#include "output/Gff3File.h"
#include "output/MotifFiles.h"
#include "output/ResultFile.h"
#include "output/SummaryJson.h"

std::vector<std::pair<std::string, std::string>> OutputFolderFiles(const std::vector<RunResult>& runs, bool genome,
                                                                   bool chains, int minSupport)
{
    std::string result, modPr;
    for (const RunResult& r : runs) {
        result += FormatResultBlock(r);
        modPr += FormatModPrBlock(r);
    }
    ChainClusters clusters;
    if (chains)
        clusters = ClusterChains(runs);
    std::vector<std::pair<std::string, std::string>> files = {
        {"result.txt", result},
        {"result.txt_modpr.txt", modPr},
        {"motifs.meme", FormatMeme(runs)},
        {"motifs.jaspar", FormatJaspar(runs)},
        {"sites.bed", FormatSitesBed(runs, genome)},
        {"modules.bed", FormatModulesBed(runs, genome)},
        {"annotations.gff3", FormatGff3(runs, genome)},
        {"modpr.bedgraph", FormatModPrBedGraph(runs, genome)},
        {"summary.json", FormatSummaryJson(runs, genome, chains ? &clusters : nullptr)},
    };
    if (chains)
        files.insert(files.end() - 1, {"chains.tsv", FormatChainsTsv(clusters)});
    if (chains && minSupport > 0)
        files.insert(files.end() - 1, {"consensus.bed", FormatConsensusBed(clusters, minSupport, runs, genome)});
    return files;
}

std::vector<std::string> OutputFolderNames(bool chains, bool consensus)
{
    std::vector<std::string> names;
    for (const auto& file : OutputFolderFiles({}, false, chains, consensus ? 1 : 0))
        names.push_back(file.first);
    return names;
}

static std::string Because(const char* what, int err)
{
    return std::string(what) + " (" + strerror(err) + ")";
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

// Writes content to path through a temporary file in the same folder.
static bool ReplaceFile(const std::string& dir, const std::string& name, const std::string& content,
                        std::string* reason)
{
    std::string temp = dir + "/." + name + ".tmp." + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        *reason = Because("cannot be created", errno);
        return false;
    }
    size_t done = 0;
    int err = 0;
    while (done < content.size() && !err) {
        ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            err = n < 0 ? errno : ENOSPC;
        else
            done += (size_t)n;
    }
    if (close(fd) != 0 && !err)
        err = errno;
    if (!err && rename(temp.c_str(), (dir + "/" + name).c_str()) != 0)
        err = errno;
    if (err) {
        unlink(temp.c_str());
        *reason = Because("writing the file failed", err);
        return false;
    }
    return true;
}

bool ReplaceFileAt(const std::string& path, const std::string& content, std::string* reason)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ReplaceFile(".", path, content, reason);
    return ReplaceFile(slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1), content, reason);
}

bool WriteOutputFolder(const std::string& dir, const std::vector<RunResult>& runs, bool genome,
                       std::string* failedPath, std::string* reason, bool chains, int minSupport)
{
    for (const auto& file : OutputFolderFiles(runs, genome, chains, minSupport)) {
        if (!ReplaceFile(dir, file.first, file.second, reason)) {
            *failedPath = dir + "/" + file.first;
            return false;
        }
    }
    return true;
}
