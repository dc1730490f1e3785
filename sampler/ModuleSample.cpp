// Module sampling, fast path: the module forward passes of a sweep and the
// draws that every module step shares.
//
// For one sequence the forward pass sums over every way of cutting it into
// background letters and modules of Lm letters: one module-model pass over
// the whole sequence gives prefix log-likelihoods A[t], the module ending at
// t scores B[t] = A[t] - A[t - Lm], and C[t] is the forward log probability
// of letters 0 .. t. DrawModules then removes the sequence's modules and
// sites and draws new modules backwards from its end (SampleModule). After
// it the sequence has no sites, zero or more non-overlapping modules stored
// by descending start, and LogRatio and StepLogRatio describe the new
// modules; m_CountMat and m_SiteNum lose the removed sites and are stale
// until the next score.
//
// ForwardLanes computes A, B and C in one loop (C[t] needs A[t] only) for
// several sequences in step, taking each LogSum for every lane before the
// next: each LogSum waits for the one before it in its chain (an exp, then
// a log), so one sequence alone is bound by their latency, and independent
// lanes overlap them. StrandSums takes each position's two-strand sums once
// for the module and the site passes. The sweep runs these draw-free passes
// for every sequence first (SweepPasses.cpp, on any thread) and makes the
// draws afterwards. The step-by-step reference of the same values is
// ApproxSampleCurSeq (Reference.cpp); both take the recursion steps of
// ForwardStep.h, so every lane has the reference's bits whatever the
// grouping.
//
// Random draws: SampleModule takes one m_Rng.next() / 2147483647.0 per candidate
// end whose log acceptance is above -200, from the sequence end backwards.
// Sequences of fewer than two letters draw nothing.
#include <cassert>
#include <cmath>

#include "base/Helpers.h"
#include "base/Random.h"
#include "model/GibbsDP.h"
#include "sampler/ForwardStep.h"
#include "sampler/SweepWork.h"

// Count-matrix column of a site letter: A, C, G, T in either case; -1 for
// any other letter, which is not counted.
static int CountColumn(char c)
{
    switch (c) {
    case 'A': case 'a': return 0;
    case 'C': case 'c': return 1;
    case 'G': case 'g': return 2;
    case 'T': case 't': return 3;
    default: return -1;
    }
}

void CGibbsDP::MixLogs(double* pi, MixLogTerms* mix)
{
    const double lnHalf = log(0.5);
    mix->lnPi.resize(m_MotifNum);
    mix->lnPiHalf.resize(m_MotifNum);
    for (int k = 0; k < m_MotifNum; k++) {
        mix->lnPi[k] = log(pi[k]);
        mix->lnPiHalf[k] = mix->lnPi[k] + lnHalf;
    }
    mix->lnBgMix = log(pi[m_MotifNum]);
}

void CGibbsDP::StrandSums(const double* table, int len, double* strand)
{
    // The sums are independent: take them kParts at a time, all exps of a
    // batch first, then all logs (LogSumStart / LogSumFinish).
    const int K = m_MotifNum, stride = 2 * K + 1;
    const int kParts = 128;
    LogSumParts parts[kParts];
    int n = 0;
    double* out = strand;   // where the batch's first sum goes
    for (int t = 0; t < len; t++) {
        const double* row = table + (long)t * stride;
        for (int k = 0; k < K; k++) {
            parts[n++] = LogSumStart(row[2 * k], row[2 * k + 1]);
            if (n == kParts) {
                for (int j = 0; j < n; j++)
                    out[j] = LogSumFinish(parts[j]);
                out += n;
                n = 0;
            }
        }
    }
    for (int j = 0; j < n; j++)
        out[j] = LogSumFinish(parts[j]);
}

void CGibbsDP::ForwardLanes(const ForwardLane* lanes, int n, double rho, const MixLogTerms& mix)
{
    assert(n <= kForwardLanes);
    const int K = m_MotifNum, stride = 2 * K + 1, bgCol = 2 * K;
    const double lnRho = log(rho), lnNotRho = log(1.0 - rho);
    int longest = 0;
    for (int g = 0; g < n; g++) {
        const ForwardLane& l = lanes[g];
        assert(l.len >= 2 && m_ModLen >= 2);
        l.A[0] = mix.lnBgMix + l.table[bgCol];
        l.B[0] = l.table[bgCol];
        l.C[0] = l.B[0];
        longest = l.len > longest ? l.len : longest;
    }
    LogSumParts parts[kForwardLanes];
    for (int t = 1; t < longest; t++) {
        // Module model: every way a background letter or a site ends at t.
        for (int g = 0; g < n; g++) {
            const ForwardLane& l = lanes[g];
            if (t < l.len)
                l.A[t] = mix.lnBgMix + l.table[(long)t * stride + bgCol] + l.A[t - 1];
        }
        for (int k = 0; k < K; k++) {
            const int w = m_Width[k];
            if (t + 1 < w)
                continue;   // the site would start before the sequence
            const double lnMix = SiteMixLog(mix, k, m_BothStrand);
            for (int g = 0; g < n; g++) {
                const ForwardLane& l = lanes[g];
                if (t >= l.len)
                    continue;
                // A lane always carries its two-strand sums when both strands count.
                const double site =
                    m_BothStrand ? l.strand[(long)t * K + k] : l.table[(long)t * stride + 2 * k];
                parts[g] = SiteEndStep(site, lnMix, l.A, t, w);
            }
            for (int g = 0; g < n; g++)
                if (t < lanes[g].len)
                    lanes[g].A[t] = LogSumFinish(parts[g]);
        }
        // Background letters and whole modules up to t.
        for (int g = 0; g < n; g++) {
            const ForwardLane& l = lanes[g];
            if (t >= l.len || t <= l.Lm - 2)
                continue;
            const double bg = l.table[(long)t * stride + bgCol];
            parts[g] = ModuleEndStep(l.A, l.B, l.C, bg, lnRho, lnNotRho, t, l.Lm);
        }
        for (int g = 0; g < n; g++) {
            const ForwardLane& l = lanes[g];
            if (t >= l.len)
                continue;
            if (t <= l.Lm - 2) {
                l.B[t] = l.table[(long)t * stride + bgCol];
                l.C[t] = l.C[t - 1] + l.B[t];
            } else {
                l.C[t] = LogSumFinish(parts[g]);
            }
        }
    }
}

ForwardLane CGibbsDP::MakeLane(int i, const double* table, const double* strand, double* A, double* B,
                               double* C)
{
    const int len = m_Seq[i].GetLength();
    return ForwardLane{table, strand, A, B, C, len, m_ModLen < len ? m_ModLen : len};
}

void CGibbsDP::DrawModules(int i, double rho, double* A, double* B, double* C, int* move)
{
    int len = m_Seq[i].GetLength();
    ExcludeCurSeq(i);
    if (len < 2) {
        // No module fits: the forward pass needs two letters.
        m_ModInfo[i].LogRatio = 0.0;
        m_ModInfo[i].StepLogRatio = 0.0;
        return;
    }
    SampleModule(B, C, rho, len, i, move, A);
}

// The stretch of step letters that move m adds to or removes from the
// module s .. t, as its first position.
static int StepStretchStart(int m, int s, int t, int step)
{
    switch (m) {
    case 0: return s - step;
    case 1: return t + 1;
    case 2: return s;
    default: return t - step + 1;
    }
}

void CGibbsDP::SampleModule(double* B, double* C, double rho, int len, int i, int* move, double* A)
{
    MODULEINFO& mi = m_ModInfo[i];
    char* flags = new char[len]();
    int count = 0;
    mi.LogRatio = 0.0;
    mi.StepLogRatio = 0.0;
    int Lm = m_ModLen < len ? m_ModLen : len;
    int step = m_ModLenStep;
    const char* letters = m_Seq[i].m_Data;
    double lnRho = log(rho);
    int t = len - 1;
    while (t >= Lm - 1) {
        double a = lnRho + B[t] - C[t];
        if (t > Lm - 1)
            a = a + C[t - Lm];
        bool accept = false;
        if (a > kLogZeroCut)
            accept = exp(a) > RandClosed(m_Rng);
        if (m_Independent)
            accept = true;   // every sequence is one module; the draw is still made
        if (!accept) {
            t = t - 1;
            continue;
        }
        count++;
        int s = t - Lm + 1;
        flags[s] = 1;
        mi.LogRatio = mi.LogRatio + B[t] - CalLogBgPr(letters + s, Lm);
        if (*move >= 0) {
            int s2 = StepStretchStart(*move, s, t, step);
            int e2 = s2 + step - 1;
            if (s2 < 0 || e2 >= len)
                *move = -1;   // the stretch leaves the sequence: no move this sweep
            else
                mi.StepLogRatio = mi.StepLogRatio + (s2 > 0 ? A[e2] - A[s2 - 1] : A[e2])
                                  - CalLogBgPr(letters + s2, step);
        }
        t = t - Lm;
    }
    mi.ModCount = count;
    if (count > 0) {
        mi.ModStart = new int[count];
        int j = 0;
        for (int p = len - 1; p >= 0; p--)
            if (flags[p])
                mi.ModStart[j++] = p;
    }
    delete[] flags;
}

void CGibbsDP::ExcludeCurSeq(int i)
{
    MODULEINFO& mi = m_ModInfo[i];
    mi.ModCount = 0;
    delete[] mi.ModStart;
    mi.ModStart = nullptr;
    for (int k = 0; k < m_MotifNum; k++) {
        SITEINFO* head = m_Sites[k][i];
        SITEINFO* s = head->Next;
        while (s) {
            m_SiteNum[k]--;
            // A word may be shorter than the width right after given matrices
            // changed it; only its own letters are read.
            int w = m_Width[k] < s->Word.GetLength() ? m_Width[k] : s->Word.GetLength();
            for (int j = 0; j < w; j++) {
                int b = CountColumn(s->Word.m_Data[j]);
                if (b >= 0)
                    m_CountMat[k][4 * j + b]--;
            }
            SITEINFO* next = s->Next;
            delete s;
            s = next;
        }
        head->Next = nullptr;
    }
}
