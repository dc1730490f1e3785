// Chain seeds: the chains of neighbouring --seed values share no seed.
#include <gtest/gtest.h>

#include <set>

#include "base/SeedMix.h"

TEST(SeedMix, ChainsOfDifferentSeedsShareNoSeed)
{
    std::set<unsigned> seen;
    for (unsigned s = 0; s < 200; s++)
        for (int c = 0; c < 20; c++)
            EXPECT_TRUE(seen.insert(ChainSeed(s, c)).second) << s << " " << c;
    EXPECT_EQ(ChainSeed(7, 3), ChainSeed(7, 3));
    EXPECT_NE(ChainSeed(4294967295u, 0), ChainSeed(4294967295u, 1));
    // Pinned: the workflow's gather.py computes the same seeds for the rows of failed chains.
    EXPECT_EQ(1739479842u, ChainSeed(1, 0));
    EXPECT_EQ(3709469897u, ChainSeed(1, 1));
    EXPECT_EQ(656427770u, ChainSeed(1, 2));
    EXPECT_EQ(434670813u, ChainSeed(4294967295u, 7));
}
