// Input weight matrices: the matrices of the -M file replace the
// first motifs' matrices and widths for the first sweep.
//
// Matrices beyond the K-th are ignored; whenever
// a motif's width changes, its count matrix (zero-filled) and the driver's
// weight-matrix buffer are reallocated to the new width. main checks the
// file first (CheckPWMFile), so the guards below only keep memory and
// numbers safe when the file is not what the check saw (or when a caller
// skips the check): a header whose width lies outside 1..49 leaves its
// motif unchanged (a width-3 matrix is a valid example, so the reader takes
// widths below the check's 5), missing rows count as uniform rows, and a
// row that would not rescale to four positive finite probabilities (see
// RescalePWMRow) becomes 0.25 each.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "model/GibbsDP.h"
#include "model/PWMFormat.h"

// Splits one row line (NUL-terminated, as fgets leaves it) into four fields
// exactly as the format defines and converts each with strtod.
void SplitPWMRow(const char* line, double* values)
{
    const int len = (int)strlen(line);
    int start = 0;
    int end = 0;
    char field[1024];
    for (int l = 0; l < 4; l++) {
        for (int q = start + 1; q < len; q++) {
            if (line[q] == '\t' || line[q] == '\n') {
                end = q;
                break;
            }
        }
        int n = end - start;
        if (n < 0)
            n = 0;
        if (n > (int)sizeof field - 1)
            n = (int)sizeof field - 1;
        memcpy(field, line + start, n);
        field[n] = '\0';
        values[l] = strtod(field, nullptr);
        start = end;
        end = len;
    }
}

// The rescaling of one row: s = the sum of the four values, each
// value v becomes (v + 0.0025 s) / (1.01 s). False (out unspecified) when
// the result would not be four positive finite probabilities: a sum that
// is not a positive finite number, or a value so negative that the
// pseudo-count does not lift it above 0.
bool RescalePWMRow(const double* in, double* out)
{
    double s = in[0] + in[1] + in[2] + in[3];
    if (!(s > 0.0) || !std::isfinite(s))
        return false;
    for (int l = 0; l < 4; l++) {
        out[l] = (in[l] + 0.0025 * s) / (1.01 * s);
        if (!(out[l] > 0.0) || !std::isfinite(out[l]))
            return false;
    }
    return true;
}

void CGibbsDP::ReadInputPWM(double** pwm)
{
    if (!m_PWMFile.m_Data)
        return;
    FILE* f = fopen(m_PWMFile.m_Data, "r");
    if (!f)
        return;

    const int K = m_MotifNum;
    std::vector<char> replaced(K > 0 ? K : 1, 0);
    char line[1000];
    int i = -1;
    while (i < K - 1 && fgets(line, sizeof line, f)) {
        if (line[0] != '>')
            continue;
        i++;
        long w = strtol(line + 1, nullptr, 10);
        if (w < 1 || w > kPWMMaxWidth)
            continue;   // the motif keeps its matrix; the rows are skipped as other lines
        const int W = (int)w;
        SetMotifWidth(i, W);
        delete[] pwm[i];
        pwm[i] = new double[W * 4];
        replaced[i] = 1;
        for (int j = 0; j < W; j++) {
            double* v = pwm[i] + 4 * j;
            if (fgets(line, sizeof line, f)) {
                SplitPWMRow(line, v);
            } else {
                v[0] = v[1] = v[2] = v[3] = 1.0;   // the file ended early
            }
        }
    }
    fclose(f);

    for (int k = 0; k < K; k++) {
        if (!replaced[k])
            continue;
        for (int j = 0; j < m_Width[k]; j++) {
            double* v = pwm[k] + 4 * j;
            double r[4];
            if (!RescalePWMRow(v, r)) {
                v[0] = v[1] = v[2] = v[3] = 0.25;
                continue;
            }
            for (int l = 0; l < 4; l++)
                v[l] = r[l];
        }
    }
}
