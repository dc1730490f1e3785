// Site sampling inside one module window: a forward pass sums over every
// tiling of the window by background letters and non-overlapping sites of
// the K motifs (on one or both strands), and a backward pass draws one
// tiling from the window's end to its start.
//
// Background letters carry the mixing factor pi[K] only from the wmin-th
// letter of the window on (wmin = the smallest width). Every site drawn
// lies inside the window, so sites of one window never overlap. Sites are
// only added (behind the head node); m_CountMat and m_SiteNum are left to
// the next score.
//
// strand, when given, holds the sequence's two-strand sums (StrandSums),
// which the forward pass then reads instead of recomputing them.
//
// Random draws: one m_Rng.next() / 2147483647.0 per backward step, whatever the
// probabilities; a window shorter than wmin draws nothing.
#include <cmath>

#include "base/Helpers.h"
#include "base/Random.h"
#include "model/GibbsDP.h"

void CGibbsDP::SampleSites(double* pi, double* table, int i, int e, int n, const double* strand)
{
    int K = m_MotifNum, stride = 2 * K + 1;
    int len = m_Seq[i].GetLength();
    int s0 = e - n + 1;
    // The driver keeps every window inside its sequence; a window that
    // reached outside would read past the position table, so it is cut to
    // the sequence.
    if (s0 < 0)
        s0 = 0;
    if (e > len - 1)
        e = len - 1;
    n = e - s0 + 1;
    int wmin = m_Width[Minimum(m_Width, K)];
    if (n < 1 || n < wmin)
        return;   // no site fits: no draw

    int choices = m_BothStrand ? 2 * K : K;
    m_SiteScratch.resize((size_t)n + 2 * K + choices);
    double* F = m_SiteScratch.data();
    double* lnPi = F + n;
    double* lnPiHalf = lnPi + K;
    double* P = lnPiHalf + K;
    MixLogs(pi, lnPi, lnPiHalf);
    double lnBgMix = log(pi[K]);
    double lnHalf = log(0.5);

    F[0] = table[(long)s0 * stride + 2 * K];
    for (int p = s0 + 1; p <= e; p++) {
        int jj = p - s0, j = jj + 1;
        const double* row = table + (long)p * stride;
        F[jj] = row[2 * K] + F[jj - 1];
        if (j >= wmin)
            F[jj] = F[jj] + lnBgMix;
        AddSiteEnds(row, jj, F, lnPi, lnPiHalf, strand ? strand + (long)p * K : nullptr);
    }

    int q = n - 1;
    while (q >= wmin - 1) {
        int pos = s0 + q;
        const double* row = table + (long)pos * stride;
        double cum = 0.0;
        for (int c = 0; c < choices; c++) {
            int k = m_BothStrand ? c / 2 : c;
            int col = m_BothStrand ? c : 2 * k;
            int w = m_Width[k];
            double d;
            if (q < w - 1) {
                d = NoSiteLogPr;   // the site would start before the window
            } else {
                double x;
                if (q >= w)
                    x = row[col] + F[q - w] + lnPi[k];
                else
                    x = lnPi[k] + row[col];
                if (m_BothStrand)
                    x = x + lnHalf;
                d = x - F[q];
            }
            cum = cum + (d < kLogZeroCut ? 0.0 : exp(d));
            P[c] = cum;
        }
        double u = RandClosed(m_Rng);
        int chosen = 0;
        while (chosen < choices && !(P[chosen] > u))
            chosen++;
        if (chosen == choices) {
            q = q - 1;   // the letter at pos is background
            continue;
        }
        int k = m_BothStrand ? chosen / 2 : chosen;
        int w = m_Width[k];
        SITEINFO* site = new SITEINFO;
        site->Strand = !m_BothStrand || chosen % 2 == 0;
        site->Pos = pos - w + 1;
        site->Word = m_Seq[i].Mid(site->Pos, w);
        if (!site->Strand)
            site->Word = Reverse(site->Word);
        AddSite(m_Sites[k][i], site);
        q = q - w;
    }
}
