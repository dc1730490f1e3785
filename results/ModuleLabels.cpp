// Site labels of one sequence; see ModuleLabels.h. Sites outside the
// sequence (a hand-made record) label nothing.
#include "results/ModuleLabels.h"

std::vector<int> ModuleLabels(const RunResult& r, int seq, int len)
{
    std::vector<int> label(len > 0 ? len : 0, 0);
    for (const MotifResult& m : r.motifs) {
        if (!m.printed)
            continue;
        for (const SiteResult& s : m.sites) {
            if (s.seq != seq || s.start < 0 || s.start >= len)
                continue;
            label[s.start] = s.forward ? m.index + 1 : -(m.index + 1);
        }
    }
    return label;
}
