// Known-factor library reader (see the header).
#include "htmlreport/KnownLibrary.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string word; in >> word;)
        w.push_back(word);
    return w;
}

// Four non-negative finite numbers with a positive sum, from words[first..].
bool ReadRow(const std::vector<std::string>& words, std::size_t first, MotifColumn* row)
{
    if (words.size() != first + 4)
        return false;
    double sum = 0;
    for (int b = 0; b < 4; b++) {
        const char* text = words[first + b].c_str();
        char* end = nullptr;
        double v = std::strtod(text, &end);
        if (end == text || *end != '\0' || !std::isfinite(v) || v < 0)
            return false;
        (*row)[b] = v;
        sum += v;
    }
    return sum > 0;
}

bool Fail(std::string* reason, int line, const std::string& what)
{
    *reason = "line " + std::to_string(line) + ": " + what;
    return false;
}

bool ReadOwnLayout(const std::vector<std::string>& lines, std::vector<KnownMotif>* out, std::string* reason)
{
    for (std::size_t i = 0; i < lines.size(); i++) {
        if (lines[i].empty() || lines[i][0] != '>')
            continue;   // text between matrices is ignored
        std::vector<std::string> head = Words(lines[i].substr(1));
        long width = head.empty() ? 0 : std::strtol(head[0].c_str(), nullptr, 10);
        if (width < 1 || width > 1000)
            return Fail(reason, (int)i + 1, "a matrix header must give its width (\">12 MA0001.1 name\")");
        KnownMotif m;
        m.id = head.size() > 1 ? head[1] : "matrix" + std::to_string(out->size() + 1);
        for (std::size_t w = 2; w < head.size(); w++)
            m.name += (w > 2 ? " " : "") + head[w];
        for (long r = 0; r < width; r++) {
            std::size_t at = i + 1 + r;
            MotifColumn row{};
            if (at >= lines.size() || !ReadRow(Words(lines[at]), 0, &row))
                return Fail(reason, (int)at + 1, "expected row " + std::to_string(r + 1) + " of " +
                                                     std::to_string(width) +
                                                     ": four non-negative numbers for A, C, G, T");
            m.matrix.push_back(row);
        }
        out->push_back(m);
        i += width;
    }
    return true;
}

bool ReadTransfac(const std::vector<std::string>& lines, std::vector<KnownMotif>* out, std::string* reason)
{
    KnownMotif m;
    bool inRows = false;
    for (std::size_t i = 0; i < lines.size(); i++) {
        std::vector<std::string> w = Words(lines[i]);
        if (w.empty())
            continue;
        const std::string& tag = w[0];
        if (inRows && (tag == "XX" || tag == "//")) {
            inRows = false;
            if (m.matrix.empty())
                return Fail(reason, (int)i + 1, "matrix " + m.id + " has no rows");
            out->push_back(m);
            m = KnownMotif();
        } else if (inRows) {
            MotifColumn row{};
            if (!ReadRow(w, 1, &row))
                return Fail(reason, (int)i + 1, "expected a position number and four non-negative numbers");
            m.matrix.push_back(row);
        } else if (tag == "AC" && w.size() > 1) {
            m.id = w[1];
        } else if (tag == "ID" && w.size() > 1) {
            m.name = w[1];
        } else if (tag == "PO" || tag == "P0") {
            inRows = true;
            if (m.id.empty())
                m.id = m.name.empty() ? "matrix" + std::to_string(out->size() + 1) : m.name;
        }
    }
    if (inRows && !m.matrix.empty())
        out->push_back(m);   // a last matrix without its closing line
    return true;
}

bool IsTransfac(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        std::vector<std::string> w = Words(line);
        if (!w.empty() && (w[0] == "PO" || w[0] == "P0"))
            return true;
    }
    return false;
}

}  // namespace

bool ReadKnownLibrary(const std::string& path, std::vector<KnownMotif>* out, std::string* reason)
{
    out->clear();
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        *reason = "is not a readable file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *reason = "cannot be opened";
        return false;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    if (in.bad()) {
        *reason = "cannot be read";
        return false;
    }
    bool ok = IsTransfac(lines) ? ReadTransfac(lines, out, reason) : ReadOwnLayout(lines, out, reason);
    if (ok && out->empty()) {
        *reason = "holds no matrix (expected the weight-matrix layout of -M or TRANSFAC)";
        ok = false;
    }
    if (!ok)
        out->clear();
    return ok;
}
