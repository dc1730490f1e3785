// lifetime and list operations of the sampler object.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ModelTestUtil.h"
#include "support/TestSupport.h"

namespace {

SITEINFO* Site(const char* word, int pos, bool strand, int count = 0)
{
    SITEINFO* s = new SITEINFO;
    s->Word = word;
    s->Pos = pos;
    s->Strand = strand;
    s->Count = count;
    return s;
}

std::string Describe(SITEINFO* head)
{
    std::string d;
    for (SITEINFO* s = head->Next; s; s = s->Next)
        d += std::string(s->Word.m_Data ? s->Word.m_Data : "") + "@" + std::to_string(s->Pos) +
             (s->Strand ? "+" : "-") + std::to_string(s->Count) + " ";
    return d;
}

}  // namespace

TEST(GibbsDPLists, DestroyingANeverInitialisedObjectReleasesNothing)
{
    CGibbsDP* g = new CGibbsDP;
    g->m_MotifNum = 3;
    g->m_SeqFile = "x.fa";
    g->m_OutFile = "out.txt";
    g->m_ModLen = 200;
    delete g;
    CGibbsDP local;
    EXPECT_EQ(1, local.m_MotifNum);
    EXPECT_EQ(-1, local.m_ModLen);
    EXPECT_EQ(10, local.m_ModLenStep);
    EXPECT_EQ(nullptr, local.m_Sites);
    EXPECT_TRUE(local.m_BothStrand);
}

TEST(GibbsDPLists, AddSiteBehindTheHeadPutsTheNewestFirst)
{
    CGibbsDP g;
    g.m_MotifNum = 1;
    g.m_SeqNum = 1;
    g.m_Sites = NewSiteTable(1, 1);
    SITEINFO* head = g.m_Sites[0][0];
    g.AddSite(head, Site("AAAAA", 1, true));
    EXPECT_EQ("AAAAA@1+0 ", Describe(head));
    g.AddSite(head, Site("CCCCC", 9, false));
    EXPECT_EQ("CCCCC@9-0 AAAAA@1+0 ", Describe(head));
    g.AddSite(head->Next, Site("GGGGG", 5, true));
    EXPECT_EQ("CCCCC@9-0 GGGGG@5+0 AAAAA@1+0 ", Describe(head));
}

TEST(GibbsDPLists, CopySampleIsADeepCopyInSourceOrder)
{
    CGibbsDP g;
    g.m_MotifNum = 2;
    g.m_SeqNum = 3;
    g.m_Sites = NewSiteTable(2, 3);
    g.m_BestSites = NewSiteTable(2, 3);
    g.AddSite(g.m_Sites[0][0], Site("ACGTA", 4, true, 2));
    g.AddSite(g.m_Sites[0][0], Site("TTTTT", 20, false, 5));
    g.AddSite(g.m_Sites[1][2], Site("GGGCC", 0, true));
    // The destination already holds sites: they are replaced.
    g.AddSite(g.m_BestSites[0][0], Site("CCCCC", 7, true));
    g.AddSite(g.m_BestSites[0][1], Site("AAAAA", 3, false));
    SITEINFO* bestHead = g.m_BestSites[0][0];

    g.CopySample(g.m_Sites, g.m_BestSites);
    EXPECT_EQ(bestHead, g.m_BestSites[0][0]);   // head nodes stay
    for (int k = 0; k < 2; k++)
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(Describe(g.m_Sites[k][i]), Describe(g.m_BestSites[k][i])) << k << i;
    EXPECT_EQ("TTTTT@20-5 ACGTA@4+2 ", Describe(g.m_BestSites[0][0]));
    EXPECT_EQ("", Describe(g.m_BestSites[0][1]));
    EXPECT_EQ(nullptr, g.m_BestSites[0][1]->Next);

    // Later changes to the source do not reach the copy.
    SITEINFO* first = g.m_Sites[0][0]->Next;
    first->Word.SetAt(0, 'G');
    first->Pos = 99;
    g.AddSite(g.m_Sites[0][1], Site("CATCA", 1, true));
    EXPECT_EQ("TTTTT@20-5 ACGTA@4+2 ", Describe(g.m_BestSites[0][0]));
    EXPECT_EQ("", Describe(g.m_BestSites[0][1]));
    EXPECT_NE(first, g.m_BestSites[0][0]->Next);
    EXPECT_NE(first->Word.m_Data, g.m_BestSites[0][0]->Next->Word.m_Data);

    // The one-motif form.
    g.CopySample(g.m_Sites[0], g.m_BestSites[0]);
    EXPECT_EQ("GTTTT@99-5 ACGTA@4+2 ", Describe(g.m_BestSites[0][0]));
    EXPECT_EQ("CATCA@1+0 ", Describe(g.m_BestSites[0][1]));
}

TEST(GibbsDPLists, CountModule)
{
    CGibbsDP g;
    g.m_SeqNum = 3;
    MODULEINFO m[3] = {{0, nullptr, 0, 0}, {2, nullptr, 0, 0}, {1, nullptr, 0, 0}};
    EXPECT_EQ(3, g.CountModule(m));
    g.m_SeqNum = 0;
    EXPECT_EQ(0, g.CountModule(m));
}
