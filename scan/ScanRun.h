// A whole scan: the target's sequences cut into overlapping chunks scanned
// by a pool of threads, the null from a k-mer preserving shuffle of the
// target scanned the same way, p-values against the null and
// Benjamini-Hochberg q-values.
//
// Chunks: each sequence is cut into stretches of chunkSize letters that a
// chunk owns; the chunk scans its stretch plus `overlap` letters on either
// side (kept inside the sequence) and keeps only the module windows that
// start in its own stretch and the module probabilities of its own letters,
// so every module belongs to exactly one chunk. Results are gathered in
// chunk order, which is genome order, whatever the number of threads.
//
// Null: (tiles + 2) x L letters made by shuffling the target's A, C, G, T
// letters (joined across N runs and sequences; at most 64 evenly spaced
// pieces of them when the target is longer than needed), keeping every
// (bg order + 1)-mer's count; shuffles are repeated and joined when the
// target is shorter. Each tile of L window starts gives the log-likelihood
// ratio of its best window (by the prefix pass's score, then scored
// exactly); the null's chunks are of a fixed size. A module's p-value is (1 + tiles at or above its ratio) / (1 +
// tiles): the chance that L letters of the null hold a window as strong.
// With the default 20,000 tiles p-values reach 5e-5.
//
// q-values: Benjamini-Hochberg over every tile of L letters of the target
// (all letters / L, at least the number of calls), each tile a potential
// module: the tiles without a call count as p = 1, so that choosing the
// calls does not make them look more significant than they are.
//
// Streaming: the target is fed to a ScanStream sequence by sequence in
// pieces of any size; the stream keeps only the letters of the chunk it is
// cutting (chunk size + twice the overlap) and a bounded queue of chunks
// waiting for a thread (two per thread), so memory does not grow with the
// target. The letters of the null are gathered as the target passes, which
// needs the target's count of A, C, G, T letters beforehand.
//
// Random draws: the shuffles only, from one Rng seeded with the seed.
#ifndef RUZARAVO_SCAN_SCANRUN_H
#define RUZARAVO_SCAN_SCANRUN_H

#include <memory>
#include <string>
#include <vector>

#include "analysis/Significance.h"   // BenjaminiHochberg(p, tests) for the q-values
#include "scan/ChunkPass.h"
#include "scan/ScanModel.h"

struct ScanSequence {
    std::string name;          // first word of the FASTA name
    std::string chrom;         // reference for the output files
    long long offset = 0;      // added to every position in the output files
    long long length = 0;      // letters in the sequence
    std::string letters;       // upper case; N (and other letters) break sites; empty when streamed
};

struct ScanSettings {
    long long chunkSize = 1000000;
    int threads = 1;
    int nullTiles = 20000;
    unsigned seed = 1;
    bool progress = false;     // progress lines on standard error
};

struct ScanModule {
    int seq = 0;               // index into the target's sequences
    ScanCall call;
    double p = 1.0, q = 1.0;
};

struct ScanOutcome {
    std::vector<ScanModule> modules;   // every call, in genome order, with p and q
    std::vector<std::vector<PrRun>> prRuns;   // per sequence, module probability runs
    int moduleLength = 0;              // L of the model
    long long letters = 0;             // letters scanned
    long long tests = 0;               // tiles counted by the q-values
    long long nullLetters = 0;
    int nullTiles = 0;
    std::vector<double> nullBest;      // the null tiles' best ratios, ascending
    double seconds = 0.0;              // wall time of the scan and its null
};

// Letters a chunk scans on either side of its own stretch: twenty module
// lengths. A call and its sites depend on less than two module lengths of
// letters, but the module probability of a letter reaches further through
// the forward and backward passes, which forget the chunk's edge only
// gradually where modules are dense; at twenty lengths the printed values
// no longer move.
inline long long ChunkOverlap(int moduleLength)
{
    return 20LL * moduleLength;
}

// The target's letters that the null shuffles, gathered as they pass:
// all its A, C, G, T letters, or evenly spaced pieces of them when the
// target holds more than needed (total: its count of A, C, G, T).
class NullSampler {
public:
    NullSampler(long long total, long long needed);
    void Add(const char* x, size_t n);
    // Shuffles of the gathered letters keeping their k-mers, joined to
    // `needed` letters ("" when none was gathered).
    std::string Letters(int k, unsigned seed) const;

private:
    long long m_total, m_needed, m_pieceLen;
    bool m_sample;
    long long m_idx = 0;
    int m_piece = 0;
    std::string m_source;
};

// The null letters of an in-memory target (see above).
std::string NullLetters(const std::vector<ScanSequence>& target, long long needed, int k, unsigned seed);

// A scan fed sequence by sequence (see above); threads start with it.
class ScanStream {
public:
    // nucleotides: the target's A, C, G, T letters; letters: all its
    // letters (for the progress lines only).
    ScanStream(const ScanModel& model, const ScanSettings& settings, long long letters, long long nucleotides);
    ~ScanStream();
    ScanStream(const ScanStream&) = delete;
    ScanStream& operator=(const ScanStream&) = delete;

    void Begin(int seq);                 // sequences in increasing order from 0
    void Add(const char* x, size_t n);   // the next letters of the sequence
    void End();
    // Letters of a sequence that is not scanned but whose letters belong to
    // the null (a scan of some sequences of a file, with the whole file's
    // null), in their place in the file between End and the next Begin.
    void PassToNull(const char* x, size_t n);
    // Scans the null, waits for every chunk and gives the outcome over
    // `sequences` sequences.
    ScanOutcome Finish(int sequences);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

ScanOutcome RunScan(const ScanModel& model, const std::vector<ScanSequence>& target, const ScanSettings& settings);

#endif
