// Small text helpers shared by the writers: printf-style appending to a
// std::string (for numbers only; texts from the input are appended
// verbatim, never used as a format), finite printing of doubles, p-values
// given by their log10, and the command line as the files quote it. They
// stay with the writers rather than in base/: each encodes how an output
// file prints something (no "nan", MEME's E= form), not a general rule.
#ifndef RUZARAVO_OUTPUT_TEXTFORMAT_H
#define RUZARAVO_OUTPUT_TEXTFORMAT_H

#include <string>

// Appends the printf-formatted text to out.
void AppendF(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A NaN becomes 0 and an infinity the largest finite value of its sign,
// so no file ever holds "nan" or "inf".
double Printable(double x);

// 10^exponent the way "%.1e" prints a number ("3.2e-05", "1.0e+00"),
// worked from the exponent itself so that a p-value below the smallest
// double keeps its size ("4.1e-412"). A NaN or -infinity (the log of 0)
// gives "0".
std::string PowerOfTenText(double exponent);

// A log10 significance as the files print it: -infinity (a p-value of
// exactly 0, below every double) becomes -999, so an E-value is never
// written as 0, which readers take for the highest significance; a NaN
// becomes 0.
double WritableLog10(double x);

// The command-line words as typed: the command text of a result block
// (banner line, then the words each followed by a blank) without the
// banner line and the trailing blanks. summary.json and the report quote it.
std::string CommandWords(const std::string& cmdLine);

#endif
