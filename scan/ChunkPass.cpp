// The scan of one chunk (see the header for the model and the recursions).
#include "scan/ChunkPass.h"

#include <algorithm>
#include <cmath>

#include "base/Helpers.h"

namespace {

// The chain's score of a letter other than A, C, G, T, as in the sampler's
// background column: the module model scores such a letter the same way,
// so it adds nothing to a log-odds.
const double kAmbiguousLogPr = -1.386;

// Letters of prior weight on the chain's letter frequencies in a local
// composition: a stretch cut short by N runs or a sequence end leans on the
// chain rather than on a handful of letters.
const double kLocalPrior = 20.0;

// Below this a log-probability is taken as probability 0 (no exp).
const double kLogPrZero = -200.0;

// LogSum with its answer taken at once where it is certain: when the
// smaller term is more than 38 below the larger, exp of the difference is
// below 2^-54, adding it to 1.0 gives 1.0 and LogSum returns the larger
// term itself, so skipping the exp and the log changes no bit. Most terms
// of a scan (words unlike any motif) are that far below.
inline double ScanLogSum(double a, double b)
{
    const double d = a - b;
    if (d > 38.0)
        return a;
    if (d < -38.0)
        return b;
    return LogSum(a, b);
}

inline unsigned char Code(char c)
{
    int b = NucleotideCode(c);
    return b < 0 ? 4 : (unsigned char)b;
}

// Forward and reverse log-odds of motif mo's word ending at p; the word
// holds only A, C, G, T and starts at or after index 0.
inline void StrandLogOdds(const ScanMotif& mo, const unsigned char* code, const double* bg, int p, double* f,
                          double* r)
{
    const int w = mo.width;
    const double* lg = mo.logs.data();
    const int s = p - w + 1;
    double fw = 0.0, rv = 0.0, b = 0.0;
    for (int i = 0; i < w; i++) {
        fw += lg[4 * i + code[s + i]];
        rv += lg[4 * i + 3 - code[p - i]];
        b += bg[s + i];
    }
    *f = fw - b;
    *r = rv - b;
}

// out[i] = the largest of v[i], v[i + dir], ..., w values in direction dir
// (+1 or -1), fewer where the array ends; dq is scratch of n ints.
void RunningMax(const double* v, int n, int w, int dir, double* out, int* dq)
{
    int head = 0, tail = 0;
    for (int c = 0; c < n; c++) {
        const int i = dir > 0 ? n - 1 - c : c;   // walk against the direction
        while (tail > head && v[dq[tail - 1]] <= v[i])
            tail--;
        dq[tail++] = i;
        while ((dq[head] - i) * dir >= w)
            head++;
        out[i] = v[dq[head]];
    }
}

}  // namespace

void ChunkPass::ScoreMotifs(const ScanModel& m, const char* x, int n)
{
    const int K = (int)m.motifs.size();
    m_n = n;
    m_x = x;
    m_code.resize(n);
    m_lastBad.resize(n);
    m_bg.resize(n);
    m_term.resize((size_t)K * n);
    int last = -1;
    for (int p = 0; p < n; p++) {
        m_code[p] = Code(x[p]);
        if (m_code[p] == 4)
            last = p;
        m_lastBad[p] = last;
    }
    m.chain.FillLogColumn(x, n, kAmbiguousLogPr, m_bg.data(), 1);
    if (m.localRange > 0)
        LocalComposition(m);
    for (int k = 0; k < K; k++) {
        const ScanMotif& mo = m.motifs[k];
        double* term = m_term.data() + (size_t)k * n;
        for (int p = 0; p < n; p++) {
            if (p < mo.width - 1 || m_lastBad[p] > p - mo.width) {
                term[p] = kScanNoSite;
                continue;
            }
            double f, r;
            StrandLogOdds(mo, m_code.data(), m_bg.data(), p, &f, &r);
            term[p] = ScanLogSum(f, r) + m.lnSite;
        }
    }
}

void ChunkPass::LocalComposition(const ScanModel& m)
{
    const int n = m_n, R = m.localRange, order = m.chain.Order();
    m_counts.assign(4 * ((size_t)n + 1), 0);
    for (int p = 0; p < n; p++)
        for (int b = 0; b < 4; b++)
            m_counts[4 * ((size_t)p + 1) + b] = m_counts[4 * (size_t)p + b] + (m_code[p] == b);
    int code = 0, run = 0;   // the chain's context of letter p: its last `run` letters
    for (int p = 0; p < n; p++) {
        const int b = m_code[p];
        if (b == 4) {
            code = run = 0;
            continue;
        }
        const int* lo = &m_counts[4 * (size_t)std::max(0, p - R)];
        const int* hi = &m_counts[4 * (size_t)(std::min(n - 1, p + R) + 1)];
        const double letters = (double)(hi[0] - lo[0] + hi[1] - lo[1] + hi[2] - lo[2] + hi[3] - lo[3]);
        const int ctx = code & ((1 << (2 * run)) - 1);
        double w[4], z = 0.0;
        for (int c = 0; c < 4; c++) {
            // Both strands, as the chain counts them; the chain's own
            // frequency as the prior of a stretch with few letters.
            const double f0 = m.chain.Prob(0, 0, c);
            const double local = (0.5 * (hi[c] - lo[c] + hi[3 - c] - lo[3 - c]) + kLocalPrior * f0) /
                                 (letters + kLocalPrior);
            w[c] = local / f0;
            z += m.chain.Prob(run, ctx, c) * w[c];
        }
        m_bg[p] += log(w[b] / z);
        code = ((code << 2) | b) & ((1 << (2 * order)) - 1);
        run = std::min(run + 1, order);
    }
}

void ChunkPass::PrefixPass(const ScanModel& m)
{
    const int n = m_n, K = (int)m.motifs.size();
    m_prefix.resize(n);
    m_suffix.resize(n + 1);
    double* A = m_prefix.data();
    double* S = m_suffix.data();
    S[n] = 0.0;
    // The two passes are independent chains of LogSums, each waiting on its
    // previous letter: stepping them together lets the processor work on
    // both at once. Each keeps its own order of additions.
    for (int j = 0; j < n; j++) {
        const int r = n - 1 - j;
        double a = m.lnBgIn + (j > 0 ? A[j - 1] : 0.0);
        double z = m.lnBgIn + S[r + 1];
        for (int k = 0; k < K; k++) {
            const int w = m.motifs[k].width;
            const double* term = m_term.data() + (size_t)k * n;
            if (j + 1 >= w)
                a = ScanLogSum(a, term[j] + (j + 1 > w ? A[j - w] : 0.0));
            if (r + w <= n)
                z = ScanLogSum(z, term[r + w - 1] + S[r + w]);
        }
        A[j] = a;
        S[r] = z;
    }
}

double ChunkPass::WindowScore(int t, int L) const
{
    return m_prefix[t] + m_suffix[t - L + 1] - m_prefix[m_n - 1];
}

void ChunkPass::Segmentation(const ScanModel& m)
{
    const int n = m_n, L = m.moduleLength;
    auto R = [this, L](int t) { return WindowScore(t, L); };
    m_fwd.assign(n, 0.0);
    m_bwd.assign(n, 0.0);
    double* Cf = m_fwd.data();
    double* Db = m_bwd.data();
    for (int t = L - 1; t < n; t++) {
        double bgStep = m.ln1mRho + (t >= 1 ? Cf[t - 1] : 0.0);
        double mod = m.lnRho + R(t) + (t >= L ? Cf[t - L] : 0.0);
        Cf[t] = ScanLogSum(bgStep, mod);
    }
    for (int t = n - 2; t >= 0; t--) {
        double bgStep = (t + 1 >= L - 1 ? m.ln1mRho : 0.0) + Db[t + 1];
        Db[t] = t + L <= n - 1 ? ScanLogSum(bgStep, m.lnRho + R(t + L) + Db[t + L]) : bgStep;
    }
    const double Z = Cf[n - 1];
    const int starts = n - L + 1;
    m_startPr.resize(starts);
    m_cum.resize(starts + 1);
    m_cum[0] = 0.0;
    for (int s = 0; s < starts; s++) {
        const int t = s + L - 1;
        double lp = m.lnRho + R(t) + (s >= 1 ? Cf[s - 1] : 0.0) + Db[t] - Z;
        m_startPr[s] = lp > kLogPrZero ? exp(lp) : 0.0;
        m_cum[s + 1] = m_cum[s] + m_startPr[s];
    }
    // Module probability of letter p: the windows starting in p-L+1 .. p.
    // A difference of running sums can come out a hair below 0; it is 0.
    m_cover.resize(n);
    for (int p = 0; p < n; p++) {
        int hi = std::min(p, starts - 1) + 1, lo = std::max(0, p - L + 1);
        double c = hi > lo ? m_cum[hi] - m_cum[lo] : 0.0;
        m_cover[p] = c > 0.0 ? c : 0.0;
    }
}

double ChunkPass::WindowPass(const ScanModel& m, int s, bool ratioOnly)
{
    const int n = m_n, L = m.moduleLength, K = (int)m.motifs.size();
    m_F.resize(L);
    m_G.resize(L);
    double* F = m_F.data();
    double* G = m_G.data();
    for (int j = 0; j < L; j++) {
        double a = m.lnBgIn + (j > 0 ? F[j - 1] : 0.0);
        for (int k = 0; k < K; k++) {
            const int w = m.motifs[k].width;
            if (j + 1 < w)
                continue;
            a = ScanLogSum(a, m_term[(size_t)k * n + s + j] + (j + 1 > w ? F[j - w] : 0.0));
        }
        F[j] = a;
    }
    if (ratioOnly)
        return F[L - 1];
    G[L - 1] = 0.0;
    for (int j = L - 2; j >= 0; j--) {
        double a = m.lnBgIn + G[j + 1];
        for (int k = 0; k < K; k++) {
            const int w = m.motifs[k].width;
            if (j + w <= L - 1)
                a = ScanLogSum(a, m_term[(size_t)k * n + s + j + w] + G[j + w]);
        }
        G[j] = a;
    }
    return F[L - 1];
}

void ChunkPass::AddCall(const ScanModel& m, int s, long long offset, ChunkResult* out)
{
    const int L = m.moduleLength, K = (int)m.motifs.size();
    ScanCall call;
    call.start = offset + s;
    call.llr = WindowPass(m, s);
    call.startPr = m_startPr[s];
    call.maxPr = *std::max_element(m_cover.begin() + s, m_cover.begin() + s + L);
    for (int j = 0; j < L; j++) {
        const int p = s + j;
        for (int k = 0; k < K; k++) {
            const ScanMotif& mo = m.motifs[k];
            if (j + 1 < mo.width || m_lastBad[p] > p - mo.width)
                continue;
            double lo[2];
            StrandLogOdds(mo, m_code.data(), m_bg.data(), p, &lo[0], &lo[1]);
            const double before = j + 1 > mo.width ? m_F[j - mo.width] : 0.0;
            double pr[2];
            for (int strand = 0; strand < 2; strand++) {
                double lp = m.lnSite + lo[strand] + before + m_G[j] - call.llr;
                pr[strand] = lp > kLogPrZero ? exp(lp) : 0.0;
            }
            const int best = pr[1] > pr[0] ? 1 : 0;
            if (pr[0] + pr[1] < kSitePosteriorMin)
                continue;
            const unsigned char* word = m_code.data() + p - mo.width + 1;
            const double pv = best == 0 ? mo.sitePValue.PValue(word) : mo.sitePValue.PValueReverse(word);
            call.sites.push_back({k, offset + p - mo.width + 1, best == 0, lo[best], pr[0] + pr[1], pv});
        }
    }
    std::sort(call.sites.begin(), call.sites.end(),
              [](const ScanSite& a, const ScanSite& b) { return a.start != b.start ? a.start < b.start : a.motif < b.motif; });
    out->calls.push_back(std::move(call));
}

void ChunkPass::AddPrRuns(int from, int to, long long offset, ChunkResult* out)
{
    for (int p = from; p < to; p++) {
        if (m_cover[p] < kModPrFloor)
            continue;
        int milli = (int)floor(m_cover[p] * 1000.0 + 0.5);
        if (!out->prRuns.empty() && out->prRuns.back().end == offset + p && out->prRuns.back().milli == milli)
            out->prRuns.back().end++;
        else
            out->prRuns.push_back({offset + p, offset + p + 1, milli});
    }
}

void ChunkPass::MarkPeaks(int L)
{
    const int starts = m_n - L + 1;
    m_lead.resize(starts);
    m_trail.resize(starts);
    m_coverMax.resize(m_n);
    m_deque.resize(m_n);
    RunningMax(m_startPr.data(), starts, L - 1, +1, m_lead.data(), m_deque.data());
    RunningMax(m_startPr.data(), starts, L - 1, -1, m_trail.data(), m_deque.data());
    RunningMax(m_cover.data(), m_n, L, +1, m_coverMax.data(), m_deque.data());
}

bool ChunkPass::IsCall(int s, int L) const
{
    const int starts = m_n - L + 1;
    const double p = m_startPr[s];
    if (!(p > 0.0) || !(m_coverMax[s] > 0.5))
        return false;
    if (s + 1 < starts && p < m_lead[s + 1])
        return false;   // a stronger start to the right
    return s == 0 || p > m_trail[s - 1];   // and none as strong to the left
}

void ChunkPass::Scan(const ScanModel& m, const char* x, int n, long long offset, long long ownStart,
                     long long ownEnd, ChunkResult* out)
{
    const int L = m.moduleLength;
    ScoreMotifs(m, x, n);
    PrefixPass(m);
    Segmentation(m);
    MarkPeaks(L);
    const int from = (int)(ownStart - offset), to = (int)std::min<long long>(ownEnd - offset, n - L + 1);
    for (int s = from; s < to; s++)
        if (IsCall(s, L))
            AddCall(m, s, offset, out);
    AddPrRuns(from, (int)(ownEnd - offset), offset, out);
}

void ChunkPass::ScanNull(const ScanModel& m, const char* x, int n, long long offset, long long ownStart,
                         long long ownEnd, ChunkResult* out)
{
    ScoreMotifs(m, x, n);
    PrefixPass(m);
    const int L = m.moduleLength;
    long long first = (ownStart + L - 1) / L * L;
    for (long long tile = first; tile < ownEnd; tile += L) {
        const int s0 = (int)(tile - offset);
        if (s0 < 1 || s0 + 2 * L - 1 > n)
            continue;   // the tile's windows are not all inside the chunk
        int best = s0;
        for (int s = s0 + 1; s < s0 + L; s++)
            if (WindowScore(s + L - 1, L) > WindowScore(best + L - 1, L))
                best = s;
        out->tileBest.push_back(WindowPass(m, best, true));
    }
}
