// BED and bedGraph writers; see BedFiles.h.
#include "output/BedFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <tuple>

#include "output/Coordinates.h"
#include "output/FeatureNames.h"
#include "output/PlaceOrder.h"
#include "output/ModuleStatsText.h"
#include "output/TextFormat.h"

int BedScore(double p)
{
    if (!(p > 0))
        return 0;
    if (p > 1)
        p = 1;
    return (int)std::floor(1000 * p + 0.5);
}

static bool SiteBefore(const SiteBedLine& a, const SiteBedLine& b)
{
    return std::tie(a.seq, a.start, a.run, a.motif) < std::tie(b.seq, b.start, b.run, b.motif);
}

std::vector<SiteBedLine> SiteBedLines(const RunResult& r, bool genome)
{
    std::vector<SiteBedLine> lines;
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
            lines.push_back(SiteBedLine{s.seq, s.start, r.run, m.index, text});
        }
    }
    std::stable_sort(lines.begin(), lines.end(), SiteBefore);
    return lines;
}

// std::merge takes equal keys from `into` first, so merging the runs one by
// one in order gives the order a stable sort of all their lines gives.
void MergeSiteBedLines(std::vector<SiteBedLine>& into, const std::vector<SiteBedLine>& more)
{
    std::vector<SiteBedLine> merged;
    merged.reserve(into.size() + more.size());
    std::merge(std::make_move_iterator(into.begin()), std::make_move_iterator(into.end()), more.begin(),
               more.end(), std::back_inserter(merged), SiteBefore);
    into.swap(merged);
}

std::string SiteBedText(const std::vector<SiteBedLine>& lines)
{
    std::string out;
    for (const SiteBedLine& l : lines)
        out += l.text;
    return out;
}

std::string SiteBedFile(const std::vector<SiteBedLine>& lines, bool genome)
{
    return genome ? SortedByPlace(SiteBedText(lines), 2) : SiteBedText(lines);
}

std::string FormatSitesBed(const std::vector<RunResult>& runs, bool genome)
{
    std::vector<SiteBedLine> lines;
    for (const RunResult& r : runs)
        MergeSiteBedLines(lines, SiteBedLines(r, genome));
    return SiteBedFile(lines, genome);
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

std::string ModulesBedLines(const RunResult& r, bool genome)
{
    std::string out;
    std::vector<SeqPlace> places = PlacesOf(r, genome);
    int n = 0;
    for (const ModuleResult& m : r.modules) {
        const SeqPlace& at = places[m.seq];
        out += at.chrom;
        AppendF(out, "\t%lld\t%lld\t", at.offset + m.start, at.offset + m.end);
        out += ModuleName(r.run, ++n);
        AppendF(out, "\t%d\t.", BedScore(MeanProb(r.seqs[m.seq], m.start, m.end)));
        out += ModuleBedColumns(m.stats) + "\n";
    }
    return out;
}

std::string FormatModulesBed(const std::vector<RunResult>& runs, bool genome)
{
    std::string out;
    for (const RunResult& r : runs)
        out += ModulesBedLines(r, genome);
    return genome ? SortedByPlace(out, 2) : out;
}

std::string ModPrBedGraphTrack(const RunResult& r, bool genome)
{
    std::string out;
    AppendF(out, "track type=bedGraph name=\"r%d.modpr\" description=\"module probability, run %d\"\n", r.run + 1,
            r.run + 1);
    std::vector<SeqPlace> places = PlacesOf(r, genome);
    std::string lines;
    for (size_t j = 0; j < r.seqs.size(); j++) {
        const std::vector<double>& prob = r.seqs[j].moduleProb;
        size_t from = 0;
        char value[64] = "", next[64];
        for (size_t p = 0; p <= prob.size(); p++) {
            if (p < prob.size())
                snprintf(next, sizeof next, "%.3f", Printable(prob[p]));
            if (p > 0 && (p == prob.size() || strcmp(next, value) != 0)) {
                lines += places[j].chrom;
                AppendF(lines, "\t%lld\t%lld\t%s\n", places[j].offset + (long long)from,
                        places[j].offset + (long long)p, value);
                from = p;
            }
            if (p < prob.size())
                memcpy(value, next, sizeof value);
        }
    }
    // A track is one run's data, so genome order applies within it.
    return out + (genome ? SortedByPlace(lines, 2) : lines);
}

std::string FormatModPrBedGraph(const std::vector<RunResult>& runs, bool genome)
{
    std::string out;
    for (const RunResult& r : runs)
        out += ModPrBedGraphTrack(r, genome);
    return out;
}
