// Helpers of the scan tests: seeded synthetic sequence, strong test motifs
// and a planted cluster of their sites, and running a shell command with
// its standard error captured.
#ifndef RUZARAVO_TESTS_SCAN_SCANTESTUTIL_H
#define RUZARAVO_TESTS_SCAN_SCANTESTUTIL_H

#include <cstdio>
#include <string>
#include <vector>

#include "base/Rng.h"
#include "io/MatrixFile.h"
#include "support/TestSupport.h"

// Uniform random letters from a seeded generator of their own.
inline std::string RandomLetters(unsigned seed, size_t n)
{
    Rng rng(seed);
    std::string s(n, 'A');
    for (char& c : s)
        c = "ACGT"[rng.next() % 4];
    return s;
}

// Three motifs of widths 8, 10 and 12 whose consensus letter has
// probability 0.85 (0.05 for each other letter), in the own matrix format.
inline std::vector<std::string> TestConsensus()
{
    return {"TGACGTCA", "GGGAATTCCC", "CAGGTAGCTTAC"};
}

inline std::string TestMotifFile()
{
    std::string out;
    const std::vector<std::string> names = {"alpha", "beta", "gamma"};
    const std::vector<std::string> consensus = TestConsensus();
    for (size_t k = 0; k < consensus.size(); k++) {
        const std::string& c = consensus[k];
        out += ">" + std::to_string(c.size()) + " " + names[k] + "\n";
        for (char x : c) {
            for (int b = 0; b < 4; b++)
                out += std::string(b ? "\t" : "") + ("ACGT"[b] == x ? "85" : "5");
            out += "\n";
        }
    }
    return out;
}

inline std::vector<MotifMatrix> TestMatrices()
{
    std::vector<MotifMatrix> m;
    std::string reason;
    ParseMatrixText(TestMotifFile(), &m, &reason);
    return m;
}

// Plants two sites of each test motif, evenly spaced, into seq from `at`
// over `span` letters (the middle motif's copies on the reverse strand).
inline void PlantCluster(std::string* seq, size_t at, size_t span)
{
    const std::vector<std::string> motifs = TestConsensus();
    const size_t step = span / 6;
    for (size_t i = 0; i < 6; i++) {
        std::string w = motifs[i % 3];
        if (i % 3 == 1) {
            std::string r(w.rbegin(), w.rend());
            for (char& c : r)
                c = c == 'A' ? 'T' : c == 'C' ? 'G' : c == 'G' ? 'C' : 'A';
            w = r;
        }
        seq->replace(at + i * step + 2, w.size(), w);
    }
}

struct ShellRun {
    int status;
    std::string output;   // standard output and standard error together
};

inline ShellRun Shell(const std::string& command)
{
    RUNRESULT r = RunShell("(" + command + ") 2>&1 </dev/null");
    return ShellRun{r.Status, r.Stdout};
}

#endif
