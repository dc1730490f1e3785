// Input weight matrices: the matrices of the -M file (any format that
// io/MatrixFile.h reads) replace the first motifs' matrices and widths
// for the first sweep, and their labels are kept as the motifs' seed names.
//
// Matrices beyond the K-th are ignored; whenever a motif's width changes,
// its count matrix (zero-filled) and the driver's weight-matrix buffer are
// reallocated to the new width. The matrices are read and checked once
// before the first run (LoadPWMFile), so the guards below only keep memory
// and numbers safe for a caller that hands over unchecked matrices: no
// matrices change nothing, a matrix whose width lies outside 1..49
// leaves its motif unchanged (a width-3 matrix is a valid example, so the
// reader takes widths below the check's 5), and a row that would not
// rescale to four positive finite probabilities (see RescalePWMRow)
// becomes 0.25 each.
#include <cmath>
#include <string>
#include <vector>

#include "model/GibbsDP.h"
#include "io/MatrixFile.h"

void CGibbsDP::ReadInputPWM(double** pwm)
{
    const int K = m_MotifNum;
    if (!m_GivenPWM || m_GivenPWM->empty() || K < 1)
        return;
    const std::vector<MotifMatrix>& given = *m_GivenPWM;
    m_SeedMatrixNames.assign(K, std::string());
    for (int i = 0; i < (int)given.size() && i < K; i++) {
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
