// Command-line parsing: the option rules that are easy to get wrong
// (value words examined as options, strtol on junk, a missing last value),
// the command-line text, and the exact burn-in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Options.h"

// Parses the given words (argv[0] included) into a fresh record.
static INPUTPARAMETER Parse(std::vector<std::string> words)
{
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    INPUTPARAMETER p;
    SetDefaultParam(&p);
    ParseInputParam(&p, (int)argv.size(), argv.data());
    return p;
}

TEST(Options, Defaults)
{
    INPUTPARAMETER p = Parse({"./prog"});
    EXPECT_TRUE(p.BothStrand);
    EXPECT_FALSE(p.Independent);
    EXPECT_TRUE(p.FixModLen);
    EXPECT_FALSE(p.SampleParam);
    EXPECT_FALSE(p.CalBF);
    EXPECT_STREQ("Output.txt", p.OutFile.m_Data);
    EXPECT_EQ(2000, p.IterNum);
    EXPECT_EQ(3, p.MotifNum);
    EXPECT_EQ(10, p.MinWidth);
    EXPECT_EQ(14, p.MaxWidth);
    EXPECT_EQ(200, p.ModLen);
    EXPECT_EQ(1, p.RunNum);
    EXPECT_EQ(0.5, p.Threshold);
    EXPECT_FALSE(p.SeedGiven);
}

TEST(Options, CommandLineTextHasBannerAndEveryWord)
{
    INPUTPARAMETER p = Parse({"./prog", "-i", "a.fa", "-K", "2"});
    EXPECT_STREQ("Ruzaravo (compiled on 12/5/2005)\n./prog -i a.fa -K 2 ", p.CmdLine.m_Data);
    EXPECT_STREQ("a.fa", p.SeqFile.m_Data);
    EXPECT_EQ(2, p.MotifNum);
    INPUTPARAMETER s = Parse({"./prog", "--seed", "7", "-i", "50%.fa"});
    EXPECT_STREQ("Ruzaravo (compiled on 12/5/2005)\n./prog --seed 7 -i 50%.fa ", s.CmdLine.m_Data);
}

TEST(Options, ValueWordIsExaminedAsAnOptionInTurn)
{
    INPUTPARAMETER p = Parse({"./prog", "-o", "-s"});
    EXPECT_STREQ("-s", p.OutFile.m_Data);
    EXPECT_TRUE(p.Independent);
    // -i takes "-K" as its file name, and -K then takes "5".
    INPUTPARAMETER q = Parse({"./prog", "-i", "-K", "5"});
    EXPECT_STREQ("-K", q.SeqFile.m_Data);
    EXPECT_EQ(5, q.MotifNum);
    INPUTPARAMETER r = Parse({"./prog", "-input", "x.fa", "-Bogus", "-dP"});
    EXPECT_STREQ("x.fa", r.SeqFile.m_Data);   // only the second character counts
    EXPECT_TRUE(r.CalBF);
    EXPECT_FALSE(r.FixModLen);
    EXPECT_FALSE(r.SampleParam);               // -dP is -d only
    INPUTPARAMETER later = Parse({"./prog", "-K", "2", "-K", "4", "-", "-x", "7", "stray"});
    EXPECT_EQ(4, later.MotifNum);
}

TEST(Options, NumbersReadLikeStrtol)
{
    EXPECT_EQ(0, Parse({"./prog", "-K", "abc"}).MotifNum);
    EXPECT_EQ(12, Parse({"./prog", "-K", "  12xyz"}).MotifNum);
    EXPECT_EQ(-2, Parse({"./prog", "-K", "-2"}).MotifNum);
    EXPECT_EQ(2147483647, Parse({"./prog", "-L", "99999999999999"}).ModLen);
    EXPECT_EQ(0, Parse({"./prog", "-n", "-5"}).IterNum);   // negative sweeps act as 0
    EXPECT_EQ(0.75, Parse({"./prog", "-c", "0.75junk"}).Threshold);
    EXPECT_FALSE(Parse({"./prog", "-r", "0"}).BothStrand);
    EXPECT_FALSE(Parse({"./prog", "-r", "0x"}).BothStrand);
    EXPECT_TRUE(Parse({"./prog", "-r", "1"}).BothStrand);
    EXPECT_TRUE(Parse({"./prog", "-r", "no"}).BothStrand);
    EXPECT_TRUE(Parse({"./prog", "-r", "-1"}).BothStrand);
    INPUTPARAMETER seed = Parse({"./prog", "--seed", "4294967295"});
    EXPECT_TRUE(seed.SeedGiven);
    EXPECT_EQ(4294967295u, seed.Seed);
}

TEST(Options, ValueOptionAsLastWordIsIgnored)
{
    const char* letters[] = {"-i", "-o", "-n", "-N", "-r", "-K", "-L", "-w", "-W", "-c", "-b", "-M"};
    INPUTPARAMETER def = Parse({"./prog"});
    for (const char* opt : letters) {
        INPUTPARAMETER p = Parse({"./prog", opt});
        EXPECT_EQ(def.IterNum, p.IterNum) << opt;
        EXPECT_EQ(def.MotifNum, p.MotifNum) << opt;
        EXPECT_EQ(def.ModLen, p.ModLen) << opt;
        EXPECT_EQ(def.RunNum, p.RunNum) << opt;
        EXPECT_EQ(def.BothStrand, p.BothStrand) << opt;
        EXPECT_FALSE(p.UseBgFile) << opt;
        EXPECT_FALSE(p.UsePWM) << opt;
        EXPECT_STREQ("Output.txt", p.OutFile.m_Data) << opt;
    }
    EXPECT_FALSE(Parse({"./prog", "--seed"}).SeedGiven);
    EXPECT_EQ(0, Parse({"./prog", "--trace"}).TraceFile.GetLength());
}

TEST(Options, BurnInIsTheExactTruncatedProduct)
{
    EXPECT_EQ(0, BurnInSweeps(1));
    EXPECT_EQ(6, BurnInSweeps(10));
    EXPECT_EQ(10, BurnInSweeps(15));
    EXPECT_EQ(69, BurnInSweeps(100));
    EXPECT_EQ(699, BurnInSweeps(1000));
    EXPECT_EQ(1399, BurnInSweeps(2000));
    EXPECT_EQ(699999999, BurnInSweeps(1000000000));
    EXPECT_EQ(0, BurnInSweeps(0));
    EXPECT_EQ(1503238552, BurnInSweeps(2147483647));   // 2147483647 x 0.7 = 1503238552.9
    // Whenever n x 7 / 10 is not a whole number the truncation agrees with it.
    for (int n = 1; n < 5000; n++) {
        if ((n * 7) % 10 != 0) {
            EXPECT_EQ(n * 7 / 10, BurnInSweeps(n)) << n;
        }
    }
}
