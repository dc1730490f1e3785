// matches.tsv: the exact text of a few records (number formats, strands,
// an empty name, control characters in a name), and Python's csv module
// reading a real table (24 found motifs against the insect library) back
// to the records.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "io/MatrixFile.h"
#include "output/MatchesTable.h"
#include "ToolRun.h"
#include "support/TestSupport.h"

namespace {

KnownMatch Record(std::size_t motif, const std::string& id, const std::string& name, int offset, bool forward,
                  int overlap, double score, double p, double e, double q)
{
    KnownMatch k;
    k.motif = motif;
    k.id = id;
    k.name = name;
    k.offset = offset;
    k.forward = forward;
    k.overlap = overlap;
    k.score = score;
    k.p = p;
    k.e = e;
    k.q = q;
    return k;
}

}  // namespace

TEST(MatchesTable, ExactTextOfSmallRecords)
{
    const std::vector<KnownMatch> matches = {
        Record(0, "MA0049.1", "hb", -1, true, 9, 0.96412345, 6.2e-15, 1.7732e-12, 1.7732e-12),
        Record(0, "MA2108.1", "sqz", 3, false, 6, 0.99951, 0.000749, 0.214214, 0.0612),
        Record(1, "self", "", 0, true, 12, 1, 1, 286, 1),
        Record(5, "odd\tid", "two\nlines\r", 0, true, 5, -0.25, 0.5, 143, 0.75),
    };
    EXPECT_EQ("motif\tlibrary_id\tname\toffset\tstrand\toverlap\tscore\tp\tE\tq\n"
              "r1.m1\tMA0049.1\thb\t-1\t+\t9\t0.9641\t6.2e-15\t1.77e-12\t1.77e-12\n"
              "r1.m1\tMA2108.1\tsqz\t3\t-\t6\t0.9995\t0.000749\t0.214\t0.0612\n"
              "r2.m1\tself\t\t0\t+\t12\t1.0000\t1\t286\t1\n"
              "6\todd id\ttwo lines \t0\t+\t5\t-0.2500\t0.5\t143\t0.75\n",
              FormatMatchesTsv(matches, {"r1.m1", "r2.m1"}));
    EXPECT_EQ("motif\tlibrary_id\tname\toffset\tstrand\toverlap\tscore\tp\tE\tq\n", FormatMatchesTsv({}, {}));
}

// Python's csv module reads every row back: ten named fields, the numbers
// as written (to their printed precision), in the order of the records.
TEST(MatchesTable, PythonCsvReadsTheTable)
{
    std::string py = PythonWithBiopython();
    if (py.empty())
        GTEST_SKIP() << "no Debian python3 with Biopython and jsonschema (python3-biopython python3-jsonschema)";
    std::vector<MotifMatrix> matrices;
    std::string reason;
    ASSERT_TRUE(ReadMatrixFile(std::string(RUZARAVO_SOURCE_DIR) +
                                   "/data/jaspar2024/JASPAR2024_CORE_insects_non-redundant_pfms_transfac.txt",
                               &matrices, &reason))
        << reason;
    KnownMatcher matcher(KnownFactorsOf(matrices));
    std::mt19937 gen(8);
    std::gamma_distribution<double> g(0.4, 1.0);
    std::vector<MotifProfile> found;
    std::vector<std::string> names;
    for (int n = 0; n < 24; n++) {
        MotifProfile m(8 + n % 8);
        for (MotifColumn& c : m)
            for (double& v : c)
                v = g(gen) + 1e-9;
        found.push_back(m);
        names.push_back("r" + std::to_string(n / 5 + 1) + ".m" + std::to_string(n % 5 + 1));
    }
    found.push_back(ReverseComplement(KnownFactorsOf(matrices)[7].columns));   // one certain match
    names.push_back("r9.m9");
    std::vector<KnownMatch> matches = MatchKnownFactors(found, matcher, 1.0);   // every pair
    ASSERT_FALSE(matches.empty());
    CTempDir dir;
    WriteFile(dir.Path("matches.tsv"), FormatMatchesTsv(matches, names));
    WriteFile(dir.Path("read.py"),
              "import csv\n"
              "with open('matches.tsv', newline='') as f:\n"
              "    rows = list(csv.DictReader(f, delimiter='\\t'))\n"
              "assert list(rows[0].keys()) == ['motif', 'library_id', 'name', 'offset', 'strand', 'overlap',\n"
              "                                'score', 'p', 'E', 'q'], rows[0].keys()\n"
              "for r in rows:\n"
              "    assert r['strand'] in '+-' and None not in r, r\n"
              "    print('%s %s %s %d %s %d %.4f %.3g %.3g %.3g' % (r['motif'], r['library_id'], r['name'],\n"
              "          int(r['offset']), r['strand'], int(r['overlap']), float(r['score']), float(r['p']),\n"
              "          float(r['E']), float(r['q'])))\n");
    TOOLRUN run = RunTool(dir.m_Dir, py + " read.py");
    ASSERT_EQ(0, run.Status) << run.Output;
    std::vector<std::string> lines = Lines(run.Output);
    ASSERT_EQ(matches.size(), lines.size()) << run.Output.substr(0, 2000);
    for (std::size_t i = 0; i < matches.size(); i++) {
        const KnownMatch& k = matches[i];
        char want[512];
        snprintf(want, sizeof want, "%s %s %s %d %c %d %.4f %.3g %.3g %.3g", names[k.motif].c_str(), k.id.c_str(),
                 k.name.c_str(), k.offset, k.forward ? '+' : '-', k.overlap, k.score, k.p, k.e, k.q);
        EXPECT_EQ(want, lines[i]);
    }
    // The last found motif is library matrix 8 reversed: its best match.
    auto first = std::find_if(matches.begin(), matches.end(), [](const KnownMatch& k) { return k.motif == 24; });
    ASSERT_NE(matches.end(), first);
    EXPECT_EQ(matrices[7].id, first->id);
    EXPECT_FALSE(first->forward);
    EXPECT_EQ((int)matrices[7].rows.size(), first->overlap);
}
