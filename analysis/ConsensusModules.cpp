#include "analysis/ConsensusModules.h"

#include <algorithm>

std::vector<ConsensusModule> ConsensusOfModules(const std::vector<RunResult>& runs, int minChains)
{
    std::vector<ConsensusModule> out;
    if (runs.empty())
        return out;
    const std::vector<SequenceResult>& seqs = runs[0].seqs;
    for (int i = 0; i < (int)seqs.size(); i++) {
        // Differences of the coverage at module starts and ends.
        std::vector<int> delta(seqs[i].length + 1, 0);
        for (const RunResult& r : runs) {
            for (const ModuleResult& m : r.modules) {
                if (m.seq != i)
                    continue;
                int s = std::max(0, m.start), e = std::min(seqs[i].length, m.end);
                if (s < e) {
                    delta[s]++;
                    delta[e]--;
                }
            }
        }
        int cover = 0;
        ConsensusModule open;
        long sum = 0;
        for (int p = 0; p <= seqs[i].length; p++) {
            cover += delta[p];
            bool in = p < seqs[i].length && cover >= minChains;
            if (in && sum == 0) {
                open = ConsensusModule();
                open.seq = i;
                open.start = p;
            }
            if (in) {
                open.support = std::max(open.support, cover);
                sum += cover;
            } else if (sum > 0) {
                open.end = p;
                open.meanSupport = (double)sum / (open.end - open.start);
                out.push_back(open);
                sum = 0;
            }
        }
    }
    return out;
}
