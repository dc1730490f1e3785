// Matrix files in the four formats: one matrix written as each format
// users have (own, MEME minimal, MEME full text output, JASPAR, TRANSFAC)
// reads back to the same numbers; our own MEME and JASPAR files read back
// to their counts; files Biopython writes read back (round trip); faults
// name the matrix and row; a given matrix names the motif it seeded; the
// shipped JASPAR libraries agree in their three layouts, and Biopython
// reads their MEME files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "io/MatrixFile.h"
#include "support/TestSupport.h"
#include "output/MotifFiles.h"

namespace {

// Counts of a 6-column motif, A C G T per column.
const std::vector<std::array<double, 4>> kCounts = {
    {{4, 0, 15, 1}}, {{19, 0, 1, 0}}, {{0, 20, 0, 0}}, {{0, 0, 0, 20}}, {{0, 0, 20, 0}}, {{3, 2, 5, 10}}};

std::string Probs(const char* format, bool withIndex)
{
    std::string out;
    char buf[128];
    for (size_t c = 0; c < kCounts.size(); c++) {
        if (withIndex) {
            snprintf(buf, sizeof buf, "%02zu", c + 1);
            out += buf;
        }
        for (double v : kCounts[c]) {
            snprintf(buf, sizeof buf, format, v / 20.0);
            out += buf;
        }
        out += "\n";
    }
    return out;
}

std::string CountRows(const std::string& sep, bool withIndex)
{
    std::string out;
    for (size_t c = 0; c < kCounts.size(); c++) {
        if (withIndex)
            out += (c < 9 ? "0" : "") + std::to_string(c + 1) + sep;
        for (int b = 0; b < 4; b++)
            out += std::to_string((int)kCounts[c][b]) + (b < 3 ? sep : "");
        out += withIndex ? sep + "G\n" : "\n";
    }
    return out;
}

std::string JasparRows()
{
    std::string out;
    for (int b = 0; b < 4; b++) {
        out += std::string(1, "ACGT"[b]) + "  [";
        for (const auto& row : kCounts)
            out += " " + std::to_string((int)row[b]);
        out += " ]\n";
    }
    return out;
}

// The rows scaled to sum 1, for comparing counts with probabilities.
std::vector<std::array<double, 4>> Normalised(const std::vector<std::array<double, 4>>& rows)
{
    std::vector<std::array<double, 4>> out = rows;
    for (auto& row : out) {
        double s = row[0] + row[1] + row[2] + row[3];
        for (double& v : row)
            v /= s;
    }
    return out;
}

void ExpectSameMatrix(const std::vector<std::array<double, 4>>& got, const std::string& what)
{
    std::vector<std::array<double, 4>> a = Normalised(got), b = Normalised(kCounts);
    ASSERT_EQ(b.size(), a.size()) << what;
    for (size_t c = 0; c < a.size(); c++)
        for (int l = 0; l < 4; l++)
            EXPECT_NEAR(b[c][l], a[c][l], 1e-6) << what << " column " << c << " letter " << l;
}

}  // namespace

TEST(MatrixFile, EveryFormatReadsTheSameMatrix)
{
    struct FORMATCASE {
        std::string What;
        std::string Text;
        MatrixFormat Format;
        std::string Id, Name;
    };
    const FORMATCASE cases[] = {
        {"own, tabs", "# notes\n>6 hb Hunchback\n" + CountRows("\t", false), MatrixFormat::Own, "hb", "Hunchback"},
        {"own, spaces, no name", ">6\n" + CountRows("  ", false), MatrixFormat::Own, "matrix_1", ""},
        {"MEME minimal",
         "MEME version 4\n\nALPHABET= ACGT\n\nstrands: + -\n\nBackground letter frequencies\n"
         "A 0.3 C 0.2 G 0.2 T 0.3\n\nMOTIF MA0049.1 hb\nletter-probability matrix: alength= 4 w= 6 nsites= 20 "
         "E= 0\n" + Probs(" %.6f", false) + "URL http://example.org\n",
         MatrixFormat::Meme, "MA0049.1", "hb"},
        {"MEME minimal without w=",
         "MEME version 5\n\nMOTIF M1\nletter-probability matrix:\n" + Probs("  %.6f", false) + "\n",
         MatrixFormat::Meme, "M1", ""},
        {"MEME full text output",
         "********************************************************************************\n"
         "MEME - Motif discovery tool\n"
         "********************************************************************************\n"
         "MEME version 5.5.0 (Release date: Wed Sep 7 14:18:26 2022 -0700)\n\n"
         "ALPHABET= ACGT\n"
         "Background letter frequencies\nA 0.279 C 0.212 G 0.209 T 0.300\n"
         "********************************************************************************\n"
         "MOTIF GACTGT MEME-1\twidth =   6  sites =  20  llr = 150  E-value = 2.1e-010\n"
         "********************************************************************************\n"
         "--------------------------------------------------------------------------------\n"
         "\tMotif GACTGT MEME-1 Description\n"
         "--------------------------------------------------------------------------------\n"
         "Simplified        A  2a::::1\n"
         "pos.-specific     C  ::a:::\n"
         "--------------------------------------------------------------------------------\n"
         "\tMotif GACTGT MEME-1 position-specific scoring matrix\n"
         "--------------------------------------------------------------------------------\n"
         "log-odds matrix: alength= 4 w= 6 n= 420 bayes= 5.1 E= 2.1e-010\n"
         + std::string(6, ' ') + "-12  -999  180  -999\n"
         "--------------------------------------------------------------------------------\n"
         "\tMotif GACTGT MEME-1 position-specific probability matrix\n"
         "--------------------------------------------------------------------------------\n"
         "letter-probability matrix: alength= 4 w= 6 nsites= 20 E= 2.1e-010\n" +
             Probs(" %.6f ", false) +
             "--------------------------------------------------------------------------------\n",
         MatrixFormat::Meme, "GACTGT", "MEME-1"},
        {"JASPAR", ">MA0049.1 hb\n" + JasparRows(), MatrixFormat::Jaspar, "MA0049.1", "hb"},
        {"JASPAR without brackets", ">MA0049.1\nA 4 19 0 0 0 3\nC 0 0 20 0 0 2\nG 15 1 0 0 20 5\nT 1 0 0 20 0 10\n",
         MatrixFormat::Jaspar, "MA0049.1", ""},
        {"TRANSFAC",
         "VV  TRANSFAC MATRIX TABLE\nXX\n//\nAC  M00001\nXX\nID  V$HB_01\nXX\nNA  hb\nXX\n"
         "P0      A      C      G      T\n" + CountRows("      ", true) + "XX\n//\n",
         MatrixFormat::Transfac, "V$HB_01", "hb"},
        {"TRANSFAC as JASPAR writes it (AC the matrix id, ID the factor, no NA)",
         "AC MA0049.1\nXX\nID hb\nXX\nDE MA0049.1 hb ; From JASPAR\nPO\tA\tC\tG\tT\n" + CountRows("\t", true) + "XX\nCC tax_group:insects\nXX\n//\n",
         MatrixFormat::Transfac, "MA0049.1", "hb"},
        {"TRANSFAC with ID alone", "ID V$HB_01\nP0 A C G T\n" + CountRows(" ", true) + "//\n", MatrixFormat::Transfac,
         "V$HB_01", ""},
        {"TRANSFAC, columns in another order",
         "AC  M2\nPO  T  G  C  A\n01 1 15 0 4\n02 0 1 0 19\n03 0 0 20 0\n04 20 0 0 0\n05 0 20 0 0\n06 10 5 2 3\n//\n",
         MatrixFormat::Transfac, "M2", ""},
    };
    for (const FORMATCASE& c : cases) {
        std::vector<MotifMatrix> got;
        std::string reason;
        MatrixFormat format;
        ASSERT_TRUE(ParseMatrixText(c.Text, &got, &reason, &format)) << c.What << ": " << reason;
        EXPECT_EQ(c.Format, format) << c.What;
        ASSERT_EQ(1u, got.size()) << c.What;
        EXPECT_EQ(c.Id, got[0].id) << c.What;
        EXPECT_EQ(c.Name, got[0].name) << c.What;
        ExpectSameMatrix(got[0].rows, c.What);
    }
}

TEST(MatrixFile, FaultsNameTheMatrixAndRow)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "no matrix found"},
        {"just text\n", "no matrix found"},
        {">6 ok\n" + CountRows("\t", false) + ">5 bad\n1 2 3 4\n1 2 3\n", "matrix 2, row 2: a row must hold exactly four"},
        {">5\n1 2 3 4\n1 -2 3 4\n", "matrix 1, row 2:"},
        {">5\n1 2 3 4\n1 2 3 4 5\n", "matrix 1, row 2:"},
        {">5\n1 2 3 4\n1 2 nan 4\n", "matrix 1, row 2:"},
        {">5\n1 2 3 4\n", "matrix 1: the file ends after 1 of its 5 rows"},
        {">60\n", "matrix 1: the width after '>' is 60"},
        {"MEME version 4\nMOTIF A\nMOTIF B\n", "matrix 1: MOTIF A has no letter-probability matrix"},
        {">MA1 x\nA [ 1 2 ]\nC [ 1 2 ]\nG [ 1 2 ]\n", "matrix 1: expected one row for each of A, C, G, T"},
        {">MA1 x\nA [ 1 2 ]\nC [ 1 q ]\nG [ 1 2 ]\nT [ 1 2 ]\n", "row C holds \"q\""},
        {"ID x\nP0 A C G T\n01 1 2 3\n//\n", "matrix 1, row 1:"},
    };
    for (const auto& c : cases) {
        std::vector<MotifMatrix> got;
        std::string reason;
        EXPECT_FALSE(ParseMatrixText(c.first, &got, &reason)) << c.first;
        EXPECT_NE(std::string::npos, reason.find(c.second)) << c.first << "\n" << reason;
    }
    // Matrices beyond the limit are not examined.
    std::vector<MotifMatrix> got;
    std::string reason;
    EXPECT_TRUE(ParseMatrixText(">6\n" + CountRows("\t", false) + ">0 broken\n", &got, &reason, nullptr, 1));
    EXPECT_EQ(1u, got.size());
}

// Rows of random values written with 17 digits read back to the same bits.
TEST(MatrixFile, OwnFormatValuesReadBackExactly)
{
    unsigned state = 99;
    auto next = [&]() {
        state = state * 1664525u + 1013904223u;
        return state;
    };
    for (int trial = 0; trial < 100; trial++) {
        int w = 5 + next() % 20;
        std::vector<std::array<double, 4>> rows(w);
        std::string text = ">" + std::to_string(w) + " m\n";
        for (auto& row : rows) {
            for (int b = 0; b < 4; b++) {
                row[b] = (next() % 1000000) / (double)(1 + next() % 997);
                char buf[64];
                snprintf(buf, sizeof buf, "%.17g%s", row[b], b < 3 ? (next() % 2 ? "\t" : "  ") : "\n");
                text += buf;
            }
        }
        std::vector<MotifMatrix> got;
        std::string reason;
        ASSERT_TRUE(ParseMatrixText(text, &got, &reason)) << reason;
        ASSERT_EQ(1u, got.size());
        EXPECT_TRUE(got[0].rows == rows) << text;
    }
}

// The MEME and JASPAR files of the output folder read back to their counts.
TEST(MatrixFile, OwnOutputFilesReadBack)
{
    RunResult r;
    r.bgFreqs = {0.25, 0.25, 0.25, 0.25};
    MotifResult m;
    m.printed = true;
    m.siteCount = 20;
    for (const auto& row : kCounts)
        m.counts.push_back({{(int)row[0], (int)row[1], (int)row[2], (int)row[3]}});
    m.consensus = "GACTGT";
    r.motifs = {m};
    for (const std::string& text : {FormatMeme({r}), FormatJaspar({r})}) {
        std::vector<MotifMatrix> got;
        std::string reason;
        ASSERT_TRUE(ParseMatrixText(text, &got, &reason)) << reason;
        ASSERT_EQ(1u, got.size());
        EXPECT_EQ("r1.m1", got[0].id);
        EXPECT_EQ("GACTGT", got[0].name);
        ExpectSameMatrix(got[0].rows, text.substr(0, 10));
    }
}

// Biopython writes the matrix as JASPAR and TRANSFAC (the latter without
// a name); both read back.
TEST(MatrixFile, BiopythonFilesReadBack)
{
    std::string py;
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        std::string probe = std::string(candidate) + " -c 'import Bio.motifs' >/dev/null 2>&1";
        if (system(probe.c_str()) == 0) {
            py = candidate;
            break;
        }
    }
    if (py.empty())
        GTEST_SKIP() << "no Python 3 with Biopython (Debian package python3-biopython)";
    CTempDir dir;
    std::string counts;
    for (int b = 0; b < 4; b++) {
        counts += std::string(b ? ", " : "") + "'" + "ACGT"[b] + "': [";
        for (size_t c = 0; c < kCounts.size(); c++)
            counts += (c ? ", " : "") + std::to_string((int)kCounts[c][b]);
        counts += "]";
    }
    WriteFile(dir.Path("write.py"),
              "from Bio import motifs\n"
              "m = motifs.Motif(alphabet='ACGT', counts={" + counts + "})\n"
              "m.matrix_id = 'MA9999.1'\nm.name = 'hb'\n"
              "open('m.jaspar', 'w').write(motifs.write([m], 'jaspar'))\n"
              "open('m.transfac', 'w').write(motifs.write([m], 'transfac'))\n");
    std::string cmd = "cd '" + dir.m_Dir + "' && " + py + " write.py";
    ASSERT_EQ(0, system(cmd.c_str()));
    for (const char* name : {"m.jaspar", "m.transfac"}) {
        std::vector<MotifMatrix> got;
        std::string reason;
        ASSERT_TRUE(ReadMatrixFile(dir.Path(name), &got, &reason)) << name << ": " << reason << "\n"
                                                                    << ReadFile(dir.Path(name));
        ASSERT_EQ(1u, got.size()) << name;
        ExpectSameMatrix(got[0].rows, name);
    }
    std::vector<MotifMatrix> got;
    std::string reason;
    ASSERT_TRUE(ReadMatrixFile(dir.Path("m.jaspar"), &got, &reason));
    EXPECT_EQ("MA9999.1 hb", got[0].Label());
}

// A JASPAR file given with -M seeds the motifs and the summary names it.
TEST(MatrixFile, GivenMatrixIsNamedInTheSummary)
{
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(MakePlanted(5, 12, 150, "GACTGTTAGC", true).Seqs));
    WriteFile(dir.Path("m.jaspar"), ">MA0049.1 hb\n" + JasparRows());
    RUNRESULT r = RunRuzaravo({"-i", "in.fa", "-n", "200", "-K", "2", "-s", "-w", "6", "-W", "10", "--seed", "3",
                               "-M", "m.jaspar", "--outdir", "out"},
                              dir.m_Dir);
    ASSERT_EQ(0, r.Status);
    std::string summary = ReadFile(dir.Path("out/summary.json"));
    // Motif 1 was seeded by the given matrix, motif 2 by none (when printed).
    EXPECT_NE(std::string::npos, summary.find("\"seed_matrix\": \"MA0049.1 hb\"")) << summary.substr(0, 3000);
    EXPECT_EQ(std::string::npos, summary.find("\"seed_matrix\": \"\""));
}

// The shipped JASPAR 2024 libraries hold the same matrices, ids and names in
// their TRANSFAC, own (.pwm) and MEME layouts: counts equal in the first
// two, the MEME probabilities the counts over their column's total.
TEST(MatrixFile, ShippedLibrariesAgreeInEveryLayout)
{
    const std::string base = std::string(RUZARAVO_SOURCE_DIR) + "/data/jaspar2024/JASPAR2024_CORE_";
    for (const char* group : {"insects", "vertebrates"}) {
        std::vector<MotifMatrix> transfac, pwm, meme;
        std::string reason;
        std::string stem = base + group + "_non-redundant";
        ASSERT_TRUE(ReadMatrixFile(stem + "_pfms_transfac.txt", &transfac, &reason)) << reason;
        ASSERT_TRUE(ReadMatrixFile(stem + ".pwm", &pwm, &reason)) << reason;
        ASSERT_TRUE(ReadMatrixFile(stem + ".meme", &meme, &reason)) << reason;
        EXPECT_EQ(std::string(group) == "insects" ? 286u : 879u, transfac.size());
        ASSERT_EQ(transfac.size(), pwm.size()) << group;
        ASSERT_EQ(transfac.size(), meme.size()) << group;
        for (size_t i = 0; i < transfac.size(); i++) {
            const MotifMatrix& t = transfac[i];
            SCOPED_TRACE(std::string(group) + " " + t.Label());
            EXPECT_EQ(0u, t.id.find("MA"));
            EXPECT_FALSE(t.name.empty());
            EXPECT_EQ(t.Label(), pwm[i].Label());
            EXPECT_EQ(t.Label(), meme[i].Label());
            EXPECT_TRUE(t.rows == pwm[i].rows);
            ASSERT_EQ(t.rows.size(), meme[i].rows.size());
            for (size_t c = 0; c < t.rows.size(); c++) {
                double total = t.rows[c][0] + t.rows[c][1] + t.rows[c][2] + t.rows[c][3];
                for (int b = 0; b < 4; b++)
                    EXPECT_NEAR(t.rows[c][b] / total, meme[i].rows[c][b], 5.1e-7);
            }
        }
    }
    EXPECT_EQ("MA0049.1 hb", [&] {
        std::vector<MotifMatrix> got;
        std::string reason;
        EXPECT_TRUE(ReadMatrixFile(base + "insects_non-redundant_pfms_transfac.txt", &got, &reason));
        for (const MotifMatrix& m : got)
            if (m.id == "MA0049.1")
                return m.Label();
        return std::string();
    }());
}

// Biopython's MEME minimal-format reader takes the shipped MEME libraries:
// every motif under its JASPAR id, with its width and our probabilities
// (Biopython keeps counts: probability x nsites, rounded).
TEST(MatrixFile, BiopythonReadsTheShippedMemeLibraries)
{
    std::string py;
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        std::string probe = std::string(candidate) + " -c 'import Bio.motifs' >/dev/null 2>&1";
        if (system(probe.c_str()) == 0) {
            py = candidate;
            break;
        }
    }
    if (py.empty())
        GTEST_SKIP() << "no Python 3 with Biopython (Debian package python3-biopython)";
    CTempDir dir;
    WriteFile(dir.Path("read.py"),
              "import sys\nfrom Bio import motifs\n"
              "with open(sys.argv[1]) as f:\n"
              "    for m in motifs.parse(f, 'minimal'):\n"
              "        counts = ' '.join('%d' % m.counts[b][c] for c in range(m.length) for b in 'ACGT')\n"
              "        print('%s\\t%d\\t%d\\t%s' % (m.name, m.length, m.num_occurrences, counts))\n");
    const std::string base = std::string(RUZARAVO_SOURCE_DIR) + "/data/jaspar2024/JASPAR2024_CORE_";
    for (const char* group : {"insects", "vertebrates"}) {
        std::string path = base + group + "_non-redundant.meme";
        std::string cmd = py + " '" + dir.Path("read.py") + "' '" + path + "' > '" + dir.Path("out.txt") + "' 2>&1";
        ASSERT_EQ(0, system(cmd.c_str())) << ReadFile(dir.Path("out.txt"));
        std::vector<std::string> lines = Lines(ReadFile(dir.Path("out.txt")));
        std::vector<MotifMatrix> ours;
        std::string reason;
        ASSERT_TRUE(ReadMatrixFile(path, &ours, &reason)) << reason;
        ASSERT_EQ(ours.size(), lines.size()) << group;
        for (size_t i = 0; i < ours.size(); i++) {
            std::vector<std::string> f = Fields(lines[i]);
            ASSERT_EQ(4u, f.size()) << lines[i];
            EXPECT_EQ(ours[i].id, f[0]);
            EXPECT_EQ(std::to_string(ours[i].rows.size()), f[1]);
            double nsites = std::stod(f[2]);
            std::vector<double> counts;
            std::istringstream words(f[3]);
            for (double v; words >> v;)
                counts.push_back(v);
            ASSERT_EQ(4 * ours[i].rows.size(), counts.size()) << lines[i];
            for (size_t c = 0; c < ours[i].rows.size(); c++)
                for (int b = 0; b < 4; b++)
                    EXPECT_LE(std::fabs(counts[4 * c + b] - ours[i].rows[c][b] * nsites), 0.5 + 1e-6) << lines[i];
        }
    }
}
