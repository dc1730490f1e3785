// Consensus modules against a letter-by-letter count of the chains'
// modules, on random module sets.
#include <gtest/gtest.h>

#include <random>

#include "analysis/ConsensusModules.h"

TEST(ConsensusModules, AgreeWithALetterByLetterCount)
{
    std::mt19937 gen(8);
    for (int rep = 0; rep < 200; rep++) {
        const int chains = 1 + gen() % 5, seqCount = 1 + gen() % 3;
        std::vector<RunResult> runs(chains);
        std::vector<int> lengths;
        for (int i = 0; i < seqCount; i++)
            lengths.push_back(50 + gen() % 200);
        for (RunResult& r : runs) {
            for (int i = 0; i < seqCount; i++) {
                SequenceResult s;
                s.length = lengths[i];
                r.seqs.push_back(s);
                for (int start = gen() % 40; start + 20 <= lengths[i]; start += 20 + gen() % 60) {
                    ModuleResult m;
                    m.seq = i;
                    m.start = start;
                    m.end = start + 10 + gen() % 10;
                    r.modules.push_back(m);
                }
            }
        }
        const int minChains = 1 + gen() % chains;
        std::vector<ConsensusModule> got = ConsensusOfModules(runs, minChains);
        // Rebuild the coverage from the answer and compare it letter by letter.
        size_t next = 0;
        for (int i = 0; i < seqCount; i++) {
            std::vector<int> cover(lengths[i], 0);
            for (const RunResult& r : runs)
                for (const ModuleResult& m : r.modules)
                    if (m.seq == i)
                        for (int p = m.start; p < m.end; p++)
                            cover[p]++;
            for (int p = 0; p < lengths[i];) {
                if (cover[p] < minChains) {
                    p++;
                    continue;
                }
                int q = p, top = 0;
                long sum = 0;
                for (; q < lengths[i] && cover[q] >= minChains; q++) {
                    top = std::max(top, cover[q]);
                    sum += cover[q];
                }
                ASSERT_LT(next, got.size());
                EXPECT_EQ(i, got[next].seq);
                EXPECT_EQ(p, got[next].start);
                EXPECT_EQ(q, got[next].end);
                EXPECT_EQ(top, got[next].support);
                EXPECT_DOUBLE_EQ((double)sum / (q - p), got[next].meanSupport);
                next++;
                p = q;
            }
        }
        EXPECT_EQ(next, got.size());
    }
    EXPECT_TRUE(ConsensusOfModules({}, 1).empty());
}
