// A site's p-value equals the share of all 4^w words, weighted by the
// letter frequencies, that score at least as high; the reverse strand's is
// that of the reverse complement.
#include <gtest/gtest.h>

#include <cmath>

#include "scan/SitePValue.h"
#include "scan/ScanTestUtil.h"

TEST(SitePValue, EqualsTheWeightedShareOfEveryWordScoringAsHigh)
{
    const int w = 6;
    Rng rng(9);
    std::vector<double> logs(4 * w);
    for (int i = 0; i < w; i++) {
        double row[4], sum = 0.0;
        for (double& v : row)
            sum += v = 0.02 + (rng.next() % 1000) / 1000.0;
        for (int b = 0; b < 4; b++)
            logs[4 * i + b] = log(row[b] / sum);
    }
    const std::array<double, 4> q = {0.3, 0.2, 0.2, 0.3};
    SitePValue pv(logs, q);
    auto rounded = [&](const unsigned char* c) {
        long long s = 0;
        for (int i = 0; i < w; i++)
            s += std::lround(1000.0 * (logs[4 * i + c[i]] - log(q[c[i]])));
        return s;
    };
    std::vector<long long> score(1 << (2 * w));
    std::vector<double> weight(score.size());
    std::vector<unsigned char> word(w);
    for (size_t x = 0; x < score.size(); x++) {
        weight[x] = 1.0;
        for (int i = 0; i < w; i++) {
            word[i] = (x >> (2 * (w - 1 - i))) & 3;
            weight[x] *= q[word[i]];
        }
        score[x] = rounded(word.data());
    }
    for (size_t x = 0; x < score.size(); x += 97) {
        double tail = 0.0;
        for (size_t y = 0; y < score.size(); y++)
            if (score[y] >= score[x])
                tail += weight[y];
        for (int i = 0; i < w; i++)
            word[i] = (x >> (2 * (w - 1 - i))) & 3;
        EXPECT_NEAR(tail, pv.PValue(word.data()), 1e-12) << x;
        std::vector<unsigned char> rc(w);
        for (int i = 0; i < w; i++)
            rc[i] = 3 - word[w - 1 - i];
        EXPECT_EQ(pv.PValue(word.data()), pv.PValueReverse(rc.data()));
    }
}
