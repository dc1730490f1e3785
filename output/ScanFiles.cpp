// Formatting the files of a scan's output folder (see the header).
#include "output/ScanFiles.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "base/Version.h"
#include "output/Gff3File.h"
#include "output/SummaryJson.h"

namespace {

const int kTopModules = 10;

std::string Fmt(const char* format, double v)
{
    char buf[64];
    snprintf(buf, sizeof buf, format, v);
    return buf;
}


struct Line {
    std::string chrom;
    long long start;
    std::string text;
};

std::string Joined(std::vector<Line> lines)
{
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return a.chrom != b.chrom ? a.chrom < b.chrom : a.start < b.start;
    });
    std::string out;
    for (const Line& l : lines)
        out += l.text;
    return out;
}

std::string ModulesBed(const ScanOutcome& o, const std::vector<ScanSequence>& t, const std::vector<size_t>& rep,
                       const std::vector<int>& rank)
{
    std::vector<Line> lines;
    for (size_t i : rep) {
        const ScanModule& m = o.modules[i];
        const ScanSequence& s = t[m.seq];
        const long long a = s.offset + m.call.start;
        const long long L = (long long)o.moduleLength;
        lines.push_back({s.chrom, a,
                         s.chrom + "\t" + std::to_string(a) + "\t" + std::to_string(a + L) + "\tcrm" +
                             std::to_string(rank[i]) + "\t" + Fmt("%.3f", m.call.llr) + "\t.\t" + Fmt("%.3g", m.p) +
                             "\t" + Fmt("%.3g", m.q) + "\t" + std::to_string(m.call.sites.size()) + "\n"});
    }
    return Joined(std::move(lines));
}

std::string SitesBed(const ScanOutcome& o, const ScanModel& model, const std::vector<ScanSequence>& t,
                     const std::vector<size_t>& rep, const std::vector<int>& rank)
{
    std::vector<Line> lines;
    for (size_t i : rep) {
        const ScanModule& m = o.modules[i];
        const ScanSequence& s = t[m.seq];
        for (const ScanSite& site : m.call.sites) {
            const long long a = s.offset + site.start;
            const ScanMotif& mo = model.motifs[site.motif];
            lines.push_back({s.chrom, a,
                             s.chrom + "\t" + std::to_string(a) + "\t" + std::to_string(a + mo.width) + "\t" +
                                 mo.shortName + "\t" + Fmt("%.3f", site.posterior) + "\t" +
                                 (site.forward ? "+" : "-") + "\t" + Fmt("%.2f", site.logOdds) + "\tcrm" +
                                 std::to_string(rank[i]) + "\t" + Fmt("%.3g", site.p) + "\n"});
        }
    }
    return Joined(std::move(lines));
}

std::string ModPrBedGraph(const ScanOutcome& o, const std::vector<ScanSequence>& t)
{
    std::vector<Line> lines;
    for (size_t s = 0; s < t.size(); s++) {
        for (const PrRun& r : o.prRuns[s]) {
            const long long a = t[s].offset + r.start;
            lines.push_back({t[s].chrom, a,
                             t[s].chrom + "\t" + std::to_string(a) + "\t" + std::to_string(t[s].offset + r.end) +
                                 "\t" + Fmt("%.3f", r.milli / 1000.0) + "\n"});
        }
    }
    return Joined(std::move(lines));
}

// One ##sequence-region per reference, over the sequences placed on it.
std::string GffRegions(const std::vector<ScanSequence>& t)
{
    std::vector<std::string> order;
    std::map<std::string, std::pair<long long, long long>> span;
    for (const ScanSequence& s : t) {
        const long long from = s.offset + 1, to = s.offset + s.length;
        auto it = span.find(s.chrom);
        if (it == span.end()) {
            span[s.chrom] = {from, to};
            order.push_back(s.chrom);
        } else {
            it->second = {std::min(it->second.first, from), std::max(it->second.second, to)};
        }
    }
    std::sort(order.begin(), order.end());
    std::string out;
    for (const std::string& c : order)
        out += "##sequence-region " + GffSeqid(c) + " " + std::to_string(span[c].first) + " " +
               std::to_string(span[c].second) + "\n";
    return out;
}

std::string Gff3(const ScanOutcome& o, const ScanModel& model, const std::vector<ScanSequence>& t,
                 const std::vector<size_t>& rep, const std::vector<int>& rank)
{
    std::string out = "##gff-version 3\n" + GffRegions(t);
    for (size_t i : rep) {
        const ScanModule& m = o.modules[i];
        const ScanSequence& s = t[m.seq];
        const std::string id = "crm" + std::to_string(rank[i]), seqid = GffSeqid(s.chrom);
        const long long a = s.offset + m.call.start;
        out += seqid + "\tRuzaravo\tCRM\t" + std::to_string(a + 1) + "\t" + std::to_string(a + o.moduleLength) +
               "\t" + Fmt("%.3f", m.call.llr) + "\t.\t.\tID=" + id + ";Ontology_term=SO:0000727;p=" +
               Fmt("%.3g", m.p) + ";q=" + Fmt("%.3g", m.q) + "\n";
        int n = 0;
        for (const ScanSite& site : m.call.sites) {
            const ScanMotif& mo = model.motifs[site.motif];
            const long long b = s.offset + site.start;
            out += seqid + "\tRuzaravo\tTF_binding_site\t" + std::to_string(b + 1) + "\t" +
                   std::to_string(b + mo.width) + "\t" + Fmt("%.3f", site.posterior) + "\t" +
                   (site.forward ? "+" : "-") + "\t.\tID=" + id + ".s" + std::to_string(++n) + ";Parent=" + id +
                   ";Ontology_term=SO:0000235;motif=" + GffSeqid(mo.shortName) + ";posterior=" +
                   Fmt("%.3f", site.posterior) + ";p=" + Fmt("%.3g", site.p) + "\n";
        }
    }
    return out;
}

std::string Num(double v)
{
    return Fmt("%.6g", v);
}

std::string SummaryJson(const ScanOutcome& o, const ScanModel& m, const std::vector<ScanSequence>& t,
                        const ScanFilter& f, const ScanDescription& d, const std::vector<size_t>& rep,
                        const std::vector<int>& rank)
{
    std::string out = "{\n  \"scan_format_version\": 1,\n  \"program\": " + JsonString(RUZARAVO_VERSION) +
                      ",\n  \"command_line\": " + JsonString(d.commandLine) + ",\n  \"target\": " +
                      JsonString(d.target) + ",\n  \"motif_file\": " + JsonString(d.motifs) +
                      ",\n  \"coordinates\": \"" + (d.genome ? "genome" : "local") + "\",\n  \"motifs\": [";
    for (size_t k = 0; k < m.motifs.size(); k++)
        out += std::string(k ? ", " : "") + "{\"name\": " + JsonString(m.motifs[k].label) +
               ", \"width\": " + std::to_string(m.motifs[k].width) + "}";
    out += "],\n  \"parameters\": {\"module_length\": " + std::to_string(m.moduleLength) +
           ", \"module_rate\": " + Num(m.moduleRate) + ", \"site_rate\": " + Num(m.siteRate) +
           ", \"bg_order\": " + std::to_string(m.chain.Order()) +
           ", \"bg_chain\": \"" + (d.chainOfModel ? "model" : "target") + "\"" +
           ", \"local_composition\": " + std::to_string(m.localRange) +
           ", \"mask_lower\": " + (d.maskLower ? "true" : "false") + ", \"seed\": " + std::to_string(d.seed) +
           ", \"chunk_size\": " + std::to_string(d.chunkSize) + ", \"null_tiles\": " + std::to_string(o.nullTiles) +
           ", \"null_letters\": " + std::to_string(o.nullLetters) + ", " +
           (f.maxP >= 0.0 ? "\"max_p\": " + Num(f.maxP) : "\"max_q\": " + Num(f.maxQ)) + "},\n";
    out += "  \"counts\": {\"sequences\": " + std::to_string(t.size()) + ", \"letters\": " +
           std::to_string(o.letters) + ", \"calls\": " + std::to_string(o.modules.size()) +
           ", \"tests\": " + std::to_string(o.tests) + ", \"reported\": " + std::to_string(rep.size()) + "},\n";
    std::vector<size_t> top = rep;
    std::sort(top.begin(), top.end(), [&rank](size_t a, size_t b) { return rank[a] < rank[b]; });
    if (top.size() > (size_t)kTopModules)
        top.resize(kTopModules);
    out += "  \"top_modules\": [";
    for (size_t n = 0; n < top.size(); n++) {
        const ScanModule& mod = o.modules[top[n]];
        const ScanSequence& s = t[mod.seq];
        out += std::string(n ? ",\n    " : "\n    ") + "{\"name\": \"crm" + std::to_string(rank[top[n]]) +
               "\", \"chrom\": " + JsonString(s.chrom) + ", \"start\": " + std::to_string(s.offset + mod.call.start) +
               ", \"end\": " + std::to_string(s.offset + mod.call.start + m.moduleLength) + ", \"score\": " +
               Fmt("%.3f", mod.call.llr) + ", \"p\": " + Num(mod.p) + ", \"q\": " + Num(mod.q) +
               ", \"sites\": " + std::to_string(mod.call.sites.size()) + "}";
    }
    out += top.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

}  // namespace

std::vector<int> Ranks(const ScanOutcome& o, const std::vector<size_t>& reported)
{
    std::vector<size_t> byScore = reported;
    std::stable_sort(byScore.begin(), byScore.end(), [&o](size_t a, size_t b) {
        return o.modules[a].call.llr > o.modules[b].call.llr;
    });
    std::vector<int> rank(o.modules.size(), 0);
    for (size_t r = 0; r < byScore.size(); r++)
        rank[byScore[r]] = (int)r + 1;
    return rank;
}

std::vector<size_t> ReportedModules(const ScanOutcome& o, const std::vector<ScanSequence>& target,
                                    const ScanFilter& filter)
{
    std::vector<size_t> rep;
    for (size_t i = 0; i < o.modules.size(); i++)
        if (filter.Passes(o.modules[i]))
            rep.push_back(i);
    std::stable_sort(rep.begin(), rep.end(), [&](size_t a, size_t b) {
        const ScanSequence& sa = target[o.modules[a].seq];
        const ScanSequence& sb = target[o.modules[b].seq];
        if (sa.chrom != sb.chrom)
            return sa.chrom < sb.chrom;
        return sa.offset + o.modules[a].call.start < sb.offset + o.modules[b].call.start;
    });
    return rep;
}

std::vector<std::pair<std::string, std::string>> ScanFolderFiles(const ScanOutcome& o, const ScanModel& m,
                                                                 const std::vector<ScanSequence>& target,
                                                                 const ScanFilter& filter,
                                                                 const ScanDescription& d)
{
    const std::vector<size_t> rep = ReportedModules(o, target, filter);
    const std::vector<int> rank = Ranks(o, rep);
    return {{"modules.bed", ModulesBed(o, target, rep, rank)},
            {"sites.bed", SitesBed(o, m, target, rep, rank)},
            {"modpr.bedgraph", ModPrBedGraph(o, target)},
            {"annotations.gff3", Gff3(o, m, target, rep, rank)},
            {"summary.json", SummaryJson(o, m, target, filter, d, rep, rank)}};
}

std::string ScanSummaryLine(const ScanOutcome& o, const std::vector<ScanSequence>& target, const ScanFilter& filter,
                            const std::string& outdir)
{
    const size_t reported = ReportedModules(o, target, filter).size();
    char buf[512];
    snprintf(buf, sizeof buf,
             "Scanned %lld letters in %zu sequences: %zu modules at %s <= %g of %zu calls "
             "(null %lld letters; %.0f letters per second); files in %s\n",
             o.letters, target.size(), reported, filter.maxP >= 0.0 ? "p" : "q",
             filter.maxP >= 0.0 ? filter.maxP : filter.maxQ, o.modules.size(), o.nullLetters,
             (o.letters + o.nullLetters) / std::max(o.seconds, 1e-9), outdir.c_str());
    return buf;
}
