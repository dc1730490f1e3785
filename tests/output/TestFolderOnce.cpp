// The output folder rendered one run at a time: every file of a multi-run
// folder (and the report) keeps the bytes the program wrote when it
// re-rendered all runs after each one (digests in tests/golden, made by
// that build); the folder written run by run equals each writer's text
// for all runs at once over many random records, with sites.bed in the
// order a stable sort of all lines gives; the plan names exactly the files
// written; and a file that cannot be written comes back as a Fault naming
// it, through the writer and through the program's fixed message.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "ToolRun.h"
#include "analysis/ChainClusters.h"
#include "output/BedFiles.h"
#include "output/ChainsTable.h"
#include "output/Gff3File.h"
#include "output/MotifFiles.h"
#include "output/OutputFolder.h"
#include "output/PlaceOrder.h"
#include "output/ResultFile.h"
#include "output/SummaryJson.h"
#include "support/TestSupport.h"

namespace {

const std::string kSource = RUZARAVO_SOURCE_DIR;
const std::string kDigests = kSource + "/tests/golden/folder_digests.txt";

std::vector<std::string> FolderEntries(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (struct dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Replaces the text between each `after` (counted `skip` times from each
// `anchor`) and the next `until` with "0": the measured CPU time, the only
// bytes that differ between two runs with one seed.
std::string Masked(std::string text, const std::string& anchor, const std::string& after, int skip,
                   const std::string& until)
{
    for (size_t at = text.find(anchor); at != std::string::npos; at = text.find(anchor, at + 1)) {
        size_t from = at;
        for (int i = 0; i < skip && from != std::string::npos; i++)
            from = text.find(after, from + 1);
        if (from == std::string::npos)
            break;
        from += after.size();
        size_t to = text.find(until, from);
        text.replace(from, to - from, "0");
    }
    return text;
}

std::string Digest(const std::string& text)
{
    unsigned long long h = 1469598103934665603ULL;   // FNV-1a, 64 bits
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    char buf[17];
    snprintf(buf, sizeof buf, "%016llx", h);
    return buf;
}

// "<case>/<file> <digest>" for every file the run left in its folder.
std::string FolderDigests(const std::string& name, const std::string& dir)
{
    std::string out;
    for (const std::string& file : FolderEntries(dir)) {
        std::string text = ReadFile(dir + "/" + file);
        if (file == "summary.json")
            text = Masked(text, "\"cpu_seconds\": ", "\"cpu_seconds\": ", 0, ",");
        if (file == "report.html" || file.find("_report.html") != std::string::npos)
            text = Masked(text, "<tr><td><a href=\"#run", "<td class=\"n\">", 4, "</td>");
        out += name + "/" + file + " " + Digest(text) + "\n";
    }
    return out;
}

}  // namespace

// Three runs with -B, and three chains with a consensus, known factors and
// -o beside the folder: every byte as before, in every file.
TEST(FolderOnce, MultiRunFolderKeepsItsBytes)
{
    CTempDir dir;
    WriteFile(dir.Path("input.fa"), ReadFile(kSource + "/tests/golden/input.fa"));
    WriteFile(dir.Path("eve.pwm"), ReadFile(kSource + "/examples/fly_eve_stripe37.pwm"));
    const std::vector<std::string> common = {"-i", "input.fa", "-n", "150", "-K", "2", "-L", "60",
                                             "-w", "6", "-W", "9", "--seed", "11", "--quiet"};
    std::vector<std::string> runs = common, chains = common;
    for (const char* w : {"-B", "-N", "3", "--outdir", "runs"})
        runs.push_back(w);
    for (const char* w : {"--chains", "3", "--min-support", "2", "--known", "eve.pwm", "--outdir", "chains", "-o",
                          "side/c.txt"})
        chains.push_back(w);
    ASSERT_EQ(0, mkdir(dir.Path("side").c_str(), 0777));
    ASSERT_EQ(0, RunRuzaravo(runs, dir.m_Dir).Status);
    ASSERT_EQ(0, RunRuzaravo(chains, dir.m_Dir).Status);
    std::string got = FolderDigests("runs", dir.Path("runs")) + FolderDigests("chains", dir.Path("chains")) +
                      FolderDigests("side", dir.Path("side"));
    const char* update = getenv("RUZARAVO_UPDATE_GOLDEN");
    if (update && *update)
        WriteFile(kDigests, got);
    EXPECT_EQ(ReadFile(kDigests), got);
}

namespace {

// A random record of run `run` on `seqs` sequences named chrom:start-end
// (so genome coordinates place them), with up to three motifs whose sites
// often share starts across runs and strands.
RunResult RandomRun(std::mt19937& gen, int run, int seqs)
{
    auto pick = [&gen](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    RunResult r;
    r.run = run;
    r.seed = 100 + run;
    r.cmdLine = "Banner\n./Ruzaravo -i x.fa -N 5 ";
    r.bothStrands = run % 2 == 0 || pick(0, 1);
    r.bgFreqs = {0.3, 0.2, 0.2, 0.3};
    std::mt19937 same(seqs);   // every run reads the same sequences
    for (int j = 0; j < seqs; j++) {
        SequenceResult s;
        s.length = 20 + (int)(same() % 20);
        s.id = "chr" + std::to_string(j % 2) + ":" + std::to_string(1000 * j) + "-" + std::to_string(1000 * j + s.length);
        s.name = ">" + s.id;
        for (int p = 0; p < s.length; p++)
            s.moduleProb.push_back(pick(0, 4) / 4.0);
        r.seqs.push_back(s);
    }
    r.motifNum = pick(1, 3);
    for (int k = 0; k < r.motifNum; k++) {
        MotifResult m;
        m.index = k;
        m.width = 5;
        m.printed = pick(0, 3) > 0;
        if (m.printed) {
            m.siteCount = pick(3, 6);
            for (int c = 0; c < m.width; c++)
                m.counts.push_back({{m.siteCount, 0, 0, 0}});
            m.consensus = "AAAAA";
            for (int i = 0; i < m.siteCount; i++)
                m.sites.push_back({pick(0, seqs - 1), pick(0, 3) * 5, pick(0, 1) == 1, "AAAAA", 3, pick(1, 9) / 10.0});
        }
        r.motifs.push_back(m);
    }
    for (int j = 0; j < seqs; j++)
        if (pick(0, 1))
            r.modules.push_back({j, 2, 15, 15, {}});
    return r;
}

}  // namespace

// Added run by run, the folder holds after every run exactly what each
// writer gives for all the runs so far at once, and sites.bed is the lines
// of every run in the order one stable sort of them all gives (then, in
// genome coordinates, put in position order).
TEST(FolderOnce, RunByRunEqualsAllAtOnce)
{
    std::mt19937 gen(19);
    for (int trial = 0; trial < 40; trial++) {
        bool genome = trial % 2 == 1;
        int seqs = 1 + trial % 4;
        FolderContent content(FolderPlan(), genome);
        std::vector<RunResult> runs;
        for (int n = 0; n < 1 + trial % 5; n++) {
            runs.push_back(RandomRun(gen, n, seqs));
            content.Add(runs.back());
            std::vector<SiteBedLine> all;
            for (const RunResult& r : runs) {
                std::vector<SiteBedLine> mine = SiteBedLines(r, genome);
                all.insert(all.end(), mine.begin(), mine.end());
            }
            std::stable_sort(all.begin(), all.end(), [](const SiteBedLine& a, const SiteBedLine& b) {
                return std::tie(a.seq, a.start, a.run, a.motif) < std::tie(b.seq, b.start, b.run, b.motif);
            });
            std::string result, modPr;
            for (const RunResult& r : runs) {
                result += FormatResultBlock(r);
                modPr += FormatModPrBlock(r);
            }
            const std::vector<std::pair<std::string, std::string>> want = {
                {"result.txt", result},
                {"result.txt_modpr.txt", modPr},
                {"motifs.meme", FormatMeme(runs)},
                {"motifs.jaspar", FormatJaspar(runs)},
                {"sites.bed", genome ? SortedByPlace(SiteBedText(all), 2) : SiteBedText(all)},
                {"modules.bed", FormatModulesBed(runs, genome)},
                {"annotations.gff3", FormatGff3(runs, genome)},
                {"modpr.bedgraph", FormatModPrBedGraph(runs, genome)},
                {"summary.json", FormatSummaryJson(runs, genome)},
            };
            ASSERT_EQ(want, content.Files(nullptr, runs)) << "trial " << trial << ", run " << n;
            ASSERT_EQ(want[4].second, FormatSitesBed(runs, genome));
        }
    }
}

// Each plan's files, written into an empty folder, are the folder's files:
// nothing missing, nothing extra (no temporary file), in the plan's order.
TEST(FolderOnce, PlanNamesExactlyTheFilesWritten)
{
    std::mt19937 gen(5);
    std::vector<RunResult> runs = {RandomRun(gen, 0, 3), RandomRun(gen, 1, 3), RandomRun(gen, 2, 3)};
    ChainClusters clusters = ClusterChains(runs);
    for (int variant = 0; variant < 4; variant++) {
        FolderPlan plan;
        plan.chains = variant > 0;
        plan.minSupport = variant >= 2 ? 1 : 0;
        plan.known = variant == 3;
        CTempDir dir;
        FolderContent content(plan, false);
        for (const RunResult& r : runs)
            content.Add(r);
        ASSERT_FALSE(WriteOutputFolder(dir.m_Dir, content, plan.chains ? &clusters : nullptr, runs));
        std::vector<std::string> names = plan.Names(), sorted = names;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, FolderEntries(dir.m_Dir)) << "variant " << variant;
        std::vector<std::string> order;
        for (const auto& file : content.Files(plan.chains ? &clusters : nullptr, runs))
            order.push_back(file.first);
        EXPECT_EQ(names, order);
        EXPECT_EQ(names, OutputFolderNames(plan.chains, plan.minSupport > 0, plan.known));
        EXPECT_EQ("summary.json", names.back());
        EXPECT_EQ(9u + (variant > 0) + 3 * (variant > 1) + (variant > 2), names.size());
    }
}

// A folder file that is a directory, or a folder that is gone: the writer
// stops at that file and names it; the files before it are whole and no
// temporary file is left. Through the program: the fixed message on
// standard output, the file and reason on standard error, status 1.
TEST(FolderOnce, WriteFailureIsAFaultNamingTheFile)
{
    std::mt19937 gen(7);
    std::vector<RunResult> runs = {RandomRun(gen, 0, 2)};
    FolderContent content(FolderPlan(), false);
    content.Add(runs[0]);
    CTempDir dir;
    ASSERT_EQ(0, mkdir(dir.Path("sites.bed").c_str(), 0777));
    Fault fault = WriteOutputFolder(dir.m_Dir, content, nullptr, runs);
    EXPECT_EQ(dir.m_Dir + "/sites.bed", fault.path);
    EXPECT_EQ(0u, fault.reason.find("writing the file failed (Is a directory)")) << fault.reason;
    EXPECT_EQ(FormatJaspar(runs), ReadFile(dir.Path("motifs.jaspar")));
    EXPECT_FALSE(FileExists(dir.Path("modules.bed")));   // writing stopped at sites.bed
    EXPECT_EQ((std::vector<std::string>{"motifs.jaspar", "motifs.meme", "result.txt", "result.txt_modpr.txt",
                                        "sites.bed"}),
              FolderEntries(dir.m_Dir));
    Fault gone = WriteOutputFolder(dir.Path("missing"), content, nullptr, runs);
    EXPECT_EQ(dir.Path("missing") + "/result.txt", gone.path);
    EXPECT_EQ(0u, gone.reason.find("cannot be created (No such file or directory)")) << gone.reason;

    CTempDir run;
    WriteFile(run.Path("input.fa"), ReadFile(kSource + "/tests/golden/input.fa"));
    ASSERT_EQ(0, mkdir(run.Path("out").c_str(), 0777));
    ASSERT_EQ(0, mkdir(run.Path("out/modules.bed").c_str(), 0777));
    TOOLRUN got = RunTool(run.m_Dir, std::string("'") + RUZARAVO_EXE +
                                         "' -i input.fa -n 20 -K 2 -w 6 -W 9 --seed 3 --quiet --outdir out --force");
    EXPECT_EQ(1, got.Status);
    EXPECT_NE(std::string::npos, got.Output.find("\nOutput file error!\n")) << got.Output;
    EXPECT_NE(std::string::npos, got.Output.find("Ruzaravo: out/modules.bed: writing the file failed (Is a directory)"))
        << got.Output;
    EXPECT_EQ("modules.bed\n", RunTool(run.Path("out"), "ls -A | grep -v '^result\\|^motifs\\|^sites'").Output);
}
