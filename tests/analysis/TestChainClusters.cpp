// Clustering of the chains' motifs on hand-made results: the same motif
// found by several chains (on either strand, at a shifted offset, with a
// few letters changed) makes one cluster whose support counts chains, not
// findings; unrelated motifs stay apart; the representative is the member
// with most sites; and the table and JSON say exactly that.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "analysis/ChainClusters.h"
#include "output/ChainsTable.h"

namespace {

std::string RevComp(const std::string& s)
{
    std::string out(s.rbegin(), s.rend());
    for (char& c : out)
        c = c == 'A' ? 'T' : c == 'C' ? 'G' : c == 'G' ? 'C' : 'A';
    return out;
}

// A printed motif whose sites are the given words (all of one width).
MotifResult MotifOf(int index, const std::vector<std::string>& words)
{
    MotifResult m;
    m.index = index;
    m.printed = true;
    m.width = (int)words[0].size();
    m.siteCount = (int)words.size();
    m.counts.assign(words[0].size(), {0, 0, 0, 0});
    for (const std::string& w : words)
        for (size_t c = 0; c < w.size(); c++)
            m.counts[c][std::string("ACGT").find(w[c])]++;
    for (const auto& row : m.counts)
        m.consensus += "ACGT"[std::max_element(row.begin(), row.end()) - row.begin()];
    return m;
}

// n copies of word with letter (i mod width) of copy i changed in every
// third copy, so columns are strong but not pure.
std::vector<std::string> Copies(const std::string& word, int n)
{
    std::vector<std::string> out;
    for (int i = 0; i < n; i++) {
        std::string w = word;
        if (i % 3 == 0) {
            size_t c = (size_t)i % w.size();
            w[c] = w[c] == 'A' ? 'C' : 'A';
        }
        out.push_back(w);
    }
    return out;
}

RunResult Chain(int run, std::vector<MotifResult> motifs)
{
    RunResult r;
    r.run = run;
    r.motifs = std::move(motifs);
    return r;
}

const std::string kBcd = "TCTAATCCGA";
const std::string kHb = "GCATAAAAAA";
const std::string kOther = "GGCGCGTGCC";

}  // namespace

// Chain 1 finds bicoid forward, chain 2 on the other strand and shifted by
// two columns, chain 3 forward with more sites and also a second, weaker
// copy of it; hunchback in chains 1 and 3; one unrelated motif in chain 2;
// a motif that is not printed in chain 3 is left out.
TEST(ChainClusters, SameMotifJoinsAcrossStrandsAndOffsetsUnrelatedStaysApart)
{
    MotifResult notPrinted = MotifOf(3, Copies(kOther, 2));
    notPrinted.printed = false;
    std::vector<RunResult> runs = {
        Chain(0, {MotifOf(0, Copies(kBcd, 12)), MotifOf(1, Copies(kHb, 20))}),
        Chain(1, {MotifOf(0, Copies(kOther, 30)), MotifOf(1, Copies(RevComp("GA" + kBcd.substr(0, 8)), 14))}),
        Chain(2, {MotifOf(0, Copies(kHb, 9)), MotifOf(1, Copies(kBcd, 25)), MotifOf(2, Copies(kBcd, 6)),
                  notPrinted}),
    };
    ChainClusters got = ClusterChains(runs);
    EXPECT_EQ(3, got.chainCount);
    EXPECT_DOUBLE_EQ(kChainJoinSimilarity, got.joinSimilarity);
    ASSERT_EQ(3u, got.clusters.size());

    const ChainCluster& bcd = got.clusters[0];
    EXPECT_EQ(3, bcd.support);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), bcd.chains);
    ASSERT_EQ(4u, bcd.members.size());   // chain 3's two copies both join, support stays 3
    EXPECT_EQ(2, bcd.members[bcd.best].chain);   // most sites: 25 in chain 3, motif 2
    EXPECT_EQ(1, bcd.members[bcd.best].motif);
    EXPECT_EQ(25, bcd.motif.siteCount);
    EXPECT_EQ(kBcd, bcd.motif.consensus);
    for (const ChainMember& m : bcd.members)
        EXPECT_GE(m.similarity, kChainJoinSimilarity) << m.chain << " " << m.motif;
    EXPECT_GT(bcd.meanSimilarity, 0.9);
    EXPECT_LE(bcd.meanSimilarity, 1.0);

    const ChainCluster& hb = got.clusters[1];
    EXPECT_EQ(2, hb.support);
    EXPECT_EQ((std::vector<int>{0, 2}), hb.chains);
    EXPECT_EQ(0, hb.members[hb.best].chain);   // 20 sites against 9
    EXPECT_EQ(1, hb.members[hb.best].motif);

    const ChainCluster& other = got.clusters[2];   // most sites of all, but support 1
    EXPECT_EQ(1, other.support);
    EXPECT_EQ(30, other.motif.siteCount);
    EXPECT_EQ(1u, other.members.size());
    EXPECT_DOUBLE_EQ(1.0, other.meanSimilarity);

    EXPECT_LT(ChainSimilarity(MotifOf(0, Copies(kBcd, 9)), MotifOf(0, Copies(kOther, 9))), kChainJoinSimilarity);
    EXPECT_LT(ChainSimilarity(MotifOf(0, Copies(kBcd, 9)), MotifOf(0, Copies(kHb, 9))), kChainJoinSimilarity);
}

// Over many random sets of chains: every printed motif lands in exactly one
// cluster, support is the number of distinct chains, the representative
// has the most sites of its cluster, and clusters come in support order.
TEST(ChainClusters, InvariantsOverRandomChains)
{
    unsigned state = 12345;
    auto next = [&state](unsigned n) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % n;
    };
    for (int trial = 0; trial < 60; trial++) {
        std::vector<RunResult> runs;
        int chains = 1 + (int)next(5);
        size_t printed = 0;
        for (int c = 0; c < chains; c++) {
            std::vector<MotifResult> motifs;
            int k = 1 + (int)next(4);
            for (int i = 0; i < k; i++) {
                std::string word;
                int width = 6 + (int)next(8);
                for (int j = 0; j < width; j++)
                    word += "ACGT"[next(4)];
                motifs.push_back(MotifOf(i, Copies(word, 3 + (int)next(20))));
                motifs.back().printed = next(5) != 0;
                printed += motifs.back().printed;
            }
            runs.push_back(Chain(c, motifs));
        }
        ChainClusters got = ClusterChains(runs);
        std::set<std::pair<int, int>> seen;
        for (size_t n = 0; n < got.clusters.size(); n++) {
            const ChainCluster& cl = got.clusters[n];
            std::set<int> chainSet;
            for (const ChainMember& m : cl.members) {
                EXPECT_TRUE(seen.insert({m.chain, m.motif}).second);
                EXPECT_TRUE(runs[m.chain].motifs[m.motif].printed);
                EXPECT_LE(runs[m.chain].motifs[m.motif].siteCount, cl.motif.siteCount);
                chainSet.insert(m.chain);
            }
            EXPECT_EQ((int)chainSet.size(), cl.support);
            EXPECT_EQ(std::vector<int>(chainSet.begin(), chainSet.end()), cl.chains);
            if (n > 0) {
                EXPECT_GE(got.clusters[n - 1].support, cl.support);
            }
        }
        EXPECT_EQ(printed, seen.size()) << "trial " << trial;
    }
}

// A chain with no printed motif and no chains at all give empty tables.
TEST(ChainClusters, NothingPrintedGivesAnEmptyTable)
{
    MotifResult m = MotifOf(0, Copies(kBcd, 2));
    m.printed = false;
    ChainClusters none = ClusterChains({Chain(0, {m})});
    EXPECT_TRUE(none.clusters.empty());
    EXPECT_EQ("cluster\tsupport\tchains\tbest_chain\tmotif\tconsensus\twidth\tsites\tmean_similarity\n",
              FormatChainsTsv(none));
    EXPECT_EQ("{\"chains\": 1, \"join_similarity\": 0.75, \"clusters\": []}", FormatChainsJson(none));
}

// The table and the JSON name chains and motifs from 1, as the result
// file does, and list the representative's chain and motif.
TEST(ChainClusters, TableAndJsonText)
{
    std::vector<RunResult> runs = {
        Chain(0, {MotifOf(0, Copies(kHb, 5))}),
        Chain(1, {MotifOf(0, Copies(kOther, 4)), MotifOf(1, Copies(kHb, 7))}),
    };
    ChainClusters got = ClusterChains(runs);
    ASSERT_EQ(2u, got.clusters.size());
    double s = got.clusters[0].members[0].similarity;
    char simText[16];
    snprintf(simText, sizeof simText, "%.3f", s);
    EXPECT_EQ("cluster\tsupport\tchains\tbest_chain\tmotif\tconsensus\twidth\tsites\tmean_similarity\n"
              "1\t2\t1,2\t2\t2\t" + kHb + "\t10\t7\t" + simText + "\n"
              "2\t1\t2\t2\t1\t" + kOther + "\t10\t4\t1.000\n",
              FormatChainsTsv(got));
    std::string json = FormatChainsJson(got);
    EXPECT_NE(std::string::npos, json.find("{\"cluster\": 1, \"support\": 2, \"chains\": [1, 2], \"best_chain\": 2, "
                                           "\"motif\": 2, \"id\": \"r2.m2\", \"consensus\": \"" + kHb + "\""));
    EXPECT_NE(std::string::npos, json.find("\"members\": [{\"chain\": 1, \"motif\": 1, \"similarity\": 0."));
    EXPECT_NE(std::string::npos, json.find("{\"chain\": 2, \"motif\": 2, \"similarity\": 1}]}"));
    EXPECT_EQ(0u, FormatChainsSummary(got).find("Motifs of 2 chains in 2 clusters (joined at mean similarity 0.75 "
                                                 "or more):\ncluster\t"));
}

// Runs that measured enrichment add two columns to the table and an
// "enrichment" to each JSON cluster: the representative's, NA or null when
// it could not be measured. Without it the table is the one above.
TEST(ChainClusters, EnrichmentOfTheRepresentative)
{
    std::vector<RunResult> runs = {
        Chain(0, {MotifOf(0, Copies(kHb, 5))}),
        Chain(1, {MotifOf(0, Copies(kOther, 4)), MotifOf(1, Copies(kHb, 7))}),
    };
    for (RunResult& r : runs)
        r.enrichment = true;
    runs[0].motifs[0].enrichment = {true, 1.0, 500, 5, 500, 4, 1.2, -0.3};   // a member, not shown
    runs[1].motifs[1].enrichment = {true, 3.25, 1000, 40, 1000, 9, 4.1, -7.456};
    ChainClusters got = ClusterChains(runs);
    ASSERT_TRUE(got.enrichment);
    ASSERT_EQ(2u, got.clusters.size());
    std::vector<std::string> lines;
    std::string tsv = FormatChainsTsv(got);
    for (size_t at = 0, nl; (nl = tsv.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(tsv.substr(at, nl - at));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("cluster\tsupport\tchains\tbest_chain\tmotif\tconsensus\twidth\tsites\tmean_similarity\tenrichment"
              "\tlog10_p", lines[0]);
    const std::string cells = "\t4.100\t-7.46";   // the representative's: chain 2, 7 sites
    EXPECT_EQ(cells, lines[1].substr(lines[1].size() - cells.size()));
    EXPECT_EQ("2\t1\t2\t2\t1\t" + kOther + "\t10\t4\t1.000\tNA\tNA", lines[2]);
    std::string json = FormatChainsJson(got);
    EXPECT_NE(std::string::npos, json.find(", \"enrichment\": {\"threshold\": 3.25, \"input_windows\": 1000, "
                                           "\"input_hits\": 40, \"control_windows\": 1000, \"control_hits\": 9, "
                                           "\"ratio\": 4.1, \"log10_p\": -7.456},\n      \"members\""));
    EXPECT_NE(std::string::npos, json.find("\"mean_similarity\": 1, \"enrichment\": null,\n"));

    for (RunResult& r : runs)
        r.enrichment = false;
    EXPECT_EQ(std::string::npos, FormatChainsTsv(ClusterChains(runs)).find("enrichment"));
    EXPECT_EQ(std::string::npos, FormatChainsJson(ClusterChains(runs)).find("enrichment"));
}

// The consensus (--min-support) keeps exactly the clusters of the asked
// support, each through its representative's sites, scored by the share of
// chains that found it, sorted by sequence and start; a support no cluster
// reaches gives an empty file.
TEST(ChainClusters, ConsensusBedHoldsTheSitesOfWellSupportedClusters)
{
    auto withSites = [](MotifResult m, const std::vector<SiteResult>& sites) {
        m.sites = sites;
        return m;
    };
    auto site = [](int seq, int start, bool forward, const std::string& word) {
        SiteResult s;
        s.seq = seq;
        s.start = start;
        s.forward = forward;
        s.word = word;
        return s;
    };
    std::vector<RunResult> runs = {
        Chain(0, {withSites(MotifOf(0, Copies(kBcd, 4)), {site(0, 5, true, kBcd)}),
                  withSites(MotifOf(1, Copies(kHb, 6)), {site(1, 40, false, kHb), site(0, 70, true, kHb)})}),
        Chain(1, {withSites(MotifOf(0, Copies(kOther, 9)), {site(0, 1, true, kOther)}),
                  withSites(MotifOf(1, Copies(kBcd, 5)), {site(1, 3, true, kBcd), site(0, 30, false, kBcd)})}),
        Chain(2, {withSites(MotifOf(0, Copies(kHb, 3)), {site(0, 90, true, kHb)})}),
    };
    for (RunResult& r : runs) {
        r.seqs.resize(2);
        r.seqs[0].id = "enhA";
        r.seqs[1].id = "enhB";
    }
    ChainClusters got = ClusterChains(runs);
    ASSERT_EQ(3u, got.clusters.size());
    ASSERT_EQ(2, got.clusters[0].support);   // hunchback, chains 1 and 3: 6 sites in chain 1
    ASSERT_EQ(2, got.clusters[1].support);   // bicoid, chains 1 and 2: 5 sites in chain 2
    ASSERT_EQ(1, got.clusters[2].support);
    EXPECT_EQ("enhA\t30\t40\tcluster2\t667\t-\n"
              "enhA\t70\t80\tcluster1\t667\t+\n"
              "enhB\t3\t13\tcluster2\t667\t+\n"
              "enhB\t40\t50\tcluster1\t667\t-\n",
              FormatConsensusBed(got, 2, runs, false));
    std::string all = FormatConsensusBed(got, 1, runs, false);
    EXPECT_EQ(0u, all.find("enhA\t1\t11\tcluster3\t333\t+\n"));
    EXPECT_EQ(5, std::count(all.begin(), all.end(), '\n'));
    EXPECT_EQ("", FormatConsensusBed(got, 3, runs, false));
    EXPECT_EQ("Consensus (support 2 or more of 3 chains): 2 clusters, 4 sites\n", FormatConsensusLine(got, 2));
    EXPECT_EQ("Consensus (support 3 or more of 3 chains): 0 clusters, 0 sites\n", FormatConsensusLine(got, 3));
}
