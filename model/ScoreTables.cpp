#include "model/ScoreTables.h"

int PrefixDepthFor(long long letters, int K)
{
    int d = 1;
    while (d < kMaxPrefixDepth && (1LL << (2 * (d + 1))) <= letters &&
           (long long)K * (1LL << (2 * (d + 1))) <= kPrefixTableDoubles)
        d++;
    return d;
}

void BuildPrefixSums(const int* widths, int K, int cap, ScoreTables* t)
{
    t->depth.assign(K, 1);
    t->prefixOffset.assign(K + 1, 0);
    t->maxDepth = 1;
    for (int k = 0; k < K; k++) {
        const int d = widths[k] < cap ? widths[k] : cap;
        t->depth[k] = d < 1 ? 1 : d;
        t->maxDepth = t->depth[k] > t->maxDepth ? t->depth[k] : t->maxDepth;
        t->prefixOffset[k + 1] = t->prefixOffset[k] + ((size_t)1 << (2 * t->depth[k]));
    }
    t->prefix.resize(t->prefixOffset[K]);
    for (int k = 0; k < K; k++) {
        const double* lp = t->logs.data() + t->offset[k];
        double* table = t->prefix.data() + t->prefixOffset[k];
        for (int c = 0; c < 4; c++)
            table[c] = 0.0 + lp[c];
        // Level j + 1 from level j in place: entry a of level j feeds
        // entries 4a .. 4a + 3, all at or above a, so taking a from the top
        // down reads every entry before it is overwritten.
        for (int j = 1; j < t->depth[k]; j++) {
            const double* col = lp + 4 * j;
            for (size_t a = (size_t)1 << (2 * j); a-- > 0;) {
                const double sum = table[a];
                for (int c = 3; c >= 0; c--)
                    table[4 * a + c] = sum + col[c];
            }
        }
    }
}
