// The command line of a scan (Ruzaravo --scan TARGET ...): long options
// only, "--name value" or "--name=value", so the discovery's short options
// stay as they are. Parsing only checks the form and range of each value;
// the files are read later.
#ifndef RUZARAVO_APP_SCANOPTIONS_H
#define RUZARAVO_APP_SCANOPTIONS_H

#include <set>
#include <string>

struct ScanOptions {
    std::string target;          // --scan: FASTA, gzip/BGZF, or - for standard input
    std::string motifs;          // --motifs: own, MEME, JASPAR or TRANSFAC matrices
    std::string model;           // --model: the output folder of a discovery run
    std::string outdir;          // --outdir
    bool force = false;          // --force: an existing non-empty folder may be written into
    unsigned seed = 1;           // --seed: the null's shuffles
    int threads = 1;             // --threads
    bool maskLower = false;      // --mask-lower: lower-case letters read as N
    bool genome = false;         // --genome-coords: names chrom:start-end place the output
    int moduleLength = 200;      // --module-length L
    double moduleRate = 0.0005;  // --module-rate rho
    double siteRate = 0.01;      // --site-rate, per motif and letter inside a module
    double maxQ = 0.05;          // --max-q
    double maxP = -1.0;          // --max-p (replaces --max-q when given)
    int bgOrder = 1;             // --bg-order 0..5
    int localRange = 250;        // --local-composition: letters either side, 0 for none
    bool quiet = false;          // --quiet: no progress lines
    long long chunkSize = 1000000;   // --chunk-size
    int nullTiles = 20000;       // --null-tiles
    std::set<std::string> only;  // --only: the record names scanned (empty: all); the rest feed only the null
    bool help = false;           // --help
    std::string commandLine;     // the words as given, for summary.json
    std::string motifSource;     // the file the matrices were read from (set when they are)
    std::set<std::string> given; // the value options given on the command line
};

// Fills opts from the arguments; false with the reason on a bad option.
bool ParseScanOptions(int argc, char** argv, ScanOptions* opts, std::string* reason);

// The usage text of the scan.
std::string ScanHelpText();

#endif
