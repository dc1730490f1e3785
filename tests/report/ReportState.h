// Hand-built sampler states for the report tests: sequences and names,
// K motifs of one width, empty current and best site lists, module records
// without modules, and the driver's tally buffers.
#ifndef RUZARAVO_TESTS_REPORT_REPORTSTATE_H
#define RUZARAVO_TESTS_REPORT_REPORTSTATE_H

#include <string>
#include <vector>

#include "base/Helpers.h"
#include "model/GibbsDP.h"
#include "support/TestSupport.h"

// Fills g with the given sequences (named >s1, >s2, ... unless names are
// given) and K motifs of width w. The object releases everything itself.
inline void BuildState(CGibbsDP& g, const std::vector<std::string>& seqs, int K, int w,
                       const std::vector<std::string>& names = {})
{
    int N = (int)seqs.size();
    g.m_MotifNum = K;
    g.m_SeqNum = N;
    g.m_Seq = new CString[N];
    g.m_SeqName = new CString[N];
    g.m_TotalLen = 0;
    for (int j = 0; j < N; j++) {
        g.m_Seq[j] = seqs[j].c_str();
        std::string name = j < (int)names.size() ? names[j] : ">s" + std::to_string(j + 1);
        g.m_SeqName[j] = name.c_str();
        g.m_TotalLen += (int)seqs[j].size();
    }
    g.m_Width = new int[K];
    g.m_SiteNum = new int[K + 1]();
    g.m_MotifPrior = new int[K + 1];
    g.m_CountMat = new int*[K];
    for (int k = 0; k < K; k++) {
        g.m_Width[k] = w;
        g.m_CountMat[k] = new int[w * 4]();
    }
    for (int k = 0; k <= K; k++)
        g.m_MotifPrior[k] = 1;
    g.m_ModInfo = new MODULEINFO[N];
    for (int j = 0; j < N; j++)
        g.m_ModInfo[j] = MODULEINFO{0, nullptr, 0.0, 0.0};
    g.m_Sites = NewSiteTable(K, N);
    g.m_BestSites = NewSiteTable(K, N);
}

// Puts a site of motif k at pos of sequence j (first in its list), with
// the word at the motif's width in motif orientation.
inline SITEINFO* PutSite(CGibbsDP& g, SITEINFO*** table, int k, int j, int pos, bool forward,
                         int count = 0)
{
    SITEINFO* s = new SITEINFO;
    s->Pos = pos;
    s->Strand = forward;
    s->Word = g.m_Seq[j].Mid(pos, g.m_Width[k]);
    if (!forward)
        s->Word = Reverse(s->Word);
    s->Count = count;
    g.AddSite(table[k][j], s);
    return s;
}

// The driver's four tallies for a state, created by SetZerosMD and
// released by DeleteMD.
struct TALLIES {
    CGibbsDP& G;
    int** Site;
    int* Width;
    int* SiteNum;
    int** Mod;
    explicit TALLIES(CGibbsDP& g) : G(g)
    {
        Site = new int*[g.m_SeqNum];
        Mod = new int*[g.m_SeqNum];
        Width = new int[g.m_MotifNum * kWidthHistSize];
        SiteNum = new int[g.m_MotifNum * kSiteNumHistSize];
        g.SetZerosMD(Site, Width, SiteNum, Mod);
    }
    ~TALLIES() { G.DeleteMD(Site, Width, SiteNum, Mod); }
    int& Cell(int j, int p, int k, int strand) { return Site[j][(p * G.m_MotifNum + k) * 2 + strand]; }
};

#endif
