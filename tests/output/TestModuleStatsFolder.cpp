// --module-stats through the executable on planted modules: the modules
// over the planted clusters get q < 0.05, the extended modules.bed is read
// by bedtools, summary.json with the new members validates against its
// schema and agrees with the BED columns, gt validates the GFF3, and the
// option changes nothing else (result file, companion, sites, motifs). The
// null refitted to shuffled copies (--module-null-runs) keeps the planted
// modules and gives random input none with q < 0.05. Bad combinations of
// the options are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "ToolRun.h"
#include "base/Rng.h"
#include "support/TestSupport.h"

namespace {

const std::string kSchema = std::string(RUZARAVO_SOURCE_DIR) + "/output/summary.schema.json";
const std::vector<std::string> kMotifs = {"TGACTCAT", "GGGATTCC", "CACGTGAC"};
const int kSeqs = 24, kLen = 600;

// Uniform letters (seeded); with plant, three of every four sequences hold one copy of each
// motif inside the stretch [200, 400), the way a module looks. planted
// gets one BED line per such stretch.
std::string PlantedFasta(std::string* planted, unsigned seed = 2024, bool plant = true, int seqs = kSeqs)
{
    Rng rng(seed);
    std::string fa;
    for (int j = 0; j < seqs; j++) {
        std::string s(kLen, 'A');
        for (char& c : s)
            c = "ACGT"[rng.next() % 4];
        if (plant && j % 4 != 3) {
            for (int k = 0; k < 3; k++)
                s.replace(210 + 64 * k, 8, kMotifs[k]);
            *planted += "s" + std::to_string(j) + "\t200\t400\n";
        }
        fa += ">s" + std::to_string(j) + "\n" + s + "\n";
    }
    return fa;
}

struct STATSFOLDER {
    CTempDir Dir;
    std::string Planted;
    int WithStatus = -1, WithoutStatus = -1;
    STATSFOLDER()
    {
        WriteFile(Dir.Path("in.fa"), PlantedFasta(&Planted));
        WriteFile(Dir.Path("planted.bed"), Planted);
        const std::vector<std::string> args = {"-i", "in.fa", "-K", "3", "-w", "8", "-W", "8", "-n", "150",
                                               "--seed", "2", "--quiet"};
        std::vector<std::string> with = args, without = args;
        for (const char* w : {"--outdir", "with", "--module-stats"})
            with.push_back(w);
        for (const char* w : {"--outdir", "without"})
            without.push_back(w);
        WithStatus = RunRuzaravo(with, Dir.m_Dir).Status;
        WithoutStatus = RunRuzaravo(without, Dir.m_Dir).Status;
    }
    std::string Out(const std::string& folder, const std::string& name) const
    {
        return ReadFile(Dir.Path(folder + "/" + name));
    }
};

const STATSFOLDER& Folder()
{
    static STATSFOLDER f;
    return f;
}

// The result text without its command-line line (the only line naming the
// options).
std::string WithoutCommandLine(const std::string& text)
{
    std::string out;
    for (const std::string& line : Lines(text))
        if (line.find("--outdir") == std::string::npos)
            out += line + "\n";
    return out;
}

}  // namespace

TEST(ModuleStatsFolder, PlantedModulesHaveSmallQ)
{
    const STATSFOLDER& f = Folder();
    ASSERT_EQ(0, f.WithStatus);
    int overPlanted = 0, small = 0;
    for (const std::string& line : Lines(f.Out("with", "modules.bed"))) {
        std::vector<std::string> b = Fields(line);
        ASSERT_EQ(10u, b.size()) << line;
        const int seq = std::stoi(b[0].substr(1)), start = std::stoi(b[1]), end = std::stoi(b[2]);
        const double p = std::stod(b[7]), q = std::stod(b[8]);
        EXPECT_TRUE(p > 0 && p <= 1 && q >= p && q <= 1) << line;
        EXPECT_EQ(q > 0.05, b[9].find("q_above_threshold") != std::string::npos) << line;
        if (seq % 4 != 3 && start < 400 && end > 200) {
            overPlanted++;
            small += q < 0.05;
        }
    }
    EXPECT_GE(overPlanted, 12);
    EXPECT_GE(small * 10, overPlanted * 9) << small << " of " << overPlanted;
}

// Counts a folder's modules and those with q < 0.05 (first, second).
std::pair<int, int> ModulesAndSmallQ(const std::string& bed)
{
    std::pair<int, int> n(0, 0);
    for (const std::string& line : Lines(bed)) {
        n.first++;
        n.second += std::stod(Fields(line).at(8)) < 0.05;
    }
    return n;
}

// The null refitted to shuffled copies is stricter (a discovery run finds
// chance modules in shuffled letters too), yet on 60 sequences, where
// discovery finds the three motifs, the planted modules keep q < 0.05. It
// says what it does on standard error and records its runs.
TEST(ModuleStatsFolder, RefittedNullKeepsPlantedModules)
{
    CTempDir dir;
    std::string planted;
    WriteFile(dir.Path("in.fa"), PlantedFasta(&planted, 2024, true, 60));
    ASSERT_EQ(0, RunRuzaravo({"-i", "in.fa", "-n", "1", "-o", "link.txt", "--quiet"}, dir.m_Dir).Status);
    const TOOLRUN r = RunTool(dir.m_Dir, "./Ruzaravo -i in.fa -K 3 -w 8 -W 8 -n 300 --seed 2 --module-stats "
                                         "--module-null-runs 8 --outdir refit 2>&1 >/dev/null");
    ASSERT_EQ(0, r.Status) << r.Output;
    EXPECT_NE(std::string::npos, r.Output.find("module null: discovery run 8 of 8 on a shuffled copy")) << r.Output;
    EXPECT_NE(std::string::npos, ReadFile(dir.Path("refit/summary.json")).find("\"null_runs\": 8"));
    int overPlanted = 0, small = 0;
    for (const std::string& line : Lines(ReadFile(dir.Path("refit/modules.bed")))) {
        std::vector<std::string> b = Fields(line);
        if (std::stoi(b[0].substr(1)) % 4 != 3 && std::stoi(b[1]) < 400 && std::stoi(b[2]) > 200) {
            overPlanted++;
            small += std::stod(b[8]) < 0.05;
        }
    }
    EXPECT_GE(overPlanted, 36);
    EXPECT_GE(small * 10, overPlanted * 9) << small << " of " << overPlanted;
}

// Random letters: the motifs fitted to them make their own modules look
// significant against shuffled letters, but not against shuffled copies
// with motifs refitted to them.
TEST(ModuleStatsFolder, RefittedNullCalibratesRandomInput)
{
    CTempDir dir;
    int ownSmall = 0, refitSmall = 0, modules = 0;
    for (unsigned seed : {31u, 32u}) {
        std::string none;
        WriteFile(dir.Path("random.fa"), PlantedFasta(&none, seed, false));
        const std::vector<std::string> args = {"-i", "random.fa", "-K", "3", "-w", "8", "-W", "8", "-n", "150",
                                               "--seed", std::to_string(seed), "--quiet", "--module-stats"};
        const std::string ownDir = "own" + std::to_string(seed), refitDir = "refit" + std::to_string(seed);
        std::vector<std::string> own = args, refit = args;
        for (const std::string& w : {std::string("--outdir"), ownDir})
            own.push_back(w);
        for (const std::string& w : {std::string("--outdir"), refitDir, std::string("--module-null-runs"), std::string("8")})
            refit.push_back(w);
        ASSERT_EQ(0, RunRuzaravo(own, dir.m_Dir).Status);
        ASSERT_EQ(0, RunRuzaravo(refit, dir.m_Dir).Status);
        const std::pair<int, int> o = ModulesAndSmallQ(ReadFile(dir.Path(ownDir + "/modules.bed")));
        const std::pair<int, int> r = ModulesAndSmallQ(ReadFile(dir.Path(refitDir + "/modules.bed")));
        EXPECT_EQ(o.first, r.first) << seed;
        modules += r.first;
        ownSmall += o.second > 0;
        refitSmall += r.second > 0;
    }
    EXPECT_GT(modules, 0);
    EXPECT_EQ(0, refitSmall);
    EXPECT_GE(ownSmall, 1);
}

// The refitted null depends on the options and the input only, so chains
// share it: R null runs in all, and every chain's null has the same tiles.
TEST(ModuleStatsFolder, ChainsShareTheRefittedNull)
{
    CTempDir dir;
    std::string none;
    WriteFile(dir.Path("in.fa"), PlantedFasta(&none, 41, false));
    ASSERT_EQ(0, RunRuzaravo({"-i", "in.fa", "-n", "1", "-o", "link.txt", "--quiet"}, dir.m_Dir).Status);
    const TOOLRUN r = RunTool(dir.m_Dir, "./Ruzaravo -i in.fa -K 2 -w 8 -W 8 -n 60 --seed 4 --chains 3 --threads 2 "
                                         "--module-stats --module-null-runs 2 --outdir out 2>&1 >/dev/null");
    ASSERT_EQ(0, r.Status) << r.Output;
    size_t lines = 0;
    for (const std::string& line : Lines(r.Output))
        lines += line.find("module null: discovery run") != std::string::npos;
    EXPECT_EQ(2u, lines) << r.Output;
    const std::string json = ReadFile(dir.Path("out/summary.json"));
    std::vector<std::string> nulls;
    for (size_t at = json.find("\"null_tiles\""); at != std::string::npos; at = json.find("\"null_tiles\"", at + 1))
        nulls.push_back(json.substr(at, json.find(',', at) - at));
    ASSERT_EQ(3u, nulls.size()) << json;
    EXPECT_EQ(nulls[0], nulls[1]);
    EXPECT_EQ(nulls[0], nulls[2]);
    EXPECT_NE("\"null_tiles\": 0", nulls[0]);
}

TEST(ModuleStatsFolder, NothingElseChanges)
{
    const STATSFOLDER& f = Folder();
    ASSERT_EQ(0, f.WithoutStatus);
    EXPECT_EQ(WithoutCommandLine(f.Out("without", "result.txt")), WithoutCommandLine(f.Out("with", "result.txt")));
    for (const char* name : {"result.txt_modpr.txt", "sites.bed", "motifs.meme", "modpr.bedgraph"})
        EXPECT_EQ(f.Out("without", name), f.Out("with", name)) << name;
    // The first six BED columns are the plain file's.
    std::vector<std::string> plain = Lines(f.Out("without", "modules.bed")), ext = Lines(f.Out("with", "modules.bed"));
    ASSERT_EQ(plain.size(), ext.size());
    for (size_t i = 0; i < plain.size(); i++) {
        std::vector<std::string> a = Fields(plain[i]), b = Fields(ext[i]);
        ASSERT_EQ(6u, a.size());
        EXPECT_EQ(a, std::vector<std::string>(b.begin(), b.begin() + 6));
    }
    EXPECT_EQ(std::string::npos, f.Out("without", "summary.json").find("p_value"));
}

TEST(ModuleStatsFolder, ToolsReadTheFiles)
{
    const STATSFOLDER& f = Folder();
    ASSERT_EQ(0, f.WithStatus);
    std::string missing;
    if (HaveTool("bedtools")) {
        TOOLRUN sorted = RunTool(f.Dir.m_Dir, "bedtools sort -i with/modules.bed");
        ASSERT_EQ(0, sorted.Status) << sorted.Output;
        EXPECT_EQ(Lines(f.Out("with", "modules.bed")).size(), Lines(sorted.Output).size());
        for (const std::string& line : Lines(sorted.Output))
            EXPECT_EQ(10u, Fields(line).size()) << line;
        TOOLRUN hit = RunTool(f.Dir.m_Dir, "bedtools intersect -u -a with/modules.bed -b planted.bed | wc -l");
        EXPECT_EQ(0, hit.Status);
        EXPECT_GE(std::stoi(hit.Output), 12);
    } else {
        missing += " bedtools";
    }
    if (HaveTool("gt")) {
        TOOLRUN gt = RunTool(f.Dir.m_Dir, "gt gff3validator with/annotations.gff3");
        EXPECT_EQ(0, gt.Status) << gt.Output;
    } else {
        missing += " genometools";
    }
    if (RunTool("/", "python3 -c 'import jsonschema' >/dev/null 2>&1").Status == 0) {
        // Valid against the schema, and each module's p and q are the BED's.
        const std::string script =
            "import json,sys,jsonschema\n"
            "d=json.load(open('with/summary.json'))\n"
            "jsonschema.validate(d, json.load(open(sys.argv[1])))\n"
            "bed=[l.split('\\t') for l in open('with/modules.bed')]\n"
            "mods=d['runs'][0]['modules']\n"
            "assert len(mods)==len(bed) and d['runs'][0]['module_null']['null_tiles']==20000\n"
            "for m,b in zip(mods,bed):\n"
            "    assert b[3]==m['id'] and '%.3g'%m['p_value']==b[7] and '%.3g'%m['q_value']==b[8], (m,b)\n"
            "print('ok')\n";
        WriteFile(f.Dir.Path("check.py"), script);
        TOOLRUN check = RunTool(f.Dir.m_Dir, "python3 check.py " + kSchema);
        EXPECT_EQ(0, check.Status) << check.Output;
        EXPECT_EQ("ok\n", check.Output);
    } else {
        missing += " python3-jsonschema";
    }
    if (!missing.empty())
        GTEST_SKIP() << "not checked, tools missing (Debian packages:" << missing << ")";
}

TEST(ModuleStatsFolder, BadCombinationsAreRefused)
{
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ">a\nACGTACGTACGTAGCTAGCTAGCATCGACTACGACTAGCATCGA\n");
    const std::vector<std::vector<std::string>> bad = {
        {"--module-q", "0.1"},
        {"--module-stats", "--module-q", "0"},
        {"--module-stats", "--module-q", "1.5"},
        {"--module-stats", "-s"},
        {"--module-null-runs", "3"},
        {"--module-stats", "--module-null-runs", "-1"},
        {"--module-stats", "--module-null-runs", "2.5"},
    };
    for (const std::vector<std::string>& extra : bad) {
        std::vector<std::string> args = {"-i", "in.fa", "-n", "2", "-w", "5", "-W", "5", "-o", "out.txt"};
        args.insert(args.end(), extra.begin(), extra.end());
        RUNRESULT r = RunRuzaravo(args, dir.m_Dir);
        EXPECT_EQ(1, r.Status) << extra[0];
        EXPECT_EQ("Input option error!\n", r.Stdout) << extra[0];
        EXPECT_FALSE(FileExists(dir.Path("out.txt"))) << extra[0];
    }
}
