// Beta and Dirichlet draws (see StochasticDistribution.h for the draw order).
#include "base/StochasticDistribution.h"

#include <cmath>

#include "base/Random.h"

double CStochasticDistribution::SumLogUniforms(int count)
{
    double s = 0.0;
    for (int i = 0; i < count; i++)
        s = s + log(RandOpen(m_Rng));
    return s;
}

double CStochasticDistribution::Beta(int a, int b)
{
    double x = SumLogUniforms(a);
    double y = SumLogUniforms(b);
    if (a <= 0 && b <= 0)
        return 0.5;   // no shape at all: 0/0 otherwise
    return x / (x + y);
}

void CStochasticDistribution::Dirichlet(int* alpha, int n, double* out)
{
    double s = 0.0;
    for (int i = 0; i < n; i++) {
        out[i] = SumLogUniforms(alpha[i]);
        s = s + out[i];
    }
    if (s == 0.0) {   // every shape <= 0: 0/0 otherwise
        for (int i = 0; i < n; i++)
            out[i] = 1.0 / n;
        return;
    }
    for (int i = 0; i < n; i++)
        out[i] = out[i] / s;
}
