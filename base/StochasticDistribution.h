// Beta and Dirichlet variates with integer shapes, built from sums of
// logarithms of uniform draws (exact for integer shapes: the sum of a
// logarithms of uniforms is minus a Gamma(a, 1) variate).
//
// Random draws: Beta(a, b) takes a + b values, a for the first shape then b
// for the second; Dirichlet takes alpha[0] values for component 0, then
// alpha[1] for component 1, and so on. Shapes <= 0 take none.
#ifndef RUZARAVO_BASE_STOCHASTICDISTRIBUTION_H
#define RUZARAVO_BASE_STOCHASTICDISTRIBUTION_H

#include "base/Rng.h"

class CStochasticDistribution {
public:
    // Draws from rng, which must outlive the object.
    explicit CStochasticDistribution(Rng& rng) : m_Rng(rng) {}

    // Beta(a, b) in (0, 1); 1 when b <= 0 < a, 0 when a <= 0 < b, and 0.5
    // when both shapes are <= 0 (no draw).
    double Beta(int a, int b);
    // Fills out[0..n-1] with a Dirichlet(alpha) vector; components with a
    // shape <= 0 are exactly 0; every shape <= 0 gives the uniform vector.
    void Dirichlet(int* alpha, int n, double* out);

private:
    double SumLogUniforms(int count);

    Rng& m_Rng;   // the run's generator
};

#endif
