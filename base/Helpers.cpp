// Implementation of the numeric and DNA-word helpers (see Helpers.h).
#include "base/Helpers.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

char Complement(char c)
{
    switch (c) {
    case 'A': return 'T';
    case 'T': return 'A';
    case 'C': return 'G';
    case 'G': return 'C';
    case 'R': return 'Y';
    case 'Y': return 'R';
    default: return c;   // S and W pair with themselves; N, lower case, others copied
    }
}

CString Reverse(CString word)
{
    CString out(word);
    int n = word.GetLength();
    for (int i = 0; i < n; i++)
        out.m_Data[n - 1 - i] = Complement(word.m_Data[i]);
    return out;
}

int WordCode(CString word)
{
    int code = 0;
    for (int i = 0; i < word.GetLength(); i++)
        code = code * 4 + LetterCode(word.m_Data[i]);
    return code;
}

int Sum(int* a, int n)
{
    int s = 0;
    for (int i = 0; i < n; i++)
        s += a[i];
    return s;
}

int Minimum(int* a, int n)
{
    int best = 0;
    for (int i = 1; i < n; i++)
        if (a[i] < a[best])
            best = i;
    return best;
}

int Maximum(double* a, int n)
{
    int best = 0;
    for (int i = 1; i < n; i++)
        if (a[i] > a[best])
            best = i;
    return best;
}

double logGamma(int n)
{
    double s = 0.0;
    for (int k = n - 1; k >= 2; k--)
        s += log((double)k);
    return s;
}

CString ReadData(CString line, int skip, int n, double* out)
{
    const char* text = line.m_Data ? line.m_Data : "";
    int len = line.GetLength();
    int p = -1;
    for (int s = 0; s < skip; s++) {
        const char* tab = p + 1 <= len ? strchr(text + p + 1, '\t') : nullptr;
        p = tab ? (int)(tab - text) : -1;
    }
    CString label;
    label = "";
    if (p > 0)
        label = line.Left(p);
    for (int j = 0; j < n; j++) {
        if (p >= len) {   // no field left on the line: a missing field reads 0
            out[j] = 0.0;
            continue;
        }
        const char* tab = strchr(text + p + 1, '\t');
        int q = tab ? (int)(tab - text) : len;
        CString field = line.Mid(p + 1, q - p - 1);
        out[j] = strtod(field.m_Data, nullptr);
        p = q;
    }
    return label;
}

int intpow(int a, int n)
{
    int r = 1;
    for (int i = 0; i < n; i++)
        r *= a;
    return r;
}
