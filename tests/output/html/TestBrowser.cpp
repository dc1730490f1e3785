// The report of the fly example in a real browser: headless Chromium
// loads it from disk with a fresh profile and no network, runs its script
// without a console message, and the page it built holds one logo per
// printed motif, one track with modules per sequence with a module, and
// a convergence plot per run. A screenshot is left in the test's working
// folder (report_fly.png). Skipped, with a note, where Chromium is absent.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <sstream>

#include "support/TestSupport.h"

namespace {

// Runs a shell command; its standard output, and its exit status in *status.
std::string Shell(const std::string& cmd, int* status)
{
    RUNRESULT r = RunShell(cmd);
    *status = r.Status;
    return r.Stdout;
}

bool HaveChromium()
{
    int status = 0;
    Shell("command -v chromium >/dev/null 2>&1", &status);
    return status == 0;
}

// Headless Chromium on a local page with a fresh profile, no network
// services, console messages logged to errFile; extra picks the action.
std::string Chromium(const CTempDir& dir, const std::string& page, const std::string& extra,
                     const std::string& errFile, int* status)
{
    std::string profile = dir.Path("profile-" + std::to_string(std::hash<std::string>()(page + extra) % 100000));
    std::string cmd = "timeout 180 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
                      "--disable-background-networking --disable-component-update --disable-sync "
                      "--user-data-dir=" + ShellQuote(profile) + " --enable-logging=stderr --v=0 " + extra +
                      " " + ShellQuote("file://" + page) + " 2>" + ShellQuote(errFile);
    return Shell(cmd, status);
}

std::vector<std::string> ConsoleLines(const std::string& log)
{
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.find(":CONSOLE") != std::string::npos)
            lines.push_back(line);
    return lines;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

// Printed motifs and, per run block, the sequences with a module line.
void CountResults(const std::string& result, std::size_t* printed, std::size_t* seqsWithModule)
{
    *printed = Count(result, "number of sites:");
    *seqsWithModule = 0;
    std::istringstream in(result);
    std::set<std::string> names;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("Ruzaravo (compiled", 0) == 0) {   // a new run's block
            *seqsWithModule += names.size();
            names.clear();
        }
        std::size_t tab = line.find("\t[");
        if (line[0] == '>' && tab != std::string::npos)
            names.insert(line.substr(0, tab));
    }
    *seqsWithModule += names.size();
}

}  // namespace

TEST(Browser, FlyReportLoadsAndShowsEverything)
{
    if (!HaveChromium())
        GTEST_SKIP() << "chromium is not installed (Debian: apt-get install chromium); browser test skipped";
    CTempDir dir;
    std::string fly = std::string(RUZARAVO_SOURCE_DIR) + "/examples/fly_crms.fasta";
    RUNRESULT run = RunRuzaravo({"-i", fly, "--outdir", "out", "-o", "fly.txt", "-N", "2", "-n", "1000",
                                 "--seed", "2005"},
                                dir.m_Dir);
    ASSERT_EQ(run.Status, 0);
    std::string page = dir.Path("out/report.html");
    ASSERT_TRUE(FileExists(page));
    std::size_t printed = 0, withModule = 0;
    CountResults(ReadFile(dir.Path("fly.txt")), &printed, &withModule);
    ASSERT_GT(printed, 0u);
    ASSERT_GT(withModule, 0u);

    // The console check must be able to fail: a page with a script error
    // is caught both ways.
    WriteFile(dir.Path("broken.html"),
              "<!DOCTYPE html><html><head><script>window.addEventListener('error',function(e){"
              "document.documentElement.setAttribute('data-errors',e.message);});</script></head>"
              "<body><script>notDefined();</script></body></html>");
    int status = 0;
    std::string brokenDom = Chromium(dir, dir.Path("broken.html"), "--dump-dom", dir.Path("broken.err"), &status);
    ASSERT_EQ(status, 0) << "chromium failed: " << ReadFile(dir.Path("broken.err"));
    EXPECT_NE(brokenDom.find("<html data-errors="), std::string::npos);
    EXPECT_FALSE(ConsoleLines(ReadFile(dir.Path("broken.err"))).empty());

    std::string dom = Chromium(dir, page, "--dump-dom", dir.Path("dom.err"), &status);
    ASSERT_EQ(status, 0) << ReadFile(dir.Path("dom.err"));
    for (const std::string& line : ConsoleLines(ReadFile(dir.Path("dom.err"))))
        ADD_FAILURE() << "console: " << line;
    // The page's own error trap writes into the <html> element's attributes.
    std::size_t open = dom.find("<html");
    ASSERT_NE(open, std::string::npos);
    std::string root = dom.substr(open, dom.find('>', open) - open);
    EXPECT_EQ(root.find("data-errors"), std::string::npos) << root;
    EXPECT_NE(root.find("data-script=\"ok\""), std::string::npos) << root;   // its script ran to the end

    EXPECT_EQ(Count(dom, "<svg class=\"logo fwd\""), printed);
    std::regex track("<g class=\"track\"[^>]*data-modules=\"([0-9]+)\"");
    std::size_t tracks = 0, tracksWithModule = 0;
    for (auto it = std::sregex_iterator(dom.begin(), dom.end(), track); it != std::sregex_iterator(); ++it) {
        tracks++;
        tracksWithModule += std::stoi((*it)[1].str()) > 0;
    }
    EXPECT_EQ(tracks, 2u * 14);   // 14 sequences, two runs
    EXPECT_EQ(tracksWithModule, withModule);
    EXPECT_EQ(Count(dom, "<svg class=\"convergence\""), 2u);
    EXPECT_EQ(Count(dom, "class=\"burnline\""), 6u);
    EXPECT_NE(dom.find("id=\"agreement\""), std::string::npos);

    // A screenshot kept in the test's working folder.
    std::string shot = "report_fly.png";
    std::remove(shot.c_str());
    Chromium(dir, page, "--window-size=1200,2200 --hide-scrollbars --screenshot=" + ShellQuote(shot), dir.Path("shot.err"),
             &status);
    ASSERT_EQ(status, 0) << ReadFile(dir.Path("shot.err"));
    std::string png = ReadFile(shot);
    ASSERT_GT(png.size(), 20000u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::printf("screenshot: report_fly.png in the test's working folder\n");
}
