// Sequence logos as inline SVG.
//
// A column's height is its information content in bits, 2 - H with H the
// Shannon entropy (log base 2) of its letter frequencies; each letter's
// share of it is its frequency times that height. Letters stack from the
// smallest at the bottom to the largest at the top; letters of zero height
// are left out. No small-sample correction is applied, so a column of one
// letter is exactly 2 bits and a uniform column is exactly empty.
#ifndef RUZARAVO_OUTPUT_HTML_LOGO_H
#define RUZARAVO_OUTPUT_HTML_LOGO_H

#include <string>
#include <vector>

#include "analysis/MotifSimilarity.h"

struct LogoLetter {
    char letter = 'A';
    double bits = 0;   // height in bits, > 0
};

// The stack of one column (counts or frequencies), bottom first.
std::vector<LogoLetter> LogoStack(const MotifColumn& column);

// Information content of a column in bits, 0 .. 2.
double ColumnBits(const MotifColumn& column);

struct LogoLayout {
    double columnWidth = 24;   // pixels per column
    double bitHeight = 40;     // pixels per bit
    int leadColumns = 0;       // empty columns before the first (to align two logos)
    int totalColumns = 0;      // columns of the drawing area; 0: leadColumns + motif width
    int firstLabel = 1;        // label of the motif's first column
    bool descending = false;   // labels count down (a reverse complement keeps the forward numbers)
};

// One <svg> element with class "logo <cssClass>": a bits axis, one stack
// per column, each letter a <path> of class "l<letter>" and the column
// numbers under the stacks.
std::string LogoSvg(const MotifProfile& motif, const std::string& cssClass, const LogoLayout& layout);

#endif
