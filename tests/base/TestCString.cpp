#include <gtest/gtest.h>
#include "base/CString.h"
TEST(CStringSmoke, Builds) { CString a; a = "x"; EXPECT_EQ(1, a.GetLength()); }
