// Helpers shared by the tests: a private temporary directory per test,
// running the Ruzaravo executable and capturing its output, writing files,
// a seeded generator of synthetic sequences with a planted motif, and a
// checker of the sampler state's invariants.
#ifndef RUZARAVO_TESTS_SUPPORT_TESTSUPPORT_H
#define RUZARAVO_TESTS_SUPPORT_TESTSUPPORT_H

#include <string>
#include <vector>

#include "app/Options.h"
#include "model/GibbsDP.h"

// A fresh empty directory under /tmp, removed with everything in it when
// the object goes out of scope.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    std::string Path(const std::string& name) const { return m_Dir + "/" + name; }
    std::string m_Dir;
};

struct RUNRESULT {
    int Status;            // exit status of the process
    std::string Stdout;    // everything it wrote to standard output
};

// Runs the executable as ./Ruzaravo (a link placed in dir) with the given
// arguments in directory dir; standard error is discarded, standard input
// is /dev/null.
RUNRESULT RunRuzaravo(const std::vector<std::string>& args, const std::string& dir);

// Runs a command through /bin/sh; its standard output and exit status (-1
// when it could not start or was killed by a signal).
RUNRESULT RunShell(const std::string& command);

// s as one shell word, inside single quotes.
std::string ShellQuote(const std::string& s);

void WriteFile(const std::string& path, const std::string& text);
// The lines of a text (without their line breaks), and the tab-separated
// fields of one line.
std::vector<std::string> Lines(const std::string& text);
std::vector<std::string> Fields(const std::string& line);
// text as one gzip member, and as BGZF (bgzip's blocks of at most 64 kB,
// each a gzip member with a BC extra field, then the empty end block).
std::string GzipText(const std::string& text);
std::string BgzfText(const std::string& text, size_t blockSize = 65280);
std::string ReadFile(const std::string& path);   // "" when missing
bool FileExists(const std::string& path);

// A list table of K x N empty lists (a head node each), as Initialize
// builds it.
SITEINFO*** NewSiteTable(int K, int N);

// Planted-motif data: n sequences of len letters, i.i.d. uniform background
// from a small linear congruential generator of its own (so tests do not
// disturb any run's generator), with one copy of motif (possibly reverse-complemented
// when bothStrands) at a random position in each sequence.
struct PLANTED {
    std::vector<std::string> Seqs;
    std::vector<int> SitePos;       // leftmost position of each planted copy
    std::vector<bool> SiteForward;  // strand of each planted copy
};
PLANTED MakePlanted(unsigned seed, int n, int len, const std::string& motif, bool bothStrands);
std::string ToFasta(const std::vector<std::string>& seqs, const std::string& prefix = "seq");

// Checks the invariants of a sampler state after a sweep's score: sites
// inside their sequences, words matching the sequence at the site's width,
// no two sites of one window overlapping (when nonOverlap), m_SiteNum and
// m_CountMat equal to a recount, widths within bounds, module starts in
// range and in descending order. Returns "" or a description of the fault.
std::string CheckState(CGibbsDP& g, bool nonOverlap);

// Parses the given words (argv[0] included) into a fresh option record.
inline INPUTPARAMETER ParseWords(std::vector<std::string> words)
{
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    INPUTPARAMETER p;
    SetDefaultParam(&p);
    ParseInputParam(&p, (int)argv.size(), argv.data());
    return p;
}

#endif
