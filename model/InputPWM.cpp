// Input weight matrices: the matrices of the -M file (any format that
// io/MatrixFile.h reads) replace the first motifs' matrices and widths
// for the first sweep, and their labels are kept as the motifs' seed names.
//
// Matrices beyond the K-th are ignored; whenever a motif's width changes,
// its count matrix (zero-filled) and the driver's weight-matrix buffer are
// reallocated to the new width. main checks the file first (CheckPWMFile),
// so the guards below only keep memory and numbers safe when the file is
// not what the check saw (or when a caller skips the check): a file that
// cannot be read changes nothing, a matrix whose width lies outside 1..49
// leaves its motif unchanged (a width-3 matrix is a valid example, so the
// reader takes widths below the check's 5), and a row that would not
// rescale to four positive finite probabilities (see RescalePWMRow)
// becomes 0.25 each.
#include <cmath>
#include <string>
#include <vector>

#include "model/GibbsDP.h"
#include "io/MatrixFile.h"
#include "model/PWMFormat.h"

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
    const int K = m_MotifNum;
    std::vector<MotifMatrix> given;
    std::string reason;
    if (K < 1 || !ReadMatrixFile(m_PWMFile.m_Data, &given, &reason, (size_t)K))
        return;   // the up-front check refuses such a file; here it changes nothing
    m_SeedMatrixNames.assign(K, std::string());
    for (int i = 0; i < (int)given.size(); i++) {
        const int W = (int)given[i].rows.size();
        if (W < 1 || W > kPWMMaxWidth)
            continue;   // the motif keeps its matrix
        SetMotifWidth(i, W);
        delete[] pwm[i];
        pwm[i] = new double[W * 4];
        for (int j = 0; j < W; j++) {
            double* v = pwm[i] + 4 * j;
            double r[4];
            if (!RescalePWMRow(given[i].rows[j].data(), r)) {
                v[0] = v[1] = v[2] = v[3] = 0.25;
                continue;
            }
            for (int l = 0; l < 4; l++)
                v[l] = r[l];
        }
        m_SeedMatrixNames[i] = given[i].Label();
    }
}
