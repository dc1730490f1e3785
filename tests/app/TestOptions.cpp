// Command-line parsing: the option rules that are easy to get wrong
// (value words examined as options, strtol on junk, a missing last value),
// the command-line text, and the exact burn-in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Options.h"
#include "app/Prepare.h"
#include "support/TestSupport.h"

TEST(Options, Defaults)
{
    INPUTPARAMETER p = ParseWords({"./prog"});
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
    INPUTPARAMETER p = ParseWords({"./prog", "-i", "a.fa", "-K", "2"});
    EXPECT_STREQ("Ruzaravo (compiled on 12/5/2005)\n./prog -i a.fa -K 2 ", p.CmdLine.m_Data);
    EXPECT_STREQ("a.fa", p.SeqFile.m_Data);
    EXPECT_EQ(2, p.MotifNum);
    INPUTPARAMETER s = ParseWords({"./prog", "--seed", "7", "-i", "50%.fa"});
    EXPECT_STREQ("Ruzaravo (compiled on 12/5/2005)\n./prog --seed 7 -i 50%.fa ", s.CmdLine.m_Data);
}

TEST(Options, ValueWordIsExaminedAsAnOptionInTurn)
{
    INPUTPARAMETER p = ParseWords({"./prog", "-o", "-s"});
    EXPECT_STREQ("-s", p.OutFile.m_Data);
    EXPECT_TRUE(p.Independent);
    // -i takes "-K" as its file name, and -K then takes "5".
    INPUTPARAMETER q = ParseWords({"./prog", "-i", "-K", "5"});
    EXPECT_STREQ("-K", q.SeqFile.m_Data);
    EXPECT_EQ(5, q.MotifNum);
    INPUTPARAMETER r = ParseWords({"./prog", "-input", "x.fa", "-Bogus", "-dP"});
    EXPECT_STREQ("x.fa", r.SeqFile.m_Data);   // only the second character counts
    EXPECT_TRUE(r.CalBF);
    EXPECT_FALSE(r.FixModLen);
    EXPECT_FALSE(r.SampleParam);               // -dP is -d only
    INPUTPARAMETER later = ParseWords({"./prog", "-K", "2", "-K", "4", "-", "-x", "7", "stray"});
    EXPECT_EQ(4, later.MotifNum);
}

// A value that is not entirely a number is a problem the checks report with
// the option's own message where it has one; a whole number is read as is.
TEST(Options, NumbersMustBeWhole)
{
    struct BAD {
        std::vector<std::string> Words;
        const char* Message;
        std::string Subject;
    };
    const BAD bad[] = {
        {{"./prog", "-K", "abc"}, "Input number of transcription factors error!", "-K abc"},
        {{"./prog", "-K", "  12"}, "Input number of transcription factors error!", "-K   12"},
        {{"./prog", "-K", "12xyz"}, "Input number of transcription factors error!", "-K 12xyz"},
        {{"./prog", "-w", "5.5"}, "input motif width range error!", "-w 5.5"},
        {{"./prog", "-W", ""}, "input motif width range error!", "-W "},
        {{"./prog", "-n", "fifty"}, "Input option error!", "-n fifty"},
        {{"./prog", "-N", "2x"}, "Input option error!", "-N 2x"},
        {{"./prog", "-L", "2e2"}, "Input option error!", "-L 2e2"},
        {{"./prog", "-c", "0.75junk"}, "Input option error!", "-c 0.75junk"},
        {{"./prog", "--seed", "-1"}, "Input option error!", "--seed -1"},
        {{"./prog", "--seed", "4294967296"}, "Input option error!", "--seed 4294967296"},
        {{"./prog", "--sed", "1"}, "Input option error!", "--sed"},
        {{"./prog", "-i", "a.fa", "--trace"}, "Input option error!", "--trace"},
        {{"./prog", "-n"}, "Input option error!", "-n"},
        // The first problem is the one reported.
        {{"./prog", "-n", "x", "-K", "y"}, "Input option error!", "-n x"},
    };
    for (const BAD& b : bad) {
        INPUTPARAMETER p = ParseWords(b.Words);
        ASSERT_NE(nullptr, p.OptionMessage) << b.Subject;
        EXPECT_STREQ(b.Message, p.OptionMessage) << b.Subject;
        EXPECT_EQ(b.Subject, p.OptionSubject);
        EXPECT_STREQ(b.Message, ValidateInputParam(&p)) << b.Subject;
    }
    EXPECT_NE(std::string::npos, ParseWords({"./prog", "--sed", "1"}).OptionReason.find("did you mean --seed?"));
    EXPECT_EQ(-2, ParseWords({"./prog", "-K", "-2"}).MotifNum);
    EXPECT_EQ(nullptr, ParseWords({"./prog", "-K", "-2"}).OptionMessage);   // a number: the range check refuses it
    EXPECT_EQ(2147483647, ParseWords({"./prog", "-L", "99999999999999"}).ModLen);
    EXPECT_EQ(-5, ParseWords({"./prog", "-n", "-5"}).IterNum);
    EXPECT_EQ(0.75, ParseWords({"./prog", "-c", "0.75"}).Threshold);
    EXPECT_EQ(1e-3, ParseWords({"./prog", "-c", "1e-3"}).Threshold);
    EXPECT_FALSE(ParseWords({"./prog", "-r", "0"}).BothStrand);
    EXPECT_FALSE(ParseWords({"./prog", "-r", "0x"}).BothStrand);
    EXPECT_TRUE(ParseWords({"./prog", "-r", "1"}).BothStrand);
    EXPECT_TRUE(ParseWords({"./prog", "-r", "no"}).BothStrand);
    EXPECT_TRUE(ParseWords({"./prog", "-r", "-1"}).BothStrand);
    INPUTPARAMETER seed = ParseWords({"./prog", "--seed", "4294967295"});
    EXPECT_TRUE(seed.SeedGiven);
    EXPECT_EQ(4294967295u, seed.Seed);
}

// The value is missing: nothing is set, and the checks refuse the line
// (unless the option is itself only another option's value).
TEST(Options, ValueOptionAsLastWordSetsNothing)
{
    const char* letters[] = {"-i", "-o", "-n", "-N", "-r", "-K", "-L", "-w", "-W", "-c", "-b", "-M"};
    INPUTPARAMETER def = ParseWords({"./prog"});
    for (const char* opt : letters) {
        INPUTPARAMETER p = ParseWords({"./prog", opt});
        EXPECT_EQ(def.IterNum, p.IterNum) << opt;
        EXPECT_EQ(def.MotifNum, p.MotifNum) << opt;
        EXPECT_EQ(def.ModLen, p.ModLen) << opt;
        EXPECT_EQ(def.RunNum, p.RunNum) << opt;
        EXPECT_EQ(def.BothStrand, p.BothStrand) << opt;
        EXPECT_FALSE(p.UseBgFile) << opt;
        EXPECT_FALSE(p.UsePWM) << opt;
        EXPECT_STREQ("Output.txt", p.OutFile.m_Data) << opt;
        EXPECT_STREQ("Input option error!", p.OptionMessage) << opt;
        EXPECT_EQ("needs a value", p.OptionReason) << opt;
    }
    INPUTPARAMETER nested = ParseWords({"./prog", "-o", "-n"});   // -n is -o's value here
    EXPECT_STREQ("-n", nested.OutFile.m_Data);
    EXPECT_EQ(nullptr, nested.OptionMessage);
    EXPECT_FALSE(ParseWords({"./prog", "--seed"}).SeedGiven);
    EXPECT_EQ(0, ParseWords({"./prog", "--trace"}).TraceFile.GetLength());
}

// An unknown letter is a warning, not a stop; a value word that looks like
// an option draws none (the value is what the user meant).
TEST(Options, UnknownLettersWarnAndTheRunGoesOn)
{
    INPUTPARAMETER p = ParseWords({"./prog", "-x", "-q", "-o", "-z", "-c", "-1", "-", "-h"});
    ASSERT_EQ(2u, p.Warnings.size());
    EXPECT_EQ(0u, p.Warnings[0].find("warning: -x: unknown option"));
    EXPECT_EQ(0u, p.Warnings[1].find("warning: -q: unknown option"));
    EXPECT_EQ(nullptr, p.OptionMessage);
    EXPECT_STREQ("-z", p.OutFile.m_Data);
    EXPECT_EQ(-1.0, p.Threshold);
    EXPECT_TRUE(p.ShowHelp);
    EXPECT_TRUE(ParseWords({"./prog", "--help"}).ShowHelp);
    EXPECT_TRUE(ParseWords({"./prog", "--quiet"}).Quiet);
    EXPECT_TRUE(ParseWords({"./prog", "--mask-lower"}).MaskLower);
    EXPECT_STREQ("-", ParseWords({"./prog", "-i", "-"}).SeqFile.m_Data);
}

// Look-alikes that would silently change the run are refused: every long
// option spelt with one dash, and a word no option takes as its value. The
// single-letter prefix words keep working, and a value may look like either.
TEST(Options, LookAlikesAreRefused)
{
    for (const std::string& name : OptionNames()) {
        if (name.size() < 3 || name == "--help")
            continue;   // single letters; -help is -h, which is help too
        std::string word = name.substr(1);
        INPUTPARAMETER p = ParseWords({"./prog", "-i", "a.fa", word, "1"});
        ASSERT_NE(nullptr, p.OptionMessage) << word;
        EXPECT_STREQ("Input option error!", p.OptionMessage) << word;
        EXPECT_EQ(word, p.OptionSubject);
        EXPECT_NE(std::string::npos, p.OptionReason.find("did you mean " + name + "?")) << p.OptionReason;
    }
    struct STRAY {
        std::vector<std::string> Words;
        std::string Subject;
    };
    const STRAY stray[] = {
        {{"./prog", "-i", "a.fa", "b.fa"}, "b.fa"},
        {{"./prog", "-k", "5", "-i", "a.fa"}, "5"},
        {{"./prog", "-i", "a.fa", "-s", "3"}, "3"},
        {{"./prog", "--quiet", "x", "-i", "a.fa"}, "x"},
        {{"./prog", "a.fa"}, "a.fa"},
        {{"./prog", "-i", "a.fa", ""}, "\"\" (an empty word)"},
        {{"./prog", "-i", "a.fa", "b.fa", "-seed", "1"}, "b.fa"},   // the first problem is the one reported
    };
    for (const STRAY& s : stray) {
        INPUTPARAMETER p = ParseWords(s.Words);
        ASSERT_NE(nullptr, p.OptionMessage) << s.Subject;
        EXPECT_EQ(s.Subject, p.OptionSubject);
        EXPECT_NE(std::string::npos, p.OptionReason.find("not the value of the option before it")) << s.Subject;
    }
    // Still accepted: prefix words, -help, values that look like options or words.
    for (std::vector<std::string> ok : {std::vector<std::string>{"./prog", "-input", "a.fa", "-output", "r.txt",
                                                                 "-number", "50", "-Kmotifs", "2"},
                                         {"./prog", "-help"},
                                         {"./prog", "-o", "-seed", "-i", "a.fa"},
                                         {"./prog", "--seed", "7", "--outdir", "out", "-i", "-"}}) {
        INPUTPARAMETER p = ParseWords(ok);
        EXPECT_EQ(nullptr, p.OptionMessage) << ok[1] << ": " << p.OptionSubject;
    }
    INPUTPARAMETER prefix = ParseWords({"./prog", "-input", "a.fa", "-number", "50", "-Kmotifs", "2"});
    EXPECT_STREQ("a.fa", prefix.SeqFile.m_Data);
    EXPECT_EQ(50, prefix.IterNum);
    EXPECT_EQ(2, prefix.MotifNum);
    EXPECT_STREQ("50", ParseWords({"./prog", "-iter", "50"}).SeqFile.m_Data);   // -iter is -i
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
