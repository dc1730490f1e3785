// printf-style appending and finite doubles; see TextFormat.h.
#include "writers/TextFormat.h"

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

void AppendF(std::string& out, const char* format, ...)
{
    char buf[256];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n < 0)
        return;
    if (n < (int)sizeof buf) {
        out.append(buf, n);
        return;
    }
    std::vector<char> big(n + 1);
    va_start(args, format);
    vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    out.append(big.data(), n);
}

double Printable(double x)
{
    if (std::isnan(x))
        return 0.0;
    if (std::isinf(x))
        return x > 0 ? DBL_MAX : -DBL_MAX;
    return x;
}
