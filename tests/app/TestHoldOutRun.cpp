// Held-out E-values through the executable. A motif planted in every
// record of an input gets an E-value below 1e-3 on the held-out records,
// written to summary.json (valid against its schema), motifs.meme (E=, read
// by Biopython), the result file and the report. Inputs of the same size
// drawn from a first-order Markov chain give no motif with E below 0.05
// for most seeds, and the default --select-evalue 0.05 reports none of
// their motifs while keeping their measurements. Short seeded runs.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "analysis/HoldOut.h"
#include "support/TestSupport.h"

namespace {

const std::string kSource = RUZARAVO_SOURCE_DIR;

// n records of len letters from a first-order chain with a skewed,
// fixed transition matrix (rows A, C, G, T).
std::vector<std::string> MarkovRecords(unsigned seed, int n, int len)
{
    static const double kNext[4][4] = {
        {0.35, 0.15, 0.20, 0.30}, {0.30, 0.30, 0.10, 0.30}, {0.25, 0.25, 0.30, 0.20}, {0.20, 0.20, 0.25, 0.35}};
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<std::string> out;
    for (int i = 0; i < n; i++) {
        std::string s;
        int a = (int)(gen() % 4);
        for (int j = 0; j < len; j++) {
            double x = u(gen);
            int b = 0;
            while (b < 3 && x >= kNext[a][b])
                x -= kNext[a][b++];
            s.push_back("ACGT"[b]);
            a = b;
        }
        out.push_back(s);
    }
    return out;
}

// log10 E of every "held-out:" line of a result file.
std::vector<double> HeldOutLog10E(const std::string& result)
{
    std::vector<double> out;
    std::regex line("held-out: E [^\\n]*log10 E (-?[0-9.]+)\\n");
    for (auto m = std::sregex_iterator(result.begin(), result.end(), line); m != std::sregex_iterator(); ++m)
        out.push_back(std::stod((*m)[1].str()));
    return out;
}

const std::vector<std::string> kArgs = {"-K", "2", "-s", "-w", "8", "-W", "12", "-n", "150", "--seed", "5",
                                        "--quiet", "--holdout", "0.3"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

}  // namespace

TEST(HoldOutRun, PlantedMotifIsSignificantOnHeldOutRecordsAndReachesEveryOutput)
{
    PLANTED planted = MakePlanted(11, 60, 250, "TGACCTAGCGTA", true);
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(planted.Seqs, "p"));
    ASSERT_EQ(0, RunRuzaravo(With(kArgs, {"-i", "in.fa", "--outdir", "out", "--report"}), dir.m_Dir).Status);
    std::string result = ReadFile(dir.Path("out/result.txt"));
    std::vector<double> e = HeldOutLog10E(result);
    ASSERT_FALSE(e.empty()) << result;
    EXPECT_LT(*std::min_element(e.begin(), e.end()), -3.0) << result;

    std::string summary = ReadFile(dir.Path("out/summary.json"));
    EXPECT_NE(std::string::npos, summary.find("\"heldout\": {\"E\": ")) << summary;
    std::string meme = ReadFile(dir.Path("out/motifs.meme"));
    EXPECT_TRUE(std::regex_search(meme, std::regex(" E= [0-9.]+e-0*([4-9]|[1-9][0-9])\\n"))) << meme;
    EXPECT_EQ(std::string::npos, meme.find(" E= 0\n"));
    EXPECT_NE(std::string::npos, ReadFile(dir.Path("out/report.html")).find(">held-out E-value</th>"));

    // With chains: E is corrected for K x chains motifs, and chains.tsv
    // carries it (and the shares of records with a site) in its last columns.
    ASSERT_EQ(0, RunRuzaravo(With(kArgs, {"-i", "in.fa", "--chains", "2", "--outdir", "chains"}), dir.m_Dir).Status);
    std::vector<std::string> rows = Lines(ReadFile(dir.Path("chains/chains.tsv")));
    ASSERT_GE(rows.size(), 2u);
    std::vector<std::string> head = Fields(rows[0]);
    ASSERT_GE(head.size(), 3u);
    EXPECT_EQ((std::vector<std::string>{"heldout_E", "input_with_site_pct", "control_with_site_pct"}),
              std::vector<std::string>(head.end() - 3, head.end()));
    double bestE = 1;
    for (size_t i = 1; i < rows.size(); i++) {
        std::vector<std::string> f = Fields(rows[i]);
        ASSERT_EQ(head.size(), f.size()) << rows[i];
        bestE = std::min(bestE, std::stod(f[f.size() - 3]));
        EXPECT_LE(std::stod(f[f.size() - 2]), 100.0);
    }
    EXPECT_LT(bestE, 1e-3);

    std::string py;
    for (const char* candidate : {"/usr/bin/python3", "python3"})
        if (py.empty() && system((std::string(candidate) + " -c 'import Bio.motifs, jsonschema' 2>/dev/null").c_str()) == 0)
            py = candidate;
    if (py.empty())
        GTEST_SKIP() << "summary.json and motifs.meme not read (Debian packages: python3-biopython python3-jsonschema)";
    std::string check = "cd '" + dir.m_Dir + "' && " + py + " '" + kSource + "/tests/output/check_folder.py' out '" +
                        kSource + "/output/summary.schema.json' >check.txt 2>&1";
    EXPECT_EQ(0, system(check.c_str())) << ReadFile(dir.Path("check.txt"));
}

TEST(HoldOutRun, RandomMarkovInputsGetNoSignificantMotifAndSelectionDropsTheirs)
{
    // -c 0.2 reports the weak motifs a random input gives, so there is
    // something to measure and to drop.
    int significant = 0, measured = 0;
    const int seeds = 8;
    for (unsigned seed = 1; seed <= (unsigned)seeds; seed++) {
        CTempDir dir;
        WriteFile(dir.Path("in.fa"), ToFasta(MarkovRecords(seed, 60, 250), "m"));
        ASSERT_EQ(0, RunRuzaravo(With(kArgs, {"-i", "in.fa", "-c", "0.2", "--outdir", "sel"}), dir.m_Dir).Status);
        ASSERT_EQ(0, RunRuzaravo(With(kArgs, {"-i", "in.fa", "-c", "0.2", "--outdir", "all", "--select-evalue", "1e300"}),
                                 dir.m_Dir).Status);
        std::string all = ReadFile(dir.Path("all/result.txt")), sel = ReadFile(dir.Path("sel/result.txt"));
        std::vector<double> e = HeldOutLog10E(all);
        measured += (int)e.size();
        bool any = false;
        for (double x : e)
            any = any || x < std::log10(0.05);
        significant += any;
        // The same motifs and measurements; selection only stops reporting
        // those above 0.05, which keep their line under "Not selected".
        EXPECT_EQ(e, HeldOutLog10E(sel));
        size_t dropped = 0;
        for (double x : e)
            dropped += x > std::log10(0.05);
        size_t notSelected = 0;
        for (size_t at = sel.find("Not selected (--select-evalue):\nheld-out:"); at != std::string::npos;
             at = sel.find("Not selected (--select-evalue):\nheld-out:", at + 1))
            notSelected++;
        EXPECT_EQ(dropped, notSelected) << sel;
        std::string summary = ReadFile(dir.Path("sel/summary.json"));
        EXPECT_EQ(dropped > 0, summary.find("\"not_selected\": [") != std::string::npos) << summary;
    }
    EXPECT_GE(measured, seeds);
    EXPECT_LE(significant, 1) << "of " << seeds << " random inputs";
}

TEST(HoldOutRun, OutOfRangeShareAndSelectionWithoutHoldOutAreRefused)
{
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(MarkovRecords(1, 4, 100), "m"));
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{"--holdout", "0"}, {"--holdout", "1"}, {"--holdout", "x"},
          {"--select-evalue", "0.05"}, {"--holdout", "0.2", "--select-evalue", "0"}}) {
        std::vector<std::string> args = With({"-i", "in.fa", "-n", "5", "-o", "r.txt"}, extra);
        RUNRESULT r = RunRuzaravo(args, dir.m_Dir);
        EXPECT_EQ(1, r.Status) << extra[0] << " " << extra[1];
        EXPECT_NE(std::string::npos, r.Stdout.find("Input option error!")) << r.Stdout;
    }
    EXPECT_FALSE(FileExists(dir.Path("r.txt")));
}

// The runs see exactly the kept records: a run with --holdout finds what a
// run on the kept records alone finds, site for site, and adds only its
// measurement lines (the hold-out draws nothing from the sampler).
TEST(HoldOutRun, DiscoveryIsThatOfTheKeptRecordsAlone)
{
    PLANTED planted = MakePlanted(12, 30, 200, "TGACCTAGCGTA", true);
    std::vector<bool> held = ChooseHeldOut(planted.Seqs, 0.3);
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(planted.Seqs, "p"));
    std::string kept;
    for (size_t i = 0; i < planted.Seqs.size(); i++)
        if (!held[i])
            kept += ">p" + std::to_string(i + 1) + "\n" + planted.Seqs[i] + "\n";
    WriteFile(dir.Path("kept.fa"), kept);
    std::vector<std::string> args = {"-K", "2", "-s", "-w", "8", "-W", "12", "-n", "150", "--seed", "9", "--quiet"};
    ASSERT_EQ(0, RunRuzaravo(With(args, {"-i", "in.fa", "--holdout", "0.3", "--select-evalue", "1e300", "-o", "h.txt"}),
                             dir.m_Dir).Status);
    ASSERT_EQ(0, RunRuzaravo(With(args, {"-i", "kept.fa", "--min-enrichment", "0", "-o", "k.txt"}), dir.m_Dir).Status);
    std::string h = ReadFile(dir.Path("h.txt")), k = ReadFile(dir.Path("k.txt"));
    EXPECT_NE(std::string::npos, h.find("held-out: E ")) << h;
    EXPECT_EQ(std::regex_replace(k, std::regex("\\./Ruzaravo [^\\n]*\\n"), ""),
              std::regex_replace(std::regex_replace(h, std::regex("\\./Ruzaravo [^\\n]*\\n"), ""),
                                 std::regex("held-out: [^\\n]*\\n"), ""));
}
