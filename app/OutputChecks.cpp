// Up-front checks of the outputs; see OutputChecks.h.
#include "app/OutputChecks.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "base/Fatal.h"
#include "output/Coordinates.h"
#include "output/OutputFolder.h"

bool AppendsResultFile(const INPUTPARAMETER& param)
{
    return param.OutDir.GetLength() == 0 || param.OutFileGiven;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    if (a.empty() || b.empty() || stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

static std::string Text(const CString& s)
{
    return s.GetLength() > 0 ? std::string(s.m_Data, s.GetLength()) : std::string();
}

std::string ConsensusPath(const INPUTPARAMETER& param)
{
    return Text(param.OutFile) + "_consensus.bed";
}

// Every file the runs will write or append to.
static std::vector<std::string> OutputPaths(const INPUTPARAMETER& param)
{
    std::vector<std::string> out;
    if (AppendsResultFile(param)) {
        out.push_back(Text(param.OutFile));
        out.push_back(Text(param.OutFile) + "_modpr.txt");
        if (param.MinSupport != 0)
            out.push_back(ConsensusPath(param));
    }
    if (param.TraceFile.GetLength() > 0)
        out.push_back(Text(param.TraceFile));
    if (param.OutDir.GetLength() > 0)
        for (const std::string& name : OutputFolderNames(param.Chains > 0, param.MinSupport != 0, param.KnownFile.GetLength() > 0))
            out.push_back(Text(param.OutDir) + "/" + name);
    return out;
}

// Notes and returns true when an output is the same file as an input.
static bool OutputIsAnInput(const INPUTPARAMETER& param)
{
    std::vector<std::pair<std::string, const char*>> inputs = {{Text(param.SeqFile), "-i"}};
    if (param.UseBgFile)
        inputs.push_back({Text(param.BgFile), "-b"});
    if (param.UsePWM)
        inputs.push_back({Text(param.PWMFile), "-M"});
    for (const std::string& out : OutputPaths(param)) {
        for (const auto& in : inputs) {
            if (SameFile(out, in.first)) {
                std::string reason = std::string("is the same file as the input given with ") + in.second +
                                     "; writing to it would destroy the input, so choose another output name";
                NoteInputError(out.c_str(), reason.c_str());
                return true;
            }
        }
    }
    return false;
}

const char kGenomeNameRule[] = "with --genome-coords each name must read chrom:start-end "
                               "(0-based start, as bedtools getfasta writes it)";

std::string SpanFault(const NamedSpan& span, long long letters)
{
    return "the name reads name chrom start end, but the sequence has " + std::to_string(letters) +
           " letters, neither end - start + 1 (1-based) = " + std::to_string(span.end - span.start + 1) +
           " nor end - start (0-based) = " + std::to_string(span.end - span.start);
}

// Notes and returns false when the name line (without its '>') of the
// given record, which holds that many letters, does not place it.
static bool GenomeNameParses(const std::string& path, long record, const std::string& name, long long letters)
{
    SeqPlace place;
    std::string word = name.substr(0, name.find_first_of(" \t\r\n"));
    if (ParseNamedPlace(word, name, letters, &place))
        return true;
    NamedSpan span;
    std::string reason = "record " + std::to_string(record) + " (>" + word +
                         "): " + (ReadNamedSpan(name, &span) ? SpanFault(span, letters) : kGenomeNameRule);
    NoteInputError(path.c_str(), reason.c_str());
    return false;
}

// Letters of a sequence line as the sequence reader counts them.
static long long LettersOf(const char* line)
{
    long long n = 0;
    for (const char* c = line; *c; c++)
        n += isalpha((unsigned char)*c) ? 1 : 0;
    return n;
}

// Each record's name and letter count, checked when the record ends.
static bool CheckRecords(const std::string& path, FILE* f)
{
    bool ok = true;
    long record = 0;
    long long letters = 0;
    std::string name;
    char* line = nullptr;
    size_t capacity = 0;
    while (ok && getline(&line, &capacity, f) > 0) {
        if (line[0] != '>') {
            letters += LettersOf(line);
            continue;
        }
        if (record > 0)
            ok = GenomeNameParses(path, record, name, letters);
        record++;
        name = line + 1;
        letters = 0;
    }
    if (ok && record > 0)
        ok = GenomeNameParses(path, record, name, letters);
    free(line);
    return ok;
}

bool CheckGenomeNames(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "r");
    if (!f)
        return true;
    // Only a regular file can be read here and again by the sequence
    // reader; a pipe is read once, by the reader, and its names are checked
    // when the first run's record is written (nothing written before).
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        fclose(f);
        return true;
    }
    int first = fgetc(f);
    if (first != '>') {   // compressed, empty or not FASTA: the reader decides
        fclose(f);
        return true;
    }
    rewind(f);
    bool ok = CheckRecords(path, f);
    fclose(f);
    return ok;
}

// The folder part of a path, resolved ("" when it cannot be).
static std::string RealFolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    char* real = realpath(dir.c_str(), nullptr);
    std::string out = real ? real : "";
    free(real);
    return out;
}

// The -o file, its companion, the consensus file and the trace: the files
// written outside the folder's plan.
static std::vector<std::string> AppendedPaths(const INPUTPARAMETER& param)
{
    std::vector<std::string> appended;
    if (AppendsResultFile(param)) {
        appended.push_back(Text(param.OutFile));
        appended.push_back(Text(param.OutFile) + "_modpr.txt");
        if (param.MinSupport != 0)
            appended.push_back(ConsensusPath(param));
    }
    if (param.TraceFile.GetLength() > 0)
        appended.push_back(Text(param.TraceFile));
    return appended;
}

// Notes and returns true when -o, its companion, the consensus file or the
// trace would be one of the output folder's files (the folder rewrites those whole).
static bool AppendedFileIsInTheFolder(const INPUTPARAMETER& param)
{
    if (param.OutDir.GetLength() == 0)
        return false;
    char* real = realpath(param.OutDir.m_Data, nullptr);
    std::string folder = real ? real : "";
    free(real);
    if (folder.empty())
        return false;   // not there yet, so nothing named inside it exists either
    for (const std::string& path : AppendedPaths(param)) {
        std::string base = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
        for (const std::string& name : OutputFolderNames(param.Chains > 0, param.MinSupport != 0, param.KnownFile.GetLength() > 0)) {
            if (base == name && RealFolderOf(path) == folder) {
                NoteInputError(path.c_str(), "is a file of the output folder (--outdir), which replaces it after "
                                             "every run; choose another name");
                return true;
            }
        }
    }
    return false;
}

const char* CheckOutputs(const INPUTPARAMETER& param)
{
    if (OutputIsAnInput(param) || AppendedFileIsInTheFolder(param))
        return "Output file error!";
    if (param.GenomeCoords && !CheckGenomeNames(Text(param.SeqFile)))
        return "Input sequence file error!";
    return nullptr;
}

const char* CreateOutputFolder(const INPUTPARAMETER& param)
{
    if (param.OutDir.GetLength() > 0) {
        std::string reason;
        if (!PrepareOutputFolder(Text(param.OutDir), param.Force, &reason)) {
            NoteInputError(param.OutDir.m_Data, reason.c_str());
            return "Output folder error!";
        }
    }
    return nullptr;
}

// The names the run writes into the folder: its plan and the report, and
// any file it appends to or replaces that lies in the folder.
static std::vector<std::string> NamesWritten(const INPUTPARAMETER& param, const std::string& folder)
{
    FolderPlan plan;
    plan.chains = param.Chains > 0;
    plan.minSupport = ConsensusSupport(param);
    std::vector<std::string> names = plan.Names();
    names.push_back("report.html");
    for (const std::string& path : AppendedPaths(param)) {
        std::string base = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
        if (RealFolderOf(path) == folder)
            names.push_back(base);
    }
    return names;
}

const char* ClearStaleFolderFiles(const INPUTPARAMETER& param)
{
    if (param.OutDir.GetLength() == 0 || !param.Force)
        return nullptr;
    std::string dir = Text(param.OutDir);
    char* real = realpath(dir.c_str(), nullptr);
    std::string folder = real ? real : "";
    free(real);
    std::vector<std::string> removed;
    if (Fault fault = RemoveStaleFolderFiles(dir, NamesWritten(param, folder), &removed)) {
        NoteInputError(fault.path.c_str(), fault.reason.c_str());
        return "Output folder error!";
    }
    if (removed.empty())
        return nullptr;
    std::string list;
    for (const std::string& name : removed)
        list += (list.empty() ? "" : ", ") + name;
    fprintf(stderr, "Ruzaravo: removed stale %s from %s%s\n", list.c_str(), dir.c_str(),
            dir.back() == '/' ? "" : "/");
    return nullptr;
}
