// Metropolis-Hastings moves on all sites of one motif at once: one column
// more or less at one end (UpdateWidth), or every site moved by one
// position (PhaseShift). Each move rebuilds the motif's sites from the
// sequences into a complete proposal (new head nodes, one new site per old
// site, same order), scores the old and the new count matrix, and either
// installs the proposal or frees it. Sites never leave their sequence: an
// end where some site already touches a sequence end is blocked for growth
// and shifts. m_SiteNum is unchanged: the moves keep every site.
//
// Random draws: UpdateWidth takes two m_Rng.next() / 2147483648.0 (end, then
// direction), PhaseShift one (direction); both then take MH's draw, which
// is one m_Rng.next() / 2147483647.0 only when the log ratio lies in [-200, 0].
// Draws for end and direction are made even when the move is refused.
#include <cmath>

#include "base/Helpers.h"
#include "base/Random.h"
#include "model/GibbsDP.h"

void CGibbsDP::CheckBoundary(SITEINFO** lists, bool* flags)
{
    flags[0] = false;   // left end blocked
    flags[1] = false;   // right end blocked
    for (int i = 0; i < m_SeqNum; i++) {
        int len = m_Seq[i].GetLength();
        for (SITEINFO* s = lists[i]->Next; s; s = s->Next) {
            int last = len - s->Word.GetLength();
            if (s->Pos == 0)
                flags[s->Strand ? 0 : 1] = true;
            if (s->Pos == last)
                flags[s->Strand ? 1 : 0] = true;
        }
        if (flags[0] && flags[1])
            return;
    }
}

SITEINFO** CGibbsDP::BuildMovedSites(int k, int width, int fwdShift, int revShift, double* gOld,
                                     double* gNew)
{
    SITEINFO** heads = new SITEINFO*[m_SeqNum];
    *gOld = 0.0;
    *gNew = 0.0;
    for (int i = 0; i < m_SeqNum; i++) {
        heads[i] = new SITEINFO;
        SITEINFO* tail = heads[i];
        for (SITEINFO* s = m_Sites[k][i]->Next; s; s = s->Next) {
            SITEINFO* moved = new SITEINFO;
            moved->Strand = s->Strand;
            moved->Pos = s->Pos + (s->Strand ? fwdShift : revShift);
            moved->Word = m_Seq[i].Mid(moved->Pos, width);
            if (!moved->Strand)
                moved->Word = Reverse(moved->Word);
            *gNew = *gNew + CalLogBgPr(moved->Word.m_Data, moved->Word.GetLength());
            *gOld = *gOld + CalLogBgPr(s->Word.m_Data, s->Word.GetLength());
            tail->Next = moved;
            tail = moved;
        }
    }
    return heads;
}

void CGibbsDP::DecideMotifMove(int k, int width, SITEINFO** proposal, int* counts,
                               double oldScore, double newScore)
{
    if (MH(oldScore, newScore, 0.0)) {
        m_Width[k] = width;
        delete[] m_CountMat[k];
        m_CountMat[k] = counts;
        DelSiteHead(m_Sites[k]);
        m_Sites[k] = proposal;
    } else {
        delete[] counts;
        DelSiteHead(proposal);
    }
}

void CGibbsDP::UpdateWidth(int k)
{
    bool blocked[2];
    CheckBoundary(m_Sites[k], blocked);
    bool leftEnd = RandHalfOpen(m_Rng) <= 0.5;
    int delta = RandHalfOpen(m_Rng) > 0.5 ? 1 : -1;
    if (delta == 1 && blocked[leftEnd ? 0 : 1])
        return;
    int w = m_Width[k], newWidth = w + delta;
    if (newWidth < m_MinWidth || newWidth > m_MaxWidth)
        return;
    // The left end of a forward site is its leftmost letter, of a reverse
    // site its rightmost one.
    int fwdShift = leftEnd ? -delta : 0;
    int revShift = leftEnd ? 0 : -delta;
    double gOld, gNew;
    SITEINFO** proposal = BuildMovedSites(k, newWidth, fwdShift, revShift, &gOld, &gNew);
    int* counts = new int[4 * newWidth];
    CalWeightMat(proposal, counts, newWidth);

    int K = m_MotifNum;
    int* P = m_MotifPrior;
    long long a = CountModule(m_ModInfo);
    long long g = a * (m_ModLen - 15) - Sum(m_SiteNum, K);
    long long h = g + P[K];
    for (int j = 0; j < K; j++)
        h = h + (P[j] + m_SiteNum[j]);
    double oldScore = CalLogPCondPW(LgArg(g), LgArg(h), w, m_CountMat[k], gOld);
    double newScore = CalLogPCondPW(LgArg(g), LgArg(h), newWidth, counts, gNew);
    DecideMotifMove(k, newWidth, proposal, counts, oldScore, newScore);
}

void CGibbsDP::PhaseShift(int k)
{
    bool blocked[2];
    CheckBoundary(m_Sites[k], blocked);
    bool toRight = RandHalfOpen(m_Rng) > 0.5;
    if (blocked[toRight ? 1 : 0])
        return;
    int fwdShift = toRight ? 1 : -1;
    int w = m_Width[k];
    double gOld, gNew;
    SITEINFO** proposal = BuildMovedSites(k, w, fwdShift, -fwdShift, &gOld, &gNew);
    int* counts = new int[4 * w];
    CalWeightMat(proposal, counts, w);
    double oldScore = CalLogPCondPW(2, 2, w, m_CountMat[k], gOld);
    double newScore = CalLogPCondPW(2, 2, w, counts, gNew);
    DecideMotifMove(k, w, proposal, counts, oldScore, newScore);
}

double CGibbsDP::CalLogPCondPW(int g, int h, int w, int* C, double G)
{
    int N1 = C[0] + C[1] + C[2] + C[3];   // letters of the first column
    int* Q = m_BasePrior;
    int S = Q[0] + Q[1] + Q[2] + Q[3];
    double r = logGamma(g) - logGamma(h);
    for (int j = 0; j < w; j++)
        for (int b = 0; b < 4; b++)
            r = r + logGamma(Q[b] + C[4 * j + b]);
    r = r - w * logGamma(N1 + S) - G;
    r = r + WidthLogPrior(w);
    return r;
}

bool CGibbsDP::MH(double oldScore, double newScore, double corr)
{
    double d = newScore - oldScore + corr;
    if (d < kLogZeroCut)
        return false;   // probability 0: no random number
    if (d > 0)
        return true;
    return exp(d) > RandClosed(m_Rng);
}
