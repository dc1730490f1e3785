// Text helpers for the HTML report: escaping and fixed-point numbers.
//
// Every text that comes from the input or the command line passes through
// Escape before it reaches the page, so a sequence name such as
// "<script>" is shown, never run. Numbers are formatted with the C
// library in the "C" locale the program runs in: '.' as decimal point.
#ifndef RUZARAVO_OUTPUT_HTML_HTMLTEXT_H
#define RUZARAVO_OUTPUT_HTML_HTMLTEXT_H

#include <string>

// &, <, >, " and ' replaced by entities; other bytes unchanged.
std::string Escape(const std::string& text);

// value with `decimals` digits after the point ("-0" printed as "0").
std::string Num(double value, int decimals);

#endif
