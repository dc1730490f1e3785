// The layout rules the folders promise (README "Layout"), checked on the
// sources themselves:
// - the computing folders (model/, sampler/, report/) open no file, write
//   to no stream and end no process: they hand values up, and run/,
//   monitor/, output/ and app/ do the reading, printing and stopping;
// - an include runs only down the layers: a file includes from its own
//   folder or from a folder earlier in kLayers.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The layers, lowest first. output/html is a layer of its own above
// output/, so the report may use the writers but not the other way round.
const std::vector<std::string> kLayers = {"base",    "io",  "results", "model",  "sampler",     "report",
                                          "analysis", "monitor", "run",    "scan",   "output",      "output/html", "app"};

// Includes that break the direction today, each with its reason; a line is
// "file -> included header". Empty: none.
const std::vector<std::string> kKnownExceptions = {};

struct LINE {
    std::string File;   // relative to the source root
    int Number;
    std::string Text;   // without a trailing // comment
};

// Every line of the .h and .cpp files directly in folder (not below it).
std::vector<LINE> SourceLines(const std::string& folder)
{
    std::vector<LINE> lines;
    std::string dir = std::string(RUZARAVO_SOURCE_DIR) + "/" + folder;
    DIR* d = opendir(dir.c_str());
    if (!d)
        return lines;
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        bool source = (name.size() > 2 && name.compare(name.size() - 2, 2, ".h") == 0) ||
                      (name.size() > 4 && name.compare(name.size() - 4, 4, ".cpp") == 0);
        if (e->d_type != DT_DIR && source)
            names.push_back(name);
    }
    closedir(d);
    for (const std::string& name : names) {
        std::ifstream in(dir + "/" + name);
        std::string text;
        for (int n = 1; std::getline(in, text); n++)
            lines.push_back({folder + "/" + name, n, text.substr(0, text.find("//"))});
    }
    return lines;
}

std::string Listed(const std::vector<std::string>& found)
{
    std::ostringstream all;
    for (const std::string& f : found)
        all << f << "\n";
    return all.str();
}

}  // namespace

TEST(Layout, ComputingFoldersOpenNoFileWriteNoStreamAndEndNoProcess)
{
    // A call of a file opener, a stream writer or a process exit; snprintf
    // (formatting into memory) and member calls such as x.open( are not
    // library calls of this kind, std:: streams are caught by name.
    const std::regex call(
        R"((^|[^\w.>:])(fopen|freopen|open|popen|printf|fprintf|vprintf|vfprintf|puts|fputs|putchar|fputc|fwrite|perror|exit|_exit|abort|StopOnInputError)\s*\()"
        R"(|std::(cout|cerr|clog|ifstream|ofstream|fstream)\b|\b(stdout|stderr)\b)");
    std::vector<std::string> offenders;
    size_t scanned = 0;
    for (const char* folder : {"model", "sampler", "report"}) {
        std::vector<LINE> lines = SourceLines(folder);
        scanned += lines.size();
        for (const LINE& l : lines)
            if (std::regex_search(l.Text, call))
                offenders.push_back(l.File + ":" + std::to_string(l.Number) + ": " + l.Text);
    }
    EXPECT_GT(scanned, 2000u);   // the folders were found and read
    EXPECT_TRUE(offenders.empty()) << Listed(offenders);

    // The scan itself finds what it looks for.
    for (const char* bad : {"fprintf(stderr, \"x\");", "FILE* f = fopen(p, \"r\");", "exit(1);",
                            "std::cout << x;", "  puts(m);", "StopOnInputError(kMessage);"})
        EXPECT_TRUE(std::regex_search(std::string(bad), call)) << bad;
    for (const char* fine : {"snprintf(buf, sizeof buf, \"%d\", x);", "m_File.Open(x);", "int exited = 0;"})
        EXPECT_FALSE(std::regex_search(std::string(fine), call)) << fine;
}

// Why including header from a file in folder breaks the layers, or "".
std::string WrongDirection(const std::string& folder, const std::string& header)
{
    std::map<std::string, size_t> rank;
    for (size_t i = 0; i < kLayers.size(); i++)
        rank[kLayers[i]] = i;
    const size_t slash = header.rfind('/');
    const std::string from = slash == std::string::npos ? "" : header.substr(0, slash);
    auto at = rank.find(from);
    if (at == rank.end())
        return "not a layer folder";
    if (at->second > rank.at(folder))
        return from + " is above " + folder;
    return "";
}

TEST(Layout, IncludesRunDownTheLayers)
{
    const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<std::string> offenders;
    size_t includes = 0;
    for (const std::string& folder : kLayers) {
        for (const LINE& l : SourceLines(folder)) {
            std::smatch m;
            if (!std::regex_search(l.Text, m, include))
                continue;
            includes++;
            const std::string line = l.File + " -> " + m[1].str();
            bool known = false;
            for (const std::string& e : kKnownExceptions)
                known = known || e == line;
            std::string why = WrongDirection(folder, m[1]);
            if (!why.empty() && !known)
                offenders.push_back(line + " (" + why + ")");
        }
    }
    EXPECT_GT(includes, 200u);
    EXPECT_TRUE(offenders.empty()) << Listed(offenders);

    // The rule itself: down and sideways pass, up and outside fail.
    EXPECT_EQ("", WrongDirection("run", "model/GibbsDP.h"));
    EXPECT_EQ("", WrongDirection("output/html", "output/TextFormat.h"));
    EXPECT_EQ("", WrongDirection("io", "io/FastaText.h"));
    EXPECT_EQ("app is above run", WrongDirection("run", "app/Options.h"));
    EXPECT_EQ("output/html is above output", WrongDirection("output", "output/html/Report.h"));
    EXPECT_EQ("model is above io", WrongDirection("io", "model/GibbsDP.h"));
    EXPECT_EQ("not a layer folder", WrongDirection("app", "gtest/gtest.h"));
}
