// The executable's command-line behaviour, one line per case: arguments,
// expected exit status and standard output. None of these cases reads a
// sequence file or writes a result file.
#include <gtest/gtest.h>

#include <sstream>

#include "app/Options.h"
#include "support/TestSupport.h"

static const char* kUsage =
    "\n******************************\n"
    "   Ruzaravo 1.0 Dec. 5 2005.\n"
    "******************************\n"
    "\nUsage: ./Ruzaravo -i Seqfile (options)\n"
    "Seqfile must be in FASTA format and each line in the file should contain no more than 10K characters\n\n"
    "Options:\n"
    "\t-o\tOutput file (default output.txt)\n"
    "\t-n\tMaximum number of iterations (default 2000)\n"
    "\t-c\tThreshold for motif prediction (between 0 and 1; default 0.5)\n"
    "\t\tYou may increase this parameter if Ruzaravo predicts many sites\n"
    "\t-r\t1: search for both strands; 0: only search for forward strand (default 1)\n"
    "\t-K\tNumber of transcription factors (default 3)\n"
    "\t-L\tModule length (default 200)\n"
    "\t-w\tMinimum width for motifs (default 10); should be >= 5 \n"
    "\t-W\tMaximum width for motifs (default 14); should be <= 40 \n"
    "\t-P\tSample parameters each iteration. See readme file for details\n"
    "\t-B\tOutput log-posterior model odds over null model (pure background)\n"
    "\t-s\tDegerate to search for K independent motifs without considering module structure\n";

struct CLICASE {
    std::vector<std::string> Args;
    int Status;
    std::string Stdout;
};

TEST(CommandLine, TableOfCases)
{
    const std::string width = "input motif width range error!\n";
    const std::string motifs = "Input number of transcription factors error!\n";
    const std::string modlen = "Input module length too small!\n";
    const std::string seqfile = "Input sequence file error!\n";
    const CLICASE cases[] = {
        {{}, 0, kUsage},
        {{"--version"}, 0, "Ruzaravo 1.0\n"},
        {{"-w", "4"}, 1, width},
        {{"-W", "41"}, 1, width},
        {{"-W", "4", "-w", "5"}, 1, width},   // a maximum below 5 is refused too
        {{"-w", "abc"}, 1, width},             // junk reads as 0
        {{"-K", "0"}, 1, motifs},
        {{"-K", "-2"}, 1, motifs},
        {{"-K", "x"}, 1, motifs},
        {{"-w", "4", "-K", "0"}, 1, width},   // the width check comes first
        {{"-L", "9"}, 1, modlen},
        {{"-L", "12", "-w", "12", "-W", "11", "-K", "0"}, 1, motifs},
        {{"-N", "0"}, 0, ""},
        {{"-N", "-3", "-i", "missing.fa"}, 1, "Input option error!\n"},
        {{"-n", "fifty", "-i", "missing.fa"}, 1, "Input option error!\n"},
        {{"-c", "5", "-i", "missing.fa"}, 1, "Input option error!\n"},
        {{"--sed", "1", "-i", "missing.fa"}, 1, "Input option error!\n"},
        {{"-q", "-i", "missing.fa"}, 1, seqfile},   // an unknown letter only warns
        {{"-L", "10", "-i", "missing.fa"}, 1, seqfile},   // -L 10 passes, the file does not
        {{"-w", "5", "-W", "40", "-i", "missing.fa"}, 1, seqfile},
        {{"-w", "12", "-W", "11", "-i", "missing.fa"}, 1, seqfile},
        {{"-i", "missing.fa", "-n"}, 1, "Input option error!\n"},   // -n without its value
        {{"-K", "2"}, 1, seqfile},                                    // no -i at all
        // Look-alikes that would silently change the run.
        {{"-seed", "1", "-i", "missing.fa"}, 1, "Input option error!\n"},
        {{"-i", "missing.fa", "-outdir", "out"}, 1, "Input option error!\n"},
        {{"-i", "missing.fa", "-known", "lib.meme"}, 1, "Input option error!\n"},
        {{"-i", "missing.fa", "-threads", "2"}, 1, "Input option error!\n"},
        {{"-i", "missing.fa", "-chains", "3"}, 1, "Input option error!\n"},
        {{"-i", "missing.fa", "-preset", "enhancers"}, 1, "Input option error!\n"},
        {{"-i", "missing.fa", "-trace", "t.tsv"}, 1, "Input option error!\n"},
        {{"-i", "missing.fa", "-report"}, 1, "Input option error!\n"},
        {{"-i", "missing.fa", "-force"}, 1, "Input option error!\n"},
        {{"-i", "missing.fa", "-quiet"}, 1, "Input option error!\n"},
        {{"-i", "missing.fa", "other.fa"}, 1, "Input option error!\n"},   // a second file
        {{"-k", "5", "-i", "missing.fa"}, 1, "Input option error!\n"},    // the 5 is no option's value
        {{"-input", "missing.fa", "-number", "5"}, 1, seqfile},           // prefix words keep working
    };
    CTempDir dir;
    for (const CLICASE& c : cases) {
        RUNRESULT r = RunRuzaravo(c.Args, dir.m_Dir);
        std::string shown;
        for (const std::string& a : c.Args)
            shown += a + " ";
        EXPECT_EQ(c.Status, r.Status) << shown;
        EXPECT_EQ(c.Stdout, r.Stdout) << shown;
    }
    EXPECT_FALSE(FileExists(dir.Path("Output.txt")));
    EXPECT_FALSE(FileExists(dir.Path("Output.txt_modpr.txt")));
}

// The help (--help, -h, -help) names every option the parser knows on a
// line of its own that gives its default, or says it is an action; neither
// it nor --version shows a 2005 date as the program's.
TEST(CommandLine, HelpNamesEveryOptionWithItsDefault)
{
    CTempDir dir;
    RUNRESULT help = RunRuzaravo({"--help"}, dir.m_Dir);
    EXPECT_EQ(0, help.Status);
    for (const char* alias : {"-h", "-help"}) {
        RUNRESULT other = RunRuzaravo({alias}, dir.m_Dir);
        EXPECT_EQ(0, other.Status) << alias;
        EXPECT_EQ(help.Stdout, other.Stdout) << alias;
    }
    EXPECT_EQ(std::string::npos, help.Stdout.find("2005"));
    EXPECT_EQ(std::string::npos, RunRuzaravo({"--version"}, dir.m_Dir).Stdout.find("2005"));
    std::vector<std::string> lines;
    std::istringstream in(help.Stdout);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    for (const std::string& opt : OptionNames()) {
        int found = 0;
        for (const std::string& line : lines) {
            std::istringstream words(line);
            std::string first, second;
            words >> first >> second;
            if (first == opt || (first == opt + "," ) || second == opt) {
                found++;
                EXPECT_LE(line.size(), 110u) << line;
                bool action = line.find("print") != std::string::npos;
                EXPECT_TRUE(action || line.find("(default") != std::string::npos) << line;
            }
        }
        EXPECT_EQ(1, found) << opt << " must have exactly one line in the help";
    }
    EXPECT_FALSE(FileExists(dir.Path("Output.txt")));
}
