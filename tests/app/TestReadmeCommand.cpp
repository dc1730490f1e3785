// The README's recommended command (the enhancers preset with the shipped
// fly background set) runs as written from the repository root: the command
// line is taken from the README itself and run, with few sweeps, in a
// folder laid out like the repository (build/Ruzaravo, examples/).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

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

}  // namespace

TEST(ReadmeCommand, RecommendedCommandRunsOnTheShippedFiles)
{
    const std::string source = RUZARAVO_SOURCE_DIR;
    const std::string command = RecommendedCommand(ReadFile(source + "/README.md"));
    ASSERT_FALSE(command.empty()) << "no recommended command in README.md";
    EXPECT_NE(std::string::npos, command.find("examples/fly_background.fasta")) << command;

    CTempDir root;
    ASSERT_EQ(0, symlink((source + "/examples").c_str(), root.Path("examples").c_str()));
    ASSERT_EQ(0, mkdir(root.Path("build").c_str(), 0755));
    ASSERT_EQ(0, symlink(RUZARAVO_EXE, root.Path("build/Ruzaravo").c_str()));
    const std::string run = "cd '" + root.m_Dir + "' && " + command + " -n 20 >stdout.txt 2>/dev/null";
    ASSERT_EQ(0, system(run.c_str())) << run;

    const std::string out = ReadFile(root.Path("stdout.txt"));
    EXPECT_NE(std::string::npos, out.find("Motifs of 5 chains in ")) << out;
    EXPECT_NE(std::string::npos, out.find("Consensus (support 3 or more of 5 chains): ")) << out;
    EXPECT_TRUE(FileExists(root.Path("out/chains.tsv")));
    EXPECT_TRUE(FileExists(root.Path("out/consensus.bed")));
    EXPECT_NE(std::string::npos, ReadFile(root.Path("out/result.txt")).find("--bg-fasta examples/fly_background.fasta"));
}
