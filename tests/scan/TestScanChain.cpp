// The background chain a scan takes from a discovery run: the tables a run
// records give back the chain that wrote them, and --model uses them (an
// older folder without them falls back to the target's chain, a damaged one
// is refused with nothing written).
#include <gtest/gtest.h>

#include <cmath>

#include "scan/ScanModel.h"
#include "scan/ScanTestUtil.h"
#include "support/TestSupport.h"

namespace {

// The tables of a chain in the layout a run records.
std::vector<std::vector<double>> TablesOf(const MarkovChain& c)
{
    std::vector<std::vector<double>> t(c.Order() + 1);
    for (int j = 0; j <= c.Order(); j++)
        for (int i = 0; i < (4 << (2 * j)); i++)
            t[j].push_back(c.Prob(j, i / 4, i % 4));
    return t;
}

std::string Scan(const CTempDir& dir, const std::string& args)
{
    return "cd '" + dir.m_Dir + "' && " + RUZARAVO_EXE + " --scan target.fa --null-tiles 300 --max-p 1 " +
           args;
}

}  // namespace

// Chains of every order estimated from random, skewed letters: rebuilt from
// their tables they score every word as the original does.
TEST(ScanChain, TablesGiveBackTheChainThatWroteThem)
{
    for (int order = 0; order <= 5; order++) {
        Rng rng(100 + order);
        std::string s;
        for (int i = 0; i < 3000; i++)
            s += "AACGTTTA"[rng.next() % 8];
        const MarkovChain original = MarkovChain::Estimate({s, RandomLetters(order + 7, 500)}, order);
        const MarkovChain rebuilt = ChainOfProbabilities(TablesOf(original));
        ASSERT_EQ(order, rebuilt.Order());
        for (int j = 0; j <= order; j++)
            for (int i = 0; i < (4 << (2 * j)); i++)
                EXPECT_NEAR(original.Prob(j, i / 4, i % 4), rebuilt.Prob(j, i / 4, i % 4), 1e-12) << order;
        for (int w = 0; w < 50; w++) {
            const std::string word = RandomLetters(1000 * order + w, 5 + w % 30);
            EXPECT_NEAR(original.LogPrWord(word.data(), (int)word.size(), -1.386),
                        rebuilt.LogPrWord(word.data(), (int)word.size(), -1.386), 1e-9);
        }
    }
}

// A pair the run never saw has probability 0 in its first-order table: the
// scan scores it as the sampler does, at the floor, with the row rescaled.
TEST(ScanChain, ZeroProbabilitiesAreRaisedToTheFloor)
{
    std::vector<std::vector<double>> t = {{0.3, 0.2, 0.2, 0.3}, std::vector<double>(16, 0.25)};
    t[1][4 * 2 + 0] = 0.0;   // A never follows G
    t[1][4 * 2 + 1] = 0.5;
    const MarkovChain c = ChainOfProbabilities(t);
    const double sum = 1.0 + kChainFloor;
    EXPECT_NEAR(kChainFloor / sum, c.Prob(1, 2, 0), 1e-15);
    EXPECT_NEAR(0.5 / sum, c.Prob(1, 2, 1), 1e-12);
    EXPECT_NEAR(0.3, c.Prob(0, 0, 0), 1e-12);
    EXPECT_NEAR(0.25, c.Prob(1, 0, 3), 1e-12);
}

// A discovery run with a second-order chain records it; --model scans with
// it unless --bg-order asks for the target's; a folder without it warns
// and uses the target's chain; a damaged one is refused.
TEST(ScanChain, ModelFolderCarriesTheRunsChain)
{
    CTempDir dir;
    std::string train, target = RandomLetters(5, 4000);
    for (unsigned i = 0; i < 8; i++) {
        std::string s = RandomLetters(80 + i, 500);
        PlantCluster(&s, 150, 200);
        train += ">t" + std::to_string(i) + "\n" + s + "\n";
    }
    PlantCluster(&target, 2000, 200);
    WriteFile(dir.Path("train.fa"), train);
    WriteFile(dir.Path("target.fa"), ">chrT\n" + target + "\n");
    ShellRun d = Shell("cd '" + dir.m_Dir + "' && " + RUZARAVO_EXE +
                       " -i train.fa -K 3 -n 100 --bg-order 2 --seed 3 -o disc.txt --outdir disc");
    ASSERT_EQ(0, d.status) << d.output;
    const std::string disc = ReadFile(dir.Path("disc/summary.json"));
    const size_t at = disc.find("\"background_chain\": {\"order\": 2, \"tables\": [[");
    ASSERT_NE(std::string::npos, at) << disc.substr(0, 2000);

    ShellRun r = Shell(Scan(dir, "--model disc --outdir own"));
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ(std::string::npos, r.output.find("warning")) << r.output;
    std::string summary = ReadFile(dir.Path("own/summary.json"));
    EXPECT_NE(std::string::npos, summary.find("\"bg_order\": 2, \"bg_chain\": \"model\"")) << summary;

    r = Shell(Scan(dir, "--model disc --bg-order 1 --outdir asked"));
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_NE(std::string::npos,
              ReadFile(dir.Path("asked/summary.json")).find("\"bg_order\": 1, \"bg_chain\": \"target\""));

    // The same folder as an older version wrote it: no chain.
    Shell("cd '" + dir.m_Dir + "' && mkdir old && sed '/\"background_chain\"/d' disc/summary.json > "
          "old/summary.json");
    ASSERT_EQ(std::string::npos, ReadFile(dir.Path("old/summary.json")).find("background_chain"));
    r = Shell(Scan(dir, "--model old --outdir older"));
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("records no background chain")) << r.output;
    EXPECT_NE(std::string::npos,
              ReadFile(dir.Path("older/summary.json")).find("\"bg_order\": 1, \"bg_chain\": \"target\""));
    // The older folder's modules are those of a scan told to use the target's chain.
    EXPECT_EQ(ReadFile(dir.Path("asked/modules.bed")), ReadFile(dir.Path("older/modules.bed")));

    Shell("cd '" + dir.m_Dir + "' && mkdir bad && sed 's/\"order\": 2, \"tables\"/\"order\": 3, \"tables\"/' "
          "disc/summary.json > bad/summary.json");
    r = Shell(Scan(dir, "--model bad --outdir damaged"));
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.output.find("a background_chain that is not an order 0 .. 5")) << r.output;
    EXPECT_FALSE(FileExists(dir.Path("damaged")));
}

// A folder of chains with a consensus gives the scan its consensus motifs
// (the ones most chains agree on), not the first chain's; a damaged
// consensus.meme is refused.
TEST(ScanChain, ConsensusOfTheChainsIsTheModelsMotifs)
{
    CTempDir dir;
    std::string train, target = RandomLetters(6, 4000);
    for (unsigned i = 0; i < 8; i++) {
        std::string s = RandomLetters(90 + i, 500);
        PlantCluster(&s, 150, 200);
        train += ">t" + std::to_string(i) + "\n" + s + "\n";
    }
    PlantCluster(&target, 2000, 200);
    WriteFile(dir.Path("train.fa"), train);
    WriteFile(dir.Path("target.fa"), ">chrT\n" + target + "\n");
    ShellRun d = Shell("cd '" + dir.m_Dir + "' && " + RUZARAVO_EXE +
                       " -i train.fa -K 3 -n 100 --chains 3 --min-support 2 --seed 5 -o disc.txt "
                       "--outdir disc");
    ASSERT_EQ(0, d.status) << d.output;
    const std::string meme = ReadFile(dir.Path("disc/consensus.meme"));
    size_t motifs = 0;
    for (size_t at = meme.find("\nMOTIF cluster"); at != std::string::npos;
         at = meme.find("\nMOTIF cluster", at + 1))
        motifs++;
    ASSERT_GT(motifs, 0u) << meme;

    ShellRun r = Shell(Scan(dir, "--model disc --outdir out"));
    ASSERT_EQ(0, r.status) << r.output;
    const std::string summary = ReadFile(dir.Path("out/summary.json"));
    EXPECT_NE(std::string::npos, summary.find("\"motif_file\": \"disc/consensus.meme\"")) << summary;
    size_t names = 0;
    for (size_t at = summary.find("{\"name\": \"cluster"); at != std::string::npos;
         at = summary.find("{\"name\": \"cluster", at + 1))
        names++;
    EXPECT_EQ(motifs, names) << summary;
    EXPECT_NE(std::string::npos, summary.find("\"bg_chain\": \"model\""));

    WriteFile(dir.Path("disc/consensus.meme"), "MEME version 4\n\nnothing here\n");
    r = Shell(Scan(dir, "--model disc --outdir damaged"));
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.output.find("consensus.meme")) << r.output;
    EXPECT_FALSE(FileExists(dir.Path("damaged")));
}
