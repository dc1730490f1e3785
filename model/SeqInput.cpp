// Sequence input: the sampler's copy of the FASTA records and the
// allocation of every per-motif and per-sequence member of the sampler
// object.
//
// The records are read once per process, before the first run
// (run/Inputs.h), and handed to every run through m_Input; the sampler
// opens no file. Without records the run has no sequences.
#include <string>
#include <vector>

#include "base/Random.h"
#include "io/FastaText.h"
#include "model/GibbsDP.h"

void CGibbsDP::ReadInputSeq()
{
    const int count = m_Input ? (int)m_Input->size() : 0;
    m_SeqNum = count;
    m_Seq = new CString[count];
    m_SeqName = new CString[count];
    m_TotalLen = 0;
    for (int i = 0; i < count; i++) {
        const FastaRecord& r = (*m_Input)[i];
        m_SeqName[i].Append(r.Name.data(), (int)r.Name.size());
        if (!r.Letters.empty())
            m_Seq[i].Append(r.Letters.data(), (int)r.Letters.size());
        m_TotalLen += (int)r.Letters.size();
    }
}

void CGibbsDP::Initialize()
{
    ReadInputSeq();

    const int K = m_MotifNum;
    const int N = m_SeqNum;

    m_Width = new int[K];
    for (int k = 0; k < K; k++) {
        double u = RandOpen(m_Rng);
        int w = m_MinWidth + (int)((m_MaxWidth - m_MinWidth + 1) * u);
        if (w < m_MinWidth)
            w = m_MinWidth;
        if (w > m_MaxWidth)
            w = m_MaxWidth;
        m_Width[k] = w;
    }

    m_CountMat = new int*[K];
    for (int k = 0; k < K; k++)
        m_CountMat[k] = new int[m_Width[k] * 4]();
    m_SiteNum = new int[K + 1]();

    m_ModInfo = new MODULEINFO[N];
    for (int i = 0; i < N; i++) {
        m_ModInfo[i].ModCount = 0;
        m_ModInfo[i].ModStart = nullptr;
        m_ModInfo[i].LogRatio = 0.0;
        m_ModInfo[i].StepLogRatio = 0.0;
    }

    m_Sites = new SITEINFO**[K];
    m_BestSites = new SITEINFO**[K];
    for (int k = 0; k < K; k++) {
        m_Sites[k] = new SITEINFO*[N];
        m_BestSites[k] = new SITEINFO*[N];
        for (int i = 0; i < N; i++) {
            m_Sites[k][i] = new SITEINFO;
            m_BestSites[k][i] = new SITEINFO;
        }
    }

    m_ModPriorA = 1;
    m_ModPriorB = 1;
    m_MotifPrior = new int[K + 1];
    for (int k = 0; k <= K; k++)
        m_MotifPrior[k] = 1;
    for (int b = 0; b < 4; b++)
        m_BasePrior[b] = 1;

    if (m_Independent) {
        m_FixModLen = true;
        m_ModLen = m_TotalLen;
    }
}
