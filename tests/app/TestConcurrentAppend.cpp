// Several processes appending to one result file at once: every block must
// arrive whole. Eight runs with different seeds start together on the same
// -o; the blocks in the shared files must be exactly the blocks the same
// eight runs write alone (in any order), for the result file and for its
// module-probability companion (large blocks, so unlocked writes would
// interleave). A ninth run, whose writes fail on a file-size limit, must
// take back only its own bytes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

// The blocks of a file, each starting at an occurrence of marker.
std::vector<std::string> Blocks(const std::string& text, const std::string& marker)
{
    std::vector<std::string> blocks;
    size_t at = text.find(marker);
    EXPECT_EQ(0u, at) << "the file does not start with a block";
    while (at != std::string::npos) {
        size_t next = text.find(marker, at + 1);
        blocks.push_back(text.substr(at, next == std::string::npos ? std::string::npos : next - at));
        at = next;
    }
    std::sort(blocks.begin(), blocks.end());
    return blocks;
}

const char kBanner[] = "Ruzaravo (compiled on 12/5/2005)\n";
const char kModPrMark[] = "\n**********\n";

std::string Command(int seed, const std::string& extra = "")
{
    return "./Ruzaravo -i in.fa -n 4 -K 2 -L 100 -o out.txt --seed " + std::to_string(seed) + extra +
           " >/dev/null 2>&1";
}

void LinkProgram(const std::string& dir)
{
    ASSERT_EQ(0, symlink(RUZARAVO_EXE, (dir + "/Ruzaravo").c_str()));
}

}  // namespace

TEST(ConcurrentAppend, EightProcessesOnOneResultFileWriteWholeBlocks)
{
    // 20 sequences of 3000 letters: a companion block of about 360 kB.
    std::string fasta = ToFasta(MakePlanted(31, 20, 3000, "TGACGTCATG", true).Seqs);
    CTempDir together;
    WriteFile(together.Path("in.fa"), fasta);
    LinkProgram(together.m_Dir);
    std::string all = "cd '" + together.m_Dir + "' && (";
    for (int seed = 1; seed <= 8; seed++)
        all += Command(seed) + " & ";
    // The ninth run may write no more than 64 kB into any file: its blocks fail.
    all += "(ulimit -f 64; " + Command(9) + "; echo $? > limited.status) & wait)";
    ASSERT_EQ(0, system(all.c_str()));

    std::vector<std::string> alone, aloneModPr;
    for (int seed = 1; seed <= 8; seed++) {
        CTempDir dir;
        WriteFile(dir.Path("in.fa"), fasta);
        LinkProgram(dir.m_Dir);
        std::string one = "cd '" + dir.m_Dir + "' && " + Command(seed);
        ASSERT_EQ(0, system(one.c_str()));
        alone.push_back(ReadFile(dir.Path("out.txt")));
        aloneModPr.push_back(ReadFile(dir.Path("out.txt_modpr.txt")));
    }
    std::sort(alone.begin(), alone.end());
    std::sort(aloneModPr.begin(), aloneModPr.end());
    ASSERT_GT(aloneModPr[0].size(), 200000u);

    std::vector<std::string> shared = Blocks(ReadFile(together.Path("out.txt")), kBanner);
    std::vector<std::string> sharedModPr = Blocks(ReadFile(together.Path("out.txt_modpr.txt")), kModPrMark);
    EXPECT_EQ(8u, shared.size());
    EXPECT_EQ(8u, sharedModPr.size());
    EXPECT_TRUE(alone == shared) << "a result block is not whole";
    EXPECT_TRUE(aloneModPr == sharedModPr) << "a module-probability block is not whole";
    EXPECT_EQ("1\n", ReadFile(together.Path("limited.status")));   // "Output file error!"
}
