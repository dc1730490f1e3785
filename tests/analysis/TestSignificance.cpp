// Fisher's test against the hypergeometric tail summed by hand, and
// Benjamini-Hochberg q-values against their definition.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "analysis/Significance.h"

TEST(Significance, FisherTailMatchesDirectSum)
{
    // 8 of 10 input sequences, 2 of 10 control: tail 0.01151 (R's fisher.test, greater).
    EXPECT_NEAR(0.011507, std::exp(FisherUpperLogP(8, 10, 2, 10)), 1e-6);
    EXPECT_EQ(0.0, FisherUpperLogP(0, 10, 5, 10));
    EXPECT_NEAR(0.0, FisherUpperLogP(5, 10, 10, 10), 1e-12);   // every sequence: p = 1
    // Far tails stay finite in logs: 1000 of 1000 against 0 of 1000.
    double lp = FisherUpperLogP(1000, 1000, 0, 1000);
    EXPECT_TRUE(std::isfinite(lp));
    EXPECT_NEAR(-2000 * std::log(2.0) + 0.5 * std::log(M_PI * 1000), lp, 0.01);   // 1 / C(2000, 1000)
    // Direct sum of the hypergeometric terms for many small tables.
    for (int n1 = 1; n1 <= 8; n1++)
        for (int n2 = 1; n2 <= 8; n2++)
            for (int a = 1; a <= n1; a++)
                for (int b = 0; b <= n2; b++) {
                    double total = 0, tail = 0;
                    for (int x = 0; x <= std::min(n1, a + b); x++) {
                        if (a + b - x > n2)
                            continue;
                        double t = std::tgamma(n1 + 1.0) / std::tgamma(x + 1.0) / std::tgamma(n1 - x + 1.0) *
                                   std::tgamma(n2 + 1.0) / std::tgamma(a + b - x + 1.0) /
                                   std::tgamma(n2 - (a + b - x) + 1.0);
                        total += t;
                        if (x >= a)
                            tail += t;
                    }
                    EXPECT_NEAR(tail / total, std::exp(FisherUpperLogP(a, n1, b, n2)), 1e-9);
                }
}

TEST(Significance, BenjaminiHochbergFollowsItsDefinition)
{
    std::mt19937 gen(9);
    std::uniform_real_distribution<double> u(0, 1);
    for (int rep = 0; rep < 50; rep++) {
        std::vector<double> p(1 + gen() % 30);
        for (double& x : p)
            x = std::pow(u(gen), 3);
        std::vector<double> q = BenjaminiHochberg(p);
        const size_t m = p.size();
        for (size_t i = 0; i < m; i++) {
            double best = 1.0;
            for (size_t j = 0; j < m; j++) {
                if (p[j] < p[i])
                    continue;
                size_t rank = std::count_if(p.begin(), p.end(), [&](double x) { return x <= p[j]; });
                best = std::min(best, p[j] * m / rank);
            }
            EXPECT_NEAR(best, q[i], 1e-12);
            EXPECT_GE(q[i], p[i] * (1 - 1e-12));
        }
    }
    EXPECT_TRUE(BenjaminiHochberg({}).empty());
}
