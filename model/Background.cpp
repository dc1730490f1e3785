// Background model: the first-order Markov chain estimated from
// the input sequences, the background column of the position tables, and
// the log-probability of a word under the chain.
//
// On request (--bg-order, --bg-fasta) an order-k chain estimated from a
// separate background set (estimated once before the first run and shared
// by every run) or from the input (model/MarkovChain.h)
// replaces the first-order chain in every one of these uses: the column,
// and through CalLogBgPr the posterior score, module sampling, the width and
// phase moves, site alignment and the model odds. Order 1 from the input
// without a background set keeps the established chain, bit for bit.
//
// Guards for degenerate input:
// - a letter that never occurs gets a uniform transition row (0.25 each);
//   input without any A, C, G or T gets base frequencies of 0.25;
// - a probability of exactly 0 (a pair never seen, a letter never seen) is
//   scored as kBgZeroLogPr instead of ln 0 = -inf; every positive
//   probability keeps its own logarithm, so wherever the chain's numbers are
//   finite they are unchanged;
// - background-file lines (read before the first run, io/SideFiles.h) naming a sequence or position that does not
//   exist, or giving a probability that is not a positive finite number,
//   are ignored; the column is first filled from the chain.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Helpers.h"
#include "io/SideFiles.h"
#include "model/GibbsDP.h"

// ln(1e-6): the score of a letter whose chain probability is 0. Small
// enough to stay below the logarithm of any probability that the chain of a
// realistic input gives, large enough that the background of a whole window
// (at most 49 letters) stays far above NoSiteLogPr, so a word that cannot
// be a site never looks like one.
static const double kBgZeroLogPr = -13.815510557964274;

static inline double BgLog(double pr)
{
    return pr > 0.0 ? log(pr) : kBgZeroLogPr;
}

// The natural logarithms of the 20 entries of a background model.
static void LogModel(const double* model, double* logs)
{
    for (int i = 0; i < 20; i++)
        logs[i] = BgLog(model[i]);
}

static inline bool IsN(char c)
{
    return c == 'N' || c == 'n';
}

void CGibbsDP::BuildBackground()
{
    for (int i = 0; i < 20; i++)
        m_BgModel[i] = 0.0;

    for (int s = 0; s < m_SeqNum; s++) {
        const char* x = m_Seq[s].m_Data;
        const int len = m_Seq[s].GetLength();
        for (int k = 0; k < len; k++) {
            char c = x[k];
            if (c == 'A' || c == 'C' || c == 'G' || c == 'T')
                m_BgModel[LetterCode(c)] += 1.0;
            if (k < len - 1) {
                char d = x[k + 1];
                if (c != 'N' && d != 'N')
                    m_BgModel[4 + 4 * LetterCode(c) + LetterCode(d)] += 1.0;
            }
        }
    }

    for (int a = 0; a < 4; a++) {
        for (int b = 0; b < 4; b++) {
            if (m_BgModel[a] > 0.0)
                m_BgModel[4 + 4 * a + b] = m_BgModel[4 + 4 * a + b] / m_BgModel[a];
            else
                m_BgModel[4 + 4 * a + b] = 0.25;   // the letter never occurs
        }
    }

    double sum = m_BgModel[0] + m_BgModel[1] + m_BgModel[2] + m_BgModel[3];
    for (int a = 0; a < 4; a++) {
        if (sum > 0.0)
            m_BgModel[a] = m_BgModel[a] / sum;
        else
            m_BgModel[a] = 0.25;                   // no A, C, G or T at all
    }

    m_BgChain = m_SetChain;   // estimated once, before the first run
    if (m_BgChain || m_BgOrder == 1)
        return;
    std::vector<std::string> seqs;
    for (int s = 0; s < m_SeqNum; s++)
        seqs.emplace_back(m_Seq[s].m_Data ? m_Seq[s].m_Data : "", m_Seq[s].GetLength());
    m_BgChain = std::make_shared<const MarkovChain>(MarkovChain::Estimate(seqs, m_BgOrder));
}

void CGibbsDP::CalLogBgPrPos(double** tables, int* lengths)
{
    const int cols = 2 * m_MotifNum + 1;
    const int bg = 2 * m_MotifNum;
    double logs[20];
    LogModel(m_BgModel, logs);

    // The chain's column; with a background file it is the fill for every
    // position the file does not set.
    for (int s = 0; s < m_SeqNum; s++) {
        const char* x = m_Seq[s].m_Data;
        int len = lengths[s];
        if (len > m_Seq[s].GetLength())
            len = m_Seq[s].GetLength();
        double* t = tables[s];
        if (m_BgChain) {
            if (len > 0)
                m_BgChain->FillLogColumn(x, len, AmbiguousBgLogPr, t + bg, cols);
            continue;
        }
        for (int p = 0; p < len; p++) {
            double v;
            if (p == 0)
                v = IsN(x[0]) ? AmbiguousBgLogPr : logs[LetterCode(x[0])];
            else if (IsN(x[p - 1]) || IsN(x[p]))
                v = AmbiguousBgLogPr;
            else
                v = logs[4 + 4 * LetterCode(x[p - 1]) + LetterCode(x[p])];
            t[(long)p * cols + bg] = v;
        }
    }

    if (!m_UseBgFile || !m_BgLines)
        return;
    for (const BgFileLine& line : *m_BgLines) {
        const double* field = line.field;
        double sv = field[0] + 0.1;
        double pv = field[6] + 0.1;
        // Integer parts s and p must name an existing sequence and position.
        if (!(sv >= 1.0 && sv < (double)m_SeqNum + 1.0))
            continue;
        int s = (int)sv;
        int len = lengths[s - 1];
        if (len > m_Seq[s - 1].GetLength())
            len = m_Seq[s - 1].GetLength();
        if (!(pv >= 1.0 && pv < (double)len + 1.0))
            continue;
        int p = (int)pv;
        double pr;
        switch (LetterCode(m_Seq[s - 1].m_Data[p - 1])) {
        case 3: pr = field[3]; break;   // T
        case 1: pr = field[4]; break;   // C
        case 2: pr = field[5]; break;   // G
        default: pr = field[2]; break;  // A and every other letter
        }
        if (!(pr > 0.0) || !std::isfinite(pr))
            continue;
        tables[s - 1][(long)(p - 1) * cols + bg] = log(pr);
    }
}

double CGibbsDP::CalLogBgPr(const char* word, int n)
{
    if (n <= 0 || !word)
        return 0.0;
    if (m_BgChain)
        return m_BgChain->LogPrWord(word, n, AmbiguousBgLogPr);
    double r = BgLog(m_BgModel[LetterCode(word[0])]);
    for (int i = 0; i + 1 < n; i++)
        r += BgLog(m_BgModel[4 + 4 * LetterCode(word[i]) + LetterCode(word[i + 1])]);
    return r;
}

double CGibbsDP::CalLogBgPr(CString word)
{
    return CalLogBgPr(word.m_Data, word.GetLength());
}
