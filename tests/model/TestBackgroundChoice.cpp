// Which background a run uses: the established first-order chain unchanged
// by default and with --bg-order 1; an order-k chain from a background set
// (or the input) in the position tables and in every word score; and a run
// whose input is full of a decoy word that the background set explains
// finds the planted motif instead.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/MarkovChain.h"
#include "model/ModelTestUtil.h"
#include "support/TestSupport.h"

namespace {

const std::string kGoldenDir = std::string(RUZARAVO_SOURCE_DIR) + "/tests/golden/";

// The result text after the command-line line (the only line that differs
// between runs given different but equivalent options).
std::string AfterCommandLine(const std::string& text)
{
    size_t cut = text.find("\n\n");
    return cut == std::string::npos ? text : text.substr(cut);
}

}  // namespace

TEST(BackgroundChoice, OrderOneFromTheInputIsTheEstablishedChain)
{
    CTempDir dir;
    WriteFile(dir.Path("input.fa"), ReadFile(kGoldenDir + "input.fa"));
    std::vector<std::string> base = {"-i", "input.fa", "-n", "150", "-K", "2", "-L", "60",
                                     "-w", "6", "-W", "9", "-B", "--seed", "11"};
    std::vector<std::string> plain = base, ordered = base;
    plain.insert(plain.end(), {"-o", "plain.txt"});
    ordered.insert(ordered.end(), {"--bg-order", "1", "-o", "ordered.txt"});
    ASSERT_EQ(0, RunRuzaravo(plain, dir.m_Dir).Status);
    ASSERT_EQ(0, RunRuzaravo(ordered, dir.m_Dir).Status);
    std::string a = ReadFile(dir.Path("plain.txt")), b = ReadFile(dir.Path("ordered.txt"));
    ASSERT_NE(std::string::npos, a.find("Log-PMO"));
    EXPECT_EQ(AfterCommandLine(a), AfterCommandLine(b));
    EXPECT_EQ(ReadFile(dir.Path("plain.txt_modpr.txt")), ReadFile(dir.Path("ordered.txt_modpr.txt")));
    // Independently of the program: the sampler keeps the established chain.
    CGibbsDP g;
    SetSequences(g, {"ACGTTGCA"});
    g.BuildBackground();
    EXPECT_FALSE(g.m_BgChain);
    EXPECT_EQ(log(g.m_BgModel[0]) + log(g.m_BgModel[4 + 1]), g.CalLogBgPr("AC", 2));
}

TEST(BackgroundChoice, BackgroundSetFillsTheTablesAndScoresWords)
{
    const std::vector<std::string> input = {"ACGTNACGGTTA", "TTTTACGA"};
    const std::vector<std::string> bgSet = {"AAAAAAAATTTTTTTTCCGA", "GATTACAGATTACA"};
    CTempDir dir;
    WriteFile(dir.Path("bg.fa"), ToFasta(bgSet, "b"));
    MarkovChain fromSet = MarkovChain::Estimate(bgSet, 2);
    MarkovChain fromInput = MarkovChain::Estimate(input, 2);

    for (bool useSet : {true, false}) {
        CGibbsDP g;
        g.m_MotifNum = 1;
        SetSequences(g, input);
        g.m_BgOrder = 2;
        if (useSet)
            g.m_SetChain = LoadedSetChain(dir.Path("bg.fa"), g.m_BgOrder);
        g.BuildBackground();
        ASSERT_TRUE(g.m_BgChain);
        const MarkovChain& want = useSet ? fromSet : fromInput;
        TABLES t(g);
        g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
        for (int s = 0; s < 2; s++) {
            std::vector<double> col(input[s].size());
            want.FillLogColumn(input[s].data(), (int)input[s].size(), AmbiguousBgLogPr, col.data(), 1);
            for (size_t p = 0; p < col.size(); p++) {
                EXPECT_EQ(col[p], t.At(s, (int)p, 2, 1)) << s << " " << p;
                EXPECT_EQ(12345.0, t.At(s, (int)p, 0, 1));   // motif columns untouched
            }
        }
        EXPECT_EQ(AmbiguousBgLogPr, t.At(0, 4, 2, 1));
        EXPECT_EQ(want.LogPrWord("GGTTA", 5, AmbiguousBgLogPr), g.CalLogBgPr("GGTTA", 5));
        CString word;
        word = "TTAC";
        EXPECT_EQ(want.LogPrWord("TTAC", 4, AmbiguousBgLogPr), g.CalLogBgPr(word));
    }
    // The two sources really differ: the set's A runs make A after AA likelier.
    EXPECT_GT(fromSet.Prob(2, 0, 0), fromInput.Prob(2, 0, 0) + 0.1);

    // A background-probability file still overrides single positions.
    WriteFile(dir.Path("probs.txt"), "1\t0\t0.1\t0.2\t0.3\t0.4\t2\n");
    CGibbsDP g;
    g.m_MotifNum = 1;
    SetSequences(g, input);
    g.m_BgOrder = 3;
    g.m_UseBgFile = true;
    g.m_BgLines = LoadedBgLines(dir.Path("probs.txt"));
    g.BuildBackground();
    TABLES t(g);
    g.CalLogBgPrPos(t.Ptr.data(), t.Len.data());
    EXPECT_EQ(log(0.3), t.At(0, 1, 2, 1));   // C at position 2: field 5
    MarkovChain order3 = MarkovChain::Estimate(input, 3);
    EXPECT_EQ(order3.LogPrWord("A", 1, AmbiguousBgLogPr), t.At(0, 0, 2, 1));
}

// Every input sequence carries three copies of a decoy word besides one
// planted site; the background set carries the decoy just as often. With
// that set as background the decoy is ordinary sequence and the planted
// motif is what the sampler reports.
TEST(BackgroundChoice, BackgroundSetExplainsAwayARecurringDecoy)
{
    const std::string motif = "TGACCTAGCGTA", decoy = "CATTGGACAAGT";
    PLANTED planted = MakePlanted(77, 20, 300, motif, true);
    PLANTED bg = MakePlanted(78, 40, 300, decoy, false);
    auto addDecoys = [&](std::string* s, int keepOut) {
        for (int p : {10, 100, 190, 270})
            if (abs(p - keepOut) > (int)decoy.size() + 1)
                s->replace(p, decoy.size(), decoy);
    };
    for (size_t i = 0; i < planted.Seqs.size(); i++)
        addDecoys(&planted.Seqs[i], planted.SitePos[i]);
    for (size_t i = 0; i < bg.Seqs.size(); i++)
        addDecoys(&bg.Seqs[i], bg.SitePos[i]);
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(planted.Seqs, "p"));
    WriteFile(dir.Path("bg.fa"), ToFasta(bg.Seqs, "b"));

    auto run = [&](const std::vector<std::string>& extra, const std::string& out) {
        std::vector<std::string> args = {"-i", "in.fa", "-K", "1", "-s", "-n", "300", "-w", "10", "-W", "14",
                                         "--seed", "21", "-o", out};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(0, RunRuzaravo(args, dir.m_Dir).Status);
        std::istringstream in(ReadFile(dir.Path(out)));
        std::string line;
        std::set<int> found;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string name, strand;
            int pos;
            if (line.size() > 2 && line[0] == '>' && line[1] == 'p' && (fields >> name >> strand >> pos) &&
                abs(pos - planted.SitePos[atoi(name.c_str() + 2) - 1]) <= 2)
                found.insert(pos);
        }
        return (int)found.size();
    };
    int withSet = run({"--bg-fasta", "bg.fa", "--bg-order", "3"}, "set.txt");
    int withInput = run({}, "input.txt");
    EXPECT_GE(withSet, 16) << "planted sites recovered with the background set";
    EXPECT_LT(withInput, withSet) << "the decoy wins against the input's own first-order chain";
}
