// Site sampling, fast path: the site pass of a sweep, and the window and
// the backward draw that every site step shares.
//
// For one module window a forward pass sums over every tiling of the window
// by background letters and non-overlapping sites of the K motifs (on one
// or both strands), and a backward pass (DrawSites) draws one tiling from
// the window's end to its start. Background letters carry the mixing factor
// pi[K] only from the wmin-th letter of the window on (wmin = the smallest
// width). Every site drawn lies inside the window, so sites of one window
// never overlap. Sites are only added (behind the head node); m_CountMat
// and m_SiteNum are left to the next score.
//
// The forward pass draws nothing and each window's depends only on its own
// letters, so a sweep (SampleSweepSites) first runs the forward passes of
// all its module windows, several in step as the module pass does
// (SiteForwardLanes, reading the two-strand sums of the module pass), then
// makes the draws window by window in the order of the one-window steps.
// The step-by-step reference is SampleSites (Reference.cpp); both take the
// recursion step of ForwardStep.h: the same bits and the same draws.
//
// Random draws: one m_Rng.next() / 2147483647.0 per backward step, whatever the
// probabilities; a window shorter than wmin draws nothing.
#include <cassert>
#include <cmath>
#include <vector>

#include "base/Helpers.h"
#include "base/Random.h"
#include "model/GibbsDP.h"
#include "sampler/ForwardStep.h"
#include "sampler/SweepWork.h"

bool CGibbsDP::SiteWindowAt(int i, int e, int n, const double* table, const double* strand, SiteWindow* w)
{
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
    int wmin = m_Width[Minimum(m_Width, m_MotifNum)];
    if (n < 1 || n < wmin)
        return false;   // no site fits: no draw
    *w = SiteWindow{i, s0, n, table, strand, nullptr};
    return true;
}

void CGibbsDP::SiteForwardLanes(const SiteWindow* lanes, int n, const MixLogTerms& mix)
{
    assert(n <= kForwardLanes);
    const int K = m_MotifNum, stride = 2 * K + 1;
    const int wmin = m_Width[Minimum(m_Width, K)];
    int longest = 0;
    for (int g = 0; g < n; g++) {
        const SiteWindow& l = lanes[g];
        l.F[0] = l.table[(long)l.s0 * stride + 2 * K];
        longest = l.n > longest ? l.n : longest;
    }
    LogSumParts parts[kForwardLanes];
    for (int jj = 1; jj < longest; jj++) {
        const int j = jj + 1;   // letters of the window so far
        for (int g = 0; g < n; g++) {
            const SiteWindow& l = lanes[g];
            if (jj >= l.n)
                continue;
            l.F[jj] = l.table[(long)(l.s0 + jj) * stride + 2 * K] + l.F[jj - 1];
            if (j >= wmin)
                l.F[jj] = l.F[jj] + mix.lnBgMix;
        }
        // Every way a site can end here, each LogSum taken for every lane
        // (all exps, then all logs) before the next motif's.
        for (int k = 0; k < K; k++) {
            const int w = m_Width[k];
            if (j < w)
                continue;   // the site would start before the window
            for (int g = 0; g < n; g++) {
                const SiteWindow& l = lanes[g];
                if (jj >= l.n)
                    continue;
                const long p = l.s0 + jj;
                const double site = SiteLogPr(l.table + p * stride, l.strand, p, K, k, m_BothStrand);
                parts[g] = SiteEndStep(site, SiteMixLog(mix, k, m_BothStrand), l.F, jj, w);
            }
            for (int g = 0; g < n; g++)
                if (jj < lanes[g].n)
                    lanes[g].F[jj] = LogSumFinish(parts[g]);
        }
    }
}

void CGibbsDP::DrawSites(const SiteWindow& win, const MixLogTerms& mix)
{
    const int K = m_MotifNum, stride = 2 * K + 1;
    const int wmin = m_Width[Minimum(m_Width, K)];
    const int choices = m_BothStrand ? 2 * K : K;
    const double lnHalf = log(0.5);
    const double* F = win.F;
    m_SiteScratch.resize(choices);
    double* cumP = m_SiteScratch.data();   // cumulative probabilities of the choices
    int q = win.n - 1;
    while (q >= wmin - 1) {
        int pos = win.s0 + q;
        const double* row = win.table + (long)pos * stride;
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
                    x = row[col] + F[q - w] + mix.lnPi[k];
                else
                    x = mix.lnPi[k] + row[col];
                if (m_BothStrand)
                    x = x + lnHalf;
                d = x - F[q];
            }
            cum = cum + (d < kLogZeroCut ? 0.0 : exp(d));
            cumP[c] = cum;
        }
        double u = RandClosed(m_Rng);
        int chosen = 0;
        while (chosen < choices && !(cumP[chosen] > u))
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
        site->Word = m_Seq[win.seq].Mid(site->Pos, w);
        if (!site->Strand)
            site->Word = Reverse(site->Word);
        AddSite(m_Sites[k][win.seq], site);
        q = q - w;
    }
}

void CGibbsDP::SampleSweepSites(double* pi, double** tables, int* seqLen)
{
    SweepWork& work = *m_Work;
    std::vector<SiteWindow>& wins = work.siteWindows;
    wins.clear();
    size_t letters = 0;
    for (int i = 0; i < m_SeqNum; i++) {
        const int Lm = m_ModLen < seqLen[i] ? m_ModLen : seqLen[i];
        const MODULEINFO& mi = m_ModInfo[i];
        const double* strand = m_BothStrand ? work.seqs[i].strand.data() : nullptr;
        SiteWindow win;
        for (int j = 0; j < mi.ModCount; j++)
            if (SiteWindowAt(i, mi.ModStart[j] + Lm - 1, Lm, tables[i], strand, &win)) {
                wins.push_back(win);
                letters += win.n;
            }
    }
    if (work.siteForward.size() < letters)
        work.siteForward.resize(letters);
    double* F = work.siteForward.data();
    for (SiteWindow& win : wins) {
        win.F = F;
        F += win.n;
    }
    MixLogTerms& mix = work.siteMix;
    MixLogs(pi, &mix);
    for (size_t g0 = 0; g0 < wins.size(); g0 += kForwardLanes) {
        const size_t n = wins.size() - g0 < (size_t)kForwardLanes ? wins.size() - g0 : kForwardLanes;
        SiteForwardLanes(wins.data() + g0, (int)n, mix);
    }
    for (const SiteWindow& win : wins)
        DrawSites(win, mix);
}
