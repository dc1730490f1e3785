// GFF3 writer; see Gff3File.h. Modules come before the sites of their run
// so that every Parent is defined before it is referred to; sorting by
// start keeps that, since a module starts at or before each of its sites
// and the sort is stable.
#include "output/Gff3File.h"

#include <cctype>
#include <cstring>
#include <map>

#include "output/Coordinates.h"
#include "output/FeatureNames.h"
#include "output/PlaceOrder.h"
#include "output/ModuleStatsText.h"
#include "output/TextFormat.h"

std::string GffSeqid(const std::string& text)
{
    static const char kKeeps[] = ".:^*$@!+_?|-";
    std::string out;
    for (unsigned char c : text) {
        if (c != 0 && (isalnum(c) || strchr(kKeeps, c))) {
            out += (char)c;
        } else {
            char buf[4];
            snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        }
    }
    return out;
}

// One sequence-region line per reference: the smallest start and largest
// end over the sequences placed on it.
static void AddRegions(std::string& out, const RunResult& first, bool genome)
{
    std::vector<SeqPlace> places = PlacesOf(first, genome);
    std::map<std::string, std::pair<long long, long long>> span;
    std::vector<std::string> order;
    for (size_t j = 0; j < places.size(); j++) {
        long long from = places[j].offset + 1, to = places[j].offset + first.seqs[j].length;
        auto it = span.find(places[j].chrom);
        if (it == span.end()) {
            span[places[j].chrom] = {from, to};
            order.push_back(places[j].chrom);
        } else {
            it->second.first = std::min(it->second.first, from);
            it->second.second = std::max(it->second.second, to);
        }
    }
    for (const std::string& chrom : order) {
        const auto& s = span[chrom];
        if (s.second >= s.first)
            AppendF(out, "##sequence-region %s %lld %lld\n", GffSeqid(chrom).c_str(), s.first, s.second);
    }
}

std::string Gff3Features(const RunResult& r, bool genome)
{
    std::string out;
    std::vector<SeqPlace> places = PlacesOf(r, genome);
    std::vector<std::string> moduleIds;
    for (size_t n = 0; n < r.modules.size(); n++) {
        const ModuleResult& m = r.modules[n];
        const SeqPlace& at = places[m.seq];
        moduleIds.push_back(ModuleName(r.run, (int)n + 1));
        out += GffSeqid(at.chrom);
        AppendF(out, "\tRuzaravo\tCRM\t%lld\t%lld\t%s\t.\t.\tID=%s;Ontology_term=SO:0000727;run=%d",
                at.offset + m.start + 1, at.offset + m.end, ModuleGffScore(m.stats).c_str(), moduleIds.back().c_str(),
                r.run + 1);
        out += ModuleGffAttributes(m.stats) + "\n";
    }
    for (const MotifResult& m : r.motifs) {
        if (!m.printed)
            continue;
        std::string motif = MotifName(r.run, m.index);
        int n = 0;
        for (const SiteResult& s : m.sites) {
            const SeqPlace& at = places[s.seq];
            int end = s.start + (int)s.word.size();
            std::string parent;
            for (size_t i = 0; i < r.modules.size() && parent.empty(); i++) {
                const ModuleResult& mod = r.modules[i];
                if (mod.seq == s.seq && mod.start <= s.start && end <= mod.end)
                    parent = moduleIds[i];
            }
            out += GffSeqid(at.chrom);
            double post = Printable(s.posterior);
            AppendF(out, "\tRuzaravo\tTF_binding_site\t%lld\t%lld\t%.3f\t%c\t.\tID=%s.s%d", at.offset + s.start + 1,
                    at.offset + end, post, s.forward ? '+' : '-', motif.c_str(), ++n);
            if (!parent.empty())
                out += ";Parent=" + parent;
            AppendF(out, ";Ontology_term=SO:0000235;motif=%s;posterior=%.3f;run=%d\n", motif.c_str(), post,
                    r.run + 1);
        }
    }
    return out;
}

std::string Gff3Header(const RunResult* first, bool genome)
{
    std::string out = "##gff-version 3\n";
    if (first)
        AddRegions(out, *first, genome);
    return out;
}

std::string FormatGff3(const std::vector<RunResult>& runs, bool genome)
{
    std::string features;
    for (const RunResult& r : runs)
        features += Gff3Features(r, genome);
    return Gff3Header(runs.empty() ? nullptr : &runs[0], genome) + Gff3Body(features, genome);
}

std::string Gff3Body(const std::string& features, bool genome)
{
    return genome ? SortedByPlace(features, 4) : features;
}
