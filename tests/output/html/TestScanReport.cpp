// The scan's report page on a made-up outcome: the ten best-ranked reported
// modules drawn in rank order with one arrow per site at its place in the
// window, a histogram whose bars are shares of the null's and the calls'
// counts, one logo per matrix, and names from the input escaped.
#include <gtest/gtest.h>

#include <regex>

#include "output/html/ScanReport.h"
#include "scan/ScanTestUtil.h"

namespace {

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

}  // namespace

TEST(ScanReport, TopModulesInRankOrderSitesHistogramAndLogos)
{
    ScanModel m = MakeScanModel(MotifsFromMatrices(TestMatrices()), 200, 0.001, 0.01,
                                MarkovChain::Estimate({RandomLetters(3, 2000)}, 1));
    ScanSequence s;
    s.name = s.chrom = "chr<b>";
    s.offset = 1000;
    s.length = 100000;
    ScanOutcome o;
    std::vector<size_t> reported;
    std::vector<int> rank;
    for (int i = 0; i < 12; i++) {
        ScanModule mod;
        mod.call.start = 5000LL * i;
        mod.call.llr = 10.0 + i;            // the last one scores highest
        ScanSite site;
        site.motif = i % 3;
        site.start = mod.call.start + 50;   // 50 letters into the window
        site.forward = i % 2 == 0;
        site.posterior = 0.9;
        mod.call.sites = {site, site};
        mod.call.sites[1].start += 100;
        o.modules.push_back(mod);
        reported.push_back((size_t)i);
        rank.push_back(12 - i);
    }
    for (int t = 0; t < 1000; t++)
        o.nullBest.push_back(t / 100.0);    // 0 .. 9.99, below every call
    const std::string page = ScanReportHtml(o, m, {s}, reported, rank);

    EXPECT_EQ(10u, Count(page, "<svg class=\"scanmod\""));
    EXPECT_EQ(20u, Count(page, "<polygon class=\"site\""));
    // Rank order: crm1 (the last module, at 55000) comes first, crm11 and 12 are left out.
    const size_t first = page.find("<td>crm1</td>"), second = page.find("<td>crm2</td>");
    ASSERT_NE(std::string::npos, first);
    EXPECT_LT(first, second);
    EXPECT_EQ(std::string::npos, page.find("<td>crm11</td>"));
    EXPECT_NE(std::string::npos, page.find("chr&lt;b&gt;:56001-56200"));
    EXPECT_EQ(std::string::npos, page.find("chr<b>"));
    // A site 50 letters into a 200-letter window starts a quarter of the way along the track.
    EXPECT_NE(std::string::npos, page.find("points=\"185.0,12 "));
    // Histogram: 40 bars each; the null's shares fill bins below the calls',
    // and the tallest bar reaches the full height.
    EXPECT_EQ(40u, Count(page, "<rect class=\"null\""));
    EXPECT_EQ(40u, Count(page, "<rect class=\"calls\""));
    EXPECT_NE(std::string::npos, page.find("height=\"160.0\""));
    std::regex callBar("<rect class=\"calls\" x=\"([0-9.]+)\" y=\"[0-9.]+\" width=\"[0-9.]+\" height=\"([0-9.]+)\"");
    double lowestCallX = 1e9;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), callBar); it != std::sregex_iterator(); ++it)
        if (std::stod((*it)[2]) > 0)
            lowestCallX = std::min(lowestCallX, std::stod((*it)[1]));
    EXPECT_GT(lowestCallX, 720.0 * 9.99 / 21.0 - 18.0);
    EXPECT_EQ(3u, Count(page, "class=\"logo scanlogo"));
    EXPECT_NE(std::string::npos, page.find("<td>200</td>"));
}
