// Known-factor matches: planted matches against the shipped insect library
// (the motif itself and its reverse complement, hb against the all-A sqz,
// a full-length match against a perfect 5-column partial one), the exact
// null distribution against a brute-force enumeration, and calibration of
// the p-values on random motifs.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/KnownMatches.h"
#include "io/MatrixFile.h"

namespace {

const std::string kInsects =
    std::string(RUZARAVO_SOURCE_DIR) + "/data/jaspar2024/JASPAR2024_CORE_insects_non-redundant_pfms_transfac.txt";

std::vector<KnownFactor> Insects()
{
    std::vector<MotifMatrix> matrices;
    std::string reason;
    EXPECT_TRUE(ReadMatrixFile(kInsects, &matrices, &reason)) << reason;
    return KnownFactorsOf(matrices);
}

// Columns drawn from a symmetric Dirichlet(alpha), as probabilities.
MotifProfile DirichletMotif(std::mt19937& gen, int width, double alpha)
{
    std::gamma_distribution<double> g(alpha, 1.0);
    MotifProfile m(width);
    for (MotifColumn& c : m) {
        double sum = 0;
        for (double& v : c)
            sum += v = g(gen) + 1e-12;
        for (double& v : c)
            v /= sum;
    }
    return m;
}

// Each column mixed with a random one: (1 - weight) x column + weight x noise.
MotifProfile WithNoise(const MotifProfile& m, std::mt19937& gen, double weight)
{
    MotifProfile noise = DirichletMotif(gen, (int)m.size(), 1.0), out = m;
    for (std::size_t i = 0; i < m.size(); i++) {
        double sum = m[i][0] + m[i][1] + m[i][2] + m[i][3];
        for (int b = 0; b < 4; b++)
            out[i][b] = (1 - weight) * m[i][b] / sum + weight * noise[i][b];
    }
    return out;
}

// Each column's probabilities raised to the power and normalised: the
// sharper columns of a motif fitted to few sites.
MotifProfile Sharpened(const MotifProfile& m, double power)
{
    MotifProfile out = m;
    for (MotifColumn& c : out) {
        double sum = 0;
        for (double& v : c)
            sum += v = std::pow(v, power);
        for (double& v : c)
            v /= sum;
    }
    return out;
}

const KnownFactor& ById(const std::vector<KnownFactor>& lib, const std::string& id)
{
    for (const KnownFactor& k : lib)
        if (k.id == id)
            return k;
    ADD_FAILURE() << id << " not in the library";
    return lib.front();
}

// Rank (0 = best) of a library id among the matches, or the match count.
std::size_t RankOf(const std::vector<KnownMatch>& matches, const std::string& id)
{
    for (std::size_t r = 0; r < matches.size(); r++)
        if (matches[r].id == id)
            return r;
    return matches.size();
}

}  // namespace

// A library holding the found motif and its reverse complement matches both
// at full overlap and q < 0.05, on the right strands, ahead of all of JASPAR.
TEST(KnownMatches, TheMotifItselfAndItsReverseComplementMatchInFull)
{
    std::mt19937 gen(21);
    std::vector<KnownFactor> lib = Insects();
    const std::size_t jaspar = lib.size();
    for (int trial = 0; trial < 8; trial++) {
        int width = 6 + 2 * trial;
        MotifProfile m = DirichletMotif(gen, width, 0.5);
        std::vector<KnownFactor> with = lib;
        with.push_back({"self", "found", m});
        with.push_back({"self_rc", "found reversed", ReverseComplement(m)});
        KnownMatcher matcher(with);
        std::vector<KnownMatch> got = matcher.Match(m, 3);
        ASSERT_EQ(jaspar + 2, got.size());
        for (std::size_t r = 0; r < 2; r++) {
            const KnownMatch& k = got[r];
            SCOPED_TRACE("width " + std::to_string(width) + ", rank " + std::to_string(r));
            EXPECT_EQ(k.id == "self", k.forward);
            EXPECT_TRUE(k.id == "self" || k.id == "self_rc") << k.id;
            EXPECT_EQ(3u, k.motif);
            EXPECT_EQ(width, k.overlap);
            EXPECT_EQ(0, k.offset);
            EXPECT_NEAR(1.0, k.score, 1e-12);
            EXPECT_LT(k.q, 0.05);
            EXPECT_DOUBLE_EQ(k.p * (double)(jaspar + 2), k.e);
            EXPECT_LE(k.p, k.q);
        }
        // q-values follow p-values and never exceed 1.
        for (std::size_t r = 1; r < got.size(); r++) {
            EXPECT_LE(got[r - 1].p, got[r].p);
            EXPECT_LE(got[r - 1].q, got[r].q);
            EXPECT_LE(got[r].q, 1.0);
        }
    }
}

// The case: a cluster CATAAAAAAC was listed as sqz (all A, 6 columns)
// before hb (9 columns). Built from hb's own matrix with noise and a C added,
// the old mean-correlation ranking puts sqz first; the p-value puts hb first.
TEST(KnownMatches, HbOutranksTheShortAllASqz)
{
    std::vector<KnownFactor> lib = Insects();
    const KnownFactor& hb = ById(lib, "MA0049.1");
    ASSERT_EQ("hb", hb.name);
    ASSERT_EQ("sqz", ById(lib, "MA2108.1").name);
    std::vector<MotifProfile> libraryProfiles;
    for (const KnownFactor& k : lib)
        libraryProfiles.push_back(k.columns);
    KnownMatcher matcher(lib);
    std::mt19937 gen(5);
    int oldSqzFirst = 0;
    for (int trial = 0; trial < 20; trial++) {
        MotifProfile found = Sharpened(MotifProfile(hb.columns.begin() + 1, hb.columns.end()), 3);  // CATAAAAAA
        found.push_back({0.05, 0.85, 0.05, 0.05});                                                 // ...C
        found = WithNoise(found, gen, 0.1);
        std::vector<RankedMatch> old = BestMatches(found, libraryProfiles, 3);
        if (!old.empty() && lib[old[0].index].name == "sqz")
            oldSqzFirst++;
        std::vector<KnownMatch> got = matcher.Match(found, 0);
        std::size_t hbRank = RankOf(got, "MA0049.1"), sqzRank = RankOf(got, "MA2108.1");
        EXPECT_LT(hbRank, sqzRank) << "trial " << trial;
        EXPECT_LT(hbRank, 2u) << "trial " << trial;
        ASSERT_LT(hbRank, got.size());
        EXPECT_LT(got[hbRank].q, 0.05);
        EXPECT_EQ(9, got[hbRank].overlap);
        EXPECT_TRUE(got[hbRank].forward);
        EXPECT_EQ(-1, got[hbRank].offset);
    }
    EXPECT_GE(oldSqzFirst, 10) << "the case no longer shows the old ranking's fault";
}

// A library matrix whose last 5 columns are the found motif's first 5 (with
// a little noise) scores about 0.999 on them, above the full-length true
// match (the found motif is it plus noise); the true match must come first.
TEST(KnownMatches, FullLengthMatchOutranksANearPerfectFiveColumnOverlap)
{
    std::mt19937 gen(77);
    std::vector<KnownFactor> base = Insects();
    int oldPartialFirst = 0;
    for (int trial = 0; trial < 20; trial++) {
        MotifProfile truth = DirichletMotif(gen, 12, 0.3);
        MotifProfile found = WithNoise(truth, gen, 0.2);
        MotifProfile partial = DirichletMotif(gen, 7, 1.0), shared(found.begin(), found.begin() + 5);
        shared = WithNoise(shared, gen, 0.05);
        partial.insert(partial.end(), shared.begin(), shared.end());
        std::vector<KnownFactor> lib = base;
        lib.push_back({"partial", "", partial});
        lib.push_back({"truth", "", truth});
        MotifAlignment oldPartial = CompareMotifs(found, partial), oldTruth = CompareMotifs(found, truth);
        if (oldPartial.score > oldTruth.score)
            oldPartialFirst++;
        std::vector<KnownMatch> got = KnownMatcher(lib).Match(found, 0);
        ASSERT_FALSE(got.empty());
        EXPECT_EQ("truth", got[0].id) << "trial " << trial;
        EXPECT_EQ(12, got[0].overlap);
        EXPECT_LT(got[0].q, 0.05);
        EXPECT_LT(RankOf(got, "truth"), RankOf(got, "partial"));
        // Every placement lines up at least 5 columns (all motifs here are wider).
        for (const KnownMatch& k : got)
            EXPECT_GE(k.overlap, 5) << k.id;
    }
    EXPECT_GE(oldPartialFirst, 10) << "the case no longer shows the old ranking's fault";
}

// With one library matrix of width 5 and a found motif of width 5 there is
// one placement per strand, so the p-value can be checked against the sum's
// distribution enumerated over all 10^5 draws from the 10 pool columns.
TEST(KnownMatches, PValueIsTheExactTailOfTheNullSum)
{
    std::mt19937 gen(3);
    for (int trial = 0; trial < 5; trial++) {
        MotifProfile lib = DirichletMotif(gen, 5, 0.7), found = DirichletMotif(gen, 5, 0.7);
        MotifProfile pool = lib, rc = ReverseComplement(lib);
        for (int j = 4; j >= 0; j--)
            pool.push_back(rc[j]);   // the complemented columns, in any order
        auto bin = [](double s) { return (int)std::floor((s + 1) * 50 + 0.5); };
        int observed[2] = {0, 0};
        for (int i = 0; i < 5; i++) {
            observed[0] += bin(ColumnPearson(found[i], lib[i]));
            observed[1] += bin(ColumnPearson(found[i], rc[i]));
        }
        long atLeast[2] = {0, 0};
        int idx[5];
        for (long code = 0; code < 100000; code++) {
            long c = code;
            int sum = 0;
            for (int i = 0; i < 5; i++, c /= 10) {
                idx[i] = (int)(c % 10);
                sum += bin(ColumnPearson(found[i], pool[idx[i]]));
            }
            for (int s = 0; s < 2; s++)
                atLeast[s] += sum >= observed[s];
        }
        double best = std::min(atLeast[0], atLeast[1]) / 1e5;
        std::vector<KnownMatch> got = KnownMatcher({{"m", "", lib}}).Match(found, 0);
        ASSERT_EQ(1u, got.size());
        EXPECT_NEAR(1 - (1 - best) * (1 - best), got[0].p, 1e-12 + 1e-9 * got[0].p) << "trial " << trial;
        EXPECT_EQ(got[0].p, got[0].q);   // one library matrix: q = p = E
        EXPECT_EQ(got[0].p, got[0].e);
    }
}

// Random found motifs (Dirichlet columns) against the insect library: about
// 5 % of the (motif, library matrix) pairs reach p < 0.05 and about 1 %
// p < 0.01; a match with q < 0.05 comes up for about 5 % of the motifs, as
// Benjamini-Hochberg at 0.05 allows when no library matrix is related.
TEST(KnownMatches, PValuesAreCalibratedOnRandomMotifs)
{
    std::mt19937 gen(2024);
    KnownMatcher matcher(Insects());
    std::size_t pairs = 0, below = 0, belowOne = 0, withHit = 0;
    const int motifs = 60;
    for (int n = 0; n < motifs; n++) {
        MotifProfile m = DirichletMotif(gen, 8 + n % 8, n % 2 ? 0.5 : 1.0);
        bool hit = false;
        for (const KnownMatch& k : matcher.Match(m, n)) {
            pairs++;
            below += k.p < 0.05;
            belowOne += k.p < 0.01;
            hit = hit || k.q < 0.05;
        }
        withHit += hit;
    }
    double fraction = (double)below / (double)pairs;
    EXPECT_GT(fraction, 0.02) << below << " of " << pairs;
    EXPECT_LT(fraction, 0.08) << below << " of " << pairs;
    EXPECT_GT((double)belowOne / (double)pairs, 0.003) << belowOne << " of " << pairs;
    EXPECT_LT((double)belowOne / (double)pairs, 0.02) << belowOne << " of " << pairs;
    EXPECT_LE(withHit, 8u);
}

// Edge cases: an empty found motif matches nothing; matrices without columns
// are skipped and not counted; a library matrix narrower than 5 aligns all
// its columns; the filter keeps only q <= maxQ, in motif order.
TEST(KnownMatches, EdgeCasesAndTheQFilter)
{
    std::mt19937 gen(9);
    MotifProfile m = DirichletMotif(gen, 10, 0.4), shortOne(m.begin() + 2, m.begin() + 5);
    KnownMatcher matcher({{"empty", "", {}}, {"short", "", shortOne}, {"other", "", DirichletMotif(gen, 9, 0.4)}});
    EXPECT_TRUE(matcher.Match({}, 0).empty());
    std::vector<KnownMatch> got = matcher.Match(m, 0);
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ("short", got[0].id);
    EXPECT_EQ(1u, got[0].library);
    EXPECT_EQ(3, got[0].overlap);
    EXPECT_EQ(2, got[0].offset);
    EXPECT_DOUBLE_EQ(2 * got[0].p, got[0].e);
    std::vector<KnownMatch> all = MatchKnownFactors({m, m}, matcher, 1.0);
    ASSERT_EQ(4u, all.size());
    EXPECT_EQ(0u, all[1].motif);
    EXPECT_EQ(1u, all[2].motif);
    for (const KnownMatch& k : MatchKnownFactors({m, m}, matcher, got[0].q))
        EXPECT_LE(k.q, got[0].q);
}
