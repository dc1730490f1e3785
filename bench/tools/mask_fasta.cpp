// Pre-processing of a FASTA file for accuracy experiments, outside the
// program: masks low-complexity windows (the DUST score of
// analysis/LowComplexity) and the later copy of stretches shared by two
// records (analysis/SharedStretches), writing the same records with the
// masked letters as N. Lengths and record order never change, so sites
// found in the output keep their coordinates in the input.
//
//   mask_fasta [--dust T] [--dups] IN.fa > OUT.fa
//
// Letters are upper-cased; every other character of a sequence line is kept.
// Standard error names each shared stretch (both records) and the letters
// masked by each step. No random draws.
#include "analysis/LowComplexity.h"
#include "analysis/SharedStretches.h"

#include <cmath>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Record {
    std::string header;  // the '>' line without '>'
    std::string seq;
};

bool ReadFasta(const char* path, std::vector<Record>* out)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '>') {
            out->push_back({line.substr(1), std::string()});
            continue;
        }
        if (out->empty())
            continue;  // text before the first header is not sequence
        for (char c : line)
            if (!isspace(static_cast<unsigned char>(c)) && !isdigit(static_cast<unsigned char>(c)))
                out->back().seq += static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    return true;
}

std::string FirstWord(const std::string& header)
{
    return header.substr(0, header.find_first_of(" \t"));
}

void WriteFasta(const std::vector<Record>& records)
{
    for (const Record& r : records) {
        std::cout << '>' << r.header << '\n';
        for (size_t i = 0; i < r.seq.size(); i += 60)
            std::cout << r.seq.substr(i, 60) << '\n';
    }
}

long MaskDuplicates(std::vector<Record>* records)
{
    std::vector<std::string> seqs;
    for (const Record& r : *records)
        seqs.push_back(r.seq);
    const std::vector<SharedStretch> found = FindSharedStretches(seqs);
    for (const SharedStretch& s : found)
        std::cerr << "mask_fasta: shared stretch of " << s.length << " letters ("
                  << std::lround(100 * s.identity) << " % identity" << (s.reverse ? ", reverse strand" : "")
                  << "): " << FirstWord((*records)[s.first].header) << ':' << s.firstStart + 1 << " and "
                  << FirstWord((*records)[s.second].header) << ':' << s.secondStart + 1 << " (masked)\n";
    const long masked = MaskLaterCopies(found, &seqs);
    for (size_t i = 0; i < seqs.size(); ++i)
        (*records)[i].seq = seqs[i];
    return masked;
}

int Usage()
{
    std::cerr << "usage: mask_fasta [--dust T] [--dups] IN.fa > OUT.fa\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    double dust = -1;
    bool dups = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--dust") == 0 && i + 1 < argc) {
            char* end = nullptr;
            dust = strtod(argv[++i], &end);
            if (*end || !(dust > 0))
                return Usage();
        } else if (strcmp(argv[i], "--dups") == 0) {
            dups = true;
        } else if (argv[i][0] == '-' || path) {
            return Usage();
        } else {
            path = argv[i];
        }
    }
    std::vector<Record> records;
    if (!path)
        return Usage();
    if (!ReadFasta(path, &records)) {
        std::cerr << "mask_fasta: cannot read " << path << '\n';
        return 1;
    }
    long total = 0;
    for (const Record& r : records)
        total += static_cast<long>(r.seq.size());
    // Duplicates first: DUST's N would otherwise break the seeds of a copy.
    if (dups) {
        const long masked = MaskDuplicates(&records);
        std::cerr << "mask_fasta: duplicates: " << masked << " of " << total << " letters masked\n";
    }
    if (dust > 0) {
        long masked = 0;
        for (Record& r : records)
            masked += MaskLowComplexity(&r.seq, dust);
        std::cerr << "mask_fasta: DUST " << dust << ": " << masked << " of " << total << " letters masked\n";
    }
    WriteFasta(records);
    return 0;
}
