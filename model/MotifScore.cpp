// Motif scoring: the motif columns of the position tables, the
// log-likelihood of one word under one weight matrix, and the letter counts
// of a motif's sites.
//
// A sweep scores each sequence with ScoreSequence (sampler/SweepPasses.cpp);
// CalLogPrPos scores every table at once the same way, for the model odds.
// Scoring takes the natural log of every weight-matrix entry once per call
// (the same bits as calling log for each letter), codes each sequence's
// letters (and their complements) once, and tracks the last N seen so that
// "the window holds an N" costs one comparison; nothing is allocated per
// position. Each score is the defined sum in its defined order: 0.0 plus
// ln pwm[4i + code] for i = 0 .. W-1, taken up to its first letters from
// the prefix tables (ScoreTables.h). CalLogMotifPr is that sum letter by
// letter: the reference the tests hold both to, and the site alignment's
// scorer.
#include <cmath>
#include <vector>

#include "base/Helpers.h"
#include "model/GibbsDP.h"
#include "model/ScoreTables.h"

namespace {

// Letter code of a character and of its complement (Complement, then
// the letter code): A 0/3, C 1/2, G 2/1, T 3/0; every other
// character 0 both ways (its complement is not A, C, G or T either).
struct CODETABLES {
    unsigned char Code[256];
    unsigned char CompCode[256];
    CODETABLES()
    {
        for (int c = 0; c < 256; c++) {
            Code[c] = (unsigned char)LetterCode((char)c);
            CompCode[c] = (unsigned char)LetterCode(Complement((char)c));
        }
    }
};

const CODETABLES kCodes;

inline bool IsN(char c)
{
    return c == 'N' || c == 'n';
}

}  // namespace

void CGibbsDP::MatrixLogs(double** pwm, std::vector<double>* logs, std::vector<int>* offset)
{
    const int K = m_MotifNum;
    offset->assign(K + 1, 0);
    for (int k = 0; k < K; k++)
        (*offset)[k + 1] = (*offset)[k] + 4 * m_Width[k];
    logs->assign((*offset)[K] > 0 ? (*offset)[K] : 1, 0.0);
    for (int k = 0; k < K; k++)
        for (int e = 0; e < 4 * m_Width[k]; e++)
            (*logs)[(*offset)[k] + e] = log(pwm[k][e]);
}

void CGibbsDP::BuildScoreTables(double** pwm, long long letters, ScoreTables* t)
{
    MatrixLogs(pwm, &t->logs, &t->offset);
    BuildPrefixSums(m_Width, m_MotifNum, PrefixDepthFor(letters, m_MotifNum), t);
}

void CGibbsDP::CalLogPrPos(double** tables, int* lengths, double** pwm)
{
    long long letters = 0;
    for (int s = 0; s < m_SeqNum; s++)
        letters += lengths[s];
    ScoreTables t;
    BuildScoreTables(pwm, letters, &t);
    ScoreScratch scratch;
    for (int s = 0; s < m_SeqNum; s++)
        ScoreSequence(s, tables[s], lengths[s], t, &scratch);
}

// Letter codes of one sequence and the word grams ending at each letter:
// fwd[q] the maxDepth letters ending at q, the earliest highest; rev[q] the
// complements of letters q, q - 1, .., the latest highest (letters before
// the sequence count as code 0; no word uses them); lastN[p] the largest
// position <= p holding N or n (-1 if none).
static void CodeLetters(const unsigned char* x, int n, int D, unsigned char* code, unsigned char* comp,
                        uint32_t* fwd, uint32_t* rev, int* lastN)
{
    const uint32_t mask = (uint32_t)((1ULL << (2 * D)) - 1);
    uint32_t f = 0, r = 0;
    for (int p = 0; p < n; p++) {
        code[p] = kCodes.Code[x[p]];
        comp[p] = kCodes.CompCode[x[p]];
        f = ((f << 2) | code[p]) & mask;
        r = (r >> 2) | ((uint32_t)comp[p] << (2 * (D - 1)));
        fwd[p] = f;
        rev[p] = r;
    }
    int seen = -1;
    for (int p = 0; p < n; p++) {
        if (IsN((char)x[p]))
            seen = p;
        lastN[p] = seen;
    }
}

// Room for the codes and grams of both strands of n letters; grows only.
static void ReserveScratch(ScoreScratch* scratch, int n)
{
    const size_t room = 2 * (size_t)n;
    if (scratch->codes.size() < room)
        scratch->codes.resize(room);
    if (scratch->grams.size() < room)
        scratch->grams.resize(room);
    if (scratch->lastN.size() < (size_t)n)
        scratch->lastN.resize(n);
}

void CGibbsDP::ScoreSequence(int s, double* table, int len, const ScoreTables& t, ScoreScratch* scratch)
{
    const int K = m_MotifNum;
    const int cols = 2 * K + 1;
    const unsigned char* x = (const unsigned char*)m_Seq[s].m_Data;
    const int seqLen = m_Seq[s].GetLength();
    const int n = len < seqLen ? len : seqLen;   // positions with a letter
    ReserveScratch(scratch, n > 0 ? n : 1);
    unsigned char* code = scratch->codes.data();
    unsigned char* comp = code + n;
    uint32_t* fwd = scratch->grams.data();
    uint32_t* rev = fwd + n;
    int* lastN = scratch->lastN.data();
    const int D = t.maxDepth;
    CodeLetters(x, n, D, code, comp, fwd, rev, lastN);
    // A table longer than its sequence: no word ends past the sequence.
    for (int p = n; p < len; p++)
        for (int c = 0; c < 2 * K; c++)
            table[(long)p * cols + c] = NoSiteLogPr;

    // One motif at a time, so that only its prefix table is in use.
    for (int k = 0; k < K; k++) {
        const int W = m_Width[k];
        const int d = t.depth[k];
        const double* lp = t.logs.data() + t.offset[k];
        const double* prefix = t.prefix.data() + t.prefixOffset[k];
        const uint32_t dMask = (uint32_t)((1ULL << (2 * d)) - 1);
        const int revShift = 2 * (D - d);
        double* row = table + 2 * k;
        for (int p = 0; p < n; p++, row += cols) {
            const int first = p - W + 1;
            if (first < 0 || lastN[p] >= first) {
                row[0] = NoSiteLogPr;
                row[1] = NoSiteLogPr;
                continue;
            }
            // The word's first d letters end at first + d - 1.
            const double* col = lp + 4 * d;
            const unsigned char* c = code + first + d;
            double sf = prefix[fwd[first + d - 1] & dMask];
            for (int i = d; i < W; i++, col += 4)
                sf += col[*c++];
            row[0] = sf;
            if (!m_BothStrand) {
                row[1] = NoSiteLogPr;
                continue;
            }
            col = lp + 4 * d;
            c = comp + p - d;
            double sr = prefix[rev[p] >> revShift];
            for (int i = d; i < W; i++, col += 4)
                sr += col[*c--];
            row[1] = sr;
        }
    }
}

double CGibbsDP::CalLogMotifPr(CString word, double* pwm)
{
    double r = 0.0;
    const int n = word.GetLength();
    for (int i = 0; i < n; i++)
        r += log(pwm[4 * i + LetterCode(word.m_Data[i])]);
    return r;
}

int CGibbsDP::CalWeightMat(SITEINFO** heads, int* counts, int width)
{
    for (int e = 0; e < width * 4; e++)
        counts[e] = 0;
    int n = 0;
    for (int j = 0; j < m_SeqNum; j++) {
        if (!heads[j])
            continue;
        for (SITEINFO* site = heads[j]->Next; site; site = site->Next) {
            const char* w = site->Word.m_Data;
            int m = site->Word.GetLength();
            if (m > width)
                m = width;
            for (int i = 0; i < m; i++) {
                switch (w[i]) {
                case 'A': case 'a': counts[4 * i + 0]++; break;
                case 'C': case 'c': counts[4 * i + 1]++; break;
                case 'G': case 'g': counts[4 * i + 2]++; break;
                case 'T': case 't': counts[4 * i + 3]++; break;
                default: break;
                }
            }
            n++;
        }
    }
    return n;
}
