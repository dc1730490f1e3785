// The random starting configuration and the collapsed log posterior score.
//
// RandPickSite places one module per sequence and, inside it, one forward
// site per motif, left to right in motif order; sequences of fewer than two
// letters get nothing. CalLogPostPrSample recounts every motif's letters
// from the site lists (so m_SiteNum and m_CountMat match the lists after
// every call) and scores the configuration; CalBayesianScore is the part of
// the score in which rho, pi and the weight matrices are integrated out.
//
// Random draws: RandPickSite takes, for each sequence of two or more
// letters in order, m_Rng.next() % (len - Lm + 1) for the module start and then
// m_Rng.next() % (spacing + 1) once per motif. The score draws nothing.
#include <cassert>
#include <climits>
#include <cmath>

#include "base/Helpers.h"
#include "base/Random.h"
#include "model/GibbsDP.h"

// logGamma takes an int. Products such as a x L are formed in 64 bits so
// that no input overflows. logGamma is 0 for every argument of 2 or less,
// so a negative count (modules longer than the input) is passed as 0: the
// same value, and logGamma never forms INT_MIN - 1. Every non-negative
// argument that fits an int is unchanged.
int CGibbsDP::LgArg(long long v)
{
    if (v > INT_MAX)
        return INT_MAX;
    if (v < 0)
        return 0;
    return (int)v;
}

void CGibbsDP::RandPickSite()
{
    int K = m_MotifNum;
    int sumWidth = Sum(m_Width, K);
    for (int i = 0; i < m_SeqNum; i++) {
        int len = m_Seq[i].GetLength();
        if (len < 2)
            continue;   // too short for a module; no number is drawn
        int Lm = m_ModLen < len ? m_ModLen : len;
        int spacing = (Lm - sumWidth) / K;
        if (spacing < 0)
            spacing = 0;   // sites packed from the start; those past the end are dropped
        MODULEINFO& mi = m_ModInfo[i];
        assert(mi.ModCount == 0 && mi.ModStart == nullptr);
        mi.ModCount = 1;
        mi.ModStart = new int[1];
        int start = RandBelow(m_Rng, len - Lm + 1);
        mi.ModStart[0] = start;
        int offset = 0;
        for (int k = 0; k < K; k++) {
            int r = RandBelow(m_Rng, spacing + 1);
            int pos = start + k * spacing + offset + r;
            offset += m_Width[k];
            if (pos + m_Width[k] > len)
                continue;
            SITEINFO* site = new SITEINFO;
            site->Strand = true;
            site->Pos = pos;
            site->Word = m_Seq[i].Mid(pos, m_Width[k]);
            AddSite(m_Sites[k][i], site);
        }
    }
    m_BestLogPost = CalLogPostPrSample();
    CopySample(m_Sites, m_BestSites);
}

double CGibbsDP::CalLogPostPrSample()
{
    int K = m_MotifNum;
    for (int k = 0; k < K; k++)
        m_SiteNum[k] = CalWeightMat(m_Sites[k], m_CountMat[k], m_Width[k]);
    int a = CountModule(m_ModInfo);
    double G = 0.0;
    for (int k = 0; k < K; k++)
        for (int i = 0; i < m_SeqNum; i++)
            for (SITEINFO* s = m_Sites[k][i]->Next; s; s = s->Next)
                G = G + CalLogBgPr(s->Word.m_Data, s->Word.GetLength());
    double score = CalBayesianScore(a, m_SiteNum, m_CountMat, m_Width, G);
    for (int i = 0; i < m_SeqNum; i++)
        score = score + m_ModInfo[i].LogRatio;
    return score;
}

// Log of the Poisson(15) width prior without its constant: w ln 15 - ln w!.
double CGibbsDP::WidthLogPrior(int w)
{
    return w * log(15.0) - logGamma(w + 1);
}

double CGibbsDP::CalBayesianScore(int a, int* n, int** C, int* w, double G)
{
    int K = m_MotifNum;
    long long T = m_TotalLen, L = m_ModLen, A = m_ModPriorA, B = m_ModPriorB;
    int* P = m_MotifPrior;
    int* Q = m_BasePrior;

    // Modules: one unit per module, one per letter outside modules.
    double s = m_LogGamma(LgArg(a + A));
    s = s + m_LogGamma(LgArg(T - a * L + B));
    s = s - m_LogGamma(LgArg(T - a * (L - 1) + A + B));

    // Mixing inside modules: each site counts as one position.
    long long m = a * L - Sum(n, K) + P[K];
    s = s + m_LogGamma(LgArg(m));
    for (int k = 0; k < K; k++) {
        s = s + logGamma(P[k] + n[k]);
        m = m + P[k] + n[k];
    }
    s = s - m_LogGamma(LgArg(m));

    // One Dirichlet-multinomial per motif column.
    int S = Q[0] + Q[1] + Q[2] + Q[3];
    for (int k = 0; k < K; k++) {
        for (int j = 0; j < w[k]; j++)
            for (int b = 0; b < 4; b++)
                s = s + logGamma(Q[b] + C[k][4 * j + b]);
        s = s - w[k] * logGamma(S + n[k]);
    }

    // The sites' letters are scored by the motif term, not the background.
    s = s - G;
    for (int k = 0; k < K; k++)
        s = s + WidthLogPrior(w[k]);
    return s;
}
