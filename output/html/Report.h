// The HTML report: one self-contained page for all runs of one process.
//
// The page holds its own CSS, inline SVG figures and a small script (table
// sorting and an error trap); it loads nothing from the network and opens
// from disk. Sections: header (command line, version, input summary, a
// table of runs), then per run its enrichment table when it measured
// enrichment (output/html/EnrichmentTable.h), its motifs (logo, reverse complement,
// consensus, width, sites, best known matches, site table by posterior),
// module map and convergence plots, then, with more than one run, the
// agreement of every run-1 motif with the other runs. With chains, their
// clusters come right after the header; with --min-support the page opens
// (after the header) with the run set's answer, the consensus motifs and
// modules (output/html/AnswerSection.h), and with chains the convergence
// verdict and the chains' log posteriors overlaid precede the clusters.
#ifndef RUZARAVO_OUTPUT_HTML_REPORT_H
#define RUZARAVO_OUTPUT_HTML_REPORT_H

#include <string>
#include <vector>

#include "analysis/ChainClusters.h"
#include "analysis/KnownMatches.h"
#include "analysis/RunSetAnswers.h"
#include "analysis/MotifSimilarity.h"
#include "base/Fault.h"
#include "results/RunResult.h"

// One matrix of the known-factor library (--known).
struct KnownMotif {
    std::string id;       // e.g. MA0212.1
    std::string name;     // e.g. bcd
    MotifProfile matrix;   // counts or probabilities, A C G T
};

struct ReportInput {
    std::string commandLine;            // the words as given, separated by blanks
    std::string version;                // e.g. "Ruzaravo 1.0"
    std::string knownFile;              // library file name, "" when none
    std::vector<KnownMotif> known;      // library matrices
    const ChainClusters* chains = nullptr;   // --chains: the runs are chains, shown clustered after the header
    const KnownMatcher* matcher = nullptr;   // the library of known, built once by the caller (else per run)
    const RunSetAnswers* answers = nullptr;  // the run set's answer: consensus, convergence, cluster factors
};

// A sequence of the consensus module map: its name and length.
struct MapTrack {
    std::string id;
    long long length = 0;
};

// One chain's log posterior by sweep, for the chains' overlaid plot.
struct ChainTrace {
    int chain = 0;
    int burnIn = 0;
    std::vector<double> logPosterior;
};

// Counts of the input as read (from the first run's sequences).
struct InputSummary {
    long long sequences = 0;
    long long letters = 0;
    long long acgt = 0;
    long long gc = 0;
    long long other = 0;     // letters that are not A, C, G or T
    long long shortest = 0;
    long long longest = 0;
};
InputSummary SummariseInput(const std::vector<SequenceResult>& seqs);

// Site tables show at most this many rows (highest posterior first).
const std::size_t kMaxSiteRows = 500;
// Best known matches listed per motif.
const std::size_t kKnownMatches = 3;

// The page's parts, each run's rendered once when the run is added: its row
// of the runs table, its section, and its column of the agreement table
// (its best match to each motif of the first run). The page is put
// together from them, so adding run n renders only run n.
class ReportParts {
public:
    // Renders the run's parts; the known matches use input.known.
    void Add(const RunResult& run, const ReportInput& input);
    // The page of every run added so far (header texts and chains from input).
    std::string Page(const ReportInput& input) const;

private:
    struct FirstMotif {   // a printed motif of the first run, as the agreement table compares it
        int index;
        std::string consensus;
        MotifProfile freq;
    };
    std::string m_InputTable;               // the input summary, from the first run
    std::vector<FirstMotif> m_FirstMotifs;
    std::vector<std::string> m_Rows;        // per run: its row of the runs table
    std::vector<std::string> m_Sections;    // per run: its section
    std::vector<std::vector<std::string>> m_Agreement;   // per later run: one cell per first-run motif
    std::vector<MapTrack> m_Seqs;           // the first run's sequences, for the consensus module map
    std::vector<ChainTrace> m_Traces;       // per run: its log posterior by sweep
};

// The page for the runs at once: ReportParts with every run added.
std::string BuildReport(const std::vector<RunResult>& runs, const ReportInput& input);

// Writes the page through output/ReplaceFile.h, so a reader never sees
// half a page; no fault, or {path, "the report cannot be written"}.
Fault WriteReportFile(const std::string& path, const std::string& html);

#endif
