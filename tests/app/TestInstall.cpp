// Installation: cmake --install into a private prefix gives the program
// under both names, the manual page, the licence, the known-factor library
// and the examples; the manual page documents every option the parser knows.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Options.h"
#include "support/TestSupport.h"

namespace {

// The option as the manual page's roff source writes it: every '-' escaped.
std::string Roff(const std::string& option)
{
    std::string out;
    for (char c : option)
        out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

}  // namespace

TEST(Install, ProgramLinkManualPageAndLicence)
{
    CTempDir prefix;
    std::string cmd = std::string("'") + RUZARAVO_CMAKE + "' --install '" + RUZARAVO_BINARY_DIR + "' --prefix '" +
                      prefix.m_Dir + "' >/dev/null 2>&1";
    ASSERT_EQ(0, system(cmd.c_str())) << cmd;
    const std::string bin = prefix.Path("bin/Ruzaravo"), lower = prefix.Path("bin/ruzaravo");
    struct stat st;
    ASSERT_EQ(0, lstat(lower.c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(0, stat(bin.c_str(), &st));
    EXPECT_TRUE(st.st_mode & S_IXUSR);
    FILE* p = popen(("'" + lower + "' --version").c_str(), "r");
    ASSERT_NE(nullptr, p);
    char line[128] = "";
    EXPECT_NE(nullptr, fgets(line, sizeof line, p));
    EXPECT_EQ(0, pclose(p));
    EXPECT_EQ(std::string(RUZARAVO_VERSION) + "\n", line);

    const std::string man = ReadFile(prefix.Path("share/man/man1/ruzaravo.1"));
    ASSERT_FALSE(man.empty());
    for (const std::string& opt : OptionNames())
        EXPECT_NE(std::string::npos, man.find(Roff(opt))) << opt << " is missing from the manual page";
    EXPECT_NE(std::string::npos, ReadFile(prefix.Path("share/doc/Ruzaravo/LICENSE")).find("MIT License"));
    // The known-factor library travels with its own licence.
    EXPECT_NE(std::string::npos,
              ReadFile(prefix.Path("share/ruzaravo/jaspar2024/LICENSE.txt")).find("CC BY 4.0"));
    EXPECT_TRUE(FileExists(prefix.Path("share/ruzaravo/jaspar2024/JASPAR2024_CORE_insects_non-redundant.pwm")));
    // --known insects names the installed copy, not the source tree's.
    FILE* known = popen(("cd '" + prefix.m_Dir + "' && '" + lower + "' -N 0 --known insects 2>&1 >/dev/null").c_str(), "r");
    ASSERT_NE(nullptr, known);
    char said[1024] = "";
    EXPECT_NE(nullptr, fgets(said, sizeof said, known));
    EXPECT_EQ(0, pclose(known));
    EXPECT_EQ("Ruzaravo: --known insects: using " + 
                  prefix.Path("share/ruzaravo/jaspar2024/JASPAR2024_CORE_insects_non-redundant.meme") + "\n",
              std::string(said));
    // The examples travel with their sources, unchanged.
    for (const char* name : {"fly_crms.fasta", "fly_background.fasta", "fly_eve_stripe37.pwm", "SOURCE.md"}) {
        const std::string shipped = ReadFile(std::string(RUZARAVO_SOURCE_DIR) + "/examples/" + name);
        ASSERT_FALSE(shipped.empty()) << name;
        EXPECT_EQ(shipped, ReadFile(prefix.Path(std::string("share/ruzaravo/examples/") + name))) << name;
    }
}
