// Whole-program runs of the executable on small data, each in an empty
// temporary directory with a fixed --seed:
// - golden files: the result file and its _modpr.txt must match
//   tests/golden/ byte for byte (set RUZARAVO_UPDATE_GOLDEN=1 to rewrite
//   them after an intended change; on a mismatch a *.new file is left
//   beside the golden one);
// - the same seed gives the same output, and the trace changes nothing;
// - every run option works end to end;
// - a strongly planted motif is recovered.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "support/TestSupport.h"

static const std::string kGoldenDir = std::string(RUZARAVO_SOURCE_DIR) + "/tests/golden/";

static void CopyInput(const CTempDir& dir, const std::string& name)
{
    WriteFile(dir.Path(name), ReadFile(kGoldenDir + name));
}

// Compares a produced file with its golden copy; with
// RUZARAVO_UPDATE_GOLDEN set, rewrites the golden copy instead.
static void ExpectGolden(const std::string& produced, const std::string& goldenName)
{
    std::string golden = kGoldenDir + goldenName;
    const char* update = getenv("RUZARAVO_UPDATE_GOLDEN");
    if (update && *update) {
        WriteFile(golden, produced);
        return;
    }
    std::string expected = ReadFile(golden);
    ASSERT_FALSE(expected.empty()) << "missing golden file " << golden;
    if (produced != expected) {
        WriteFile(golden + ".new", produced);
        std::string cmd = "diff '" + golden + "' '" + golden + ".new' | head -n 20 >&2";
        (void)system(cmd.c_str());
    }
    EXPECT_TRUE(produced == expected) << goldenName << " differs; see " << golden << ".new";
}

static int CountOf(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

TEST(EndToEnd, GoldenResultFiles)
{
    struct GOLDENCASE {
        std::vector<std::string> Args;
        std::string Name;
    };
    const GOLDENCASE cases[] = {
        {{"-i", "input.fa", "-n", "150", "-K", "2", "-L", "60", "-w", "6", "-W", "9", "-B", "--seed", "11"},
         "modules"},
        {{"-i", "input.fa", "-n", "120", "-K", "2", "-w", "7", "-W", "9", "-s", "-P", "-r", "0", "-c", "0.3",
          "--seed", "5"},
         "independent"},
    };
    for (const GOLDENCASE& c : cases) {
        CTempDir dir;
        CopyInput(dir, "input.fa");
        std::vector<std::string> args = c.Args;
        args.push_back("-o");
        args.push_back(c.Name + ".txt");
        RUNRESULT r = RunRuzaravo(args, dir.m_Dir);
        ASSERT_EQ(0, r.Status) << c.Name;
        ExpectGolden(ReadFile(dir.Path(c.Name + ".txt")), c.Name + ".txt");
        ExpectGolden(ReadFile(dir.Path(c.Name + ".txt_modpr.txt")), c.Name + ".txt_modpr.txt");
    }
}

TEST(EndToEnd, SameSeedSameOutputAndTraceChangesNothing)
{
    CTempDir dir;
    CopyInput(dir, "input.fa");
    std::vector<std::string> base = {"-i", "input.fa", "-n", "120", "-K", "2", "-L", "60", "-d", "-P", "--seed", "3"};
    std::vector<std::string> a = base, b = base;
    a.insert(a.end(), {"-o", "a.txt"});
    b.insert(b.end(), {"-o", "b.txt", "--trace", "trace.tsv"});
    RUNRESULT ra = RunRuzaravo(a, dir.m_Dir);
    RUNRESULT ra2 = RunRuzaravo(a, dir.m_Dir);
    RUNRESULT rb = RunRuzaravo(b, dir.m_Dir);
    ASSERT_EQ(0, ra.Status);
    ASSERT_EQ(0, rb.Status);
    EXPECT_EQ(ra.Stdout, ra2.Stdout);
    EXPECT_EQ(2, CountOf(ReadFile(dir.Path("a.txt")), "Ruzaravo (compiled on 12/5/2005)\n"));

    // The result blocks differ only in the command line they record.
    std::string blockA = ReadFile(dir.Path("a.txt"));
    blockA = blockA.substr(0, blockA.size() / 2);
    std::string blockB = ReadFile(dir.Path("b.txt"));
    EXPECT_EQ(blockA.substr(blockA.find("\n\n")), blockB.substr(blockB.find("\n\n")));
    std::string modA = ReadFile(dir.Path("a.txt_modpr.txt"));
    EXPECT_EQ(modA.substr(0, modA.size() / 2), ReadFile(dir.Path("b.txt_modpr.txt")));

    std::istringstream trace(ReadFile(dir.Path("trace.tsv")));
    std::string line;
    std::getline(trace, line);
    EXPECT_EQ("run\tsweep\trho\tlog_posterior\tmodules\tsites\twidths\tmodule_length", line);
    int rows = 0;
    while (std::getline(trace, line)) {
        EXPECT_EQ(0u, line.find("0\t" + std::to_string(rows) + "\t")) << line;
        EXPECT_EQ(7, CountOf(line, "\t")) << line;
        rows++;
    }
    EXPECT_EQ(120, rows);
}

TEST(EndToEnd, EveryRunOptionWorks)
{
    CTempDir dir;
    CopyInput(dir, "input.fa");
    // Background file: every position of sequence 1 listed, probabilities A, T, C, G.
    std::string bg;
    for (int p = 1; p <= 150; p++)
        bg += "1\t0\t0.3\t0.3\t0.2\t0.2\t" + std::to_string(p) + "\n";
    WriteFile(dir.Path("bg.txt"), bg);
    WriteFile(dir.Path("m.pwm"), ">8 CRE\n0\t0\t0\t9\n0\t0\t9\t0\n9\t0\t0\t0\n0\t9\t0\t0\n"
                                 "0\t0\t9\t0\n0\t0\t0\t9\n0\t9\t0\t0\n9\t0\t0\t0\n");
    struct OPTIONCASE {
        std::vector<std::string> Extra;
        std::string MustHave;
        std::string MustNotHave;
        int Blocks;
    };
    const OPTIONCASE cases[] = {
        {{"-s"}, "Motif_2:", "# of Modules", 1},
        {{"-P"}, "# of Modules:", "", 1},
        {{"-d"}, "# of Modules:", "", 1},
        {{"-B"}, "Log-PMO(K=2)=", "nan", 1},
        {{"-r", "0"}, "# of Modules:", "\tr\t", 1},
        {{"-b", "bg.txt"}, "# of Modules:", "", 1},
        {{"-M", "m.pwm"}, "# of Modules:", "", 1},
        {{"-N", "2"}, "# of Modules:", "", 2},
    };
    int index = 0;
    for (const OPTIONCASE& c : cases) {
        std::string out = "r" + std::to_string(index++) + ".txt";
        std::vector<std::string> args = {"-i", "input.fa", "-n", "100", "-K", "2", "-L", "60", "-w", "6",
                                         "-W", "9", "--seed", "9", "-o", out};
        args.insert(args.end(), c.Extra.begin(), c.Extra.end());
        RUNRESULT r = RunRuzaravo(args, dir.m_Dir);
        std::string shown = c.Extra[0];
        ASSERT_EQ(0, r.Status) << shown;
        std::string result = ReadFile(dir.Path(out));
        EXPECT_EQ(c.Blocks, CountOf(result, "Ruzaravo (compiled on 12/5/2005)\n")) << shown;
        EXPECT_EQ(c.Blocks, CountOf(ReadFile(dir.Path(out + "_modpr.txt")), "\n**********\n")) << shown;
        EXPECT_NE(std::string::npos, result.find(c.MustHave)) << shown;
        if (!c.MustNotHave.empty()) {
            EXPECT_EQ(std::string::npos, result.find(c.MustNotHave)) << shown;
        }
        EXPECT_EQ(std::string::npos, result.find("inf")) << shown;
        EXPECT_EQ(c.Blocks, CountOf(r.Stdout, "Finish runing iteration 50.\nFinish runing iteration 100.\n")) << shown;
        EXPECT_EQ(c.Blocks, CountOf(r.Stdout, "\nInput 11 sequences.\n")) << shown;
    }
}

// Twenty sequences of 300 random letters, each with one exact copy of a
// 12-letter motif on either strand. With K = 1 in independent mode the
// run must report at least 16 of the 20 planted sites (a reported site
// within 2 letters of the planted one counts), and no more than 10 others.
TEST(EndToEnd, PlantedMotifIsRecovered)
{
    const std::string motif = "TGACCTAGCGTA";
    PLANTED planted = MakePlanted(77, 20, 300, motif, true);
    CTempDir dir;
    WriteFile(dir.Path("planted.fa"), ToFasta(planted.Seqs, "p"));
    RUNRESULT r = RunRuzaravo({"-i", "planted.fa", "-K", "1", "-s", "-n", "400", "-w", "10", "-W", "14",
                               "--seed", "21", "-o", "res.txt"},
                              dir.m_Dir);
    ASSERT_EQ(0, r.Status);
    std::istringstream in(ReadFile(dir.Path("res.txt")));
    std::string line;
    std::set<int> found;
    int others = 0;
    while (std::getline(in, line)) {
        // Site lines: ">p<i>\t<f|r>\t<pos>\t\t<freq>\t".
        if (line.size() < 3 || line[0] != '>' || line[1] != 'p' || line.find("\t[") != std::string::npos)
            continue;
        std::istringstream fields(line);
        std::string name, strand;
        int pos;
        if (!(fields >> name >> strand >> pos))
            continue;
        int seq = atoi(name.c_str() + 2) - 1;
        ASSERT_GE(seq, 0);
        ASSERT_LT(seq, 20);
        if (abs(pos - planted.SitePos[seq]) <= 2)
            found.insert(seq);
        else
            others++;
    }
    EXPECT_GE((int)found.size(), 16) << "planted sites recovered";
    EXPECT_LE(others, 10) << "sites reported away from the planted ones";
}
