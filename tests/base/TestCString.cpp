// The text string's clamping rules and quirks, which callers rely on.
#include <gtest/gtest.h>

#include "base/CString.h"

static CString Make(const char* s)
{
    CString c;
    c = s;
    return c;
}

TEST(CString, UnsetStringBehavesAsEmpty)
{
    CString unset;
    EXPECT_EQ(nullptr, unset.m_Data);
    EXPECT_EQ(0, unset.GetLength());
    CString joined = unset + "xy";
    EXPECT_STREQ("xy", joined.m_Data);
    EXPECT_TRUE(unset == Make(""));
    CString copy(unset);
    EXPECT_EQ(0, copy.GetLength());
    EXPECT_EQ(0, unset.Find(Make("")));
    EXPECT_EQ(-1, unset.Find("A"));
}

TEST(CString, LeftRightClampAndNegativeCounts)
{
    CString s = Make("ACGT");
    EXPECT_STREQ("ACGT", s.Left(10).m_Data);
    EXPECT_STREQ("GT", s.Right(2).m_Data);
    CString none = s.Left(0);
    ASSERT_NE(nullptr, none.m_Data);   // an empty result still has a buffer
    EXPECT_EQ(0, none.GetLength());
    EXPECT_EQ(0, s.Left(-3).GetLength());
    EXPECT_EQ(0, s.Right(-1).GetLength());
    EXPECT_EQ(0, s.Mid(1, -2).GetLength());
}

TEST(CString, MidClampsStartAndFallsBackToWholeString)
{
    CString s = Make("ACGT");
    EXPECT_STREQ("CG", s.Mid(1, 2).m_Data);
    EXPECT_STREQ("AC", s.Mid(-3, 2).m_Data);
    EXPECT_STREQ("T", s.Mid(7, 1).m_Data);      // start moved to the last character
    EXPECT_STREQ("ACGT", s.Mid(2, 5).m_Data);   // the whole string, not "GT"
    EXPECT_EQ(0, Make("").Mid(0, 1).GetLength());
    CString out;
    s.Mid(1, 3, &out);
    EXPECT_STREQ("CGT", out.m_Data);
}

TEST(CString, FindAndCompare)
{
    EXPECT_EQ(3, Make("ACGNT").Find("N"));
    EXPECT_EQ(-1, Make("ACGT").Find("N"));
    EXPECT_EQ(-1, Make("ACGT").Find("GT", 3));   // no window left to compare
    EXPECT_EQ(2, Make("ACGT").Find("GT", 2));
    EXPECT_EQ(4, Make("ACGT").Find("", 4));
    EXPECT_FALSE(Make("ab") == Make("abc"));
    EXPECT_TRUE(Make("") == Make(""));
    EXPECT_FALSE(Make("ab") == Make("ac"));
}

TEST(CString, SetAtAssignAndAppend)
{
    CString s = Make("ACGT");
    s.SetAt(4, 'A');
    s.SetAt(-1, 'A');
    EXPECT_STREQ("ACGT", s.m_Data);
    s.SetAt(0, 'T');
    EXPECT_STREQ("TCGT", s.m_Data);
    char* before = s.m_Data;
    CString& same = s;   // through a reference: compilers rightly flag a literal s = s
    s = same;            // self-assignment keeps the buffer
    EXPECT_EQ(before, s.m_Data);
    CString c('G');
    EXPECT_STREQ("G", c.m_Data);
    c.Append("AT", 2);
    EXPECT_STREQ("GAT", c.m_Data);
    EXPECT_EQ(3, c.GetLength());
    EXPECT_STREQ("GATTCGT", (c + s.Right(4)).m_Data);
}
