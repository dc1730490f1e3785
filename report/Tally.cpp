// Posterior tallies: the recorded sweeps after burn-in are added to four
// integer tallies (site starts per position, motif and strand; motif widths;
// motif site counts; module coverage per position), and after the last
// sweep the site tallies of neighbouring positions are merged and the
// numbers of sites and modules are inferred from the tallies.
//
// R = m_IterNum - m_BurnIn is the number of recorded sweeps. While
// recording no cell exceeds R; a merged SiteTally cell can. SiteTally row j
// holds len_j x 2K cells, cell (p, k, s) at (p * K + k) * 2 + s with s = 0
// for a forward site. No random draws are made here.
#include <cassert>
#include <climits>
#include <cmath>

#include "model/GibbsDP.h"

// A SiteTally cell starts a merge when it holds more than this share of the
// recorded sweeps.
const double kMergeShare = 0.05;
// The merge window reaches this many positions before the trigger ...
const int kMergeBefore = 2;
// ... and ends this many positions after it (exclusive).
const int kMergeAfter = 6;
// Half-width of the smoothing window of the site-count histogram.
const int kSmoothHalf = 3;
// A peak must not be beaten within this many counts below it (4 above it).
const int kPeakReach = 5;
const int kMaxPeaks = 5;
// Inferred site counts are shrunk by this factor at the end: the sampler
// tends to add spurious sites in later sweeps.
const double kSiteCountShrink = 0.9;

void CGibbsDP::SetZerosMD(int** siteTally, int* widthHist, int* siteNumHist, int** modTally)
{
    int cols = 2 * m_MotifNum;
    for (int j = 0; j < m_SeqNum; j++) {
        int len = m_Seq[j].GetLength();
        siteTally[j] = new int[(long)len * cols]();   // 64-bit: len x 2K may pass the int range
        modTally[j] = new int[len]();
    }
    for (int i = 0; i < m_MotifNum * kWidthHistSize; i++)
        widthHist[i] = 0;
    for (int i = 0; i < m_MotifNum * kSiteNumHistSize; i++)
        siteNumHist[i] = 0;
}

// Tallies the module windows of every sequence; a window running past the
// end of its sequence is tallied up to the last letter.
static void RecordModules(CGibbsDP& g, int** modTally)
{
    for (int j = 0; j < g.m_SeqNum; j++) {
        int len = g.m_Seq[j].GetLength();
        const MODULEINFO& info = g.m_ModInfo[j];
        for (int m = 0; m < info.ModCount; m++) {
            int s = info.ModStart[m];
            assert(s >= 0);
            // min(s + L, len) without forming s + L, which a huge L would
            // take past the int range.
            int e = g.m_ModLen < len - s ? s + g.m_ModLen : len;
            for (int q = s; q < e; q++)
                modTally[j][q]++;
        }
    }
}

void CGibbsDP::RecordMD(int** siteTally, int* widthHist, int* siteNumHist, int** modTally)
{
    if (!m_Independent)
        RecordModules(*this, modTally);
    int K = m_MotifNum;
    for (int k = 0; k < K; k++) {
        for (int j = 0; j < m_SeqNum; j++) {
            for (SITEINFO* s = m_Sites[k][j]->Next; s; s = s->Next) {
                assert(s->Pos >= 0 && s->Pos < m_Seq[j].GetLength());
                siteTally[j][((long)s->Pos * K + k) * 2 + (s->Strand ? 0 : 1)]++;
            }
        }
        // Widths of 50 or more can only come from a weight-matrix file (the
        // option checks reject them); they are tallied in the row's last
        // cell so that the tally never leaves its row.
        int w = m_Width[k];
        assert(w >= 0);
        if (w >= kWidthHistSize)
            w = kWidthHistSize - 1;
        widthHist[k * kWidthHistSize + w]++;
        int n = m_SiteNum[k];
        assert(n >= 0);
        if (n >= kSiteNumHistSize)
            n = kSiteNumHistSize - 1;
        siteNumHist[k * kSiteNumHistSize + n]++;
    }
}

// Merges the tallies of the window around (p, c) over the column group
// [c0, c1] into the largest cell of the window (the trigger on ties).
static void MergeWindow(int* row, int cols, int len, int p, int c, int c0, int c1)
{
    int lo = p - kMergeBefore > 0 ? p - kMergeBefore : 0;
    int hi = p + kMergeAfter < len - 1 ? p + kMergeAfter : len - 1;
    long best = (long)p * cols + c;
    int bestValue = row[best];
    for (int cc = c0; cc <= c1; cc++) {
        for (int q = lo; q < hi; q++) {
            if (row[(long)q * cols + cc] > bestValue) {
                best = (long)q * cols + cc;
                bestValue = row[best];
            }
        }
    }
    // Merged cells can gather many windows' tallies; with an enormous
    // number of sweeps the sum is held at the int maximum rather than wrap.
    long long sum = 0;
    for (int cc = c0; cc <= c1; cc++) {
        for (int q = lo; q < hi; q++) {
            sum += row[(long)q * cols + cc];
            row[(long)q * cols + cc] = 0;
        }
    }
    row[best] = sum > INT_MAX ? INT_MAX : (int)sum;
}

void CGibbsDP::SumNeighborMD(int** siteTally)
{
    int cols = 2 * m_MotifNum;
    double trigger = kMergeShare * (double)(m_IterNum - m_BurnIn);
    // With both strands each motif's two columns are visited twice, once
    // driven by the forward column and once by the reverse column.
    for (int c = 0; c < cols; c++) {
        bool odd = (c % 2) == 1;
        if (!m_BothStrand && odd)
            continue;
        int c0 = odd ? c - 1 : c;
        int c1 = (odd || m_BothStrand) ? c0 + 1 : c0;
        for (int j = 0; j < m_SeqNum; j++) {
            int len = m_Seq[j].GetLength();
            int* row = siteTally[j];
            for (int p = 0; p < len - 2; p++) {
                if ((double)row[(long)p * cols + c] > trigger)
                    MergeWindow(row, cols, len, p, c, c0, c1);
            }
        }
    }
}

int CGibbsDP::PeakSiteCount(int* hist, double* smooth)
{
    const int n = kSiteNumHistSize;
    for (int i = 0; i < n; i++) {
        int lo = i - kSmoothHalf > 0 ? i - kSmoothHalf : 0;
        int hi = i + kSmoothHalf < n - 1 ? i + kSmoothHalf : n - 1;
        double sum = 0.0;
        for (int m = lo; m <= hi; m++)
            sum += hist[m];
        smooth[i] = sum / (double)(hi - lo + 1);
    }
    int peaks[kMaxPeaks];
    int found = 0;
    for (int i = 0; i < n && found < kMaxPeaks; i++) {
        if (!(smooth[i] > 1.0))
            continue;
        int lo = i - kPeakReach > 0 ? i - kPeakReach : 0;
        int hi = i + kPeakReach < n - 1 ? i + kPeakReach : n - 1;
        bool beaten = false;
        for (int m = lo; m < hi && !beaten; m++)
            beaten = m != i && smooth[m] > smooth[i];
        if (!beaten)
            peaks[found++] = i;
    }
    if (found == 0)
        return -1;
    int best = peaks[0];
    for (int i = 1; i < found; i++)
        if (smooth[peaks[i]] > smooth[best])
            best = peaks[i];
    // A very small count is kept only when it clearly dominates the largest
    // later peak.
    if (best > 4 || found < 2)
        return best;
    int alt = peaks[1];
    for (int i = 2; i < found; i++)
        if (smooth[peaks[i]] > smooth[alt])
            alt = peaks[i];
    return smooth[best] > 4.0 * smooth[alt] ? best : alt;
}

void CGibbsDP::InferSiteCount(int* siteNumHist)
{
    double* smooth = new double[kSiteNumHistSize];
    for (int k = 0; k < m_MotifNum; k++) {
        int choice = PeakSiteCount(siteNumHist + k * kSiteNumHistSize, smooth);
        if (choice < 0) {
            m_SiteNum[k] = 0;
            continue;
        }
        m_SiteNum[k] = choice;
        // A count of 4 or less is poorly resolved by the histogram: the best
        // sample's own count is taken when it is plausible.
        if (choice <= 4) {
            int d = CalWeightMat(m_BestSites[k], m_CountMat[k], m_Width[k]);
            if (d < 2 * m_SeqNum)
                m_SiteNum[k] = d;
        }
    }
    delete[] smooth;
    for (int k = 0; k < m_MotifNum; k++)
        m_SiteNum[k] = (int)floor(m_SiteNum[k] * kSiteCountShrink + 0.5);
}

void CGibbsDP::InferModule(int** modTally, int* len)
{
    assert(m_ModLen > 0);
    int half = (m_IterNum - m_BurnIn) / 2;
    m_ModPosNum = 0;
    for (int j = 0; j < m_SeqNum; j++)
        for (int p = 0; p < len[j]; p++)
            if (modTally[j][p] > half)
                m_ModPosNum++;
    m_ModNum = m_ModPosNum / m_ModLen;
}

void CGibbsDP::DeleteMD(int** siteTally, int* widthHist, int* siteNumHist, int** modTally)
{
    if (siteTally) {
        for (int j = 0; j < m_SeqNum; j++)
            delete[] siteTally[j];
        delete[] siteTally;
    }
    if (modTally) {
        for (int j = 0; j < m_SeqNum; j++)
            delete[] modTally[j];
        delete[] modTally;
    }
    delete[] widthHist;
    delete[] siteNumHist;
}
