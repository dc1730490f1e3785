// Lifetime of the sampler object and the small list operations shared by
// every step: release, deep copy of site lists, insertion, module total.
#include "model/GibbsDP.h"

CGibbsDP::CGibbsDP()
    : m_MotifNum(1), m_ModLen(-1), m_ModNum(0), m_ModPosNum(0), m_FixModLen(false),
      m_ModLenStep(10), m_Sites(nullptr), m_ModInfo(nullptr), m_CountMat(nullptr),
      m_Width(nullptr), m_MaxWidth(20), m_MinWidth(8), m_SiteNum(nullptr),
      m_Threshold(0.5), m_Independent(false), m_SampleParam(false), m_UseBgFile(false),
      m_Seq(nullptr), m_SeqName(nullptr), m_GivenPWM(nullptr), m_UsePWM(false), m_SeqNum(0),
      m_BgLines(nullptr), m_BestSites(nullptr), m_BestLogPost(0.0), m_CalBF(false), m_LogPMO(0.0),
      m_BothStrand(true), m_TotalLen(0), m_IterNum(0), m_BurnIn(0), m_ModPriorA(1),
      m_ModPriorB(1), m_MotifPrior(nullptr), m_RandSeed(0), m_Threads(1), m_RunIndex(0),
      m_Input(nullptr), m_BgOrder(1)
{
    for (int i = 0; i < 20; i++)
        m_BgModel[i] = 0.0;
    for (int b = 0; b < 4; b++)
        m_BasePrior[b] = 1;
}

CGibbsDP::~CGibbsDP()
{
    FreeMemery();
}

void CGibbsDP::FreeMemery()
{
    delete[] m_Seq;
    m_Seq = nullptr;
    delete[] m_SeqName;
    m_SeqName = nullptr;
    delete[] m_Width;
    m_Width = nullptr;
    delete[] m_SiteNum;
    m_SiteNum = nullptr;
    delete[] m_MotifPrior;
    m_MotifPrior = nullptr;
    if (m_CountMat) {
        for (int k = 0; k < m_MotifNum; k++)
            delete[] m_CountMat[k];
        delete[] m_CountMat;
        m_CountMat = nullptr;
    }
    if (m_ModInfo) {
        for (int i = 0; i < m_SeqNum; i++)
            delete[] m_ModInfo[i].ModStart;
        delete[] m_ModInfo;
        m_ModInfo = nullptr;
    }
    SITEINFO*** tables[2] = {m_Sites, m_BestSites};
    for (SITEINFO*** table : tables) {
        if (!table)
            continue;
        for (int k = 0; k < m_MotifNum; k++)
            DelSiteHead(table[k]);
        delete[] table;
    }
    m_Sites = nullptr;
    m_BestSites = nullptr;
}

// Deletes the sites behind a head node, keeping the head.
static void ClearList(SITEINFO* head)
{
    SITEINFO* node = head->Next;
    while (node) {
        SITEINFO* next = node->Next;
        delete node;
        node = next;
    }
    head->Next = nullptr;
}

void CGibbsDP::DelSiteHead(SITEINFO** heads)
{
    if (!heads)
        return;
    for (int i = 0; i < m_SeqNum; i++) {
        if (!heads[i])
            continue;
        ClearList(heads[i]);
        delete heads[i];
    }
    delete[] heads;
}

void CGibbsDP::CopySample(SITEINFO*** from, SITEINFO*** to)
{
    for (int k = 0; k < m_MotifNum; k++)
        CopySample(from[k], to[k]);
}

void CGibbsDP::CopySample(SITEINFO** from, SITEINFO** to)
{
    for (int i = 0; i < m_SeqNum; i++) {
        ClearList(to[i]);
        SITEINFO* tail = to[i];
        for (SITEINFO* s = from[i]->Next; s; s = s->Next) {
            SITEINFO* copy = new SITEINFO;
            copy->Word = s->Word;
            copy->Pos = s->Pos;
            copy->Strand = s->Strand;
            copy->Count = s->Count;
            tail->Next = copy;
            tail = copy;
        }
    }
}

void CGibbsDP::AddSite(SITEINFO* after, SITEINFO* site)
{
    site->Next = after->Next;
    after->Next = site;
}

void CGibbsDP::SetMotifWidth(int k, int w)
{
    m_Width[k] = w;
    delete[] m_CountMat[k];
    m_CountMat[k] = new int[w * 4]();
}

void CGibbsDP::ResizeMatrices(double** pwm)
{
    for (int k = 0; k < m_MotifNum; k++) {
        delete[] pwm[k];
        pwm[k] = new double[4 * m_Width[k]]();
    }
}

int CGibbsDP::CountModule(MODULEINFO* records)
{
    int total = 0;
    for (int i = 0; i < m_SeqNum; i++)
        total += records[i].ModCount;
    return total;
}
