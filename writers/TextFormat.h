// Small text helpers shared by the writers: printf-style appending to a
// std::string (for numbers only; texts from the input are appended
// verbatim, never used as a format), and finite printing of doubles.
#ifndef RUZARAVO_WRITERS_TEXTFORMAT_H
#define RUZARAVO_WRITERS_TEXTFORMAT_H

#include <string>

// Appends the printf-formatted text to out.
void AppendF(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A NaN becomes 0 and an infinity the largest finite value of its sign,
// so no file ever holds "nan" or "inf".
double Printable(double x);

#endif
