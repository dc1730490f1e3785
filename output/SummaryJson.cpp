// summary.json writer; see SummaryJson.h. Numbers are printed finite
// (Printable); the log posterior model odds is null without -B, and a
// motif's seed_matrix is null when no given matrix seeded it. A motif has
// an "enrichment" key only when its run measured enrichment, so a run
// without --control or --min-enrichment gives the document it always gave.
#include "output/SummaryJson.h"

#include <algorithm>
#include <cmath>

#include "base/Version.h"
#include "output/ChainsTable.h"
#include "output/Coordinates.h"
#include "output/FeatureNames.h"
#include "output/ModuleStatsText.h"
#include "output/TextFormat.h"
#include "results/MotifMatrix.h"

// Length of the valid UTF-8 sequence starting at s[i] (no overlong forms,
// no surrogates, nothing above U+10FFFF), or 0.
static size_t Utf8Length(const std::string& s, size_t i)
{
    unsigned char c = s[i];
    size_t n = c >= 0xc2 && c <= 0xdf ? 2 : c >= 0xe0 && c <= 0xef ? 3 : c >= 0xf0 && c <= 0xf4 ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    unsigned char d = s[i + 1];
    unsigned char lo = c == 0xe0 ? 0xa0 : c == 0xf0 ? 0x90 : 0x80;
    unsigned char hi = c == 0xed ? 0x9f : c == 0xf4 ? 0x8f : 0xbf;
    if (d < lo || d > hi)
        return 0;
    for (size_t k = 2; k < n; k++)
        if (((unsigned char)s[i + k] & 0xc0) != 0x80)
            return 0;
    return n;
}

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); i++) {
        unsigned char c = text[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c >= 0x20 && c < 0x7f) {
            out += (char)c;
        } else if (c >= 0x80 && Utf8Length(text, i) > 0) {
            size_t n = Utf8Length(text, i);
            out.append(text, i, n);
            i += n - 1;
        } else {
            AppendF(out, "\\u%04x", c);
        }
    }
    return out + "\"";
}

double InformationContent(const MotifResult& m)
{
    double ic = 0;
    for (int c = 0; c < (int)m.counts.size(); c++) {
        ic += 2;
        for (int b = 0; b < 4; b++) {
            if (m.counts[c][b] > 0 && m.siteCount > 0) {
                double p = SiteFraction(m, c, b);
                ic += p * std::log2(p);
            }
        }
    }
    return ic;
}

static std::string Number(double x)
{
    std::string out;
    AppendF(out, "%.10g", Printable(x));
    return out;
}

static void AddSequences(std::string& out, const RunResult& r, bool genome)
{
    std::vector<SeqPlace> places = PlacesOf(r, genome);
    out += "  \"sequences\": [";
    for (size_t j = 0; j < r.seqs.size(); j++) {
        const SequenceResult& s = r.seqs[j];
        out += j ? ",\n    {" : "\n    {";
        out += "\"index\": " + std::to_string(j) + ", \"id\": " + JsonString(s.id) +
               ", \"name\": " + JsonString(s.name.empty() || s.name[0] != '>' ? s.name : s.name.substr(1)) +
               ", \"length\": " + std::to_string(s.length) + ", \"reference\": " + JsonString(places[j].chrom) +
               ", \"offset\": " + std::to_string(places[j].offset) + "}";
    }
    out += r.seqs.empty() ? "],\n" : "\n  ],\n";
}

std::string EnrichmentJson(const EnrichmentResult& e)
{
    if (!e.measured)
        return "null";
    return "{\"threshold\": " + Number(e.threshold) + ", \"input_windows\": " + std::to_string(e.inputWindows) +
           ", \"input_hits\": " + std::to_string(e.inputHits) +
           ", \"control_windows\": " + std::to_string(e.controlWindows) +
           ", \"control_hits\": " + std::to_string(e.controlHits) + ", \"ratio\": " + Number(e.ratio) +
           ", \"log10_p\": " + Number(e.log10P) + "}";
}

// A motif's held-out measurement (--holdout): its E-value and the
// held-out records, and of them those holding a hit, in number and %.
static std::string HeldOutJson(const HeldOutResult& h)
{
    auto percent = [](int part, int whole) { return Number(whole > 0 ? 100.0 * part / whole : 0.0); };
    const double log10E = WritableLog10(h.log10E);
    // E below the smallest double is written as 1e-300, never as 0.
    return "{\"E\": " + Number(std::max(std::pow(10.0, log10E), 1e-300)) + ", \"log10_E\": " + Number(log10E) +
           ", \"log10_p\": " + Number(WritableLog10(h.enrichment.log10P)) +
           ", \"input_records\": " + std::to_string(h.inputRecords) +
           ", \"input_with_site\": " + std::to_string(h.inputWithSite) +
           ", \"input_with_site_pct\": " + percent(h.inputWithSite, h.inputRecords) +
           ", \"control_records\": " + std::to_string(h.controlRecords) +
           ", \"control_with_site\": " + std::to_string(h.controlWithSite) +
           ", \"control_with_site_pct\": " + percent(h.controlWithSite, h.controlRecords) + "}";
}

static void AddHeldOut(std::string& out, const MotifResult& m)
{
    if (m.heldOut.measured)
        out += ",\n          \"heldout\": " + HeldOutJson(m.heldOut);
}

// The motifs --select-evalue did not report, with their measurements;
// nothing when there are none.
static std::string NotSelectedJson(const RunResult& r)
{
    std::string out;
    for (const MotifResult& m : r.motifs) {
        if (m.dropReason.empty())
            continue;
        out += out.empty() ? "\n        " : ",\n        ";
        out += "{\"id\": " + JsonString(MotifName(r.run, m.index)) + ", \"motif\": " + std::to_string(m.index + 1) +
               ", \"consensus\": " + JsonString(m.consensus) + ", \"nsites\": " + std::to_string(m.siteCount) +
               ", \"reason\": " + JsonString(m.dropReason) + ", \"heldout\": " + HeldOutJson(m.heldOut) + "}";
    }
    return out.empty() ? out : "      \"not_selected\": [" + out + "\n      ],\n";
}

static void AddMotif(std::string& out, const RunResult& r, const MotifResult& m)
{
    out += "{\"id\": " + JsonString(MotifName(r.run, m.index)) + ", \"motif\": " + std::to_string(m.index + 1) +
           ", \"width\": " + std::to_string(m.counts.size()) + ", \"nsites\": " + std::to_string(m.siteCount) +
           ", \"consensus\": " + JsonString(m.consensus) +
           ", \"information_content\": " + Number(InformationContent(m)) +
           ", \"seed_matrix\": " + (m.seedMatrix.empty() ? std::string("null") : JsonString(m.seedMatrix));
    if (r.enrichment)
        out += ",\n          \"enrichment\": " + EnrichmentJson(m.enrichment);
    AddHeldOut(out, m);
    out += ",\n          \"matrix\": [";
    for (size_t c = 0; c < m.counts.size(); c++) {
        out += c ? ", [" : "[";
        for (int b = 0; b < 4; b++)
            out += (b ? ", " : "") + Number(SiteFraction(m, (int)c, b));
        out += "]";
    }
    out += "],\n          \"counts\": [";
    for (size_t c = 0; c < m.counts.size(); c++) {
        out += c ? ", [" : "[";
        for (int b = 0; b < 4; b++)
            out += (b ? ", " : "") + std::to_string(m.counts[c][b]);
        out += "]";
    }
    out += "],\n          \"sites\": [";
    for (size_t i = 0; i < m.sites.size(); i++) {
        const SiteResult& s = m.sites[i];
        out += i ? ",\n            {" : "\n            {";
        out += "\"sequence\": " + JsonString(r.seqs[s.seq].id) + ", \"seq_index\": " + std::to_string(s.seq) +
               ", \"start\": " + std::to_string(s.start) + ", \"end\": " + std::to_string(s.start + s.word.size()) +
               ", \"strand\": \"" + (s.forward ? "+" : "-") + "\", \"word\": " + JsonString(s.word) +
               ", \"count\": " + std::to_string(s.count) + ", \"posterior\": " + Number(s.posterior) + "}";
    }
    out += m.sites.empty() ? "]}" : "\n          ]}";
}

// The run's background chain (",\n      \"background_chain\": {...}"), so
// that a scan with the run's model explains letters as the run did; "" for
// a result that carries none.
static std::string BackgroundChainJson(const RunResult& r)
{
    if (r.bgChain.empty())
        return "";
    std::string out =
        ",\n      \"background_chain\": {\"order\": " + std::to_string(r.bgOrder) + ", \"tables\": [";
    for (size_t j = 0; j < r.bgChain.size(); j++) {
        out += j ? "], [" : "[";
        for (size_t i = 0; i < r.bgChain[j].size(); i++)
            out += (i ? ", " : "") + Number(r.bgChain[j][i]);
    }
    return out + "]]}";
}

std::string SummaryJsonRun(const RunResult& r)
{
    std::string out;
    out += "    {\"run\": " + std::to_string(r.run + 1) + ", \"seed\": " + std::to_string(r.seed) +
           ", \"log_pmo\": " + (r.hasLogPMO ? Number(r.logPMO) : std::string("null")) +
           ", \"sweeps\": " + std::to_string(r.sweeps) + ", \"burn_in\": " + std::to_string(r.burnIn) +
           ", \"recorded\": " + std::to_string(r.recorded) + ", \"cpu_seconds\": " + Number(r.cpuSeconds) +
           ",\n      \"motif_number\": " + std::to_string(r.motifNum) +
           ", \"module_length\": " + std::to_string(r.moduleLength) +
           ", \"independent\": " + (r.independent ? "true" : "false") +
           ", \"both_strands\": " + (r.bothStrands ? "true" : "false") + ", \"background\": [";
    for (int b = 0; b < 4; b++)
        out += (b ? ", " : "") + Number(r.bgFreqs[b]);
    out += "]";
    out += BackgroundChainJson(r);
    out += ",\n      \"motifs\": [";
    bool first = true;
    for (const MotifResult& m : r.motifs) {
        if (!m.printed)
            continue;
        out += first ? "\n        " : ",\n        ";
        first = false;
        AddMotif(out, r, m);
    }
    out += first ? "],\n" : "\n      ],\n";
    out += NotSelectedJson(r);
    out += "      \"modules\": [";
    for (size_t n = 0; n < r.modules.size(); n++) {
        const ModuleResult& m = r.modules[n];
        out += n ? ",\n        {" : "\n        {";
        out += "\"id\": " + JsonString(ModuleName(r.run, (int)n + 1)) + ", \"sequence\": " +
               JsonString(r.seqs[m.seq].id) + ", \"seq_index\": " + std::to_string(m.seq) +
               ", \"start\": " + std::to_string(m.start) + ", \"end\": " + std::to_string(m.end) +
               ", \"printed_end\": " + std::to_string(m.printedEnd) + ModuleJsonMembers(m.stats) + "}";
    }
    out += r.modules.empty() ? "]" : "\n      ]";
    return out + ModuleNullJsonMember(r.moduleNull) + "}";
}

std::string SummaryJsonHead(const RunResult* first, bool genome)
{
    std::string out = "{\n  \"format_version\": " + std::to_string(kSummaryFormatVersion) + ",\n";
    out += "  \"program\": " + JsonString(RUZARAVO_VERSION) + ",\n";
    out += "  \"command_line\": " + JsonString(first ? CommandWords(first->cmdLine) : "") + ",\n";
    out += "  \"coordinates\": \"";
    out += genome ? "genome" : "local";
    out += "\",\n";
    if (!first)
        out += "  \"sequences\": [],\n";
    else
        AddSequences(out, *first, genome);
    return out;
}

std::string SummaryJsonDocument(const std::string& head, const std::vector<std::string>& runs,
                                const ChainClusters* chains, const std::string& extraMembers)
{
    std::string out = head + "  \"runs\": [";
    for (size_t i = 0; i < runs.size(); i++) {
        out += i ? ",\n" : "\n";
        out += runs[i];
    }
    out += runs.empty() ? "]" : "\n  ]";
    if (chains)
        out += ",\n  \"chains\": " + FormatChainsJson(*chains);
    out += extraMembers;
    return out + "\n}\n";
}

std::string FormatSummaryJson(const std::vector<RunResult>& runs, bool genome, const ChainClusters* chains)
{
    std::vector<std::string> entries;
    for (const RunResult& r : runs)
        entries.push_back(SummaryJsonRun(r));
    return SummaryJsonDocument(SummaryJsonHead(runs.empty() ? nullptr : &runs[0], genome), entries, chains);
}
