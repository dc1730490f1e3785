// The run set's answer through the executable: on sequences holding two
// planted words, with a library that holds one of them as a factor among
// the insect JASPAR matrices, chains agree on the planted word and
// name that factor with q < 0.05 for the cluster whose consensus is the word (chains.tsv, consensus.meme, the report);
// matches.tsv, summary.json (against the schema), consensus.meme
// (Bio.motifs) and consensus_modules.bed (bedtools) are read by the tools
// users have, and the consensus modules cover the planted words. A run set
// with fewer chains than asked says so in summary.json and the report.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ToolRun.h"
#include "output/AnswerFiles.h"
#include "output/html/AnswerSection.h"
#include "support/TestSupport.h"

namespace {

const std::string kSource = RUZARAVO_SOURCE_DIR;
const std::string kPlanted = "TGACGTCAGT";
const std::string kOther = "GGGATTAACC";

std::string Complement(const std::string& w)
{
    std::string out(w.rbegin(), w.rend());
    for (char& c : out)
        c = "TGCA"[std::string("ACGT").find(c)];
    return out;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

// 16 sequences of 300 random letters, kPlanted at 60-90 and kOther (either
// strand) 20-40 letters after it; the planted starts are returned.
std::string PlantedFasta(std::vector<int>* starts)
{
    std::mt19937 gen(3);
    auto pick = [&gen](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    std::vector<std::string> seqs;
    for (int i = 0; i < 16; i++) {
        std::string s;
        for (int p = 0; p < 300; p++)
            s += "ACGT"[pick(0, 3)];
        int at = pick(60, 90), next = at + pick(20, 40);
        s.replace(at, 10, kPlanted);
        s.replace(next, 10, i % 2 ? kOther : Complement(kOther));
        starts->push_back(at);
        seqs.push_back(s);
    }
    return ToFasta(seqs);
}

// The insect library with the planted word added as factor PLANT.1.
std::string Library()
{
    std::string lib = ReadFile(kSource + "/data/jaspar2024/JASPAR2024_CORE_insects_non-redundant.meme");
    lib += "\nMOTIF PLANT.1 planted\nletter-probability matrix: alength= 4 w= 10 nsites= 20\n";
    for (char c : kPlanted) {
        for (char b : std::string("ACGT"))
            lib += b == c ? " 0.97" : " 0.01";
        lib += "\n";
    }
    return lib + "\n";
}

}  // namespace

TEST(AnswerFiles, PlantedFactorIsTheAnswerAndToolsReadIt)
{
    CTempDir dir;
    std::vector<int> starts;
    WriteFile(dir.Path("in.fa"), PlantedFasta(&starts));
    WriteFile(dir.Path("lib.meme"), Library());
    RUNRESULT r = RunRuzaravo({"-i", "in.fa", "-n", "300", "-K", "2", "-w", "10", "-W", "10", "--seed", "7",
                               "--quiet", "--chains", "3", "--min-support", "2", "--known", "lib.meme", "--outdir",
                               "out"},
                              dir.m_Dir);
    ASSERT_EQ(0, r.Status) << r.Stdout;

    // A cluster found by two chains or more is the planted word, named by its factor.
    std::vector<std::string> rows = Lines(ReadFile(dir.Path("out/chains.tsv")));
    ASSERT_GE(rows.size(), 2u);
    std::vector<std::string> head = Fields(rows[0]);
    ASSERT_EQ("factor_q", head.back());
    std::string plantedCluster;
    for (std::size_t i = 1; i < rows.size(); i++) {
        std::vector<std::string> f = Fields(rows[i]);
        ASSERT_EQ(head.size(), f.size()) << rows[i];
        bool planted = f[5] == kPlanted || f[5] == Complement(kPlanted);
        if (std::stoi(f[1]) >= 2 && planted && f[f.size() - 3] == "PLANT.1" && std::stod(f.back()) < 0.05)
            plantedCluster = "cluster" + f[0];
    }
    ASSERT_FALSE(plantedCluster.empty()) << ReadFile(dir.Path("out/chains.tsv"));
    std::string meme = ReadFile(dir.Path("out/consensus.meme"));
    EXPECT_NE(std::string::npos, meme.find("MOTIF " + plantedCluster + " planted\n")) << meme;
    EXPECT_EQ(std::string::npos, meme.find("E= 0\n"));   // nothing was measured: no E= at all
    EXPECT_EQ(std::string::npos, meme.find("E="));

    // Every planted word lies in a module at least two chains call one.
    std::vector<std::string> bed = Lines(ReadFile(dir.Path("out/consensus_modules.bed")));
    for (std::size_t j = 0; j < starts.size(); j++) {
        bool covered = false;
        for (const std::string& line : bed) {
            std::vector<std::string> f = Fields(line);
            covered |= f[0] == "seq" + std::to_string(j + 1) && std::stoi(f[1]) <= starts[j] &&
                       starts[j] + 10 <= std::stoi(f[2]);
        }
        EXPECT_TRUE(covered) << "seq" << j + 1;
    }

    // The report opens with the answer, then the verdict, then the clusters.
    std::string page = ReadFile(dir.Path("out/report.html"));
    std::size_t answer = page.find("<section id=\"answer\"><h2>Answer</h2>");
    std::size_t verdict = page.find("<section id=\"chainconvergence\">");
    std::size_t chains = page.find("<section id=\"chains\">");
    ASSERT_NE(std::string::npos, answer);
    EXPECT_LT(answer, verdict);
    EXPECT_LT(verdict, chains);
    EXPECT_NE(std::string::npos, page.find("planted (PLANT.1)<br>q ", answer));
    EXPECT_NE(std::string::npos, page.find("<svg class=\"modmap consensusmap\"", answer));
    EXPECT_NE(std::string::npos, page.find("the chains ", verdict));
    std::size_t overlay = page.find("<svg class=\"convergence overlay\"", verdict);
    ASSERT_NE(std::string::npos, overlay);
    std::string plot = page.substr(overlay, page.find("</svg>", overlay) - overlay);
    EXPECT_EQ(3u, Count(plot, "<polyline"));

    if (HaveTool("bedtools")) {
        TOOLRUN sorted = RunTool(dir.m_Dir, "bedtools sort -i out/consensus_modules.bed");
        EXPECT_EQ(0, sorted.Status) << sorted.Output;
        EXPECT_EQ(bed.size(), Lines(sorted.Output).size());
    }
    std::string py = PythonWithBiopython();
    if (py.empty())
        GTEST_SKIP() << "matches.tsv, summary.json and consensus.meme not read (python3-biopython python3-jsonschema)";
    TOOLRUN check = RunTool(dir.m_Dir, py + " '" + kSource + "/tests/output/check_answers.py' out '" + kSource +
                                           "/output/summary.schema.json' 2");
    EXPECT_EQ(0, check.Status) << check.Output;
    EXPECT_EQ("ok\n", check.Output);
}

// A run set stopped after one of three chains: summary.json carries both
// counts and no verdict, the report says how many chains are missing; with
// neither --known nor --chains summary.json gains nothing.
TEST(AnswerFiles, FewerChainsThanAskedSaySo)
{
    RunSetAnswers answers;
    EXPECT_EQ("", AnswerJsonMembers(answers));
    answers.chainsAsked = 3;
    answers.chainsDone = 1;
    std::string json = AnswerJsonMembers(answers);
    EXPECT_EQ(",\n  \"chains_asked\": 3,\n  \"chains_done\": 1", json);
    std::vector<ChainTrace> traces(1);
    traces[0].logPosterior = {-10, -8, -7, -7.5};
    std::string html = ChainConvergenceHtml(answers, traces);
    EXPECT_NE(std::string::npos, html.find("1 of 3 chains finished; the others are missing."));
    EXPECT_NE(std::string::npos, html.find("No verdict"));
    answers.chainsDone = 3;
    answers.diagnosed = true;
    answers.diagnostics.rhatLogPosterior = 1.2;
    answers.diagnostics.essLogPosterior = {3, 4, 5};
    html = ChainConvergenceHtml(answers, traces);
    EXPECT_EQ(std::string::npos, html.find(" chains finished"));
    EXPECT_NE(std::string::npos, html.find("the chains disagree: run more sweeps"));
}
