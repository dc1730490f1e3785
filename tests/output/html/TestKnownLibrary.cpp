// The known-factor library: both shipped layouts of the JASPAR collection
// read to the same matrices, bad files are refused with the line named,
// and the options behave end to end (refusals before any run, the report
// replaced rather than appended, never written over an input).
#include <gtest/gtest.h>

#include "output/html/KnownLibrary.h"
#include "support/TestSupport.h"

namespace {

std::string Data(const std::string& name)
{
    return std::string(RUZARAVO_SOURCE_DIR) + "/data/jaspar2024/" + name;
}

}  // namespace

TEST(KnownLibrary, ShippedLayoutsAgree)
{
    for (const char* taxon : {"insects", "vertebrates"}) {
        std::vector<KnownMotif> transfac, own;
        std::string reason;
        ASSERT_TRUE(ReadKnownLibrary(Data(std::string("JASPAR2024_CORE_") + taxon + "_non-redundant_pfms_transfac.txt"),
                                     &transfac, &reason))
            << reason;
        ASSERT_TRUE(ReadKnownLibrary(Data(std::string("JASPAR2024_CORE_") + taxon + "_non-redundant.pwm"), &own,
                                     &reason))
            << reason;
        EXPECT_EQ(transfac.size(), std::string(taxon) == "insects" ? 286u : 879u);
        ASSERT_EQ(transfac.size(), own.size());
        for (std::size_t i = 0; i < own.size(); i++) {
            // Both layouts carry JASPAR's id and the factor name (TRANSFAC's AC
            // line holds the id, its ID line the factor name).
            EXPECT_EQ(own[i].id.rfind("MA", 0), 0u) << own[i].id;
            EXPECT_EQ(transfac[i].id, own[i].id);
            EXPECT_EQ(transfac[i].name, own[i].name);
            EXPECT_EQ(transfac[i].matrix, own[i].matrix) << own[i].id;
        }
    }
    std::vector<KnownMotif> insects;
    std::string reason;
    ASSERT_TRUE(ReadKnownLibrary(Data("JASPAR2024_CORE_insects_non-redundant.pwm"), &insects, &reason));
    EXPECT_EQ(insects[0].id, "MA0013.1");
    EXPECT_EQ(insects[0].name, "br");
    ASSERT_EQ(insects[0].matrix.size(), 11u);
    EXPECT_EQ(insects[0].matrix[0], (MotifColumn{1, 1, 0, 4}));
}

TEST(KnownLibrary, BadFilesAreRefused)
{
    CTempDir dir;
    for (const char* text : {"", "just some words\n", ">2 X\n1\t2\t3\n1\t2\t3\t4\n", ">2 X\n1\t2\t3\t4\n1\t-2\t3\t4\n"}) {
        WriteFile(dir.Path("lib.txt"), text);
        std::vector<KnownMotif> out;
        std::string reason;
        EXPECT_FALSE(ReadKnownLibrary(dir.Path("lib.txt"), &out, &reason)) << text;
        EXPECT_FALSE(reason.empty()) << text;
        EXPECT_TRUE(out.empty());
    }
    std::vector<KnownMotif> out;
    std::string reason;
    EXPECT_FALSE(ReadKnownLibrary(dir.Path("missing.txt"), &out, &reason));
    EXPECT_FALSE(reason.empty());
}

TEST(KnownLibrary, OptionsEndToEnd)
{
    CTempDir dir;
    std::string fly = std::string(RUZARAVO_SOURCE_DIR) + "/examples/fly_crms.fasta";
    WriteFile(dir.Path("bad.txt"), ">6 X\n1 2 3 4\n");
    RUNRESULT bad = RunRuzaravo({"-i", fly, "-o", "r.txt", "-n", "10", "--seed", "1", "--known", "bad.txt"},
                                dir.m_Dir);
    EXPECT_EQ(bad.Status, 1);
    EXPECT_EQ(bad.Stdout, "Known matrix file error!\n");
    EXPECT_FALSE(FileExists(dir.Path("r.txt")));
    EXPECT_FALSE(FileExists(dir.Path("r.txt_report.html")));

    // A report name that is an input is refused and the input kept.
    WriteFile(dir.Path("in.fa_report.html"), ReadFile(fly));
    RUNRESULT clash = RunRuzaravo({"-i", "in.fa_report.html", "-o", "in.fa", "-n", "10", "--seed", "1", "--report"},
                                  dir.m_Dir);
    EXPECT_EQ(clash.Status, 1);
    EXPECT_EQ(clash.Stdout, "Output file error!\n");
    EXPECT_EQ(ReadFile(dir.Path("in.fa_report.html")), ReadFile(fly));
    EXPECT_FALSE(FileExists(dir.Path("in.fa")));

    // Beside the result file, replaced on the next invocation, with the matches.
    std::vector<std::string> args = {"-i", fly, "-o", "r.txt", "-n", "60", "--seed", "3", "--known",
                                     Data("JASPAR2024_CORE_insects_non-redundant.pwm")};
    ASSERT_EQ(RunRuzaravo(args, dir.m_Dir).Status, 0);
    std::string first = ReadFile(dir.Path("r.txt_report.html"));
    ASSERT_EQ(RunRuzaravo(args, dir.m_Dir).Status, 0);
    std::string second = ReadFile(dir.Path("r.txt_report.html"));
    EXPECT_EQ(second.find("<!DOCTYPE html>", 1), std::string::npos);   // one page, not two
    EXPECT_NE(second.find("286 matrices from"), std::string::npos);
    // The same seed gives the same page apart from the CPU time.
    auto withoutCpu = [](std::string page) {
        std::size_t at = page.find("<table class=\"runs\">");
        return page.erase(at, page.find("</table>", at) - at);
    };
    EXPECT_EQ(withoutCpu(first), withoutCpu(second));
    std::size_t printed = 0;
    std::string result = ReadFile(dir.Path("r.txt"));
    for (std::size_t at = result.find("number of sites:"); at != std::string::npos;
         at = result.find("number of sites:", at + 1))
        printed++;
    ASSERT_GT(printed, 0u);
    std::size_t matches = 0;
    for (std::size_t at = second.find("<h4>Best known matches</h4>"); at != std::string::npos;
         at = second.find("<h4>Best known matches</h4>", at + 1))
        matches++;
    EXPECT_EQ(matches, printed / 2);   // two runs appended to r.txt, one in the page
}
