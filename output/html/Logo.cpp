// Sequence logo geometry and drawing (see the header).
//
// The letters are outlines drawn in a 100 x 100 box and scaled to each
// stack cell, so the page needs no font and looks the same in every
// browser.
#include "output/html/Logo.h"

#include <algorithm>
#include <cmath>

#include "output/html/HtmlText.h"

static const char kLetters[4] = {'A', 'C', 'G', 'T'};

// Outlines in a 100 x 100 box, origin top left.
static const char* LetterPath(char letter)
{
    switch (letter) {
    case 'A': return "M0 100L38 0H62L100 100H78L69 75H31L22 100ZM37 58H63L50 22Z";
    case 'C': return "M93 30A47 50 0 1 0 93 70L75 62A29 33 0 1 1 75 38Z";
    case 'G':
        return "M93 30A47 50 0 1 0 96 62V52H56V66H77A29 33 0 1 1 75 38Z";
    default: return "M0 0H100V18H60V100H40V18H0Z";
    }
}

double ColumnBits(const MotifColumn& column)
{
    double total = column[0] + column[1] + column[2] + column[3];
    if (total <= 0)
        return 0;
    double entropy = 0;
    for (double v : column) {
        if (v > 0) {
            double p = v / total;
            entropy -= p * std::log2(p);
        }
    }
    return std::max(0.0, 2.0 - entropy);
}

std::vector<LogoLetter> LogoStack(const MotifColumn& column)
{
    std::vector<LogoLetter> stack;
    double total = column[0] + column[1] + column[2] + column[3];
    double bits = ColumnBits(column);
    if (total <= 0 || bits <= 0)
        return stack;
    for (int b = 0; b < 4; b++) {
        double h = column[b] / total * bits;
        if (h > 0)
            stack.push_back({kLetters[b], h});
    }
    std::stable_sort(stack.begin(), stack.end(),
                     [](const LogoLetter& x, const LogoLetter& y) { return x.bits < y.bits; });
    return stack;
}

std::string LogoSvg(const MotifProfile& motif, const std::string& cssClass, const LogoLayout& layout)
{
    const double axis = 26, labelBand = 16, top = 4;
    int columns = layout.totalColumns > 0 ? layout.totalColumns : layout.leadColumns + (int)motif.size();
    double width = axis + columns * layout.columnWidth + 4;
    double plotHeight = 2 * layout.bitHeight;
    double height = top + plotHeight + labelBand;
    std::string svg = "<svg class=\"logo " + cssClass + "\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      Num(width, 0) + "\" height=\"" + Num(height, 0) + "\" viewBox=\"0 0 " + Num(width, 0) +
                      " " + Num(height, 0) + "\" role=\"img\">";
    // Bits axis: 0, 1 and 2 bits.
    double base = top + plotHeight;
    svg += "<path class=\"axis\" d=\"M" + Num(axis - 2, 1) + " " + Num(top, 1) + "V" + Num(base, 1) + "H" +
           Num(width - 2, 1) + "\"/>";
    for (int b = 0; b <= 2; b++) {
        double y = base - b * layout.bitHeight;
        svg += "<text class=\"tick\" x=\"" + Num(axis - 5, 1) + "\" y=\"" + Num(y + 3, 1) +
               "\" text-anchor=\"end\">" + std::to_string(b) + "</text>";
    }
    for (std::size_t c = 0; c < motif.size(); c++) {
        double x = axis + (layout.leadColumns + (double)c) * layout.columnWidth;
        double y = base;
        for (const LogoLetter& l : LogoStack(motif[c])) {
            double h = l.bits * layout.bitHeight;
            y -= h;
            svg += "<path class=\"l" + std::string(1, l.letter) + "\" transform=\"translate(" + Num(x + 1, 2) +
                   " " + Num(y, 2) + ") scale(" + Num((layout.columnWidth - 2) / 100, 4) + " " +
                   Num(h / 100, 4) + ")\" d=\"" + LetterPath(l.letter) + "\"/>";
        }
        int label = layout.descending ? layout.firstLabel - (int)c : layout.firstLabel + (int)c;
        svg += "<text class=\"col\" x=\"" + Num(x + layout.columnWidth / 2, 1) + "\" y=\"" +
               Num(height - 4, 1) + "\" text-anchor=\"middle\">" + std::to_string(label) + "</text>";
    }
    svg += "</svg>";
    return svg;
}
