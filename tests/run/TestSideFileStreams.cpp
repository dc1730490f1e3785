// Side files read once: -M, -b, --bg-fasta, --control and --known given as
// a gzip file, as a pipe (process substitution, through bash) carrying gzip
// data, and as standard input ("-") give byte for byte the results of the
// plain file. Only the echoed command line (it names the other path) and
// measured CPU times are left out of the comparison.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

// Runs "./Ruzaravo <words>" through bash in dir (so <(...) works); the
// words are pasted as they are. Returns the exit status and standard output.
RUNRESULT RunBash(const std::string& dir, const std::string& words)
{
    std::string link = dir + "/Ruzaravo";
    if (!FileExists(link) && symlink(RUZARAVO_EXE, link.c_str()) != 0)
        return RUNRESULT{-1, ""};
    return RunShell("bash -c 'cd \"" + dir + "\" && ./Ruzaravo " + words + "' 2>/dev/null");
}

// A text without the lines that echo the command line.
std::string WithoutCommandLine(const std::string& text)
{
    std::istringstream in(text);
    std::string line, kept;
    while (std::getline(in, line))
        if (line.find("./Ruzaravo ") == std::string::npos)
            kept += line + "\n";
    return kept;
}

// The report's sections after its header (the header names the files and
// the CPU times), with the count of known matrices read.
std::string ReportBody(const std::string& html)
{
    std::smatch m;
    std::string known = std::regex_search(html, m, std::regex("Known factors: [0-9]+ matrices")) ? m.str() : "";
    size_t at = html.find("<section");
    return known + (at == std::string::npos ? "" : html.substr(at));
}

// n sequences of len random letters, each with three copies of motif.
std::vector<std::string> Planted(int n, int len, const std::string& motif)
{
    std::mt19937 rng(3);
    std::vector<std::string> seqs;
    for (int i = 0; i < n; i++) {
        std::string s;
        for (int p = 0; p < len; p++)
            s += "ACGT"[rng() % 4];
        for (int k = 0; k < 3; k++)
            s.replace(rng() % (len - motif.size()), motif.size(), motif);
        seqs.push_back(s);
    }
    return seqs;
}

struct OUTCOME {
    int Status;
    std::string Stdout, Result, ModPr, Report;
};

OUTCOME RunWith(const std::string& dir, const std::string& words, const std::string& out)
{
    RUNRESULT r = RunBash(dir, "-i in.fa -n 150 --seed 5 -K 2 -L 60 -w 8 -W 10 -o " + out + " " + words);
    return {r.Status, WithoutCommandLine(r.Stdout), WithoutCommandLine(ReadFile(dir + "/" + out)),
            ReadFile(dir + "/" + out + "_modpr.txt"), ReportBody(ReadFile(dir + "/" + out + "_report.html"))};
}

}  // namespace

TEST(SideFiles, PipesAndGzipGiveThePlainFilesBytes)
{
    PLANTED other = MakePlanted(22, 6, 200, "CCAATTGG", true);
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(Planted(12, 300, "TGACTCATGA")));
    WriteFile(dir.Path("set.fa"), ToFasta(other.Seqs, "bg"));
    WriteFile(dir.Path("m.pwm"), ">10 AP1\n" + std::string("1\t8\t1\t1\n8\t1\t1\t1\n1\t1\t8\t1\n1\t1\t1\t8\n") +
                                     "1\t8\t1\t1\n1\t1\t1\t8\n1\t1\t8\t1\n8\t1\t1\t1\n1\t1\t1\t8\n8\t1\t1\t1\n");
    std::string bg;
    for (int s = 1; s <= 12; s++)
        for (int p = 1; p <= 300; p += 3)
            bg += std::to_string(s) + "\t-\t0.4\t0.1\t0.3\t0.2\t" + std::to_string(p) + "\n";
    WriteFile(dir.Path("bg.txt"), bg);
    for (const char* f : {"set.fa", "m.pwm", "bg.txt"})
        ASSERT_EQ(0, system(("gzip -c " + dir.Path(f) + " > " + dir.Path(f) + ".gz").c_str()));

    struct SIDE {
        const char* Option;
        const char* File;
        const char* Extra;   // words that make the file matter
    };
    const SIDE sides[] = {
        {"-M", "m.pwm", ""},
        {"-b", "bg.txt", ""},
        {"--bg-fasta", "set.fa", "--bg-order 2"},
        {"--control", "set.fa", ""},
        {"--known", "m.pwm", ""},
    };
    for (const SIDE& s : sides) {
        const std::string opt = std::string(s.Extra) + " " + s.Option + " ";
        const std::string file = s.File;
        OUTCOME plain = RunWith(dir.m_Dir, opt + file, "plain.txt");
        ASSERT_EQ(0, plain.Status) << s.Option;
        ASSERT_NE(std::string::npos, plain.Result.find("number of sites")) << s.Option;
        const std::vector<std::string> ways = {
            opt + file + ".gz",                          // a gzip file
            opt + "<(gzip -c " + file + ")",             // a pipe carrying gzip data
            opt + "<(cat " + file + ")",                 // a pipe of plain text
            opt + "- < " + file + ".gz",                 // standard input
        };
        for (size_t w = 0; w < ways.size(); w++) {
            OUTCOME got = RunWith(dir.m_Dir, ways[w], "got" + std::to_string(w) + ".txt");
            EXPECT_EQ(0, got.Status) << ways[w];
            EXPECT_EQ(plain.Stdout, got.Stdout) << ways[w];
            EXPECT_EQ(plain.Result, got.Result) << ways[w];
            EXPECT_EQ(plain.ModPr, got.ModPr) << ways[w];
            EXPECT_EQ(plain.Report, got.Report) << ways[w];
        }
    }
    // The files matter: without them the results differ.
    OUTCOME none = RunWith(dir.m_Dir, "", "none.txt");
    EXPECT_NE(none.Result, RunWith(dir.m_Dir, "-M m.pwm", "m.txt").Result);
    EXPECT_NE(none.Result, RunWith(dir.m_Dir, "-b bg.txt", "b.txt").Result);
    EXPECT_NE(none.Result, RunWith(dir.m_Dir, "--bg-order 2 --bg-fasta set.fa", "s.txt").Result);
    EXPECT_NE(none.Result, RunWith(dir.m_Dir, "--control set.fa", "c.txt").Result);
    EXPECT_NE(ReportBody(""), RunWith(dir.m_Dir, "--known m.pwm", "k.txt").Report);
}

// --genome-coords checks the names before any run; with -i from a pipe the
// check must leave the pipe to the sequence reader (it is read once).
TEST(SideFiles, GenomeNamesFromAPipeAreReadOnce)
{
    std::vector<std::string> seqs = Planted(6, 300, "TGACTCATGA");
    std::string fasta;
    for (size_t i = 0; i < seqs.size(); i++)
        fasta += ">chr2:" + std::to_string(1000 * i) + "-" + std::to_string(1000 * i + 300) + "\n" + seqs[i] + "\n";
    CTempDir dir;
    WriteFile(dir.Path("g.fa"), fasta);
    const std::string run = "-n 80 --seed 2 -K 1 -L 60 -w 8 -W 10 --genome-coords --outdir ";
    RUNRESULT plain = RunBash(dir.m_Dir, "-i g.fa " + run + "a");
    RUNRESULT piped = RunBash(dir.m_Dir, "-i <(cat g.fa) " + run + "b");
    ASSERT_EQ(0, plain.Status);
    EXPECT_EQ(0, piped.Status);
    EXPECT_EQ(WithoutCommandLine(plain.Stdout), WithoutCommandLine(piped.Stdout));
    const std::string bed = ReadFile(dir.Path("a/sites.bed"));
    EXPECT_NE(std::string::npos, bed.find("chr2\t")) << bed;
    EXPECT_EQ(bed, ReadFile(dir.Path("b/sites.bed")));
}
