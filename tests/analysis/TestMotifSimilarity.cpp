// Motif similarity: known cases (identity, the other strand, a shifted
// part, too short an overlap) and properties over many random motifs,
// checked against a brute-force scan written independently here.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/MotifSimilarity.h"

namespace {

MotifProfile FromConsensus(const std::string& word, double strong = 0.85)
{
    MotifProfile m;
    for (char c : word) {
        MotifColumn col{};
        col.fill((1 - strong) / 3);
        col[std::string("ACGT").find(c)] = strong;
        m.push_back(col);
    }
    return m;
}

MotifProfile RandomMotif(std::mt19937& gen, int width)
{
    std::gamma_distribution<double> g(0.5, 1.0);
    MotifProfile m(width);
    for (MotifColumn& c : m)
        for (double& v : c)
            v = g(gen) + 1e-9;
    return m;
}

double Pearson(const MotifColumn& x, const MotifColumn& y)
{
    double n = 4, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int i = 0; i < 4; i++) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        syy += y[i] * y[i];
        sxy += x[i] * y[i];
    }
    double cov = sxy - sx * sy / n, vx = sxx - sx * sx / n, vy = syy - sy * sy / n;
    return vx > 1e-15 && vy > 1e-15 ? cov / std::sqrt(vx * vy) : 0;
}

// Best score over every placement of both orientations, by brute force.
double BruteBest(const MotifProfile& a, const MotifProfile& b, int minOverlap, bool& any)
{
    any = false;
    double best = -2;
    for (int strand = 0; strand < 2; strand++) {
        MotifProfile bb = b;
        if (strand == 1) {
            std::reverse(bb.begin(), bb.end());
            for (MotifColumn& c : bb)
                c = {c[3], c[2], c[1], c[0]};
        }
        for (int off = -(int)bb.size(); off <= (int)a.size(); off++) {
            double sum = 0;
            int n = 0;
            for (int j = 0; j < (int)bb.size(); j++) {
                int i = j + off;
                if (i >= 0 && i < (int)a.size()) {
                    sum += Pearson(a[i], bb[j]);
                    n++;
                }
            }
            if (n >= minOverlap) {
                any = true;
                best = std::max(best, sum / n);
            }
        }
    }
    return best;
}

}  // namespace

TEST(MotifSimilarity, KnownCases)
{
    MotifProfile m = FromConsensus("TTGACGCAAT");
    MotifAlignment self = CompareMotifs(m, m);
    ASSERT_TRUE(self.found);
    EXPECT_NEAR(self.score, 1.0, 1e-12);
    EXPECT_EQ(self.offset, 0);
    EXPECT_TRUE(self.forward);
    EXPECT_EQ(self.overlap, 10);

    // The same motif written on the other strand is found there, fully aligned.
    MotifAlignment rc = CompareMotifs(m, ReverseComplement(m));
    ASSERT_TRUE(rc.found);
    EXPECT_NEAR(rc.score, 1.0, 1e-12);
    EXPECT_FALSE(rc.forward);
    EXPECT_EQ(rc.offset, 0);

    // A part of the motif lines up where it came from.
    MotifProfile part(m.begin() + 3, m.begin() + 9);
    MotifAlignment sub = CompareMotifs(m, part);
    EXPECT_NEAR(sub.score, 1.0, 1e-12);
    EXPECT_EQ(sub.offset, 3);
    EXPECT_EQ(sub.overlap, 6);
    MotifAlignment subRc = CompareMotifs(m, ReverseComplement(part));
    EXPECT_NEAR(subRc.score, 1.0, 1e-12);
    EXPECT_FALSE(subRc.forward);
    EXPECT_EQ(subRc.offset, 3);

    // Fewer than five columns can never be compared.
    MotifProfile four = FromConsensus("ACGT");
    EXPECT_FALSE(CompareMotifs(m, four).found);
    EXPECT_FALSE(CompareMotifs(four, m).found);
    EXPECT_TRUE(CompareMotifs(m, FromConsensus("TTGAC")).found);
    // An explicit larger minimum rejects a six-column part.
    EXPECT_FALSE(CompareMotifs(m, part, 7).found);

    // Columns with no spread count as 0; opposite columns as -1.
    EXPECT_EQ(ColumnPearson({1, 1, 1, 1}, {1, 0, 0, 0}), 0.0);
    EXPECT_NEAR(ColumnPearson({1, 0, 0, 0}, {0, 1, 1, 1}), -1.0, 1e-12);
    // Counts and frequencies give the same score.
    MotifProfile counts = m;
    for (MotifColumn& c : counts)
        for (double& v : c)
            v *= 37;
    EXPECT_NEAR(CompareMotifs(m, counts).score, 1.0, 1e-12);
}

TEST(MotifSimilarity, BestPlacementOverRandomMotifs)
{
    std::mt19937 gen(12345);
    std::uniform_int_distribution<int> width(3, 16);
    for (int trial = 0; trial < 400; trial++) {
        MotifProfile a = RandomMotif(gen, width(gen)), b = RandomMotif(gen, width(gen));
        bool any = false;
        double brute = BruteBest(a, b, kMinMotifOverlap, any);
        MotifAlignment al = CompareMotifs(a, b);
        ASSERT_EQ(al.found, any) << "trial " << trial;
        if (!any)
            continue;
        EXPECT_NEAR(al.score, brute, 1e-9) << "trial " << trial;
        EXPECT_GE(al.overlap, kMinMotifOverlap);
        EXPECT_LE(al.score, 1 + 1e-12);
        EXPECT_GE(al.score, -1 - 1e-12);
        // The reported placement reproduces the reported score.
        MotifProfile bb = al.forward ? b : ReverseComplement(b);
        double sum = 0;
        int n = 0;
        for (int j = 0; j < (int)bb.size(); j++) {
            int i = j + al.offset;
            if (i >= 0 && i < (int)a.size()) {
                sum += Pearson(a[i], bb[j]);
                n++;
            }
        }
        EXPECT_EQ(n, al.overlap);
        EXPECT_NEAR(sum / n, al.score, 1e-9);
        // Similarity does not depend on which motif is the query.
        EXPECT_NEAR(CompareMotifs(b, a).score, al.score, 1e-9);
    }
}

TEST(MotifSimilarity, BestMatchesRanksALibrary)
{
    std::mt19937 gen(7);
    std::vector<MotifProfile> library;
    for (int i = 0; i < 30; i++)
        library.push_back(RandomMotif(gen, 8 + i % 6));
    library.push_back(FromConsensus("ACG"));   // too short to be compared
    MotifProfile query = FromConsensus("GGGATTACAGG");
    // The query's reverse complement, inside a longer matrix, hides at entry 17.
    MotifProfile planted = RandomMotif(gen, 3);
    MotifProfile rc = ReverseComplement(query);
    planted.insert(planted.end(), rc.begin(), rc.end());
    library[17] = planted;

    std::vector<RankedMatch> best = BestMatches(query, library, 3);
    ASSERT_EQ(best.size(), 3u);
    EXPECT_EQ(best[0].index, 17u);
    EXPECT_NEAR(best[0].alignment.score, 1.0, 1e-12);
    EXPECT_FALSE(best[0].alignment.forward);
    // Turned round, the entry starts with the query and ends with the three extra columns.
    EXPECT_EQ(best[0].alignment.offset, 0);
    EXPECT_EQ(best[0].alignment.overlap, 11);
    EXPECT_GE(best[0].alignment.score, best[1].alignment.score);
    EXPECT_GE(best[1].alignment.score, best[2].alignment.score);
    std::vector<RankedMatch> all = BestMatches(query, library, 1000);
    EXPECT_EQ(all.size(), 30u);   // the three-column entry is left out
}
