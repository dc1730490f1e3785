// The scan's entry point (see the header).
#include "app/ScanMain.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <unistd.h>

#include "base/Fatal.h"
#include "base/Helpers.h"
#include "io/MatrixFile.h"
#include "output/OutputFolder.h"
#include "output/ReplaceFile.h"
#include "output/ScanFiles.h"
#include "output/html/ScanReport.h"
#include "app/ScanModelFolder.h"
#include "app/ScanOptions.h"
#include "app/ScanTarget.h"
#include "scan/ScanRun.h"

namespace {

// The default share of a module's letters at which some motif's site starts.
const double kSitesPerModuleLetter = 0.045;

int Refuse(const std::string& reason)
{
    fprintf(stderr, "Ruzaravo scan: %s\n", reason.c_str());
    return 1;
}

// The matrices of --motifs, or those of --model with its parameters, which
// fill the options not given on the command line.
bool LoadMatrices(ScanOptions* o, std::vector<MotifMatrix>* matrices, std::vector<std::vector<double>>* chain,
                  std::string* reason)
{
    if (o->model.empty()) {
        std::string why;
        if (!ReadMatrixFile(o->motifs, matrices, &why)) {
            *reason = o->motifs + ": " + why;
            return false;
        }
        o->motifSource = o->motifs;
        return true;
    }
    ScanModelFolder folder;
    if (!ReadScanModelFolder(o->model, &folder, reason))
        return false;
    *matrices = std::move(folder.matrices);
    o->motifSource = o->model + (folder.consensus ? "/consensus.meme" : "/summary.json");
    // --bg-order asks for a chain of the target instead of the run's.
    if (!o->given.count("--bg-order"))
        *chain = std::move(folder.chain);
    const double K = (double)matrices->size();
    if (!o->given.count("--module-length"))
        o->moduleLength = folder.moduleLength;
    if (!o->given.count("--module-rate") && folder.moduleRate > 0.0)
        o->moduleRate = std::min(folder.moduleRate, 0.5);
    // Half of a module's letters in sites at most: room for its background.
    if (!o->given.count("--site-rate") && folder.siteRate > 0.0)
        o->siteRate = std::min(folder.siteRate, 0.5 / K);
    return true;
}

bool LoadMotifs(ScanOptions* o, std::vector<ScanMotif>* motifs, std::vector<std::vector<double>>* chain,
                std::string* reason)
{
    std::vector<MotifMatrix> matrices;
    if (!LoadMatrices(o, &matrices, chain, reason))
        return false;
    *motifs = MotifsFromMatrices(matrices);
    // Sites of all the motifs together start at no more than 4.5 % of a
    // module's letters: with ten-letter sites about half the module, so a
    // large matrix set does not make a module mostly sites.
    if (o->model.empty() && !o->given.count("--site-rate"))
        o->siteRate = std::min(o->siteRate, kSitesPerModuleLetter / (double)motifs->size());
    int maxWidth = 0;
    for (const ScanMotif& m : *motifs)
        maxWidth = std::max(maxWidth, m.width);
    if (maxWidth > o->moduleLength) {
        *reason = (o->model.empty() ? o->motifs : o->model) + ": a matrix of width " + std::to_string(maxWidth) +
                  " does not fit in a module of " + std::to_string(o->moduleLength) + " letters (--module-length)";
        return false;
    }
    if ((long long)o->localRange > 10LL * o->moduleLength) {
        *reason = "--local-composition " + std::to_string(o->localRange) +
                  " reaches past the letters a chunk reads around its modules: at most 10 module lengths (" +
                  std::to_string(10LL * o->moduleLength) + ")";
        return false;
    }
    if (o->siteRate * (double)motifs->size() >= 1.0) {
        *reason = "--site-rate " + std::to_string(o->siteRate) + " times " + std::to_string(motifs->size()) +
                  " motifs is 1 or more: no room for background letters inside a module";
        return false;
    }
    return true;
}

bool WriteFolder(const ScanOptions& o, const std::vector<std::pair<std::string, std::string>>& files,
                 std::string* reason)
{
    for (const auto& f : files) {
        Fault fault = ReplaceFileAt(o.outdir + "/" + f.first, f.second);
        if (fault) {
            *reason = fault.path + ": " + fault.reason;
            return false;
        }
    }
    return true;
}

int Scan(ScanOptions o)
{
    std::string reason;
    std::vector<ScanMotif> motifs;
    std::vector<std::vector<double>> runChain;
    if (!LoadMotifs(&o, &motifs, &runChain, &reason))
        return Refuse(reason);
    int maxWidth = 0;
    for (const ScanMotif& m : motifs)
        maxWidth = std::max(maxWidth, m.width);
    ScanTarget survey;
    if (!SurveyTarget(o, maxWidth, &survey, &reason))
        return Refuse(reason);
    if (!PrepareOutputFolder(o.outdir, o.force, &reason))
        return Refuse(o.outdir + ": " + reason + (o.force ? "" : " (--force writes into it)"));
    for (const std::string& w : survey.warnings)
        fprintf(stderr, "Ruzaravo scan: warning: %s\n", w.c_str());
    if (!o.model.empty() && runChain.empty() && !o.given.count("--bg-order"))
        fprintf(stderr, "Ruzaravo scan: warning: %s/summary.json records no background chain (written by an "
                        "older version): the chain is estimated from the target\n", o.model.c_str());
    ScanModel model = MakeScanModel(std::move(motifs), o.moduleLength, o.moduleRate, o.siteRate,
                                    runChain.empty() ? survey.chain : ChainOfProbabilities(runChain));
    model.localRange = o.localRange;
    ScanSettings settings;
    settings.chunkSize = o.chunkSize;
    settings.threads = o.threads;
    settings.nullTiles = o.nullTiles;
    settings.seed = o.seed;
    settings.progress = !o.quiet && isatty(2);
    ScanStream stream(model, settings, survey.letters, survey.nucleotides);
    if (!FeedTarget(o, survey, &stream, &reason))
        return Refuse(reason);
    ScanOutcome outcome = stream.Finish((int)survey.sequences.size());
    const std::vector<ScanSequence>& target = survey.sequences;
    ScanFilter filter;
    filter.maxQ = o.maxQ;
    filter.maxP = o.maxP;
    ScanDescription d;
    d.commandLine = o.commandLine;
    d.target = o.target;
    d.motifs = o.motifSource;
    d.seed = o.seed;
    d.chunkSize = o.chunkSize;
    d.genome = o.genome;
    d.maskLower = o.maskLower;
    d.chainOfModel = !runChain.empty();
    auto files = ScanFolderFiles(outcome, model, target, filter, d);
    const std::vector<size_t> reported = ReportedModules(outcome, target, filter);
    files.emplace_back("report.html", ScanReportHtml(outcome, model, target, reported, Ranks(outcome, reported)));
    if (!WriteFolder(o, files, &reason))
        return Refuse(reason);
    fputs(ScanSummaryLine(outcome, target, filter, o.outdir).c_str(), stdout);
    return 0;
}

}  // namespace

bool IsScanCommand(int argc, char** argv)
{
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "--scan") == 0)
            return true;
    return false;
}

int ScanMain(int argc, char** argv)
{
    ScanOptions o;
    std::string reason;
    if (!ParseScanOptions(argc, argv, &o, &reason))
        return Refuse(reason);
    if (o.help) {
        fputs(ScanHelpText().c_str(), stdout);
        return 0;
    }
    try {
        return Scan(o);
    } catch (const std::bad_alloc&) {
        return Refuse("not enough memory for this scan: use a smaller --chunk-size or fewer --threads");
    }
}
