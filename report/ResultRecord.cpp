// The result record of a run, built from the sampler state after inference.
//
// CollectResult does what the result file needs computed: per motif it
// rebuilds width, counts and site number from the reported sites (a motif
// is printed with 3 or more sites), and per sequence it cuts the module
// tally into modules. It fills everything of the record except the CPU
// time and the per-sweep statistics, which the driver collects. It writes
// nothing; output/ turns the record into files.
//
// A module is a stretch of positions whose module tally rises above half
// the recorded sweeps (H = R / 2); it ends at the first position whose
// tally falls below H (its exclusive end, which is also the end the result
// file prints); a stretch still open at the end of its sequence ends after
// the last letter and prints the last letter. A module is kept when it
// spans at least L / 5 positions (counted up to the printed end) and holds
// a labelled site position between its start and printed end, inclusive.
// In independent mode (-s) no module is kept. No random draws are made.
#include <cctype>
#include <string>

#include "model/GibbsDP.h"
#include "results/ModuleLabels.h"

static const char kLetters[] = "ACGT";

// Rebuilds width, counts and site number of motif k from its reported
// sites; returns whether the motif is printed (3 or more sites).
static bool RecountMotif(CGibbsDP& g, int k)
{
    const SITEINFO* first = nullptr;
    for (int j = 0; j < g.m_SeqNum && !first; j++)
        first = g.m_BestSites[k][j]->Next;
    if (!first) {
        g.m_SiteNum[k] = 0;
        return false;
    }
    g.SetMotifWidth(k, first->Word.GetLength());
    g.m_SiteNum[k] = g.CalWeightMat(g.m_BestSites[k], g.m_CountMat[k], g.m_Width[k]);
    return g.m_SiteNum[k] > 2;
}

static std::string Text(const CString& s)
{
    return s.GetLength() > 0 ? std::string(s.m_Data, s.GetLength()) : std::string();
}

// First word of a name line, without its '>'.
static std::string FirstWord(const std::string& name)
{
    size_t from = name.empty() || name[0] != '>' ? 0 : 1;
    size_t to = from;
    while (to < name.size() && !isspace((unsigned char)name[to]))
        to++;
    return name.substr(from, to - from);
}

static MotifResult CollectMotif(CGibbsDP& g, int k, int recorded)
{
    MotifResult m;
    m.index = k;
    m.printed = RecountMotif(g, k);
    m.width = g.m_Width[k];
    if (!m.printed)
        return m;
    m.siteCount = g.m_SiteNum[k];
    const int* counts = g.m_CountMat[k];
    for (int c = 0; c < m.width; c++) {
        std::array<int, 4> row{};
        int con = 0;
        for (int b = 0; b < 4; b++) {
            row[b] = counts[4 * c + b];
            if (row[b] > row[con])
                con = b;
        }
        m.counts.push_back(row);
        m.consensus += kLetters[con];
    }
    for (int j = 0; j < g.m_SeqNum; j++) {
        for (const SITEINFO* s = g.m_BestSites[k][j]->Next; s; s = s->Next) {
            SiteResult site;
            site.seq = j;
            site.start = s->Pos;
            site.forward = s->Strand;
            site.word = Text(s->Word);
            site.count = s->Count;
            site.posterior = recorded > 0 ? s->Count / (double)recorded : 0.0;
            m.sites.push_back(site);
        }
    }
    return m;
}

// Appends the kept modules of sequence j to r.modules; returns how many.
static int CollectModules(const CGibbsDP& g, RunResult& r, int j, const int* modTally, int len)
{
    std::vector<int> label = ModuleLabels(r, j, len);
    int half = (g.m_IterNum - g.m_BurnIn) / 2;
    int shortest = g.m_ModLen / 5;
    int kept = 0;
    int start = 0;
    bool inside = false;
    for (int p = 0; p <= len; p++) {
        bool last = p == len;
        if (!inside) {
            if (!last && modTally[p] > half) {
                inside = true;
                start = p;
            }
            continue;
        }
        if (!last && !(modTally[p] < half))
            continue;
        inside = false;
        int printedEnd = last ? len - 1 : p;
        if (printedEnd - start < shortest)
            continue;
        bool labelled = false;
        for (int q = start; q <= printedEnd && !labelled; q++)
            labelled = label[q] != 0;
        if (!labelled)
            continue;
        r.modules.push_back(ModuleResult{j, start, p, printedEnd, {}});
        kept++;
    }
    return kept;
}

static SequenceResult CollectSequence(const CGibbsDP& g, int j, const int* modTally, int len, int n)
{
    SequenceResult s;
    s.name = Text(g.m_SeqName[j]);
    s.id = FirstWord(s.name);
    s.length = len;
    const CString& seq = g.m_Seq[j];
    for (int p = 0; p < seq.GetLength(); p++) {
        switch (seq[p]) {
        case 'A': s.acgt[0]++; break;
        case 'C': s.acgt[1]++; break;
        case 'G': s.acgt[2]++; break;
        case 'T': s.acgt[3]++; break;
        default: s.other++; break;
        }
    }
    s.moduleProb.resize(len > 0 ? len : 0);
    for (int p = 0; p < len; p++)
        s.moduleProb[p] = n > 0 ? modTally[p] / (double)n : 0.0;
    return s;
}

RunResult CGibbsDP::CollectResult(int** modTally, int* len, int n)
{
    RunResult r;
    r.run = m_RunIndex;
    r.seed = m_RandSeed;
    r.cmdLine = Text(m_CmdLine);
    r.sweeps = m_IterNum;
    r.burnIn = m_BurnIn;
    r.recorded = m_IterNum - m_BurnIn;
    r.motifNum = m_MotifNum;
    r.independent = m_Independent;
    r.bothStrands = m_BothStrand;
    r.hasLogPMO = m_CalBF;
    r.logPMO = m_LogPMO;
    for (int b = 0; b < 4; b++)
        r.bgFreqs[b] = m_BgModel[b];
    r.bgOrder = m_BgChain ? m_BgChain->Order() : 1;
    r.bgChain.resize((size_t)r.bgOrder + 1);
    for (int j = 0; j <= r.bgOrder; j++)
        for (int i = 0; i < (4 << (2 * j)); i++)
            r.bgChain[j].push_back(m_BgChain ? m_BgChain->Prob(j, i / 4, i % 4)
                                             : m_BgModel[j == 0 ? i : 4 + i]);
    for (int k = 0; k < m_MotifNum; k++) {
        r.motifs.push_back(CollectMotif(*this, k, r.recorded));
        if (k < (int)m_SeedMatrixNames.size())
            r.motifs.back().seedMatrix = m_SeedMatrixNames[k];
    }
    int M = 0;
    for (int j = 0; j < m_SeqNum; j++) {
        r.seqs.push_back(CollectSequence(*this, j, modTally[j], len[j], n));
        M += CollectModules(*this, r, j, modTally[j], len[j]);
    }
    m_ModNum = M;
    if (m_Independent)
        r.modules.clear();   // the result file shows no modules in this mode
    r.moduleLength = m_ModLen;
    return r;
}
