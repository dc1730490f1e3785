// motif columns of the position tables, word scores, counts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ModelTestUtil.h"
#include "base/Helpers.h"
#include "model/ScoreTables.h"

namespace {

CString Cs(const std::string& s)
{
    CString c;
    c = s.c_str();
    return c;
}

// The scoring rule written out literally, with temporary strings.
void NaiveCalLogPrPos(CGibbsDP& g, double** tables, int* lengths, double** pwm)
{
    int K = g.m_MotifNum;
    for (int s = 0; s < g.m_SeqNum; s++)
        for (int p = 0; p < lengths[s]; p++)
            for (int k = 0; k < K; k++) {
                int W = g.m_Width[k];
                double* row = tables[s] + p * (2 * K + 1);
                if (p < W - 1) {
                    row[2 * k] = row[2 * k + 1] = -2000.0;
                    continue;
                }
                CString word = g.m_Seq[s].Mid(p - W + 1, W);
                if (word.Find("N") >= 0 || word.Find("n") >= 0) {
                    row[2 * k] = row[2 * k + 1] = -2000.0;
                    continue;
                }
                row[2 * k] = g.CalLogMotifPr(word, pwm[k]);
                row[2 * k + 1] = g.m_BothStrand ? g.CalLogMotifPr(Reverse(word), pwm[k]) : -2000.0;
            }
}

std::vector<double> Row(double a, double c, double g, double t)
{
    return {a, c, g, t};
}

std::vector<double> Matrix(std::initializer_list<std::vector<double>> rows)
{
    std::vector<double> m;
    for (auto& r : rows)
        m.insert(m.end(), r.begin(), r.end());
    return m;
}

// A pseudo-random weight matrix of width w (entries positive, rows sum 1).
std::vector<double> RandomMatrix(int w, unsigned* x)
{
    std::vector<double> m;
    for (int i = 0; i < w; i++) {
        double v[4], s = 0;
        for (int l = 0; l < 4; l++) {
            *x = *x * 1103515245u + 12345u;
            v[l] = 0.01 + ((*x >> 8) % 1000) / 1000.0;
            s += v[l];
        }
        for (int l = 0; l < 4; l++)
            m.push_back(v[l] / s);
    }
    return m;
}

}  // namespace

TEST(MotifScore, WidthThreeExample)
{
    CGibbsDP g;
    SetSequences(g, {"ACGTT"});
    SetMotifs(g, {3});
    PWMS pwm({Matrix({Row(0.7, 0.1, 0.1, 0.1), Row(0.1, 0.8, 0.05, 0.05), Row(0.05, 0.025, 0.9, 0.025)})});
    TABLES t(g);
    g.CalLogPrPos(t.Ptr.data(), t.Len.data(), pwm.Ptr.data());
    for (int p = 0; p < 2; p++) {
        EXPECT_EQ(-2000.0, t.At(0, p, 0, 1));
        EXPECT_EQ(-2000.0, t.At(0, p, 1, 1));
    }
    double fwd = 0.0;
    fwd += log(0.7);
    fwd += log(0.8);
    fwd += log(0.9);
    EXPECT_EQ(fwd, t.At(0, 2, 0, 1));
    // Reverse complement of ACG is CGT.
    double rev = 0.0;
    rev += log(0.1);
    rev += log(0.05);
    rev += log(0.025);
    EXPECT_EQ(rev, t.At(0, 2, 1, 1));
    EXPECT_EQ(g.CalLogMotifPr(Cs("CGT"), pwm.Ptr[0]), t.At(0, 2, 1, 1));
    EXPECT_EQ(g.CalLogMotifPr(Cs("ACG"), pwm.Ptr[0]), fwd);
    EXPECT_EQ(12345.0, t.At(0, 2, 2, 1));   // background column untouched
}

TEST(MotifScore, WindowsWithNAreNoSitesAndRIsReadAsA)
{
    CGibbsDP g;
    SetSequences(g, {"ACNGTRCA", "AnCGT"});
    SetMotifs(g, {3});
    PWMS pwm({Matrix({Row(0.7, 0.1, 0.1, 0.1), Row(0.1, 0.8, 0.05, 0.05), Row(0.05, 0.025, 0.9, 0.025)})});
    TABLES t(g);
    g.CalLogPrPos(t.Ptr.data(), t.Len.data(), pwm.Ptr.data());
    for (int p = 2; p <= 4; p++) {   // windows holding the N at 2
        EXPECT_EQ(-2000.0, t.At(0, p, 0, 1)) << p;
        EXPECT_EQ(-2000.0, t.At(0, p, 1, 1)) << p;
    }
    EXPECT_EQ(g.CalLogMotifPr(Cs("GTR"), pwm.Ptr[0]), t.At(0, 5, 0, 1));
    EXPECT_EQ(g.CalLogMotifPr(Cs("GTA"), pwm.Ptr[0]), t.At(0, 5, 0, 1));
    EXPECT_EQ(g.CalLogMotifPr(Cs("RCA"), pwm.Ptr[0]), t.At(0, 7, 0, 1));
    // Reverse of TRC is GYA; Y codes as A.
    EXPECT_EQ(g.CalLogMotifPr(Cs("GYA"), pwm.Ptr[0]), t.At(0, 6, 1, 1));
    EXPECT_EQ(g.CalLogMotifPr(Cs("GAA"), pwm.Ptr[0]), t.At(0, 6, 1, 1));
    for (int p = 0; p <= 3; p++) {   // lower-case n counts as N too
        EXPECT_EQ(-2000.0, t.At(1, p, 0, 1)) << p;
        EXPECT_EQ(-2000.0, t.At(1, p, 1, 1)) << p;
    }
    EXPECT_EQ(g.CalLogMotifPr(Cs("CGT"), pwm.Ptr[0]), t.At(1, 4, 0, 1));
}

TEST(MotifScore, ForwardOnlyGivesNoSiteInEveryOddColumn)
{
    CGibbsDP g;
    g.m_BothStrand = false;
    SetSequences(g, {"ACGTACGTTTGCA", "GGCA"});
    SetMotifs(g, {3, 5});
    unsigned x = 7;
    PWMS pwm({RandomMatrix(3, &x), RandomMatrix(5, &x)});
    TABLES t(g);
    g.CalLogPrPos(t.Ptr.data(), t.Len.data(), pwm.Ptr.data());
    for (int s = 0; s < 2; s++)
        for (int p = 0; p < t.Len[s]; p++) {
            EXPECT_EQ(-2000.0, t.At(s, p, 1, 2));
            EXPECT_EQ(-2000.0, t.At(s, p, 3, 2));
            EXPECT_EQ(12345.0, t.At(s, p, 4, 2));
        }
    EXPECT_EQ(g.CalLogMotifPr(Cs("TACGT"), pwm.Ptr[1]), t.At(0, 7, 2, 2));
}

TEST(MotifScore, SameBitsAsTheLiteralRule)
{
    const char* letters = "ACGTACGTACGTNRYacgtn";
    unsigned x = 99;
    for (int trial = 0; trial < 30; trial++) {
        for (int both = 0; both < 2; both++) {
            CGibbsDP g;
            g.m_BothStrand = both != 0;
            std::vector<std::string> seqs;
            for (int s = 0; s < 4; s++) {
                std::string q;
                int len = (int)((x >> 4) % 60);
                x = x * 1103515245u + 12345u;
                for (int i = 0; i < len; i++) {
                    x = x * 1103515245u + 12345u;
                    char c = letters[(x >> 16) % 20];
                    // Mostly upper case: the reader leaves no lower case, but
                    // the scorer must still treat n as N.
                    if (c >= 'a' && ((x >> 10) % 4) != 0)
                        c = (char)(c - 'a' + 'A');
                    q += c;
                }
                seqs.push_back(q);
            }
            SetSequences(g, seqs);
            std::vector<int> widths = {5 + (int)(x % 7), 5 + (int)((x >> 8) % 10), 5};
            SetMotifs(g, widths);
            PWMS pwm({RandomMatrix(widths[0], &x), RandomMatrix(widths[1], &x), RandomMatrix(5, &x)});
            TABLES fast(g), naive(g);
            g.CalLogPrPos(fast.Ptr.data(), fast.Len.data(), pwm.Ptr.data());
            NaiveCalLogPrPos(g, naive.Ptr.data(), naive.Len.data(), pwm.Ptr.data());
            for (int s = 0; s < 4; s++)
                for (size_t e = 0; e < fast.Data[s].size(); e++)
                    ASSERT_EQ(naive.Data[s][e], fast.Data[s][e]) << trial << " " << s << " " << e;
        }
    }
}

// Every prefix depth, from one letter to deeper than the widest motif, gives
// the bits of adding every term in turn (long sequences, widths on both
// sides of the depth, N and IUPAC letters, both strand settings).
TEST(MotifScore, PrefixTablesOfEveryDepthGiveTheLiteralSums)
{
    const char* letters = "ACGTACGTACGTACGTNRYa";
    unsigned x = 4242;
    for (int depth = 1; depth <= 9; depth++) {
        for (int both = 0; both < 2; both++) {
            CGibbsDP g;
            g.m_BothStrand = both != 0;
            std::vector<std::string> seqs;
            for (int s = 0; s < 3; s++) {
                std::string q;
                int len = 1 + (int)((x >> 4) % 400);
                for (int i = 0; i < len; i++) {
                    x = x * 1103515245u + 12345u;
                    q += letters[(x >> 16) % 20];
                }
                seqs.push_back(q);
            }
            SetSequences(g, seqs);
            std::vector<int> widths = {5, 5 + (int)(x % 12), 13};
            SetMotifs(g, widths);
            PWMS pwm({RandomMatrix(widths[0], &x), RandomMatrix(widths[1], &x), RandomMatrix(13, &x)});
            ScoreTables tables;
            g.MatrixLogs(pwm.Ptr.data(), &tables.logs, &tables.offset);
            BuildPrefixSums(g.m_Width, 3, depth, &tables);
            ASSERT_EQ(depth < 13 ? depth : 13, tables.maxDepth);
            TABLES fast(g), naive(g);
            ScoreScratch scratch;
            for (int s = 0; s < 3; s++)
                g.ScoreSequence(s, fast.Ptr[s], fast.Len[s], tables, &scratch);
            NaiveCalLogPrPos(g, naive.Ptr.data(), naive.Len.data(), pwm.Ptr.data());
            for (int s = 0; s < 3; s++)
                for (size_t e = 0; e < fast.Data[s].size(); e++)
                    ASSERT_EQ(naive.Data[s][e], fast.Data[s][e]) << depth << " " << s << " " << e;
        }
    }
}

TEST(MotifScore, PrefixDepthGrowsWithTheInputAndShrinksWithManyMotifs)
{
    EXPECT_EQ(1, PrefixDepthFor(10, 3));
    EXPECT_EQ(4, PrefixDepthFor(1000, 3));        // 4^4 <= 1000 < 4^5
    EXPECT_EQ(6, PrefixDepthFor(100000, 3));      // 3 tables of 4^7 would pass 256 KB
    EXPECT_EQ(7, PrefixDepthFor(100000, 1));
    EXPECT_EQ(2, PrefixDepthFor(100000, 1000));   // K = 1000 still fits
    EXPECT_EQ(1, PrefixDepthFor(100000, 5000));
    EXPECT_LE(PrefixDepthFor(1LL << 40, 1), kMaxPrefixDepth);
}

TEST(MotifScore, CalLogMotifPrSumsInOrderAndReadsOtherLettersAsA)
{
    CGibbsDP g;
    std::vector<double> m = Matrix({Row(0.7, 0.1, 0.1, 0.1), Row(0.1, 0.8, 0.05, 0.05)});
    double e = 0.0;
    e += log(0.1);
    e += log(0.05);
    EXPECT_EQ(e, g.CalLogMotifPr(Cs("TT"), m.data()));
    EXPECT_EQ(g.CalLogMotifPr(Cs("AA"), m.data()), g.CalLogMotifPr(Cs("Nr"), m.data()));
    EXPECT_EQ(0.0, g.CalLogMotifPr(CString(), m.data()));
    std::vector<double> z = Matrix({Row(0.0, 0.5, 0.5, 0.0)});
    EXPECT_EQ(-INFINITY, g.CalLogMotifPr(Cs("A"), z.data()));
}

TEST(MotifScore, CalWeightMatOnACGAndaCt)
{
    CGibbsDP g;
    SetSequences(g, {"AAAA", "CCCC"});
    SITEINFO head0, head1;
    SITEINFO* a = new SITEINFO;
    a->Word = "ACG";
    SITEINFO* b = new SITEINFO;
    b->Word = "aCt";
    g.AddSite(&head0, a);
    g.AddSite(&head1, b);
    SITEINFO* heads[2] = {&head0, &head1};
    int counts[12];
    for (int& c : counts)
        c = 77;
    EXPECT_EQ(2, g.CalWeightMat(heads, counts, 3));
    int expect[12] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1, 1};
    for (int e = 0; e < 12; e++)
        EXPECT_EQ(expect[e], counts[e]) << e;

    // A site letter N adds to no count.
    a->Word = "NCG";
    EXPECT_EQ(2, g.CalWeightMat(heads, counts, 3));
    EXPECT_EQ(1, counts[0]);
    EXPECT_EQ(0, counts[1] + counts[2] + counts[3] - 0);

    // A word shorter than the width adds only its own letters.
    a->Word = "AC";
    b->Word = "";
    int wide[16];
    EXPECT_EQ(2, g.CalWeightMat(heads, wide, 4));
    int expectWide[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int e = 0; e < 16; e++)
        EXPECT_EQ(expectWide[e], wide[e]) << e;
    delete a;
    delete b;
    head0.Next = head1.Next = nullptr;
}

TEST(MotifScore, CalWeightMatOverEmptyListsReturnsZero)
{
    CGibbsDP g;
    SetSequences(g, {"AAAA", "CCCC", "G"});
    SITEINFO h[3];
    SITEINFO* heads[3] = {&h[0], &h[1], &h[2]};
    int counts[20];
    for (int& c : counts)
        c = -5;
    EXPECT_EQ(0, g.CalWeightMat(heads, counts, 5));
    for (int c : counts)
        EXPECT_EQ(0, c);
}

TEST(MotifScore, CountsInSiteOrderAcrossSequences)
{
    CGibbsDP g;
    SetSequences(g, {"A", "C", "G"});
    SITEINFO h[3];
    SITEINFO* heads[3] = {&h[0], &h[1], &h[2]};
    for (int i = 0; i < 3; i++)
        for (int j = 0; j <= i; j++) {
            SITEINFO* s = new SITEINFO;
            s->Word = j % 2 ? "TTGCA" : "GATCA";
            g.AddSite(heads[i], s);
        }
    int counts[20];
    EXPECT_EQ(6, g.CalWeightMat(heads, counts, 5));
    EXPECT_EQ(4, counts[2]);   // column 0: G in 4 words
    EXPECT_EQ(2, counts[3]);
    EXPECT_EQ(6, counts[16]);  // column 4: all A
    for (int i = 0; i < 3; i++) {
        SITEINFO* s = h[i].Next;
        while (s) {
            SITEINFO* n = s->Next;
            delete s;
            s = n;
        }
        h[i].Next = nullptr;
    }
}
