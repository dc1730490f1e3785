// the background chain, its column, the background file.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ModelTestUtil.h"
#include "base/Helpers.h"

namespace {

const double kZeroLog = -13.815510557964274;   // the guard for probability 0

double P(CGibbsDP& g, char a, char b)
{
    return g.m_BgModel[4 + 4 * LetterCode(a) + LetterCode(b)];
}

CString Cs(const char* s)
{
    CString c;
    c = s;
    return c;
}

}  // namespace

TEST(Background, OneSequenceACGT)
{
    CGibbsDP g;
    SetSequences(g, {"ACGT"});
    g.BuildBackground();
    for (int a = 0; a < 4; a++)
        EXPECT_EQ(0.25, g.m_BgModel[a]);
    EXPECT_EQ(1.0, P(g, 'A', 'C'));
    EXPECT_EQ(1.0, P(g, 'C', 'G'));
    EXPECT_EQ(1.0, P(g, 'G', 'T'));
    for (char b : std::string("ACGT"))
        EXPECT_EQ(0.0, P(g, 'T', b));   // T occurs but starts no pair
    EXPECT_EQ(0.0, P(g, 'A', 'A'));

    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    EXPECT_EQ(log(0.25), t.At(0, 0, 2, 1));
    EXPECT_EQ(0.0, t.At(0, 1, 2, 1));
    EXPECT_EQ(0.0, t.At(0, 2, 2, 1));
    EXPECT_EQ(0.0, t.At(0, 3, 2, 1));
    // Motif columns are not written.
    EXPECT_EQ(12345.0, t.At(0, 2, 0, 1));
    EXPECT_EQ(12345.0, t.At(0, 2, 1, 1));
}

TEST(Background, ACPlusCA)
{
    CGibbsDP g;
    SetSequences(g, {"AC", "CA"});
    g.BuildBackground();
    EXPECT_EQ(0.5, g.m_BgModel[0]);
    EXPECT_EQ(0.5, g.m_BgModel[1]);
    EXPECT_EQ(0.0, g.m_BgModel[2]);
    EXPECT_EQ(0.0, g.m_BgModel[3]);
    EXPECT_EQ(0.5, P(g, 'A', 'C'));
    EXPECT_EQ(0.5, P(g, 'C', 'A'));
    EXPECT_EQ(0.0, P(g, 'A', 'A'));
    // G and T never occur: uniform rows.
    for (char b : std::string("ACGT")) {
        EXPECT_EQ(0.25, P(g, 'G', b));
        EXPECT_EQ(0.25, P(g, 'T', b));
    }
}

TEST(Background, ANC)
{
    CGibbsDP g;
    SetSequences(g, {"ANC"});
    g.BuildBackground();
    EXPECT_EQ(0.5, g.m_BgModel[0]);
    EXPECT_EQ(0.5, g.m_BgModel[1]);
    for (int e = 4; e < 12; e++)   // rows of A and C: no pair counted
        EXPECT_EQ(0.0, g.m_BgModel[e]) << e;
    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    EXPECT_EQ(log(0.5), t.At(0, 0, 2, 1));
    EXPECT_EQ(-1.386, t.At(0, 1, 2, 1));
    EXPECT_EQ(-1.386, t.At(0, 2, 2, 1));
    EXPECT_EQ(-1.386, AmbiguousBgLogPr);
}

TEST(Background, LowerCaseNIsAmbiguousInTheColumn)
{
    CGibbsDP g;
    SetSequences(g, {"nAC"});
    g.BuildBackground();
    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    EXPECT_EQ(-1.386, t.At(0, 0, 2, 1));
    EXPECT_EQ(-1.386, t.At(0, 1, 2, 1));
    EXPECT_EQ(log(P(g, 'A', 'C')), t.At(0, 2, 2, 1));
}

TEST(Background, RAIsCountedAndScoredAsAA)
{
    CGibbsDP g;
    SetSequences(g, {"RA"});
    g.BuildBackground();
    EXPECT_EQ(1.0, g.m_BgModel[0]);   // R adds to no base count
    EXPECT_EQ(0.0, g.m_BgModel[1]);
    EXPECT_EQ(1.0, P(g, 'A', 'A'));
    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    EXPECT_EQ(log(1.0), t.At(0, 0, 2, 1));   // R read as A
    EXPECT_EQ(log(1.0), t.At(0, 1, 2, 1));
}

TEST(Background, CalLogBgPrOfOneLetterAndOfGT)
{
    CGibbsDP g;
    SetSequences(g, {"ACGTTGCAAGTC", "GGTA"});
    g.BuildBackground();
    EXPECT_EQ(log(g.m_BgModel[2]), g.CalLogBgPr(Cs("G")));
    EXPECT_EQ(log(g.m_BgModel[2]) + log(P(g, 'G', 'T')), g.CalLogBgPr(Cs("GT")));
    double expect = log(g.m_BgModel[1]);
    expect += log(P(g, 'C', 'A'));
    expect += log(P(g, 'A', 'A'));
    expect += log(P(g, 'A', 'G'));
    EXPECT_EQ(expect, g.CalLogBgPr(Cs("CAAG")));
    // N codes as A in CalLogBgPr.
    EXPECT_EQ(g.CalLogBgPr(Cs("CAAG")), g.CalLogBgPr(Cs("CNAG")));
}

TEST(Background, BothOverloadsGiveTheSameBits)
{
    CGibbsDP g;
    SetSequences(g, {"ACGTTGCAAGTCNNACRYTTGACCA", "GGTAAAACCCGT"});
    g.BuildBackground();
    const char* letters = "ACGTNRacgt";
    unsigned x = 12345;
    for (int trial = 0; trial < 500; trial++) {
        int n = 1 + trial % 20;
        std::string w;
        for (int i = 0; i < n; i++) {
            x = x * 1103515245u + 12345u;
            w += letters[(x >> 16) % 10];
        }
        double a = g.CalLogBgPr(Cs(w.c_str()));
        double b = g.CalLogBgPr(w.c_str(), n);
        EXPECT_EQ(a, b) << w;
        // In place on a longer buffer: only n letters count.
        std::string longer = w + "TTTT";
        EXPECT_EQ(a, g.CalLogBgPr(longer.c_str(), n));
        EXPECT_TRUE(std::isfinite(a)) << w;
    }
    EXPECT_EQ(0.0, g.CalLogBgPr(CString()));
    EXPECT_EQ(0.0, g.CalLogBgPr("A", 0));
}

TEST(Background, ZeroProbabilitiesAreGuarded)
{
    CGibbsDP g;
    SetSequences(g, {"ACGT"});
    g.BuildBackground();
    // T -> A was never seen: probability 0, scored with the guard.
    EXPECT_EQ(log(0.25) + kZeroLog, g.CalLogBgPr(Cs("TA")));
    EXPECT_NEAR(log(1e-6), kZeroLog, 1e-14);

    // No G at all: base frequency 0 for G.
    CGibbsDP h;
    SetSequences(h, {"ACCA"});
    h.BuildBackground();
    EXPECT_EQ(0.0, h.m_BgModel[2]);
    EXPECT_EQ(kZeroLog, h.CalLogBgPr(Cs("G")));
    EXPECT_EQ(kZeroLog, h.CalLogBgPr("G", 1));

    // An ambiguity letter at p = 0 reads as A; with no A in the input its
    // base frequency is 0, and the column still stays finite.
    CGibbsDP r;
    SetSequences(r, {"RCCG"});
    r.BuildBackground();
    EXPECT_EQ(0.0, r.m_BgModel[0]);
    TABLES t(r);
    r.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    EXPECT_EQ(kZeroLog, t.At(0, 0, 2, 1));
    for (int p = 0; p < 4; p++)
        EXPECT_TRUE(std::isfinite(t.At(0, p, 2, 1)));
}

TEST(Background, InputWithoutAnyACGT)
{
    CGibbsDP g;
    SetSequences(g, {"NNNN", "NN", ""});
    g.BuildBackground();
    for (int e = 0; e < 20; e++)
        EXPECT_EQ(0.25, g.m_BgModel[e]) << e;
    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    for (int p = 0; p < 4; p++)
        EXPECT_EQ(-1.386, t.At(0, p, 2, 1));
    EXPECT_EQ(log(0.25) + log(0.25), g.CalLogBgPr(Cs("AC")));

    CGibbsDP r;
    SetSequences(r, {"RYSW"});
    r.BuildBackground();
    EXPECT_EQ(0.25, r.m_BgModel[0]);
    for (char b : std::string("ACGT"))
        EXPECT_EQ(0.25, P(r, 'A', b));   // AA counted 3 times, but A never occurs
}

TEST(Background, EveryNumberIsFiniteOnDegenerateInputs)
{
    const char* inputs[][3] = {{"A", "", ""}, {"T", "T", ""}, {"N", "", ""}, {"ACGT", "TTTT", "N"},
                               {"RR", "YY", ""}, {"G", "C", "A"}};
    for (auto& in : inputs) {
        CGibbsDP g;
        SetSequences(g, {in[0], in[1], in[2]});
        g.BuildBackground();
        TABLES t(g);
        g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
        for (int s = 0; s < 3; s++)
            for (int p = 0; p < t.Len[s]; p++)
                EXPECT_TRUE(std::isfinite(t.At(s, p, 2, 1)));
        const char* words[] = {"A", "C", "G", "T", "AC", "TA", "GG", "CGTA", "NNR"};
        for (const char* w : words) {
            EXPECT_TRUE(std::isfinite(g.CalLogBgPr(Cs(w)))) << w;
            EXPECT_FALSE(std::isnan(g.CalLogBgPr(Cs(w)))) << w;
        }
    }
}

TEST(Background, FileSetsNamedPositions)
{
    CTempDir dir;
    std::string bg = dir.Path("bg.txt");
    // Columns: seq, unused, A, T, C, G, position.
    WriteFile(bg,
              "\n"
              "1\t0\t0.1\t0.2\t0.3\t0.4\t2\n"      // C at seq 1 pos 2: field 5
              "1\t0\t0.1\t0.2\t0.3\t0.4\t4\n"      // T at pos 4: field 4
              "2\t0\t0.11\t0.2\t0.3\t0.4\t1\n"     // R at seq 2 pos 1: read as A, field 3
              "2\t0\t0.11\t0.2\t0.3\t0.45\t2.95\n" // G at pos 3 (2.95 + 0.1)
              "3\t0\t0.1\t0.2\t0.3\t0.4\t1\n"      // no sequence 3: ignored
              "1\t0\t0.1\t0.2\t0.3\t0.4\t5\n"      // no position 5: ignored
              "1\t0\t0.1\t0.2\t0.3\t0.4\t0\n"      // position 0: ignored
              "0\t0\t0.1\t0.2\t0.3\t0.4\t1\n"      // sequence 0: ignored
              "1\t0\t0.5\t0.2\t0\t0.4\t3\n"        // G at pos 3 ... field 6 = 0.4 used
              "1\t0\t0.5\t0.2\t0.3\t-1\t3\n"       // probability <= 0: ignored
              "1\t0\t0.5\t0.2\t0.3\t0\t3\n"        // probability 0: ignored
              "1\t0\t0.5\t0.2\t0.3\tinf\t3\n"      // not finite: ignored
              "1e300\t0\t1\t1\t1\t1\t1e300\n"      // huge counters: ignored
              "1\t2\t3\t4\n");                     // short line
    CGibbsDP g;
    SetSequences(g, {"ACGT", "RAG"});
    g.BuildBackground();
    TABLES chain(g);
    g.CalLogBgPrPos(chain.Ptr.data(), chain.Len.data());

    g.m_UseBgFile = true;
    g.m_BgLines = LoadedBgLines(bg);
    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    EXPECT_EQ(chain.At(0, 0, 2, 1), t.At(0, 0, 2, 1));   // not listed: the chain's value
    EXPECT_EQ(log(0.3), t.At(0, 1, 2, 1));
    EXPECT_EQ(log(0.4), t.At(0, 2, 2, 1));
    EXPECT_EQ(log(0.2), t.At(0, 3, 2, 1));
    EXPECT_EQ(log(0.11), t.At(1, 0, 2, 1));
    EXPECT_EQ(chain.At(1, 1, 2, 1), t.At(1, 1, 2, 1));
    EXPECT_EQ(log(0.45), t.At(1, 2, 2, 1));
    // CalLogBgPr still uses the chain.
    EXPECT_EQ(log(g.m_BgModel[1]) + log(P(g, 'C', 'G')), g.CalLogBgPr(Cs("CG")));
}

TEST(Background, ShortLinesAreIgnored)
{
    CTempDir dir;
    std::string bg = dir.Path("bg.txt");
    // 10 characters with the newline: ignored. 11: a data line.
    WriteFile(bg, "1\t\t5\t\t\t\t1\n1\t0\t.25\t\t\t\t2\n");
    CGibbsDP g;
    SetSequences(g, {"AA"});
    g.BuildBackground();
    g.m_UseBgFile = true;
    g.m_BgLines = LoadedBgLines(bg);
    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    EXPECT_EQ(0.0, t.At(0, 0, 2, 1));          // ln 1, from the chain
    EXPECT_EQ(log(0.25), t.At(0, 1, 2, 1));
}

TEST(Background, LongLinesAreReadInPiecesSafely)
{
    CTempDir dir;
    std::string bg = dir.Path("bg.txt");
    std::string junk(5000, '7');
    WriteFile(bg, junk + "\t" + junk + "\n1\t0\t0.1\t0.2\t0.3\t0.4\t1\n");
    CGibbsDP g;
    SetSequences(g, {"CA"});
    g.BuildBackground();
    g.m_UseBgFile = true;
    g.m_BgLines = LoadedBgLines(bg);
    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    EXPECT_EQ(log(0.3), t.At(0, 0, 2, 1));
}

TEST(Background, UnopenableFileLeavesTheChainsColumn)
{
    CTempDir dir;
    CGibbsDP g;
    SetSequences(g, {"ACGGT"});
    g.BuildBackground();
    TABLES chain(g);
    g.CalLogBgPrPos(chain.Ptr.data(), chain.Len.data());
    g.m_UseBgFile = true;
    g.m_BgLines = LoadedBgLines(dir.Path("missing.txt"));
    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    for (int p = 0; p < 5; p++)
        EXPECT_EQ(chain.At(0, p, 2, 1), t.At(0, p, 2, 1));
}

TEST(Background, ColumnIsTwoKInWiderTables)
{
    CGibbsDP g;
    g.m_MotifNum = 3;
    SetSequences(g, {"ACGTA"});
    g.BuildBackground();
    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    for (int p = 0; p < 5; p++) {
        for (int c = 0; c < 6; c++)
            EXPECT_EQ(12345.0, t.At(0, p, c, 3));
        EXPECT_NE(12345.0, t.At(0, p, 6, 3));
    }
    EXPECT_EQ(log(P(g, 'T', 'A')), t.At(0, 4, 6, 3));
}
