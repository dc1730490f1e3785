#include "app/InputWarnings.h"

#include <cstdio>
#include <map>

namespace {

// The record's name without '>' and without what follows the first blank,
// as BED and GFF3 files name it.
std::string ShortName(const std::string& name)
{
    std::string s = name.size() > 0 && name[0] == '>' ? name.substr(1) : name;
    size_t blank = s.find_first_of(" \t\r");
    return blank == std::string::npos ? s : s.substr(0, blank);
}

}  // namespace

std::vector<std::string> DuplicateNameWarnings(const std::vector<FastaRecord>& records)
{
    std::map<std::string, std::vector<int>> numbers;
    std::vector<std::string> order;
    for (size_t i = 0; i < records.size(); i++) {
        std::vector<int>& n = numbers[records[i].Name];
        if (n.size() == 1)
            order.push_back(records[i].Name);
        n.push_back((int)i + 1);
    }
    std::vector<std::string> lines;
    for (const std::string& name : order) {
        std::string line = "warning: records";
        const std::vector<int>& n = numbers[name];
        for (size_t k = 0; k < n.size(); k++)
            line += (k ? k + 1 == n.size() ? " and " : ", " : " ") + std::to_string(n[k]);
        lines.push_back(line + " share the name " + ShortName(name) +
                        "; their sites and modules carry the same name in every output");
    }
    return lines;
}

std::vector<std::string> SharedStretchWarnings(const std::vector<FastaRecord>& records,
                                               const std::vector<SharedStretch>& stretches, bool masked)
{
    std::vector<std::string> lines;
    for (const SharedStretch& s : stretches) {
        char text[160];
        snprintf(text, sizeof text, " %d-%d and ", s.firstStart + 1, s.firstStart + s.length);
        std::string line = "warning: " + ShortName(records[s.first].Name) + text + ShortName(records[s.second].Name);
        snprintf(text, sizeof text, " %d-%d%s share %d letters at %.1f %% identity", s.secondStart + 1,
                 s.secondStart + s.length, s.reverse ? " (reverse strand)" : "", s.length, 100.0 * s.identity);
        line += text;
        line += masked ? "; the second copy is masked (N)"
                       : "; their sites count twice (--mask-duplicates counts them once)";
        lines.push_back(line);
    }
    return lines;
}
