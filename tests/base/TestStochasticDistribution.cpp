// Beta and Dirichlet: how many generator values each draw consumes and in
// which order, their degenerate shapes, and their means.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "base/StochasticDistribution.h"

TEST(StochasticDistribution, BetaConsumesExactlyAPlusBValues)
{
    Rng rng;
    CStochasticDistribution dist(rng);
    const int shapes[][2] = {{1, 1}, {3, 5}, {0, 4}, {6, 0}, {7, 2}};
    for (const auto& s : shapes) {
        rng.seed(1234);
        double x = dist.Beta(s[0], s[1]);
        int next = rng.next();
        rng.seed(1234);
        double sx = 0.0, sy = 0.0;
        for (int i = 0; i < s[0]; i++)
            sx += log((rng.next() + 1.0) / 2147483649.0);
        for (int i = 0; i < s[1]; i++)
            sy += log((rng.next() + 1.0) / 2147483649.0);
        EXPECT_EQ(next, rng.next()) << s[0] << "," << s[1];
        if (s[0] > 0 && s[1] > 0) {
            EXPECT_EQ(sx / (sx + sy), x);
        }
    }
}

TEST(StochasticDistribution, BetaDegenerateShapes)
{
    Rng rng;
    CStochasticDistribution dist(rng);
    rng.seed(7);
    EXPECT_EQ(1.0, dist.Beta(3, 0));
    EXPECT_EQ(0.0, dist.Beta(0, 2));
    int before = rng.next();
    rng.seed(7);
    dist.Beta(3, 0);
    dist.Beta(0, 2);
    EXPECT_EQ(before, rng.next());
    rng.seed(9);
    EXPECT_EQ(0.5, dist.Beta(0, -1));   // no shape at all, no draw
    int after = rng.next();
    rng.seed(9);
    EXPECT_EQ(after, rng.next());
}

TEST(StochasticDistribution, DirichletOrderZeroShapesAndUniformFallback)
{
    Rng rng;
    CStochasticDistribution dist(rng);
    int alpha[] = {3, 0, 2};
    double out[3];
    rng.seed(42);
    dist.Dirichlet(alpha, 3, out);
    int next = rng.next();
    EXPECT_EQ(0.0, out[1]);
    EXPECT_NEAR(1.0, out[0] + out[1] + out[2], 1e-15);
    rng.seed(42);
    double a = 0.0, c = 0.0;
    for (int i = 0; i < 3; i++)
        a += log((rng.next() + 1.0) / 2147483649.0);
    for (int i = 0; i < 2; i++)
        c += log((rng.next() + 1.0) / 2147483649.0);
    EXPECT_EQ(next, rng.next());   // exactly 5 values consumed
    EXPECT_EQ(a / (a + c), out[0]);

    int none[] = {0, -2, 0, 0};
    double u[4];
    dist.Dirichlet(none, 4, u);
    for (double v : u)
        EXPECT_EQ(0.25, v);
}

TEST(StochasticDistribution, MeansWithinSixStandardErrors)
{
    Rng rng;
    CStochasticDistribution dist(rng);
    rng.seed(2024);
    const int n = 10000;
    double sum = 0.0;
    for (int i = 0; i < n; i++)
        sum += dist.Beta(3, 5);
    // Beta(3, 5): mean 3/8, variance 15 / (64 * 9).
    double se = sqrt(15.0 / 576.0 / n);
    EXPECT_NEAR(0.375, sum / n, 6 * se);

    int alpha[] = {1, 2, 5};
    double mean[3] = {0, 0, 0}, out[3];
    for (int i = 0; i < n; i++) {
        dist.Dirichlet(alpha, 3, out);
        for (int j = 0; j < 3; j++)
            mean[j] += out[j] / n;
    }
    for (int j = 0; j < 3; j++) {
        double p = alpha[j] / 8.0;
        double sd = sqrt(p * (1 - p) / 9.0 / n);
        EXPECT_NEAR(p, mean[j], 6 * sd);
    }
}
