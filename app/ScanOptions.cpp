// Parsing the scan's long options (see the header).
#include "app/ScanOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

namespace {

bool ToLong(const std::string& s, long long lo, long long hi, long long* out)
{
    if (s.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    long long v = strtoll(s.c_str(), &end, 10);
    if (*end || errno || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

// A number strictly above lo and at most hi.
bool ToRate(const std::string& s, double lo, double hi, double* out)
{
    if (s.empty())
        return false;
    char* end = nullptr;
    double v = strtod(s.c_str(), &end);
    if (*end || !std::isfinite(v) || !(v > lo) || v > hi)
        return false;
    *out = v;
    return true;
}

using Setter = std::function<bool(ScanOptions*, const std::string&)>;

struct ValueOption {
    Setter set;
    const char* expects;   // for the message
};

template <typename T>
Setter IntInto(T ScanOptions::*field, long long lo, long long hi)
{
    return [=](ScanOptions* o, const std::string& v) {
        long long x;
        if (!ToLong(v, lo, hi, &x))
            return false;
        o->*field = (T)x;
        return true;
    };
}

Setter RateInto(double ScanOptions::*field, double lo, double hi)
{
    return [=](ScanOptions* o, const std::string& v) { return ToRate(v, lo, hi, &(o->*field)); };
}

Setter TextInto(std::string ScanOptions::*field)
{
    return [=](ScanOptions* o, const std::string& v) {
        o->*field = v;
        return !v.empty();
    };
}

// Comma-separated record names, none empty.
bool NamesInto(ScanOptions* o, const std::string& v)
{
    size_t from = 0;
    for (;;) {
        const size_t comma = v.find(',', from);
        const std::string name = v.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        if (name.empty())
            return false;
        o->only.insert(name);
        if (comma == std::string::npos)
            return true;
        from = comma + 1;
    }
}

const std::map<std::string, ValueOption>& ValueOptions()
{
    static const std::map<std::string, ValueOption> options = {
        {"--scan", {TextInto(&ScanOptions::target), "a file name (or - for standard input)"}},
        {"--motifs", {TextInto(&ScanOptions::motifs), "a file name"}},
        {"--model", {TextInto(&ScanOptions::model), "a folder name"}},
        {"--outdir", {TextInto(&ScanOptions::outdir), "a folder name"}},
        {"--seed", {IntInto(&ScanOptions::seed, 0, 4294967295LL), "a whole number 0 .. 4294967295"}},
        {"--threads", {IntInto(&ScanOptions::threads, 1, 256), "a whole number 1 .. 256"}},
        {"--module-length", {IntInto(&ScanOptions::moduleLength, 2, 100000), "a whole number 2 .. 100000"}},
        {"--module-rate", {RateInto(&ScanOptions::moduleRate, 0.0, 0.5), "a number above 0 and at most 0.5"}},
        {"--site-rate", {RateInto(&ScanOptions::siteRate, 0.0, 0.5), "a number above 0 and at most 0.5"}},
        {"--max-q", {RateInto(&ScanOptions::maxQ, 0.0, 1.0), "a number above 0 and at most 1"}},
        {"--max-p", {RateInto(&ScanOptions::maxP, 0.0, 1.0), "a number above 0 and at most 1"}},
        {"--bg-order", {IntInto(&ScanOptions::bgOrder, 0, 5), "a whole number 0 .. 5"}},
        {"--local-composition", {IntInto(&ScanOptions::localRange, 0, 100000), "a whole number 0 .. 100000"}},
        {"--chunk-size", {IntInto(&ScanOptions::chunkSize, 1000, 100000000), "a whole number 1000 .. 100000000"}},
        {"--null-tiles", {IntInto(&ScanOptions::nullTiles, 100, 10000000), "a whole number 100 .. 10000000"}},
        {"--only", {NamesInto, "sequence names separated by commas"}},
    };
    return options;
}

const std::map<std::string, bool ScanOptions::*>& FlagOptions()
{
    static const std::map<std::string, bool ScanOptions::*> flags = {
        {"--force", &ScanOptions::force},   {"--mask-lower", &ScanOptions::maskLower},
        {"--genome-coords", &ScanOptions::genome}, {"--quiet", &ScanOptions::quiet},
        {"--help", &ScanOptions::help},
    };
    return flags;
}

}  // namespace

bool ParseScanOptions(int argc, char** argv, ScanOptions* opts, std::string* reason)
{
    for (int i = 0; i < argc; i++) {
        opts->commandLine += std::string(i ? " " : "") + argv[i];
        opts->help = opts->help || std::string(argv[i]) == "--help";   // also right after --scan
    }
    if (opts->help)
        return true;
    for (int i = 1; i < argc; i++) {
        std::string word = argv[i], value;
        bool inlineValue = false;
        size_t eq = word.find('=');
        if (word.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            value = word.substr(eq + 1);
            word = word.substr(0, eq);
            inlineValue = true;
        }
        auto flag = FlagOptions().find(word);
        if (flag != FlagOptions().end() && !inlineValue) {
            opts->*(flag->second) = true;
            continue;
        }
        auto opt = ValueOptions().find(word);
        if (opt == ValueOptions().end()) {
            *reason = "unknown option " + word + " (a scan takes long options only; see --scan --help)";
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= argc || std::string(argv[i + 1]).compare(0, 2, "--") == 0) {
                *reason = word + " needs a value: " + opt->second.expects;
                return false;
            }
            value = argv[++i];
        }
        if (!opt->second.set(opts, value)) {
            *reason = word + " " + value + ": expected " + opt->second.expects;
            return false;
        }
        opts->given.insert(word);
    }
    if (opts->help)
        return true;
    if (opts->target.empty())
        *reason = "--scan needs a target FASTA file";
    else if (opts->motifs.empty() == opts->model.empty())
        *reason = "a scan needs either --motifs FILE (weight matrices) or --model DIR (a discovery run's output folder)";
    else if (opts->outdir.empty())
        *reason = "a scan needs --outdir DIR (the folder for modules.bed and the other files)";
    return reason->empty();
}

std::string ScanHelpText()
{
    return "Usage: Ruzaravo --scan TARGET.fa (--motifs FILE | --model DIR) --outdir DIR [options]\n"
           "\n"
           "Scans new sequence (a locus, a chromosome, a genome) for cis-regulatory modules with\n"
           "known weight matrices and the module model of the sampler, all parameters fixed.\n"
           "\n"
           "  --scan FILE         target FASTA; gzip/BGZF accepted, - reads standard input\n"
           "  --motifs FILE       weight matrices: own format (as -M), MEME, JASPAR or TRANSFAC\n"
           "  --model DIR         the --outdir folder of a discovery run: its motifs (those of\n"
           "                      consensus.meme when it has one), module length, background chain,\n"
           "                      module rate and site rate (options given here override them)\n"
           "  --outdir DIR        output folder (created; must be empty unless --force)\n"
           "  --force             write into an existing, non-empty folder\n"
           "  --module-length L   letters of a module window (default 200)\n"
           "  --module-rate R     probability that a module rather than a background letter\n"
           "                      ends at a position (default 0.0005)\n"
           "  --site-rate R       probability of a site of each motif per letter inside a\n"
           "                      module (default 0.01, or 0.045 / K for more than 4 motifs;\n"
           "                      K x R must stay below 1)\n"
           "  --bg-order K        order of the background Markov chain, estimated from the\n"
           "                      target on both strands (default 1; 0 .. 5)\n"
           "  --local-composition R  letters on either side whose A, C, G, T counts adjust the\n"
           "                      chain to the local composition of every site (default 250; 0: none)\n"
           "  --max-q Q           report modules with a q-value at most Q (default 0.05)\n"
           "  --max-p P           report modules with a p-value at most P instead\n"
           "  --null-tiles N      null tiles of L shuffled letters (default 20000: p down to 5e-5)\n"
           "  --seed N            seed of the null's shuffles (default 1)\n"
           "  --threads N         chunks scanned side by side (default 1)\n"
           "  --chunk-size N      letters a chunk owns (default 1000000)\n"
           "  --mask-lower        read lower-case (soft-masked) letters as N\n"
           "  --genome-coords     names chrom:start-end (bedtools getfasta) place the output on the genome\n"
           "  --only NAME[,NAME]  scan only these sequences; the null and background chain stay the whole file's,\n"
           "                      so p-values match those of a scan of the whole file (one job per chromosome)\n"
           "  --quiet             no progress lines on standard error\n"
           "  --help              this text\n"
           "\n"
           "Files in DIR: modules.bed, sites.bed, modpr.bedgraph, annotations.gff3, summary.json.\n";
}
