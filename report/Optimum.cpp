// Choice of the reported sites and their re-alignment.
//
// FindOptimum sets each motif's reported width to its posterior mean width
// (widths 0 .. 49 of the WidthHist row, divided by the sample count n) and
// rebuilds m_BestSites from the merged site tally: every position whose
// tally reaches int(n x m_Threshold) becomes a site, the forward strand
// winning when both pass. With no recorded sweep nothing is reported and
// the widths stay. AlignSites then re-aligns each motif with 3 or more
// sites by 20 stochastic passes, keeping the best-scoring alignment;
// m_BestSites and m_Sites end up holding it.
//
// Invariant kept: m_CountMat[k] has m_Width[k] rows after every width change.
// Random draws: AlignSites draws one m_Rng.next() per site per pass (mapped to
// [0, 1) by RandHalfOpen), motifs in order, sites in list order; motifs with
// 2 or fewer sites, or marked as weak, draw nothing.
#include <cassert>
#include <climits>
#include <cmath>

#include "base/Helpers.h"
#include "base/Random.h"
#include "model/GibbsDP.h"

// A re-aligned site may move this many positions either way.
const int kAlignReach = 5;
const int kAlignPasses = 20;
// At most 2 x 11 candidates (11 starts, both strands) per site.
const int kMaxCandidates = 2 * (2 * kAlignReach + 1);
// Added to the last cumulative weight so that a draw always finds a slot.
const double kCumSlack = 0.1;

static SITEINFO** NewHeads(int n)
{
    SITEINFO** heads = new SITEINFO*[n];
    for (int j = 0; j < n; j++)
        heads[j] = new SITEINFO;
    return heads;
}

// The reporting threshold n x m_Threshold truncated to an int. -c is not
// range-checked, so a product outside the int range (or NaN) is held at
// the nearest end instead of an undefined conversion: NaN and large
// negative values report every position, as any threshold of 0 does.
static int ThresholdCount(double x)
{
    if (x >= (double)INT_MAX)
        return INT_MAX;
    if (!(x > (double)INT_MIN))
        return INT_MIN;
    return (int)x;
}

// Reported sites of motif k in sequence j: one per position whose merged
// tally reaches thr, built by increasing position (so listed decreasing).
static void ReportSites(CGibbsDP& g, int** siteTally, int k, int j, int thr)
{
    int K = g.m_MotifNum;
    int w = g.m_Width[k];
    const CString& seq = g.m_Seq[j];
    for (int p = 0; p + w <= seq.GetLength(); p++) {
        int f = siteTally[j][((long)p * K + k) * 2];
        int r = siteTally[j][((long)p * K + k) * 2 + 1];
        if (f < thr && r < thr)
            continue;
        SITEINFO* site = new SITEINFO;
        site->Pos = p;
        site->Strand = f >= thr;
        site->Word = seq.Mid(p, w);
        if (!site->Strand)
            site->Word = Reverse(site->Word);
        site->Count = site->Strand ? f : r;
        g.AddSite(g.m_BestSites[k][j], site);
    }
}

void CGibbsDP::FindOptimum(int** siteTally, int* widthHist, int n)
{
    // With no recorded sweep every tally is 0 and any threshold of 0 would
    // report every position: nothing is reported and the widths stay.
    bool recorded = m_IterNum - m_BurnIn > 0 && n > 0;
    int thr = ThresholdCount(n * m_Threshold);
    for (int k = 0; k < m_MotifNum; k++) {
        if (recorded) {
            int S = 0;
            for (int w = 0; w < kWidthHistSize; w++)
                S += w * widthHist[k * kWidthHistSize + w];
            int width = (int)floor((double)S / n + 0.5);
            assert(width >= 1);
            if (width != m_Width[k])
                SetMotifWidth(k, width);
        }
        DelSiteHead(m_BestSites[k]);
        m_BestSites[k] = NewHeads(m_SeqNum);
        if (!recorded)
            continue;
        for (int j = 0; j < m_SeqNum; j++)
            ReportSites(*this, siteTally, k, j, thr);
    }
}

void CGibbsDP::AlignCandidates(int p, int len, int w, int* lo, int* hi)
{
    *lo = p - kAlignReach > 0 ? p - kAlignReach : 0;
    *hi = p + kAlignReach;
    if (p + kAlignReach + w > len)
        *hi = len - w;
}

// Marginal score of motif k's current counts against background letters of
// log-probability bg: -bg + sum of logGamma(prior + count), term by term.
static double AlignScore(CGibbsDP& g, int k, double bg)
{
    double score = -bg;
    const int* counts = g.m_CountMat[k];
    for (int c = 0; c < g.m_Width[k]; c++)
        for (int b = 0; b < 4; b++)
            score += logGamma(g.m_BasePrior[b] + counts[4 * c + b]);
    return score;
}

// Redraws one site of width w among its candidate windows around home,
// in proportion to the likelihood ratio under F; returns the background
// log-probability of the chosen window's forward letters.
static double RedrawSite(CGibbsDP& g, SITEINFO* site, int j, int home, int w, double* F)
{
    const CString& seq = g.m_Seq[j];
    int lo, hi;
    g.AlignCandidates(home, seq.GetLength(), w, &lo, &hi);
    assert(lo <= hi);
    int n = 2 * (hi - lo + 1);
    double score[kMaxCandidates];
    double cum[kMaxCandidates];
    for (int i = 0; i <= hi - lo; i++) {
        CString word = seq.Mid(lo + i, w);
        double bg = g.CalLogBgPr(word);
        score[2 * i] = g.CalLogMotifPr(word, F) - bg;
        score[2 * i + 1] = g.m_BothStrand ? g.CalLogMotifPr(Reverse(word), F) - bg : NoSiteLogPr;
    }
    double top = score[Maximum(score, n)];
    double total = 0.0;
    for (int i = 0; i < n; i++) {
        if (score[i] - top > kLogZeroCut)
            total += exp(score[i] - top);
        cum[i] = total;
    }
    cum[n - 1] += kCumSlack;
    double u = total * RandHalfOpen(g.m_Rng);
    int s = 0;
    while (s < n && !(cum[s] > u))
        s++;
    if (s == n)
        s = 0;
    site->Pos = lo + s / 2;
    CString word = seq.Mid(site->Pos, w);
    site->Strand = s % 2 == 0;
    site->Word = site->Strand ? word : Reverse(word);
    return g.CalLogBgPr(word);
}

// Re-aligns motif k, whose m_BestSites lists hold its reported sites and
// whose count matrix holds their counts; m_Sites[k] keeps the best set.
static void AlignMotif(CGibbsDP& g, int k)
{
    int w = g.m_Width[k];
    int sites = g.m_SiteNum[k];
    int* home = new int[sites];
    double B0 = 0.0;
    int maxCount = 0;
    int i = 0;
    for (int j = 0; j < g.m_SeqNum; j++) {
        for (SITEINFO* s = g.m_BestSites[k][j]->Next; s; s = s->Next) {
            home[i++] = s->Pos;
            B0 += g.CalLogBgPr(s->Word);
            if (s->Count > maxCount)
                maxCount = s->Count;
        }
    }
    // A motif whose strongest site was seen in fewer than half the recorded
    // sweeps is marked by a site count of 1 and left as reported.
    if (maxCount < (g.m_IterNum - g.m_BurnIn) / 2) {
        g.m_SiteNum[k] = 1;
        delete[] home;
        return;
    }
    double best = AlignScore(g, k, B0);
    double* F = new double[w * 4];
    for (int pass = 0; pass < kAlignPasses; pass++) {
        for (int c = 0; c < w * 4; c++)
            F[c] = (g.m_CountMat[k][c] + 1) / (double)(sites + 4);
        double B = 0.0;
        i = 0;
        for (int j = 0; j < g.m_SeqNum; j++)
            for (SITEINFO* s = g.m_BestSites[k][j]->Next; s; s = s->Next)
                B += RedrawSite(g, s, j, home[i++], w, F);
        g.CalWeightMat(g.m_BestSites[k], g.m_CountMat[k], w);
        double score = AlignScore(g, k, B);
        if (score > best) {
            best = score;
            g.CopySample(g.m_BestSites[k], g.m_Sites[k]);
        }
    }
    delete[] F;
    delete[] home;
}

void CGibbsDP::AlignSites(int** siteTally)
{
    (void)siteTally;   // the merged tally is already turned into sites
    for (int k = 0; k < m_MotifNum; k++) {
        m_SiteNum[k] = CalWeightMat(m_BestSites[k], m_CountMat[k], m_Width[k]);
        CopySample(m_BestSites[k], m_Sites[k]);
        if (m_SiteNum[k] > 2)
            AlignMotif(*this, k);
    }
    CopySample(m_Sites, m_BestSites);
}
