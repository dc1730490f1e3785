// Position order of genome-coordinate lines; see PlaceOrder.h. The lines
// are sorted as views into the text and copied once, so sorting a large
// bedGraph costs one pass of copying.
#include "output/PlaceOrder.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

struct PlacedLine {
    std::string_view chrom;   // column 1
    long long start;          // the start column
    std::string_view text;    // the whole line, line break included
};

// The start column of a line (0 when missing or not a number).
long long StartOf(std::string_view line, int startColumn)
{
    size_t at = 0;
    for (int column = 1; column < startColumn; column++) {
        at = line.find('\t', at);
        if (at == std::string_view::npos)
            return 0;
        at++;
    }
    std::string field(line.substr(at, line.find('\t', at) - at));
    return std::strtoll(field.c_str(), nullptr, 10);
}

}  // namespace

std::string SortedByPlace(const std::string& text, int startColumn)
{
    std::vector<PlacedLine> lines;
    std::string_view all(text);
    for (size_t from = 0; from < all.size();) {
        size_t end = all.find('\n', from);
        end = end == std::string_view::npos ? all.size() : end + 1;
        std::string_view line = all.substr(from, end - from);
        lines.push_back(PlacedLine{line.substr(0, line.find_first_of("\t\n")), StartOf(line, startColumn), line});
        from = end;
    }
    // string_view compares as unsigned bytes, as sort does in the C locale.
    std::stable_sort(lines.begin(), lines.end(), [](const PlacedLine& a, const PlacedLine& b) {
        int c = a.chrom.compare(b.chrom);
        return c != 0 ? c < 0 : a.start < b.start;
    });
    std::string out;
    out.reserve(text.size());
    for (const PlacedLine& l : lines)
        out += l.text;
    return out;
}
