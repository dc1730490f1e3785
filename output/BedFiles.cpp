// BED and bedGraph writers; see BedFiles.h.
#include "output/BedFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "output/Coordinates.h"
#include "output/FeatureNames.h"
#include "output/TextFormat.h"

int BedScore(double p)
{
    if (!(p > 0))
        return 0;
    if (p > 1)
        p = 1;
    return (int)std::floor(1000 * p + 0.5);
}

namespace {

struct SiteLine {
    int seq, start, run, motif;
    std::string text;
};

}  // namespace

std::string FormatSitesBed(const std::vector<RunResult>& runs, bool genome)
{
    std::vector<SiteLine> lines;
    for (const RunResult& r : runs) {
        std::vector<SeqPlace> places = PlacesOf(r, genome);
        for (const MotifResult& m : r.motifs) {
            if (!m.printed)
                continue;
            for (const SiteResult& s : m.sites) {
                const SeqPlace& at = places[s.seq];
                long long start = at.offset + s.start;
                std::string text = at.chrom;
                AppendF(text, "\t%lld\t%lld\t", start, start + (long long)s.word.size());
                text += MotifName(r.run, m.index);
                AppendF(text, "\t%d\t%c\n", BedScore(s.posterior), s.forward ? '+' : '-');
                lines.push_back(SiteLine{s.seq, s.start, r.run, m.index, text});
            }
        }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const SiteLine& a, const SiteLine& b) {
        return std::tie(a.seq, a.start, a.run, a.motif) < std::tie(b.seq, b.start, b.run, b.motif);
    });
    std::string out;
    for (const SiteLine& l : lines)
        out += l.text;
    return out;
}

// Mean module probability over [start, end) of a sequence.
static double MeanProb(const SequenceResult& s, int start, int end)
{
    double sum = 0;
    int n = 0;
    for (int p = start; p < end && p < (int)s.moduleProb.size(); p++, n++)
        sum += s.moduleProb[p];
    return n > 0 ? sum / n : 0.0;
}

std::string FormatModulesBed(const std::vector<RunResult>& runs, bool genome)
{
    std::string out;
    for (const RunResult& r : runs) {
        std::vector<SeqPlace> places = PlacesOf(r, genome);
        int n = 0;
        for (const ModuleResult& m : r.modules) {
            const SeqPlace& at = places[m.seq];
            out += at.chrom;
            AppendF(out, "\t%lld\t%lld\t", at.offset + m.start, at.offset + m.end);
            out += ModuleName(r.run, ++n);
            AppendF(out, "\t%d\t.\n", BedScore(MeanProb(r.seqs[m.seq], m.start, m.end)));
        }
    }
    return out;
}

std::string FormatModPrBedGraph(const std::vector<RunResult>& runs, bool genome)
{
    std::string out;
    for (const RunResult& r : runs) {
        AppendF(out, "track type=bedGraph name=\"r%d.modpr\" description=\"module probability, run %d\"\n",
                r.run + 1, r.run + 1);
        std::vector<SeqPlace> places = PlacesOf(r, genome);
        for (size_t j = 0; j < r.seqs.size(); j++) {
            const std::vector<double>& prob = r.seqs[j].moduleProb;
            size_t from = 0;
            char value[64] = "", next[64];
            for (size_t p = 0; p <= prob.size(); p++) {
                if (p < prob.size())
                    snprintf(next, sizeof next, "%.3f", Printable(prob[p]));
                if (p > 0 && (p == prob.size() || strcmp(next, value) != 0)) {
                    out += places[j].chrom;
                    AppendF(out, "\t%lld\t%lld\t%s\n", places[j].offset + (long long)from,
                            places[j].offset + (long long)p, value);
                    from = p;
                }
                if (p < prob.size())
                    memcpy(value, next, sizeof value);
            }
        }
    }
    return out;
}
