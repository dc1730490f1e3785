// FASTA reading (before the first run) and Initialize.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "base/Random.h"
#include "model/GibbsDP.h"
#include "model/ModelTestUtil.h"
#include "run/Inputs.h"
#include "support/TestSupport.h"

namespace {

std::string Str(const CString& s)
{
    return s.m_Data ? std::string(s.m_Data, s.m_Length) : std::string();
}

// Reads the FASTA text with a fresh sampler and hands it to check.
template <class F>
void ReadFasta(const std::string& text, F check)
{
    CTempDir dir;
    std::string path = dir.Path("in.fa");
    WriteFile(path, text);
    CGibbsDP g;
    g.m_Input = LoadedRecords(path);
    g.ReadInputSeq();
    check(g);
}

// Reading the file before the first run must refuse it with the fixed
// message and a reason, and hand no records to the runs.
void ExpectSeqFileError(const std::string& seqFile)
{
    INPUTPARAMETER param{};
    param.SeqFile = seqFile.c_str();
    RunInputs inputs;
    Refusal r = LoadSequences(param, &inputs);
    EXPECT_STREQ("Input sequence file error!", r.message) << seqFile;
    EXPECT_TRUE(r.fault) << seqFile;
    EXPECT_FALSE(inputs.sequences) << seqFile;
    EXPECT_TRUE(LoadedRecords(seqFile)->empty()) << seqFile;
}

void ExpectTextError(const std::string& text)
{
    CTempDir dir;
    std::string path = dir.Path("in.fa");
    WriteFile(path, text);
    ExpectSeqFileError(path);
}

}  // namespace

TEST(SeqInput, FourLineExample)
{
    // The blank inside "ACG T" is skipped: no letter after it is lost.
    ReadFasta(">s1\nacgtn\nACG T\n>s2\n", [](CGibbsDP& g) {
        ASSERT_EQ(2, g.m_SeqNum);
        EXPECT_EQ(">s1", Str(g.m_SeqName[0]));
        EXPECT_EQ(">s2", Str(g.m_SeqName[1]));
        EXPECT_EQ("ACGTNACGT", Str(g.m_Seq[0]));
        EXPECT_EQ(0, g.m_Seq[1].GetLength());
        EXPECT_EQ(9, g.m_TotalLen);
    });
}

TEST(SeqInput, MixedCaseIsUpperCasedAndOtherLettersKept)
{
    ReadFasta(">x\naCgT\nnNrRyYwW\nxyz\nACGTACGTACGT\n", [](CGibbsDP& g) {
        ASSERT_EQ(1, g.m_SeqNum);
        EXPECT_EQ("ACGTNNRRYYWWXYZACGTACGTACGT", Str(g.m_Seq[0]));
        EXPECT_EQ(27, g.m_TotalLen);
    });
}

TEST(SeqInput, BlanksAndDigitsInsideSequenceLinesAreSkipped)
{
    // GenBank-style numbered blocks of ten, tabs and trailing blanks.
    ReadFasta(">x\nAC1GT\n     11 acgtacgtac gtacg \t\n", [](CGibbsDP& g) {
        EXPECT_EQ("ACGTACGTACGTACGTACG", Str(g.m_Seq[0]));
        EXPECT_EQ(19, g.m_TotalLen);
    });
}

TEST(SeqInputDeathTest, AnyOtherCharacterInASequenceLineStops)
{
    ExpectTextError(">x\nACGT\nG-T\n");
    ExpectTextError(">x\nACGT*\n");
    ExpectTextError(">x\nACGT\n\xc3\xa9\x41\n");
    ExpectTextError(">x\nACGT;comment\n");
}

TEST(SeqInput, LongNameLineIsReadWhole)
{
    std::string name = ">" + std::string(15000, 'a') + "Z";
    ReadFasta(name + "\nACGT\n>b\nGG\n", [&](CGibbsDP& g) {
        ASSERT_EQ(2, g.m_SeqNum);
        EXPECT_EQ(name, Str(g.m_SeqName[0]));
        EXPECT_EQ("ACGT", Str(g.m_Seq[0]));
        EXPECT_EQ("GG", Str(g.m_Seq[1]));
        EXPECT_EQ(6, g.m_TotalLen);
    });
}

TEST(SeqInput, LongSequenceLinesAreJoinedWithoutLoss)
{
    std::string a, b;
    const char* letters = "ACGT";
    for (int i = 0; i < 25000; i++)
        a += letters[(i * 7 + i / 3) % 4];
    for (int i = 0; i < 10001; i++)
        b += letters[(i * 5 + 1) % 4];
    std::string lower = b;
    for (char& c : lower)
        c = (char)(c - 'A' + 'a');
    ReadFasta(">s\n" + a + "\n" + lower + "\n", [&](CGibbsDP& g) {
        ASSERT_EQ(1, g.m_SeqNum);
        EXPECT_EQ(a + b, Str(g.m_Seq[0]));
        EXPECT_EQ(35001, g.m_TotalLen);
    });
}

TEST(SeqInput, CarriageReturnStaysInTheNameAndEndsSequenceText)
{
    ReadFasta(">s1\r\nAC\r\nGT\r\n>s2\r\nT\r\n", [](CGibbsDP& g) {
        ASSERT_EQ(2, g.m_SeqNum);
        EXPECT_EQ(">s1\r", Str(g.m_SeqName[0]));
        EXPECT_EQ(">s2\r", Str(g.m_SeqName[1]));
        EXPECT_EQ("ACGT", Str(g.m_Seq[0]));
        EXPECT_EQ("T", Str(g.m_Seq[1]));
    });
}

TEST(SeqInput, LastLineWithoutLineBreakLosesNothing)
{
    ReadFasta(">s1\nACGT", [](CGibbsDP& g) {
        EXPECT_EQ("ACGT", Str(g.m_Seq[0]));
        EXPECT_EQ(">s1", Str(g.m_SeqName[0]));
    });
    ReadFasta(">s1\nAC\n>s2", [](CGibbsDP& g) {
        ASSERT_EQ(2, g.m_SeqNum);
        EXPECT_EQ(">s2", Str(g.m_SeqName[1]));
        EXPECT_EQ(0, g.m_Seq[1].GetLength());
    });
}

TEST(SeqInput, BlankLinesBeforeTheFirstNameAreIgnored)
{
    ReadFasta("\n\n  \r\n123\n>s1\nAC\n\nGT\n", [](CGibbsDP& g) {
        ASSERT_EQ(1, g.m_SeqNum);
        EXPECT_EQ("ACGT", Str(g.m_Seq[0]));
        EXPECT_EQ(">s1", Str(g.m_SeqName[0]));
    });
}

TEST(SeqInput, NameLineWithBlanksAndEmptyName)
{
    ReadFasta(">\n A\nC\n> gene 7 |x\nG\n", [](CGibbsDP& g) {
        ASSERT_EQ(2, g.m_SeqNum);
        EXPECT_EQ(">", Str(g.m_SeqName[0]));
        EXPECT_EQ("AC", Str(g.m_Seq[0]));
        EXPECT_EQ("> gene 7 |x", Str(g.m_SeqName[1]));
        EXPECT_EQ("G", Str(g.m_Seq[1]));
    });
}

TEST(SeqInputDeathTest, FilesWithoutAnyNameLineStop)
{
    ExpectTextError("");
    ExpectTextError("ACGT\n");
    ExpectTextError("\n\n");
}

TEST(SeqInputDeathTest, TextWithALetterBeforeTheFirstNameStops)
{
    ExpectTextError("ACGT\n>s1\nACGT\n");
    ExpectTextError("# comment\n>s1\nACGT\n");
}

TEST(SeqInputDeathTest, NamesWithoutAnySequenceLetterStop)
{
    ExpectTextError(">s1\n>s2\n");
    ExpectTextError(">s1\n 12 34\n\n");
    ExpectTextError(">only a name");
}

TEST(SeqInputDeathTest, MissingEmptyOrUnreadableFileStops)
{
    CTempDir dir;
    ExpectSeqFileError(dir.Path("no_such_file.fa"));
    ExpectSeqFileError("");
    ExpectSeqFileError(dir.m_Dir);   // a directory opens but cannot be read
}

TEST(Initialize, WidthsAreDrawnInMotifOrderWithTheStatedUniform)
{
    CTempDir dir;
    std::string path = dir.Path("in.fa");
    WriteFile(path, ">a\nACGTACGTAC\n>b\nGGGCCC\n");
    for (unsigned seed = 1; seed <= 40; seed++) {
        CGibbsDP g;
        g.m_Input = LoadedRecords(path);
        g.m_MotifNum = 5;
        g.m_MinWidth = 10;
        g.m_MaxWidth = 14;
        g.m_Rng.seed(seed);
        g.Initialize();
        Rng replay(seed);
        for (int k = 0; k < 5; k++) {
            int w = 10 + (int)((14 - 10 + 1) * RandOpen(replay));
            EXPECT_EQ(w, g.m_Width[k]);
            EXPECT_GE(g.m_Width[k], 10);
            EXPECT_LE(g.m_Width[k], 14);
        }
    }
}

TEST(Initialize, WidthRangeUpsideDownGivesTheMaximum)
{
    CTempDir dir;
    std::string path = dir.Path("in.fa");
    WriteFile(path, ">a\nACGT\n");
    CGibbsDP g;
    g.m_Input = LoadedRecords(path);
    g.m_MotifNum = 3;
    g.m_MinWidth = 12;
    g.m_MaxWidth = 11;
    g.Initialize();
    for (int k = 0; k < 3; k++)
        EXPECT_EQ(11, g.m_Width[k]);
}

TEST(Initialize, AllocatesEveryMemberAndSetsThePriors)
{
    CTempDir dir;
    std::string path = dir.Path("in.fa");
    WriteFile(path, ">a\nACGTACGTAC\n>b\nGGGCCC\n>c\n");
    CGibbsDP g;
    g.m_Input = LoadedRecords(path);
    g.m_MotifNum = 2;
    g.m_MinWidth = 5;
    g.m_MaxWidth = 9;
    g.m_ModLen = 200;
    g.Initialize();
    ASSERT_EQ(3, g.m_SeqNum);
    EXPECT_EQ(16, g.m_TotalLen);
    EXPECT_EQ(200, g.m_ModLen);
    EXPECT_FALSE(g.m_FixModLen);
    ASSERT_NE(nullptr, g.m_CountMat);
    ASSERT_NE(nullptr, g.m_SiteNum);
    for (int k = 0; k < 2; k++) {
        ASSERT_NE(nullptr, g.m_CountMat[k]);
        for (int e = 0; e < g.m_Width[k] * 4; e++)
            g.m_CountMat[k][e] = e;   // the whole W x 4 array is writable
        for (int i = 0; i < 3; i++) {
            ASSERT_NE(nullptr, g.m_Sites[k][i]);
            ASSERT_NE(nullptr, g.m_BestSites[k][i]);
            EXPECT_NE(g.m_Sites[k][i], g.m_BestSites[k][i]);
            EXPECT_EQ(nullptr, g.m_Sites[k][i]->Next);
            EXPECT_EQ(nullptr, g.m_BestSites[k][i]->Next);
            EXPECT_EQ(0, g.m_Sites[k][i]->Word.GetLength());
        }
    }
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(0, g.m_ModInfo[i].ModCount);
        EXPECT_EQ(nullptr, g.m_ModInfo[i].ModStart);
        EXPECT_EQ(0.0, g.m_ModInfo[i].LogRatio);
    }
    EXPECT_EQ(1, g.m_ModPriorA);
    EXPECT_EQ(1, g.m_ModPriorB);
    for (int k = 0; k <= 2; k++)
        EXPECT_EQ(1, g.m_MotifPrior[k]);
    for (int b = 0; b < 4; b++)
        EXPECT_EQ(1, g.m_BasePrior[b]);
    g.m_SiteNum[2] = 7;   // K + 1 slots
}

TEST(Initialize, IndependentModeFixesTheModuleLengthToTheTotal)
{
    CTempDir dir;
    std::string path = dir.Path("in.fa");
    WriteFile(path, ">a\nACGTACGTAC\n>b\nGGGCCC\n");
    CGibbsDP g;
    g.m_Input = LoadedRecords(path);
    g.m_Independent = true;
    g.m_ModLen = 200;
    g.Initialize();
    EXPECT_TRUE(g.m_FixModLen);
    EXPECT_EQ(16, g.m_ModLen);
}

// Run under the sanitizer build: everything Initialize allocates, and
// sites added behind its head nodes, are released by the destructor.
TEST(Initialize, DestructorReleasesEverything)
{
    CTempDir dir;
    std::string path = dir.Path("in.fa");
    WriteFile(path, ">a\nACGTACGTAC\n>b\nGGGCCC\n");
    CGibbsDP* g = new CGibbsDP;
    g->m_Input = LoadedRecords(path);
    g->m_MotifNum = 3;
    g->m_MinWidth = 5;
    g->m_MaxWidth = 6;
    g->Initialize();
    SITEINFO* s = new SITEINFO;
    s->Word = "ACGTA";
    g->AddSite(g->m_Sites[1][0], s);
    g->m_ModInfo[1].ModCount = 2;
    g->m_ModInfo[1].ModStart = new int[2]{5, 0};
    g->CopySample(g->m_Sites, g->m_BestSites);
    delete g;
}
