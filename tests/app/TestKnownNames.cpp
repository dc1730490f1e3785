// --known insects / vertebrates: the names of the shipped JASPAR libraries.
// Both names resolve (next to an install prefix first, then the source tree
// the program was built from), a real file of that name in the current
// folder wins, a path stays a path, and a run with --known insects says
// which file it read and reports matches from it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/KnownNames.h"
#include "support/TestSupport.h"

namespace {

const std::string kShipped = std::string(RUZARAVO_SOURCE_DIR) + "/data/jaspar2024/";

// Runs the program in dir; standard error is returned (standard output is
// discarded), status in *status.
std::string StderrOf(const std::string& dir, const std::string& args, int* status)
{
    std::string cmd = "cd '" + dir + "' && '" RUZARAVO_EXE "' " + args + " >/dev/null 2>err.txt";
    *status = WEXITSTATUS(system(cmd.c_str()));
    return ReadFile(dir + "/err.txt");
}

size_t CountOf(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

}  // namespace

TEST(KnownNames, BothNamesResolveInstalledFirstThenTheSourceTree)
{
    for (const std::string name : {"insects", "vertebrates"}) {
        const std::string file = LibraryFileOf(name);
        EXPECT_EQ("JASPAR2024_CORE_" + name + "_non-redundant.meme", file);
        // No install prefix: the source tree's copy.
        EXPECT_EQ(kShipped + file, ResolveKnown(name, "/nonexistent/bin/Ruzaravo"));
        EXPECT_TRUE(FileExists(ResolveKnown(name, "")));
        // An install prefix holding the library comes first.
        CTempDir prefix;
        ASSERT_EQ(0, system(("mkdir -p '" + prefix.Path("bin") + "' '" + prefix.Path("share/ruzaravo/jaspar2024") +
                             "'").c_str()));
        WriteFile(prefix.Path("share/ruzaravo/jaspar2024/" + file), ReadFile(kShipped + file));
        EXPECT_EQ(prefix.Path("share/ruzaravo/jaspar2024/" + file),
                  ResolveKnown(name, prefix.Path("bin/Ruzaravo")))
            << name;
    }
    EXPECT_EQ("", LibraryFileOf("plants"));
    EXPECT_EQ("my/lib.meme", ResolveKnown("my/lib.meme", ""));   // a path is left as it is
    EXPECT_EQ("plants", ResolveKnown("plants", ""));

    // A real file of that name in the current folder wins.
    CTempDir here;
    WriteFile(here.Path("insects"), ReadFile(kShipped + "JASPAR2024_CORE_insects_non-redundant.pwm"));
    char old[4096];
    ASSERT_NE(nullptr, getcwd(old, sizeof old));
    ASSERT_EQ(0, chdir(here.m_Dir.c_str()));
    EXPECT_EQ("insects", ResolveKnown("insects", ""));
    EXPECT_EQ(kShipped + LibraryFileOf("vertebrates"), ResolveKnown("vertebrates", ""));
    ASSERT_EQ(0, chdir(old));
}

TEST(KnownNames, RunWithKnownInsectsReportsMatches)
{
    CTempDir dir;
    const std::string fly = std::string(RUZARAVO_SOURCE_DIR) + "/examples/fly_crms.fasta";
    int status = -1;
    std::string err = StderrOf(dir.m_Dir, "-i '" + fly + "' -o r.txt -n 60 --seed 3 --known insects", &status);
    ASSERT_EQ(0, status) << err;
    const std::string used = kShipped + "JASPAR2024_CORE_insects_non-redundant.meme";
    EXPECT_NE(std::string::npos, err.find("Ruzaravo: --known insects: using " + used + "\n")) << err;
    const std::string page = ReadFile(dir.Path("r.txt_report.html"));
    EXPECT_NE(std::string::npos, page.find("286 matrices from")) << "the insect library is read";
    EXPECT_GT(CountOf(page, "<div class=\"known\">"), 0u);
    EXPECT_NE(std::string::npos, page.find("MA0")) << "JASPAR ids among the matches";

    // The vertebrate library resolves too (no run: only the inputs are read).
    err = StderrOf(dir.m_Dir, "-i '" + fly + "' -o v.txt -N 0 --known vertebrates", &status);
    EXPECT_EQ(0, status) << err;
    EXPECT_NE(std::string::npos,
              err.find("--known vertebrates: using " + kShipped + "JASPAR2024_CORE_vertebrates_non-redundant.meme"))
        << err;

    // A file named insects in the folder is the one used, and said so.
    WriteFile(dir.Path("insects"), ReadFile(kShipped + "JASPAR2024_CORE_insects_non-redundant.pwm"));
    err = StderrOf(dir.m_Dir, "-i '" + fly + "' -o w.txt -N 0 --known insects", &status);
    EXPECT_EQ(0, status) << err;
    EXPECT_NE(std::string::npos, err.find("--known insects: using the file insects of the current folder")) << err;
}
