// --chains through the executable on sequences holding two planted motifs:
// three chains each find both, so exactly two clusters have support 3 and
// they are the planted motifs; the table on standard output is chains.tsv
// of the output folder; summary.json with its "chains" section validates
// against the schema; and chain c is exactly the single run with the seed
// ChainSeed(seed, c) (result blocks equal but for the command line),
// one after another or side by side (--threads). With --min-support the
// consensus file holds exactly the representatives' sites of the clusters
// of that support, and they lie on the planted copies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/ChainClusters.h"
#include "base/SeedMix.h"
#include "support/TestSupport.h"

namespace {

const std::string kSource = RUZARAVO_SOURCE_DIR;
const std::string kCre = "TGACGTCAGT";
const std::string kGata = "GGGATTAACC";

// The word as a one-site motif, for comparing consensus letters.
MotifResult WordMotif(const std::string& word)
{
    MotifResult m;
    m.printed = true;
    m.siteCount = 1;
    for (char c : word) {
        std::array<int, 4> row{0, 0, 0, 0};
        row[std::string("ACGT").find(c)] = 1;
        m.counts.push_back(row);
    }
    return m;
}

// The two planted motifs of TwoMotifFasta, with where each copy lies.
PLANTED FirstPlanted() { return MakePlanted(5, 16, 100, kCre, true); }
PLANTED SecondPlanted() { return MakePlanted(6, 16, 100, kGata, true); }

// 16 sequences of 200 letters, the first motif planted by MakePlanted in
// the first 100 letters, the second (forward or reverse) in the last 100.
std::string TwoMotifFasta()
{
    PLANTED first = FirstPlanted();
    PLANTED second = SecondPlanted();
    std::vector<std::string> seqs;
    for (size_t i = 0; i < first.Seqs.size(); i++)
        seqs.push_back(first.Seqs[i] + second.Seqs[i]);
    return ToFasta(seqs);
}

// Every line of text but the command lines of result blocks.
std::string WithoutCommandLines(const std::string& text)
{
    std::string out;
    for (const std::string& line : Lines(text))
        if (line.rfind("./Ruzaravo ", 0) != 0)
            out += line + "\n";
    return out;
}

}  // namespace

TEST(ChainsRun, PlantedMotifsHaveFullSupportAndChainsAreRuns)
{
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), TwoMotifFasta());
    const std::vector<std::string> common = {"-i", "in.fa", "-n", "100", "-K", "3", "-w", "8", "-W", "12", "-s",
                                             "--seed", "7", "--quiet"};
    std::vector<std::string> chains = common;
    for (const char* w : {"--chains", "3", "-o", "chains.txt", "--outdir", "out"})
        chains.push_back(w);
    RUNRESULT c = RunRuzaravo(chains, dir.m_Dir);
    ASSERT_EQ(0, c.Status) << c.Stdout;
    RUNRESULT n;
    for (int chain = 0; chain < 3; chain++) {   // one run per chain, appended to runs.txt
        std::vector<std::string> run = common;
        run[12] = std::to_string(ChainSeed(7, chain));   // the value of --seed
        for (const char* w : {"-o", "runs.txt"})
            run.push_back(w);
        n = RunRuzaravo(run, dir.m_Dir);
        ASSERT_EQ(0, n.Status) << n.Stdout;
    }

    // Chains side by side give the same table and files.
    std::vector<std::string> threaded = common;
    for (const char* w : {"--chains", "3", "--threads", "2", "--outdir", "threaded"})
        threaded.push_back(w);
    RUNRESULT t = RunRuzaravo(threaded, dir.m_Dir);
    ASSERT_EQ(0, t.Status) << t.Stdout;
    EXPECT_EQ(WithoutCommandLines(c.Stdout), WithoutCommandLines(t.Stdout));
    for (const char* name : {"chains.tsv", "result.txt", "result.txt_modpr.txt"})
        EXPECT_EQ(WithoutCommandLines(ReadFile(dir.Path(std::string("out/") + name))),
                  WithoutCommandLines(ReadFile(dir.Path(std::string("threaded/") + name))))
            << name;

    // Chain c is the run seeded ChainSeed(7, c): same blocks, same probabilities.
    std::string chainResult = ReadFile(dir.Path("chains.txt"));
    EXPECT_EQ(3u, Lines(chainResult).size() - Lines(WithoutCommandLines(chainResult)).size());
    EXPECT_EQ(WithoutCommandLines(ReadFile(dir.Path("runs.txt"))), WithoutCommandLines(chainResult));
    EXPECT_EQ(ReadFile(dir.Path("runs.txt_modpr.txt")), ReadFile(dir.Path("chains.txt_modpr.txt")));
    const std::string summary = ReadFile(dir.Path("out/summary.json"));
    for (int chain = 0; chain < 3; chain++)   // the summary records each chain's own seed
        EXPECT_NE(std::string::npos, summary.find("{\"run\": " + std::to_string(chain + 1) + ", \"seed\": " +
                                                  std::to_string(ChainSeed(7, chain)) + ","))
            << chain;
    EXPECT_EQ(std::string::npos, n.Stdout.find("Motifs of "));
    EXPECT_FALSE(FileExists(dir.Path("chains.txt_consensus.bed")));   // only with --min-support
    EXPECT_FALSE(FileExists(dir.Path("out/consensus.bed")));
    EXPECT_EQ(std::string::npos, c.Stdout.find("Consensus"));

    // Standard output ends with the summary line and chains.tsv.
    std::string tsv = ReadFile(dir.Path("out/chains.tsv"));
    size_t at = c.Stdout.find("Motifs of 3 chains in ");
    ASSERT_NE(std::string::npos, at) << c.Stdout;
    EXPECT_EQ(tsv, c.Stdout.substr(c.Stdout.find('\n', at) + 1));

    std::vector<std::string> rows = Lines(tsv);
    ASSERT_GE(rows.size(), 3u) << tsv;
    EXPECT_EQ("cluster\tsupport\tchains\tbest_chain\tmotif\tconsensus\twidth\tsites\tmean_similarity", rows[0]);
    int full = 0;
    bool cre = false, gata = false;
    for (size_t i = 1; i < rows.size(); i++) {
        std::vector<std::string> f = Fields(rows[i]);
        ASSERT_EQ(9u, f.size()) << rows[i];
        EXPECT_EQ(std::to_string(i), f[0]);
        if (f[1] != "3")
            continue;
        full++;
        EXPECT_EQ("1,2,3", f[2]);
        EXPECT_GE(std::stod(f[8]), kChainJoinSimilarity) << rows[i];
        cre = cre || ChainSimilarity(WordMotif(f[5]), WordMotif(kCre)) > 0.9;
        gata = gata || ChainSimilarity(WordMotif(f[5]), WordMotif(kGata)) > 0.9;
    }
    EXPECT_EQ(2, full) << tsv;   // the two planted motifs; the third motif of each chain is its own
    EXPECT_TRUE(cre) << tsv;
    EXPECT_TRUE(gata) << tsv;

    // The report shows the clusters after its header, both planted motifs
    // found by all three chains.
    std::string report = ReadFile(dir.Path("out/report.html"));
    size_t section = report.find("<section id=\"chains\"><h2>Chains</h2>");
    ASSERT_NE(std::string::npos, section);
    EXPECT_LT(section, report.find("<section class=\"run\" id=\"run1\">"));
    std::string table = report.substr(section, report.find("</table>", section) - section);
    size_t tableRows = 0, fullRows = 0;
    for (size_t at = table.find("<tr><td"); at != std::string::npos; at = table.find("<tr><td", at + 1))
        tableRows++;
    for (size_t at = table.find(">3 of 3<"); at != std::string::npos; at = table.find(">3 of 3<", at + 1))
        fullRows++;
    EXPECT_EQ(rows.size() - 1, tableRows);
    EXPECT_EQ(2u, fullRows);

    std::string check = "cd '" + dir.m_Dir + "' && /usr/bin/python3 -c 'import json, sys, jsonschema; "
                        "jsonschema.validate(json.load(open(\"out/summary.json\")), json.load(open(sys.argv[1])))' '" +
                        kSource + "/output/summary.schema.json' > schema.out 2>&1";
    if (std::system("/usr/bin/python3 -c 'import jsonschema' 2>/dev/null") != 0)
        GTEST_SKIP() << "summary.json not validated: python3-jsonschema is missing";
    EXPECT_EQ(0, std::system(check.c_str())) << ReadFile(dir.Path("schema.out"));
    EXPECT_NE(std::string::npos, ReadFile(dir.Path("out/summary.json")).find("\n  \"chains\": {\"chains\": 3, "));
}

TEST(ChainsRun, ConsensusHoldsTheRepresentativeSitesOfSupportedClusters)
{
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), TwoMotifFasta());
    RUNRESULT c = RunRuzaravo({"-i", "in.fa", "-n", "200", "-K", "3", "-w", "8", "-W", "12", "-s", "--seed", "7",
                               "--quiet", "--chains", "3", "--min-support", "2", "-o", "chains.txt", "--outdir", "out"},
                              dir.m_Dir);
    ASSERT_EQ(0, c.Status) << c.Stdout;
    std::string bed = ReadFile(dir.Path("out/consensus.bed"));
    EXPECT_EQ(bed, ReadFile(dir.Path("chains.txt_consensus.bed")));

    // Per cluster of support 2 or more: its representative's name and sites.
    std::map<std::string, std::string> representative;
    std::map<std::string, size_t> sites;
    size_t kept = 0, keptSites = 0;
    std::vector<std::string> rows = Lines(ReadFile(dir.Path("out/chains.tsv")));
    for (size_t i = 1; i < rows.size(); i++) {
        std::vector<std::string> f = Fields(rows[i]);
        if (std::stoi(f[1]) < 2)
            continue;
        representative["cluster" + f[0]] = "r" + f[3] + ".m" + f[4];
        sites["cluster" + f[0]] = std::stoul(f[7]);
        kept++;
        keptSites += std::stoul(f[7]);
    }
    EXPECT_GE(kept, 2u);   // both planted motifs
    EXPECT_NE(std::string::npos, c.Stdout.find("Consensus (support 2 or more of 3 chains): " + std::to_string(kept) +
                                               " clusters, " + std::to_string(keptSites) + " sites\n"));

    // Every line is a line of sites.bed under the representative's name.
    std::set<std::string> siteLines;
    for (const std::string& line : Lines(ReadFile(dir.Path("out/sites.bed")))) {
        std::vector<std::string> f = Fields(line);
        siteLines.insert(f[0] + " " + f[1] + " " + f[2] + " " + f[3] + " " + f[5]);
    }
    std::map<std::string, size_t> seen;
    std::map<std::string, std::vector<std::vector<std::string>>> linesOf;
    for (const std::string& line : Lines(bed)) {
        std::vector<std::string> f = Fields(line);
        ASSERT_EQ(6u, f.size()) << line;
        ASSERT_EQ(1u, representative.count(f[3])) << line;
        EXPECT_TRUE(f[4] == "1000" || f[4] == "667") << line;   // support 3 or 2 of 3
        EXPECT_EQ(1u, siteLines.count(f[0] + " " + f[1] + " " + f[2] + " " + representative[f[3]] + " " + f[5]))
            << line;
        seen[f[3]]++;
        linesOf[f[3]].push_back(f);
    }
    EXPECT_EQ(sites, seen);

    // Each planted motif (the second one planted 100 letters in) is one
    // cluster of the consensus whose sites overlap most of its 16 copies by
    // half a site or more.
    const std::pair<PLANTED, int> plantings[] = {{FirstPlanted(), 0}, {SecondPlanted(), 100}};
    for (const auto& planting : plantings) {
        size_t best = 0;
        for (const auto& cluster : linesOf) {
            size_t hits = 0;
            for (size_t i = 0; i < planting.first.SitePos.size(); i++) {
                int lo = planting.second + planting.first.SitePos[i], hi = lo + (int)kCre.size();
                for (const std::vector<std::string>& f : cluster.second)
                    if (f[0] == "seq" + std::to_string(i + 1) &&
                        std::min(hi, std::stoi(f[2])) - std::max(lo, std::stoi(f[1])) >= 5) {
                        hits++;
                        break;
                    }
            }
            best = std::max(best, hits);
        }
        EXPECT_GE(best, 12u) << "planted at offset " << planting.second << "\n" << bed;
    }
}
