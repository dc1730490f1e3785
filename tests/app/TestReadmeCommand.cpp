// The README's commands run as written from the repository root: the
// recommended discovery command (the enhancers preset with the shipped fly
// background set) and the scan's worked example on the eve locus. Each
// command line is taken from the README itself and run in a folder laid out
// like the repository (build/Ruzaravo, examples/).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

// The first line of a shell block that runs the preset with a background set.
std::string RecommendedCommand(const std::string& readme)
{
    std::istringstream in(readme);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("build/Ruzaravo ", 0) == 0 && line.find("--preset enhancers") != std::string::npos &&
            line.find("--bg-fasta") != std::string::npos)
            return line;
    return "";
}

// The scan's worked example: the line that scans examples/, joined with
// its continuation lines.
std::string ScanExample(const std::string& readme)
{
    std::istringstream in(readme);
    std::string line, command;
    while (std::getline(in, line)) {
        if (command.empty() && line.rfind("build/Ruzaravo --scan examples/", 0) != 0)
            continue;
        const bool more = !line.empty() && line.back() == '\\';
        command += more ? line.substr(0, line.size() - 1) : line;
        if (!more)
            break;
    }
    return command;
}

// A folder laid out like the repository: examples/ and build/Ruzaravo.
void LayOutRepository(const CTempDir& root)
{
    const std::string source = RUZARAVO_SOURCE_DIR;
    ASSERT_EQ(0, symlink((source + "/examples").c_str(), root.Path("examples").c_str()));
    ASSERT_EQ(0, mkdir(root.Path("build").c_str(), 0755));
    ASSERT_EQ(0, symlink(RUZARAVO_EXE, root.Path("build/Ruzaravo").c_str()));
}

}  // namespace

TEST(ReadmeCommand, RecommendedCommandRunsOnTheShippedFiles)
{
    const std::string source = RUZARAVO_SOURCE_DIR;
    const std::string command = RecommendedCommand(ReadFile(source + "/README.md"));
    ASSERT_FALSE(command.empty()) << "no recommended command in README.md";
    EXPECT_NE(std::string::npos, command.find("examples/fly_background.fasta")) << command;

    CTempDir root;
    LayOutRepository(root);
    const std::string run = "cd '" + root.m_Dir + "' && " + command + " -n 20 >stdout.txt 2>/dev/null";
    ASSERT_EQ(0, system(run.c_str())) << run;

    const std::string out = ReadFile(root.Path("stdout.txt"));
    EXPECT_NE(std::string::npos, out.find("Motifs of 5 chains in ")) << out;
    EXPECT_NE(std::string::npos, out.find("Consensus (support 3 or more of 5 chains): ")) << out;
    EXPECT_TRUE(FileExists(root.Path("out/chains.tsv")));
    EXPECT_TRUE(FileExists(root.Path("out/consensus.bed")));
    EXPECT_NE(std::string::npos, ReadFile(root.Path("out/result.txt")).find("--bg-fasta examples/fly_background.fasta"));
}

// The worked scan finds what the README says: four of the locus's five
// stripe enhancers among the seven best modules by score. The scores do
// not depend on the size of the null, which is cut to keep the test short.
TEST(ReadmeCommand, ScanExampleRanksTheStripeEnhancers)
{
    const std::string source = RUZARAVO_SOURCE_DIR;
    const std::string command = ScanExample(ReadFile(source + "/README.md"));
    ASSERT_FALSE(command.empty()) << "no scan example on examples/ in README.md";
    EXPECT_NE(std::string::npos, command.find("--max-p 1")) << command;

    CTempDir root;
    LayOutRepository(root);
    const std::string run = "cd '" + root.m_Dir + "' && " + command + " --null-tiles 500 >/dev/null 2>&1";
    ASSERT_EQ(0, system(run.c_str())) << run;

    std::vector<std::vector<std::string>> modules;
    for (const std::string& line : Lines(ReadFile(root.Path("eve_scan/modules.bed"))))
        modules.push_back(Fields(line));
    ASSERT_GE(modules.size(), 7u);
    std::stable_sort(modules.begin(), modules.end(), [](const auto& a, const auto& b) {
        return std::stod(a[4]) > std::stod(b[4]);
    });
    int found = 0;
    std::vector<std::string> crms = Lines(ReadFile(source + "/examples/eve_locus_crms.tsv"));
    for (size_t c = 1; c < crms.size(); c++) {
        const std::vector<std::string> crm = Fields(crms[c]);
        const long long start = std::stoll(crm[1]), end = std::stoll(crm[2]);
        bool hit = false;
        for (size_t m = 0; m < 7; m++)
            hit = hit || (std::stoll(modules[m][1]) < end && start < std::stoll(modules[m][2]));
        found += hit;
    }
    EXPECT_GE(found, 4) << ReadFile(root.Path("eve_scan/modules.bed"));
}
