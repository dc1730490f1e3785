// Hand-built sampler states for the sampler tests: sequences, widths,
// empty site lists, no modules, all priors 1, and position tables filled
// from a small generator of the tests' own (so no run's generator is touched).
#ifndef RUZARAVO_TESTS_SAMPLER_SAMPLERFIXTURE_H
#define RUZARAVO_TESTS_SAMPLER_SAMPLERFIXTURE_H

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "base/Helpers.h"
#include "model/GibbsDP.h"
#include "support/TestSupport.h"

inline void MakeState(CGibbsDP& g, const std::vector<std::string>& seqs, const std::vector<int>& widths,
                      int modLen, bool bothStrands)
{
    int K = (int)widths.size(), N = (int)seqs.size();
    g.m_MotifNum = K;
    g.m_SeqNum = N;
    g.m_ModLen = modLen;
    g.m_BothStrand = bothStrands;
    g.m_MinWidth = 3;
    g.m_MaxWidth = 20;
    g.m_Seq = new CString[N];
    g.m_TotalLen = 0;
    for (int i = 0; i < N; i++) {
        g.m_Seq[i] = seqs[i].c_str();
        g.m_TotalLen += (int)seqs[i].size();
    }
    g.m_Width = new int[K];
    g.m_CountMat = new int*[K];
    g.m_SiteNum = new int[K + 1]();
    g.m_MotifPrior = new int[K + 1];
    g.m_Sites = NewSiteTable(K, N);
    g.m_BestSites = NewSiteTable(K, N);
    for (int k = 0; k < K; k++) {
        g.m_Width[k] = widths[k];
        g.m_CountMat[k] = new int[4 * widths[k]]();
    }
    for (int k = 0; k <= K; k++)
        g.m_MotifPrior[k] = 1;
    g.m_ModInfo = new MODULEINFO[N];
    for (int i = 0; i < N; i++)
        g.m_ModInfo[i] = MODULEINFO{0, nullptr, 0.0, 0.0};
    g.m_ModPriorA = 1;
    g.m_ModPriorB = 1;
}

// Adds a site of motif k to sequence i (word taken from the sequence).
inline void PutSite(CGibbsDP& g, int k, int i, int pos, bool forward, int width)
{
    SITEINFO* s = new SITEINFO;
    s->Pos = pos;
    s->Strand = forward;
    s->Word = g.m_Seq[i].Mid(pos, width);
    if (!forward)
        s->Word = Reverse(s->Word);
    g.AddSite(g.m_Sites[k][i], s);
}

inline void SetModules(CGibbsDP& g, int i, const std::vector<int>& starts)
{
    MODULEINFO& mi = g.m_ModInfo[i];
    delete[] mi.ModStart;
    mi.ModCount = (int)starts.size();
    mi.ModStart = starts.empty() ? nullptr : new int[starts.size()];
    for (size_t j = 0; j < starts.size(); j++)
        mi.ModStart[j] = starts[j];
}

// Deterministic numbers in [lo, hi) from the tests' own generator.
class CTestRandom {
public:
    explicit CTestRandom(unsigned seed) : m_State(seed) {}
    double Uniform(double lo, double hi)
    {
        m_State = m_State * 1103515245u + 12345u;
        return lo + (hi - lo) * ((m_State >> 8) & 0xffffff) / 16777216.0;
    }
    int Below(int n) { return (int)Uniform(0, n); }
    unsigned m_State;
};

// A position table of len rows and 2K + 1 columns: motif columns in
// [-6, 0) (or -2000 where a word of that width cannot end yet), the
// background column in [-2, -1).
inline std::vector<double> MakeTable(const CGibbsDP& g, int len, unsigned seed)
{
    int K = g.m_MotifNum, stride = 2 * K + 1;
    CTestRandom r(seed);
    std::vector<double> t(len * stride);
    for (int p = 0; p < len; p++) {
        for (int k = 0; k < K; k++)
            for (int s = 0; s < 2; s++)
                t[p * stride + 2 * k + s] =
                    p < g.m_Width[k] - 1 || (s == 1 && !g.m_BothStrand) ? NoSiteLogPr : r.Uniform(-6, 0);
        t[p * stride + 2 * K] = r.Uniform(-2, -1);
    }
    return t;
}

// Number of generator values op consumed from rng: seed it, run op, take
// the next value; reseed and find that value's place in the stream.
inline int DrawsTaken(Rng& rng, unsigned seed, const std::function<void()>& op)
{
    rng.seed(seed);
    op();
    int next = rng.next();
    Rng fresh(seed);
    for (int n = 0; n < 100000; n++)
        if (fresh.next() == next)
            return n;
    return -1;
}

// The n-th value (0-based) of the stream of a seed.
inline int NthRand(unsigned seed, int n)
{
    Rng rng(seed);
    for (int i = 0; i < n; i++)
        rng.next();
    return rng.next();
}

#endif
