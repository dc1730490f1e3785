// printf-style appending, finite doubles and quoted command lines; see TextFormat.h.
#include "output/TextFormat.h"

#include <cassert>
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

std::string CommandWords(const std::string& cmdLine)
{
    size_t nl = cmdLine.find('\n');
    std::string words = nl == std::string::npos ? cmdLine : cmdLine.substr(nl + 1);
    while (!words.empty() && words.back() == ' ')
        words.pop_back();
    return words;
}

double WritableLog10(double x)
{
    if (std::isnan(x))
        return 0.0;
    return x < -999.0 ? -999.0 : x > 999.0 ? 999.0 : x;
}

std::string PowerOfTenText(double exponent)
{
    if (std::isnan(exponent) || exponent == -INFINITY)
        return "0";
    assert(std::isfinite(exponent));
    double power = std::floor(exponent);
    std::string mantissa;
    AppendF(mantissa, "%.1f", std::pow(10.0, exponent - power));   // 1 <= value < 10 before rounding
    if (mantissa == "10.0") {   // 9.95 and above round up into the next power
        mantissa = "1.0";
        power += 1;
    }
    AppendF(mantissa, "e%c%02.0f", power < 0 ? '-' : '+', std::fabs(power));
    return mantissa;
}
