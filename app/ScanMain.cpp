// The scan's entry point (see the header).
#include "app/ScanMain.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <unistd.h>

#include "base/Fatal.h"
#include "base/Helpers.h"
#include "io/FastaText.h"
#include "io/MatrixFile.h"
#include "output/Coordinates.h"
#include "output/OutputFolder.h"
#include "output/ReplaceFile.h"
#include "output/ScanFiles.h"
#include "app/ScanModelFolder.h"
#include "app/ScanOptions.h"
#include "scan/ScanRun.h"

namespace {

int Refuse(const std::string& reason)
{
    fprintf(stderr, "Ruzaravo scan: %s\n", reason.c_str());
    return 1;
}

std::string FirstWord(const std::string& name)
{
    size_t b = name.compare(0, 1, ">") == 0 ? 1 : 0;
    size_t e = name.find_first_of(" \t\r", b);
    return name.substr(b, e == std::string::npos ? std::string::npos : e - b);
}

// The target's sequences, placed; false with the reason.
bool LoadTarget(const ScanOptions& o, int maxWidth, std::vector<ScanSequence>* out, std::string* reason)
{
    std::vector<FastaRecord> records;
    FastaReadOptions read;
    read.MaskLower = o.maskLower;
    if (!ReadFastaInput(o.target, read, &records)) {
        *reason = NotedInputError();
        return false;
    }
    long long nucleotides = 0;
    for (FastaRecord& r : records) {
        ScanSequence s;
        s.name = FirstWord(r.Name);
        s.chrom = s.name;
        if (o.genome) {
            SeqPlace place;
            if (!ParseGenomeName(s.name, &place)) {
                *reason = o.target + ": sequence " + s.name +
                          " is not named chrom:start-end (as bedtools getfasta names it), needed by --genome-coords";
                return false;
            }
            s.chrom = place.chrom;
            s.offset = place.offset;
        }
        if ((long long)r.Letters.size() < o.moduleLength) {
            *reason = o.target + ": sequence " + s.name + " has " + std::to_string(r.Letters.size()) +
                      " letters, fewer than the module length " + std::to_string(o.moduleLength) +
                      " (leave it out, or give a shorter --module-length)";
            return false;
        }
        for (char c : r.Letters)
            nucleotides += NucleotideCode(c) >= 0;
        s.letters = std::move(r.Letters);
        out->push_back(std::move(s));
    }
    if (nucleotides < o.moduleLength + maxWidth) {
        *reason = o.target + ": only " + std::to_string(nucleotides) +
                  " letters are A, C, G or T: too few to scan or to shuffle for the null";
        return false;
    }
    return true;
}

// The chain estimated from the target's letters (moved out and back).
MarkovChain TargetChain(std::vector<ScanSequence>* target, int order)
{
    std::vector<std::string> seqs;
    for (ScanSequence& s : *target)
        seqs.push_back(std::move(s.letters));
    MarkovChain chain = MarkovChain::Estimate(seqs, order);
    for (size_t i = 0; i < seqs.size(); i++)
        (*target)[i].letters = std::move(seqs[i]);
    return chain;
}

// The matrices of --motifs, or those of --model with its parameters, which
// fill the options not given on the command line.
bool LoadMatrices(ScanOptions* o, std::vector<MotifMatrix>* matrices, std::string* reason)
{
    if (o->model.empty()) {
        std::string why;
        if (!ReadMatrixFile(o->motifs, matrices, &why)) {
            *reason = o->motifs + ": " + why;
            return false;
        }
        return true;
    }
    ScanModelFolder folder;
    if (!ReadScanModelFolder(o->model, &folder, reason))
        return false;
    *matrices = std::move(folder.matrices);
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

bool LoadMotifs(ScanOptions* o, std::vector<ScanMotif>* motifs, std::string* reason)
{
    std::vector<MotifMatrix> matrices;
    if (!LoadMatrices(o, &matrices, reason))
        return false;
    *motifs = MotifsFromMatrices(matrices);
    int maxWidth = 0;
    for (const ScanMotif& m : *motifs)
        maxWidth = std::max(maxWidth, m.width);
    if (maxWidth > o->moduleLength) {
        *reason = (o->model.empty() ? o->motifs : o->model) + ": a matrix of width " + std::to_string(maxWidth) +
                  " does not fit in a module of " + std::to_string(o->moduleLength) + " letters (--module-length)";
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
    if (!LoadMotifs(&o, &motifs, &reason))
        return Refuse(reason);
    int maxWidth = 0;
    for (const ScanMotif& m : motifs)
        maxWidth = std::max(maxWidth, m.width);
    std::vector<ScanSequence> target;
    if (!LoadTarget(o, maxWidth, &target, &reason))
        return Refuse(reason);
    if (!PrepareOutputFolder(o.outdir, o.force, &reason))
        return Refuse(o.outdir + ": " + reason + (o.force ? "" : " (--force writes into it)"));
    MarkovChain chain = TargetChain(&target, o.bgOrder);
    ScanModel model = MakeScanModel(std::move(motifs), o.moduleLength, o.moduleRate, o.siteRate, std::move(chain));
    ScanSettings settings;
    settings.chunkSize = o.chunkSize;
    settings.threads = o.threads;
    settings.nullTiles = o.nullTiles;
    settings.seed = o.seed;
    settings.progress = !o.quiet && isatty(2);
    ScanOutcome outcome = RunScan(model, target, settings);
    ScanFilter filter;
    filter.maxQ = o.maxQ;
    filter.maxP = o.maxP;
    ScanDescription d;
    d.commandLine = o.commandLine;
    d.target = o.target;
    d.motifs = o.model.empty() ? o.motifs : o.model + "/summary.json";
    d.seed = o.seed;
    d.chunkSize = o.chunkSize;
    d.genome = o.genome;
    d.maskLower = o.maskLower;
    if (!WriteFolder(o, ScanFolderFiles(outcome, model, target, filter, d), &reason))
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
