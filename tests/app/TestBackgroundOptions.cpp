// The background and preset options: --bg-order and --bg-fasta reach the
// record and are checked before any run; --preset enhancers expands to its
// documented words, and options of the command line override it wherever
// they stand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Options.h"
#include "app/Prepare.h"
#include "app/Presets.h"
#include "support/TestSupport.h"

// The fields an option can set, as one comparable text.
static std::string Fields(const INPUTPARAMETER& p)
{
    auto s = [](const CString& c) { return std::string(c.m_Data ? c.m_Data : ""); };
    std::string flags;
    for (bool b : {p.BothStrand, p.Independent, p.FixModLen, p.SampleParam, p.CalBF, p.UseBgFile, p.UsePWM})
        flags += b ? '1' : '0';
    return flags + "|" + s(p.SeqFile) + "|" + s(p.OutFile) + "|" + std::to_string(p.IterNum) + "," +
           std::to_string(p.MotifNum) + "," + std::to_string(p.MinWidth) + "," + std::to_string(p.MaxWidth) + "," +
           std::to_string(p.ModLen) + "," + std::to_string(p.RunNum) + "," + std::to_string(p.Threshold) + "," +
           std::to_string(p.BgOrder) + "|" + s(p.BgFasta) + "|" + std::to_string(p.Chains) + "," +
           std::to_string(p.MinSupport);
}

TEST(BackgroundOptions, PresetIsItsDocumentedWords)
{
    // The accuracy page documents exactly these words, and the preset is
    // the same run as its words given by hand.
    const std::string accuracy = ReadFile(std::string(RUZARAVO_SOURCE_DIR) + "/docs/accuracy.md");
    for (const char* name : {"enhancers", "promoters"}) {
        SCOPED_TRACE(name);
        const std::vector<std::string>* words = PresetWords(name);
        ASSERT_NE(nullptr, words);
        std::string joined;
        for (const std::string& w : *words)
            joined += (joined.empty() ? "" : " ") + w;
        EXPECT_NE(std::string::npos, accuracy.find(std::string("`--preset ") + name + "` = `" + joined + "`")) << joined;

        std::vector<std::string> explicitWords = {"./prog", "-i", "a.fa"};
        explicitWords.insert(explicitWords.end(), words->begin(), words->end());
        INPUTPARAMETER preset = ParseWords({"./prog", "-i", "a.fa", "--preset", name});
        EXPECT_EQ(Fields(ParseWords(explicitWords)), Fields(preset));
        EXPECT_TRUE(preset.MaskDuplicates);
        EXPECT_NE(Fields(ParseWords({"./prog", "-i", "a.fa"})), Fields(preset));
        EXPECT_EQ(std::string("Ruzaravo (compiled on 12/5/2005)\n./prog -i a.fa --preset ") + name + " ",
                  preset.CmdLine.m_Data);
    }
    EXPECT_NE(Fields(ParseWords({"./prog", "-i", "a.fa", "--preset", "enhancers"})),
              Fields(ParseWords({"./prog", "-i", "a.fa", "--preset", "promoters"})));
    EXPECT_EQ(nullptr, PresetWords("promoter"));

    // The command line wins, before or after the preset.
    EXPECT_EQ(7, ParseWords({"./prog", "-K", "7", "--preset", "enhancers"}).MotifNum);
    EXPECT_EQ(7, ParseWords({"./prog", "--preset", "enhancers", "-K", "7"}).MotifNum);
    EXPECT_EQ(0, ParseWords({"./prog", "--bg-order", "0", "--preset", "enhancers"}).BgOrder);
    EXPECT_TRUE(ParseWords({"./prog", "--preset", "promoters"}).Independent);
}

TEST(BackgroundOptions, ValuesAndChecks)
{
    CTempDir dir;
    WriteFile(dir.Path("bg.fa"), ">b\nACGTTTGA\n");
    WriteFile(dir.Path("empty.fa"), "");
    const std::string out = dir.Path("o.txt");
    struct CASE {
        std::vector<std::string> Words;
        const char* Message;   // null: accepted
    };
    const CASE cases[] = {
        {{"--bg-order", "0"}, nullptr},
        {{"--bg-order", "5", "--bg-fasta", dir.Path("bg.fa")}, nullptr},
        {{"--bg-order", "6"}, "Input background order error!"},
        {{"--bg-order", "-1"}, "Input background order error!"},
        {{"--bg-order", "3x"}, "Input background order error!"},
        {{"--bg-order", ""}, "Input background order error!"},
        {{"--bg-fasta", dir.Path("missing.fa")}, "Input background sequence file error!"},
        {{"--bg-fasta", dir.Path("empty.fa")}, "Input background sequence file error!"},
        {{"--preset", "enhancer"}, "Input preset error!"},
        {{"--min-enrichment", "1.5", "--control", dir.Path("bg.fa")}, nullptr},
        {{"--min-enrichment", "-1"}, "Input minimum enrichment error!"},
        {{"--min-enrichment", "2x"}, "Input minimum enrichment error!"},
        {{"--min-enrichment", "inf"}, "Input minimum enrichment error!"},
        {{"--control", dir.Path("empty.fa")}, "Input control sequence file error!"},
    };
    for (const CASE& c : cases) {
        std::vector<std::string> words = {"./prog", "-i", "x.fa", "-o", out};
        words.insert(words.end(), c.Words.begin(), c.Words.end());
        INPUTPARAMETER p = ParseWords(words);
        const char* message = ValidateInputParam(&p);
        if (c.Message)
            EXPECT_STREQ(c.Message, message) << c.Words[0] << " " << c.Words[1];
        else
            EXPECT_EQ(nullptr, message) << c.Words[0] << " " << c.Words[1];
    }
    EXPECT_EQ(1, ParseWords({"./prog"}).BgOrder);
    EXPECT_EQ(4, ParseWords({"./prog", "--bg-order", "4"}).BgOrder);
    EXPECT_FALSE(ParseWords({"./prog"}).Enrichment);
    EXPECT_TRUE(ParseWords({"./prog", "--control", "c.fa"}).Enrichment);
    EXPECT_EQ(2.5, ParseWords({"./prog", "--min-enrichment", "2.5"}).MinEnrichment);

    // The consensus support: a number, or more than half of the chains.
    EXPECT_EQ(0, ConsensusSupport(ParseWords({"./prog", "--chains", "5"})));
    EXPECT_EQ(2, ConsensusSupport(ParseWords({"./prog", "--chains", "5", "--min-support", "2"})));
    EXPECT_EQ(3, ConsensusSupport(ParseWords({"./prog", "--chains", "5", "--min-support", "majority"})));
    EXPECT_EQ(3, ConsensusSupport(ParseWords({"./prog", "--min-support", "majority", "--chains", "4"})));
    EXPECT_EQ(2, ConsensusSupport(ParseWords({"./prog", "--chains", "3", "--min-support", "majority"})));
    EXPECT_EQ(1, ConsensusSupport(ParseWords({"./prog", "--chains", "1", "--min-support", "majority"})));
}
