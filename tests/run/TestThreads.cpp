// --threads: the same bytes in every file and on standard output for 1, 2
// and 3 threads over a set of cases (several runs at once, threads inside
// one run, one strand, independent motifs, drawn parameters, model odds,
// an output folder, a trace), and the refusal of counts outside 1..256.
#include <gtest/gtest.h>

#include <dirent.h>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

// A file's text without what differs between any two runs: the echoed
// command line (it names the thread count) and measured CPU seconds.
std::string Comparable(const std::string& text)
{
    static const std::regex cpu("\"cpu_seconds\": [-0-9.e+]+");
    std::istringstream in(text);
    std::string line, kept;
    while (std::getline(in, line))
        if (line.find("./Ruzaravo ") == std::string::npos && line.find("\"command_line\"") == std::string::npos)
            kept += std::regex_replace(line, cpu, "\"cpu_seconds\": -") + "\n";
    return kept;
}

// Every regular file of dir and its folders, by relative path, comparable.
void ReadTree(const std::string& dir, const std::string& rel, std::map<std::string, std::string>* files)
{
    DIR* d = opendir((dir + "/" + rel).c_str());
    if (!d)
        return;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == ".." || name == "Ruzaravo" || name == "in.fa")
            continue;
        std::string child = rel.empty() ? name : rel + "/" + name;
        if (e->d_type == DT_DIR) {
            ReadTree(dir, child, files);
            continue;
        }
        (*files)[child] = Comparable(ReadFile(dir + "/" + child));
    }
    closedir(d);
}

std::map<std::string, std::string> RunCase(const std::vector<std::string>& caseArgs, const std::string& fasta,
                                           int threads)
{
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), fasta);
    std::vector<std::string> args = {"-i", "in.fa", "-o", "out.txt", "--trace", "trace.tsv", "--seed", "11"};
    args.insert(args.end(), caseArgs.begin(), caseArgs.end());
    args.push_back("--threads");
    args.push_back(std::to_string(threads));
    RUNRESULT r = RunRuzaravo(args, dir.m_Dir);
    EXPECT_EQ(0, r.Status);
    std::map<std::string, std::string> files;
    ReadTree(dir.m_Dir, "", &files);
    files["<stdout>"] = Comparable(r.Stdout);
    return files;
}

}  // namespace

TEST(Threads, EveryOutputIsTheSameForOneTwoAndThreeThreads)
{
    PLANTED data = MakePlanted(21, 9, 260, "TGACTCAT", true);
    std::vector<std::string> seqs = data.Seqs;
    seqs.push_back("ACGTNNNNACGT");   // short, with N
    seqs.push_back("A");              // one letter: no module fits
    std::string fasta = ToFasta(seqs);
    const std::vector<std::vector<std::string>> cases = {
        {"-n", "120", "-N", "3", "-K", "2", "-L", "60"},
        {"-n", "100", "-K", "3", "-L", "50"},   // one run: the threads share its sequences
        {"-n", "100", "-N", "2", "-r", "0", "-K", "2", "-L", "40"},
        {"-n", "80", "-N", "2", "-s", "-K", "2"},
        {"-n", "80", "-N", "4", "-P", "-B", "-K", "1", "-L", "40", "--outdir", "folder"},
    };
    for (const auto& c : cases) {
        std::map<std::string, std::string> one = RunCase(c, fasta, 1);
        ASSERT_TRUE(one.count("out.txt") && one.count("trace.tsv") && one.count("out.txt_modpr.txt"));
        EXPECT_NE(std::string::npos, one["<stdout>"].find("Finish runing iteration 50."));
        for (int threads : {2, 3}) {
            std::map<std::string, std::string> many = RunCase(c, fasta, threads);
            ASSERT_EQ(one.size(), many.size()) << c[1] << " x" << threads;
            for (const auto& f : one)
                EXPECT_TRUE(many[f.first] == f.second)
                    << f.first << " differs with " << threads << " threads, case " << c[0] << " " << c[1]
                    << " " << c[2] << " " << c[3];
        }
    }
}

TEST(Threads, CountsOutside1To256AreRefused)
{
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ">a\nACGTACGTACGTACGTACGTACGTACGTACGT\n");
    for (const char* bad : {"0", "-3", "257", "100000", "many"}) {
        RUNRESULT r = RunRuzaravo({"-i", "in.fa", "-n", "2", "--threads", bad}, dir.m_Dir);
        EXPECT_EQ(1, r.Status) << bad;
        EXPECT_NE(std::string::npos, r.Stdout.find("Input number of threads error!")) << bad;
        EXPECT_FALSE(FileExists(dir.Path("output.txt"))) << bad;
    }
    for (const char* good : {"1", "256"}) {
        RUNRESULT r = RunRuzaravo({"-i", "in.fa", "-n", "2", "-L", "20", "--threads", good}, dir.m_Dir);
        EXPECT_EQ(0, r.Status) << good;
    }
}
