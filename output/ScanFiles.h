// The files of a scan's output folder, formatted from a finished scan:
// modules.bed, sites.bed, modpr.bedgraph, annotations.gff3 and summary.json. Writers only:
// nothing here computes a score.
//
// modules.bed (BED6+3, tab-separated, no header): chrom, start, end (0-based,
// end exclusive, placed on the genome with genome coordinates), name
// ("crm<rank>", rank 1 the highest score among the reported modules), score
// (the module's log-likelihood ratio against the background, natural log,
// three decimals: higher is stronger), strand ".", p-value, q-value, number
// of sites. sites.bed (BED6+3): chrom, start, end, motif name, posterior
// (three decimals), strand, the word's log-odds against the background (two
// decimals), the module's name, the word's p-value (scan/SitePValue.h). modpr.bedgraph: chrom, start, end, module
// probability (three decimals), equal values merged into runs, values below
// kModPrFloor left out. Every file is sorted by chrom (byte order) and then
// start, the order `bedtools sort` gives. annotations.gff3: the modules as
// CRM (SO:0000727) with score, p and q, each followed by its sites as
// TF_binding_site (SO:0000235, Parent the module), 1-based inclusive.
#ifndef RUZARAVO_OUTPUT_SCANFILES_H
#define RUZARAVO_OUTPUT_SCANFILES_H

#include <string>
#include <utility>
#include <vector>

#include "scan/ScanModel.h"
#include "scan/ScanRun.h"

struct ScanFilter {
    double maxQ = 0.05;     // report modules with q at or below this ...
    double maxP = -1.0;     // ... or, when this is 0 or more, with p at or below it
    bool Passes(const ScanModule& m) const { return maxP >= 0.0 ? m.p <= maxP : m.q <= maxQ; }
};

struct ScanDescription {
    std::string commandLine;
    std::string target;     // the --scan file
    std::string motifs;     // the --motifs file
    unsigned seed = 1;
    long long chunkSize = 0;
    bool genome = false;
    bool maskLower = false;
    bool chainOfModel = false;   // the background chain is the --model run's, not the target's
};

// Indices of the reported modules, sorted by chrom and start.
std::vector<size_t> ReportedModules(const ScanOutcome& o, const std::vector<ScanSequence>& target,
                                    const ScanFilter& filter);

// Ranks (1 = highest score) of the reported modules, by index into o.modules.
std::vector<int> Ranks(const ScanOutcome& o, const std::vector<size_t>& reported);

// Every file of the folder but report.html as (name, content).
std::vector<std::pair<std::string, std::string>> ScanFolderFiles(const ScanOutcome& o, const ScanModel& m,
                                                                 const std::vector<ScanSequence>& target,
                                                                 const ScanFilter& filter,
                                                                 const ScanDescription& d);

// The one line a scan prints on standard output.
std::string ScanSummaryLine(const ScanOutcome& o, const std::vector<ScanSequence>& target, const ScanFilter& filter,
                            const std::string& outdir);

#endif
