// The report page built from hand-made run results: its structure (one
// logo per printed motif, one track per sequence, convergence per run,
// agreement only with several runs), escaping of input text, ordering of
// site tables, the track limit, the page size for a megabase input, known
// matches, and the all-or-nothing file write.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <random>
#include <regex>

#include "output/html/ModuleMap.h"
#include "output/html/Report.h"
#include "support/TestSupport.h"

namespace {

const char* kMotifWords[3] = {"TTGACGCAAT", "GGGATTACAG", "CACGTGAC"};

// A run over nseq sequences of len letters; motif k (k < printed) has
// sitesPerSeq sites per sequence with random posteriors; every third
// sequence has a module at [100, 300) with its probability curve.
RunResult MakeRun(int run, int nseq, int len, int printed, int sitesPerSeq, unsigned seed, bool noisy = false)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(0, 1);
    RunResult r;
    r.run = run;
    r.seed = 1000 + run;
    r.sweeps = 300;
    r.burnIn = 209;
    r.recorded = 91;
    r.motifNum = 3;
    r.moduleLength = 200;
    r.cpuSeconds = 1.5;
    for (int j = 0; j < nseq; j++) {
        SequenceResult s;
        s.id = "seq" + std::to_string(j);
        s.name = ">" + s.id + " test";
        s.length = len;
        s.acgt = {len / 4, len / 4, len / 4, len - 3 * (len / 4)};
        s.moduleProb.assign(len, 0.0);
        for (int p = 0; p < len; p++) {
            if (noisy)
                s.moduleProb[p] = std::floor(u(gen) * 1000) / 1000;
            else if (j % 3 == 0 && p >= 100 && p < 300)
                s.moduleProb[p] = 0.9;
        }
        r.seqs.push_back(s);
        if (j % 3 == 0 && len >= 300)
            r.modules.push_back({j, 100, 300, 300, {}});
    }
    for (int k = 0; k < 3; k++) {
        MotifResult m;
        m.index = k;
        std::string w = kMotifWords[k];
        m.width = (int)w.size();
        m.consensus = w;
        m.printed = k < printed;
        if (m.printed) {
            for (int j = 0; j < nseq; j++)
                for (int i = 0; i < sitesPerSeq; i++)
                    m.sites.push_back({j, 100 + 20 * i + k * 5, (i + k) % 2 == 0, w, 50,
                                       std::floor(u(gen) * 1000) / 1000});
            m.siteCount = (int)m.sites.size();
            for (char c : w) {
                std::array<int, 4> row{1, 1, 1, 1};
                row[std::string("ACGT").find(c)] = m.siteCount - 3;
                m.counts.push_back(row);
            }
        }
        r.motifs.push_back(m);
    }
    for (int t = 0; t < r.sweeps; t++)
        r.sweepStats.push_back({-5000.0 + 10 * std::sqrt((double)t), t % 7, {10, 11, 12}});
    return r;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

ReportInput Input()
{
    ReportInput in;
    in.commandLine = "Ruzaravo -i in.fa --report";
    in.version = "Ruzaravo 1.0";
    return in;
}

}  // namespace

TEST(Report, PageStructure)
{
    std::vector<RunResult> runs = {MakeRun(0, 12, 600, 2, 2, 1), MakeRun(1, 12, 600, 3, 2, 2)};
    runs[0].seqs[4].id = "<script>alert(1)</script>";
    runs[0].hasLogPMO = true;
    runs[0].logPMO = 12.345;
    std::string page = BuildReport(runs, Input());
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(Count(page, "<svg class=\"logo fwd\""), 5u);   // printed motifs: 2 + 3
    EXPECT_EQ(Count(page, "<svg class=\"logo rc\""), 5u);
    EXPECT_EQ(Count(page, "No sites found"), 1u);
    EXPECT_EQ(Count(page, "<g class=\"track\""), 24u);
    EXPECT_EQ(Count(page, "data-modules=\"1\""), 8u);       // sequences 0, 3, 6, 9 of both runs
    EXPECT_EQ(Count(page, "<svg class=\"convergence\""), 2u);
    EXPECT_EQ(Count(page, "class=\"burnline\""), 6u);
    EXPECT_NE(page.find("id=\"agreement\""), std::string::npos);
    EXPECT_NE(page.find(">12.35<"), std::string::npos);
    EXPECT_EQ(page.find("<script>alert"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_EQ(page.find("http://"), page.find("http://www.w3.org/2000/svg"));   // nothing fetched
    EXPECT_EQ(page.find("https://"), std::string::npos);
    EXPECT_EQ(page.find(" src="), std::string::npos);

    // Each site table lists posteriors from highest to lowest.
    std::regex table("<table class=\"sites\">.*?</table>");
    std::regex post("<td class=\"n\">([0-9.]+)</td></tr>");
    int tables = 0;
    for (auto t = std::sregex_iterator(page.begin(), page.end(), table); t != std::sregex_iterator(); ++t) {
        std::string body = (*t)[0].str();
        std::vector<double> values;
        for (auto p = std::sregex_iterator(body.begin(), body.end(), post); p != std::sregex_iterator(); ++p)
            values.push_back(std::stod((*p)[1].str()));
        EXPECT_EQ(values.size(), 24u);
        EXPECT_TRUE(std::is_sorted(values.rbegin(), values.rend()));
        tables++;
    }
    EXPECT_EQ(tables, 5);

    // Agreement: run 1's motifs recur in run 2 with score 1.
    std::string agree = page.substr(page.find("id=\"agreement\""));
    EXPECT_EQ(Count(agree, " 1.00"), 2u);
    // One run: no agreement section.
    EXPECT_EQ(BuildReport({runs[0]}, Input()).find("id=\"agreement\""), std::string::npos);
}

// A run that measured enrichment gets a table of it under "Motifs": a
// row per printed motif (a dash row when it could not be measured) and per
// motif that --min-enrichment dropped, whose card says so instead of "No
// sites found". A run that did not measure it gets the page it always got.
TEST(Report, EnrichmentTable)
{
    RunResult r = MakeRun(0, 6, 400, 3, 1, 5);
    const std::string plain = BuildReport({r}, Input());
    EXPECT_EQ(plain.find("nrichment"), std::string::npos);

    r.enrichment = true;
    r.motifs[0].enrichment = {true, 4.5, 2364, 30, 2364, 4, 6.2, -6.2};
    r.motifs[1].enrichment = {true, 3.0, 2364, 10, 2364, 12, 0.846, -0.1};
    r.motifs[1].printed = false;
    std::string page = BuildReport({r}, Input());
    size_t at = page.find("<table class=\"sites enrichment\">");
    ASSERT_NE(at, std::string::npos);
    EXPECT_LT(page.find("<h3>Motifs</h3>"), at);
    std::string table = page.substr(at, page.find("</table>", at) - at);
    EXPECT_EQ(Count(table, "<tr><td>"), 3u);
    EXPECT_NE(table.find("<tr><td><a href=\"#r1.m1\">r1.m1</a></td><td class=\"w\">TTGACGCAAT</td><td class=\"n\">6</td>"
                         "<td class=\"n\">4.500</td><td class=\"n\">30 / 2364</td><td class=\"n\">4 / 2364</td>"
                         "<td class=\"n\">6.200</td><td class=\"n\">6.3e-07</td></tr>"),
              std::string::npos)
        << table;
    EXPECT_NE(table.find("<tr><td>r1.m2 (dropped)</td>"), std::string::npos);
    EXPECT_NE(table.find("<tr><td><a href=\"#r1.m3\">r1.m3</a></td><td class=\"w\">CACGTGAC</td><td class=\"n\">6</td>"
                         "<td colspan=\"5\">not measured"),
              std::string::npos);
    EXPECT_EQ(Count(page, "No sites found"), 0u);
    EXPECT_NE(page.find("Dropped: its enrichment over the control (0.846) is below the --min-enrichment level."),
              std::string::npos);
}

TEST(Report, InputSummary)
{
    RunResult r = MakeRun(0, 3, 400, 1, 1, 3);
    r.seqs[1].length = 250;
    r.seqs[1].acgt = {50, 100, 60, 30};
    r.seqs[1].other = 10;
    InputSummary s = SummariseInput(r.seqs);
    EXPECT_EQ(s.sequences, 3);
    EXPECT_EQ(s.letters, 1050);
    EXPECT_EQ(s.shortest, 250);
    EXPECT_EQ(s.longest, 400);
    EXPECT_EQ(s.other, 10);
    EXPECT_EQ(s.acgt, 1040);
    EXPECT_EQ(s.gc, 200 + 200 + 160);
}

TEST(Report, ManySequencesAndAMegabase)
{
    // 1000 sequences of 1000 letters with noisy curves and 6 sites per
    // sequence per motif: the map keeps 200 tracks and the page stays small.
    RunResult r = MakeRun(0, 1000, 1000, 3, 2, 4, true);
    for (int j = 0; j < 1000; j += 5)   // peaks that decide which tracks are shown
        r.seqs[j].moduleProb[500] = 1.0;
    std::vector<int> shown = MapSequences(r);
    ASSERT_EQ(shown.size(), 200u);
    for (std::size_t i = 0; i < shown.size(); i++)
        EXPECT_EQ(shown[i], (int)i * 5);
    std::string page = BuildReport({r}, Input());
    EXPECT_EQ(Count(page, "<g class=\"track\""), 200u);
    EXPECT_NE(page.find("Showing the 200 of 1000 sequences"), std::string::npos);
    EXPECT_NE(page.find("The 500 of 2000 sites"), std::string::npos);
    EXPECT_LT(page.size(), 5u * 1000 * 1000);

    // One sequence of a million letters.
    RunResult big = MakeRun(0, 1, 1000000, 3, 1000, 5, true);
    std::string bigPage = BuildReport({big}, Input());
    EXPECT_EQ(Count(bigPage, "<g class=\"track\""), 1u);
    EXPECT_LT(bigPage.size(), 5u * 1000 * 1000);
}

TEST(Report, CurveKeepsPeaksAndEnds)
{
    std::mt19937 gen(9);
    std::uniform_int_distribution<int> len(1, 20000);
    std::uniform_real_distribution<double> u(0, 1);
    for (int trial = 0; trial < 60; trial++) {
        std::vector<double> prob(len(gen));
        for (double& p : prob)
            p = u(gen) < 0.9 ? 0.0 : std::floor(u(gen) * 4) / 4;   // long flat stretches
        double pixels = 50 + trial * 15;
        std::vector<CurvePoint> pts = ReduceCurve(prob, pixels);
        ASSERT_FALSE(pts.empty());
        EXPECT_EQ(pts.front().pos, 0.0);
        EXPECT_EQ(pts.back().pos, (double)prob.size());
        EXPECT_LE(pts.size(), 2 * (std::size_t)(pixels / kMapPixelsPerPoint) + 2);
        double peak = *std::max_element(prob.begin(), prob.end()), drawn = 0;
        for (std::size_t i = 0; i < pts.size(); i++) {
            drawn = std::max(drawn, pts[i].prob);
            if (i > 0) {
                EXPECT_GE(pts[i].pos, pts[i - 1].pos);
            }
        }
        EXPECT_EQ(drawn, peak);
        // Every position lies under the drawn curve: the value in force at p
        // is at least prob[p].
        std::size_t k = 0;
        for (std::size_t p = 0; p < prob.size(); p++) {
            while (k + 1 < pts.size() && pts[k + 1].pos <= (double)p)
                k++;
            ASSERT_GE(pts[k].prob, prob[p]) << "trial " << trial << " position " << p;
        }
    }
}

TEST(Report, KnownFactorMatches)
{
    RunResult r = MakeRun(0, 6, 600, 2, 2, 6);
    ReportInput in = Input();
    in.knownFile = "library.jaspar";
    // Motif 1 (TTGACGCAAT) is in the library as its reverse complement,
    // with two extra columns in front (behind, once turned round).
    MotifProfile planted = {{5, 5, 5, 5}, {1, 2, 3, 4}};
    for (char c : std::string("ATTGCGTCAA")) {
        MotifColumn col{1, 1, 1, 1};
        col[std::string("ACGT").find(c)] = 20;
        planted.push_back(col);
    }
    in.known.push_back({"MA9999.1", "decoy", {{1, 2, 3, 4}, {4, 3, 2, 1}, {1, 1, 5, 1}, {7, 1, 1, 1}, {1, 1, 1, 9}}});
    in.known.push_back({"MA0001.1", "planted", planted});
    in.known.push_back({"MA0002.1", "short", {{1, 0, 0, 0}}});
    std::string page = BuildReport({r}, in);
    std::size_t m1 = page.find("id=\"r1.m1\""), m2 = page.find("id=\"r1.m2\"");
    ASSERT_NE(m1, std::string::npos);
    ASSERT_NE(m2, std::string::npos);
    std::string first = page.substr(m1, m2 - m1);
    // Ranked by significance: the full-length planted match first, with its
    // q-, E- and p-value; the decoy only if its q passes.
    std::size_t best = first.find("<b>1. MA0001.1 planted</b><br>q ");
    ASSERT_NE(best, std::string::npos);
    EXPECT_EQ(first.find("<br>score 1.000<br>strand &minus;, offset 0, 10 columns", best),
              first.find("<br>score", best));
    EXPECT_EQ(first.find("MA0002.1"), std::string::npos);   // one column cannot be compared
    std::size_t shown = Count(first, "<div class=\"match\">");
    EXPECT_GE(shown, 1u);
    EXPECT_EQ(Count(first, "<svg class=\"logo known\""), shown);
    EXPECT_EQ(Count(first, "<svg class=\"logo aligned\""), shown);
    EXPECT_NE(page.find("3 matrices from <code>library.jaspar</code>"), std::string::npos);
}

TEST(Report, FileIsWrittenWholeOrNotAtAll)
{
    CTempDir dir;
    std::string html = BuildReport({MakeRun(0, 3, 400, 1, 1, 7)}, Input());
    ASSERT_FALSE(WriteReportFile(dir.Path("report.html"), html));
    EXPECT_EQ(ReadFile(dir.Path("report.html")), html);
    const std::string temp = "/.report.html.tmp." + std::to_string(getpid());   // no temporary file left
    EXPECT_FALSE(FileExists(dir.m_Dir + temp));
    Fault fault = WriteReportFile(dir.Path("missing/report.html"), html);
    EXPECT_EQ(dir.Path("missing/report.html"), fault.path);
    EXPECT_EQ("the report cannot be written", fault.reason);
    EXPECT_FALSE(FileExists(dir.Path("missing") + temp));
}
