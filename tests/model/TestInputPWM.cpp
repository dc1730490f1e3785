// the weight-matrix file, and the up-front side-file checks.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ModelTestUtil.h"
#include "io/SideFiles.h"

namespace {

// A sampler with K motifs of the given widths and matching weight matrices
// (every entry 0.25), and the matrix file written from text.
struct PWMFIXTURE {
    CTempDir Dir;
    CGibbsDP G;
    PWMS* Pwm;
    std::string File;
    PWMFIXTURE(const std::string& text, std::vector<int> widths)
    {
        SetMotifs(G, widths);
        std::vector<std::vector<double>> m;
        for (int w : widths)
            m.push_back(std::vector<double>(4 * w, 0.25));
        Pwm = new PWMS(m);
        File = Dir.Path("pwm.txt");
        WriteFile(File, text);
        G.m_GivenPWM = LoadedPWM(File, (int)widths.size());
        G.m_UsePWM = true;
    }
    ~PWMFIXTURE() { delete Pwm; }
    void Read() { G.ReadInputPWM(Pwm->Ptr.data()); }
    double At(int k, int row, int l) const { return Pwm->Ptr[k][4 * row + l]; }
};

std::string Rows(int w, const std::string& row)
{
    std::string s;
    for (int i = 0; i < w; i++)
        s += row;
    return s;
}

}  // namespace

TEST(InputPWM, IdentityCountsExample)
{
    PWMFIXTURE f(">3\n10\t0\t0\t0\n0\t10\t0\t0\n0\t0\t0\t10\n", {8});
    f.Read();
    EXPECT_EQ(3, f.G.m_Width[0]);
    double s = 10.0;
    double hi = (10.0 + 0.0025 * s) / (1.01 * s);
    double lo = (0.0 + 0.0025 * s) / (1.01 * s);
    EXPECT_EQ(hi, f.At(0, 0, 0));
    EXPECT_EQ(lo, f.At(0, 0, 1));
    EXPECT_EQ(lo, f.At(0, 0, 2));
    EXPECT_EQ(lo, f.At(0, 0, 3));
    EXPECT_EQ(hi, f.At(0, 1, 1));
    EXPECT_EQ(hi, f.At(0, 2, 3));
    EXPECT_NEAR(0.99257, hi, 1e-5);
    EXPECT_NEAR(0.00248, lo, 1e-5);
    for (int e = 0; e < 12; e++)
        EXPECT_EQ(0, f.G.m_CountMat[0][e]);   // reallocated, zero-filled
}

TEST(InputPWM, CountsAndProbabilitiesAgree)
{
    PWMFIXTURE f(">5 counts\n"
                 "10\t20\t30\t40\n1\t2\t3\t94\n25\t25\t25\t25\n0\t0\t100\t0\n33\t33\t33\t1\n"
                 ">5 probabilities\n"
                 "0.1\t0.2\t0.3\t0.4\n0.01\t0.02\t0.03\t0.94\n0.25\t0.25\t0.25\t0.25\n0\t0\t1\t0\n0.33\t0.33\t0.33\t0.01\n",
                 {6, 7});
    f.Read();
    ASSERT_EQ(5, f.G.m_Width[0]);
    ASSERT_EQ(5, f.G.m_Width[1]);
    for (int r = 0; r < 5; r++) {
        double sum = 0;
        for (int l = 0; l < 4; l++) {
            EXPECT_NEAR(f.At(0, r, l), f.At(1, r, l), 1e-15) << r << " " << l;
            sum += f.At(0, r, l);
        }
        EXPECT_NEAR(1.0, sum, 1e-15);
    }
}

TEST(InputPWM, HeaderWithNameAndSpacesInsteadOfTabs)
{
    // Spaces separate values as tabs do: "8 1 1 0" is A = 8, C = 1, G = 1, T = 0.
    PWMFIXTURE f(">12 GATA\n" + Rows(11, "1\t2\t3\t4\n") + "8 1 1 0\n", {5});
    f.Read();
    EXPECT_EQ(12, f.G.m_Width[0]);
    double s = 10.0;
    EXPECT_EQ((8.0 + 0.0025 * s) / (1.01 * s), f.At(0, 11, 0));
    EXPECT_EQ((1.0 + 0.0025 * s) / (1.01 * s), f.At(0, 11, 1));
    EXPECT_EQ((1.0 + 0.0025 * s) / (1.01 * s), f.At(0, 11, 2));
    EXPECT_EQ((0.0 + 0.0025 * s) / (1.01 * s), f.At(0, 11, 3));
    EXPECT_EQ((3.0 + 0.0025 * s) / (1.01 * s), f.At(0, 4, 2));
    ASSERT_EQ(1u, f.G.m_SeedMatrixNames.size());
    EXPECT_EQ("GATA", f.G.m_SeedMatrixNames[0]);
}

TEST(InputPWM, RowSplittingEdgeCases)
{
    // Runs of tabs and spaces separate like one; a CR LF line end and a
    // last row without a line break read whole; blank lines and comments
    // between matrices are skipped.
    PWMFIXTURE f("comment\n\n>5\n1\t\t3 \t4  2\r\n" + Rows(3, "1\t1\t1\t1\n") + "2\t2\t2\t2", {5, 5});
    f.Read();
    double s = 10.0;
    EXPECT_EQ((1.0 + 0.0025 * s) / (1.01 * s), f.At(0, 0, 0));
    EXPECT_EQ((3.0 + 0.0025 * s) / (1.01 * s), f.At(0, 0, 1));
    EXPECT_EQ((4.0 + 0.0025 * s) / (1.01 * s), f.At(0, 0, 2));
    EXPECT_EQ((2.0 + 0.0025 * s) / (1.01 * s), f.At(0, 0, 3));
    EXPECT_NEAR(0.25, f.At(0, 4, 0), 1e-15);
    EXPECT_EQ(5, f.G.m_Width[1]);   // the second motif was untouched
}

TEST(InputPWM, TwoMatricesChangeMotifsZeroAndOneOnly)
{
    PWMFIXTURE f(">5\n" + Rows(5, "1\t0\t0\t0\n") + "\n>6\n" + Rows(6, "0\t1\t0\t0\n"), {9, 10, 11});
    double* keep = f.Pwm->Ptr[2];
    int* keepCount = f.G.m_CountMat[2];
    f.Read();
    EXPECT_EQ(5, f.G.m_Width[0]);
    EXPECT_EQ(6, f.G.m_Width[1]);
    EXPECT_EQ(11, f.G.m_Width[2]);
    EXPECT_EQ(keep, f.Pwm->Ptr[2]);
    EXPECT_EQ(keepCount, f.G.m_CountMat[2]);
    EXPECT_EQ(0.25, f.At(2, 10, 3));
    EXPECT_GT(f.At(1, 5, 1), 0.99);
}

TEST(InputPWM, MatricesBeyondTheKthAreIgnored)
{
    PWMFIXTURE f(">5\n" + Rows(5, "1\t0\t0\t0\n") + ">6\n" + Rows(6, "0\t1\t0\t0\n") + ">7\n" +
                     Rows(7, "0\t0\t1\t0\n"),
                 {9});
    f.Read();
    EXPECT_EQ(5, f.G.m_Width[0]);
    EXPECT_GT(f.At(0, 4, 0), 0.99);
}

TEST(InputPWM, UnopenableFileChangesNothing)
{
    PWMFIXTURE f("", {9, 10});
    double* p0 = f.Pwm->Ptr[0];
    f.G.m_GivenPWM = LoadedPWM(f.Dir.Path("missing.txt"), f.G.m_MotifNum);
    f.Read();
    EXPECT_EQ(9, f.G.m_Width[0]);
    EXPECT_EQ(p0, f.Pwm->Ptr[0]);
    f.G.m_GivenPWM = LoadedPWM(f.Dir.m_Dir, f.G.m_MotifNum);   // a directory
    f.Read();
    EXPECT_EQ(9, f.G.m_Width[0]);
    EXPECT_EQ(10, f.G.m_Width[1]);
}

TEST(InputPWM, FaultyFilesKeepNumbersSafe)
{
    // A file the reader refuses (a negative value, a row of three numbers,
    // a width of 0) changes nothing; a row of zeros becomes uniform.
    for (const std::string& bad : {">5\n1\t-1\t0\t0\n" + Rows(4, "1\t1\t1\t1\n"),
                                   ">5\n1\t1\t1\n" + Rows(4, "1\t1\t1\t1\n"), std::string(">0\n")}) {
        PWMFIXTURE f(bad, {9, 10});
        double* p0 = f.Pwm->Ptr[0];
        f.Read();
        EXPECT_EQ(9, f.G.m_Width[0]) << bad;
        EXPECT_EQ(p0, f.Pwm->Ptr[0]) << bad;
    }
    PWMFIXTURE f(">5\n0\t0\t0\t0\n" + Rows(4, "1\t2\t3\t4\n"), {9, 10});
    f.Read();
    EXPECT_EQ(5, f.G.m_Width[0]);
    for (int l = 0; l < 4; l++)
        EXPECT_EQ(0.25, f.At(0, 0, l));   // sum 0
    for (int e = 0; e < 4 * 5; e++) {
        EXPECT_TRUE(std::isfinite(f.Pwm->Ptr[0][e]));
        EXPECT_GT(f.Pwm->Ptr[0][e], 0.0);
    }
}

TEST(SideFiles, CheckBgFile)
{
    CTempDir dir;
    std::string bg = dir.Path("bg.txt");
    WriteFile(bg, "1\t0\t0.25\t0.25\t0.25\t0.25\t1\n");
    std::string empty = dir.Path("empty.txt");
    WriteFile(empty, "");
    EXPECT_TRUE(CheckBgFile(bg.c_str()));
    EXPECT_TRUE(CheckBgFile(empty.c_str()));
    EXPECT_FALSE(CheckBgFile(dir.Path("missing.txt").c_str()));
    EXPECT_FALSE(CheckBgFile(dir.m_Dir.c_str()));
    EXPECT_FALSE(CheckBgFile(""));
    EXPECT_FALSE(CheckBgFile(nullptr));
}

TEST(SideFiles, CheckPWMFile)
{
    CTempDir dir;
    auto check = [&](const std::string& text, int K) {
        std::string p = dir.Path("m.txt");
        WriteFile(p, text);
        return CheckPWMFile(p.c_str(), K);
    };
    std::string good5 = ">5 X\n" + Rows(5, "1\t2\t3\t4\n");
    EXPECT_TRUE(check(good5, 1));
    EXPECT_TRUE(check(good5 + good5, 2));
    EXPECT_TRUE(check(good5, 3));   // fewer matrices than motifs
    EXPECT_FALSE(check("", 1));                                              // no matrix at all
    EXPECT_FALSE(check("no matrix here\n", 1));
    EXPECT_TRUE(check(">49\n" + Rows(49, "0\t0\t0\t0.1\n"), 1));
    EXPECT_TRUE(check(">5\n" + Rows(4, "1\t2\t3\t4\n") + "1\t2\t3\t4", 1));   // no final line break
    EXPECT_TRUE(check(">5\n" + Rows(5, "1 2 3 4\n"), 1));                    // spaces separate too
    EXPECT_FALSE(check(">5\n" + Rows(5, "1 2 3\n"), 1));                     // three values
    EXPECT_FALSE(check(">5\n" + Rows(5, "1 2 3 4 5\n"), 1));                 // five values
    EXPECT_FALSE(check(">5\n" + Rows(5, "1 2 3 4x\n"), 1));                  // not a number
    EXPECT_FALSE(check(">4\n" + Rows(4, "1\t2\t3\t4\n"), 1));
    EXPECT_FALSE(check(">50\n" + Rows(50, "1\t2\t3\t4\n"), 1));
    EXPECT_FALSE(check(">GATA\n" + Rows(5, "1\t2\t3\t4\n"), 1));
    EXPECT_FALSE(check(">5\n" + Rows(4, "1\t2\t3\t4\n"), 1));                // fewer rows
    EXPECT_FALSE(check(">5\n" + Rows(4, "1\t2\t3\t4\n") + "0\t0\t0\t0\n", 1));
    EXPECT_FALSE(check(">5\n" + Rows(4, "1\t2\t3\t4\n") + "a\tb\tc\td\n", 1)); // no number: sum 0
    EXPECT_FALSE(check(">5\n" + Rows(4, "1\t2\t3\t4\n") + "1\t-2\t0\t0\n", 1));
    EXPECT_FALSE(check(">5\n" + Rows(4, "1\t2\t3\t4\n") + "-1\t3\t0\t0\n", 1));   // rescaled A < 0
    EXPECT_FALSE(check(">5\n" + Rows(4, "1\t2\t3\t4\n") + "-0.001\t3\t0\t0\n", 1)); // any negative value
    EXPECT_FALSE(check(">5\n" + Rows(4, "1\t2\t3\t4\n") + "nan\t1\t1\t1\n", 1));
    EXPECT_FALSE(check(good5 + ">3\n1\t1\t1\t1\n", 2));
    EXPECT_TRUE(check(good5 + ">3\n1\t1\t1\t1\n", 1));   // beyond the K-th: ignored
    EXPECT_FALSE(CheckPWMFile(dir.Path("missing.txt").c_str(), 1));
    EXPECT_FALSE(CheckPWMFile(dir.m_Dir.c_str(), 1));
    EXPECT_FALSE(CheckPWMFile("", 1));
}
