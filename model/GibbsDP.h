// CGibbsDP: the whole state of one sampler run, and every step of the run
// as one of its member operations.
//
// K = m_MotifNum, N = m_SeqNum, W_k = m_Width[k]. Positions are 0-based
// letter indices. A list table (m_Sites, m_BestSites) is K arrays of N head
// nodes; each list is singly linked behind an empty head node and owns its
// nodes. Count matrices and weight matrices hold W_k rows of 4 entries in
// the order A, C, G, T (entry 4 * row + letter code).
//
// The operations live in one file per concern:
//   model/GibbsDP.cpp      lifetime, list helpers
//   model/SeqInput.cpp     Initialize, ReadInputSeq
//   model/Background.cpp   BuildBackground, CalLogBgPrPos, CalLogBgPr
//   model/MotifScore.cpp   CalLogPrPos, CalLogMotifPr, CalWeightMat
//   model/InputPWM.cpp     ReadInputPWM
//   sampler/Driver.cpp     DataAugmentation, RunSweeps
//   sampler/InitScore.cpp  RandPickSite, CalLogPostPrSample, CalBayesianScore
//   sampler/ModuleSample.cpp  ApproxSampleCurSeq, CalModuleLogPr, SampleModule, ExcludeCurSeq
//   sampler/SiteSample.cpp SampleSites
//   sampler/Parameters.cpp SampleParameters, UpdateParameters, UpdateModuleLength
//   sampler/WidthMove.cpp  UpdateWidth, PhaseShift, CheckBoundary, CalLogPCondPW, MH
//   report/Tally.cpp       SetZerosMD, RecordMD, SumNeighborMD, InferSiteCount, InferModule, DeleteMD
//   report/Optimum.cpp     FindOptimum, AlignSites
//   report/ResultRecord.cpp CollectResult (output/ writes the record)
//   report/BayesFactor.cpp ISforBF, ShrinkCount, ProposeParameter, ProbSeqGParam, CalLogNullModel
#ifndef RUZARAVO_MODEL_GIBBSDP_H
#define RUZARAVO_MODEL_GIBBSDP_H

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/MarkovChain.h"
#include "base/CString.h"
#include "base/LogGammaMemo.h"
#include "base/Rng.h"
#include "results/RunResult.h"
#include "io/FastaText.h"
#include "model/ScoreTables.h"

struct MixLogTerms;
struct ForwardLane;
struct SiteWindow;
struct SweepWork;
struct DriverBuffers;
struct BgFileLine;
struct MotifMatrix;
class SweepObserver;

// Log-likelihood of a word that cannot be a site (too near the sequence
// start, containing N, or on the reverse strand when only the forward
// strand is searched).
const double NoSiteLogPr = -2000.0;
// Background log-probability of a letter pair (or first letter) with N.
const double AmbiguousBgLogPr = -1.386;
// A log ratio below this is treated as probability 0: no exp, no random number.
const double kLogZeroCut = -200.0;
// Widths are tallied in rows of this many cells (widths 0 .. 49).
const int kWidthHistSize = 50;
// Site counts are tallied in rows of this many cells (counts 0 .. 9999).
const int kSiteNumHistSize = 10000;

struct SITEINFO {
    CString Word;            // site letters in motif orientation (reverse complement on strand 0); empty in a head node
    int Pos = 0;             // 0-based leftmost position of the site's window, both strands
    bool Strand = true;      // 1 forward, 0 reverse
    int Count = 0;           // reported sites: recorded sweeps in which the site was present
    SITEINFO* Next = nullptr;  // next node, null at the end
};

struct MODULEINFO {
    int ModCount;            // modules placed in this sequence
    int* ModStart;           // ModCount 0-based start positions (descending), or null
    double LogRatio;         // sum over modules of ln P(window | module) - ln P(window | background)
    double StepLogRatio;     // same ratio for the strips the proposed module-length move adds or removes
};

class CGibbsDP {
public:
    int m_MotifNum;          // K, >= 1
    int m_ModLen;            // module length L in letters (m_TotalLen in independent mode)
    int m_ModNum;            // inferred number of modules, then the number printed
    int m_ModPosNum;         // positions inferred to lie in a module
    bool m_FixModLen;        // 1: module length is never moved
    int m_ModLenStep;        // letters added or removed by one module-length move (10)
    SITEINFO*** m_Sites;     // current configuration: [k][i] head node of motif k in sequence i
    MODULEINFO* m_ModInfo;   // N records, one per sequence
    int** m_CountMat;        // K arrays of W_k x 4 letter counts over the current sites
    int* m_Width;            // K current motif widths
    int m_MaxWidth;          // largest motif width
    int m_MinWidth;          // smallest motif width
    int* m_SiteNum;          // K + 1 ints: sites per motif; slot K only for the model odds
    double m_Threshold;      // posterior frequency for reporting a site, 0..1
    bool m_Independent;      // 1: K independent motifs, each sequence one window
    bool m_SampleParam;      // 1: parameters drawn from their posterior each sweep
    bool m_UseBgFile;        // 1: a background-probability file is given
    CString* m_Seq;          // N upper-case sequences
    CString* m_SeqName;      // N name lines, '>' included, line break removed
    const std::vector<MotifMatrix>* m_GivenPWM;   // the -M matrices, read before the first run; null: none
    bool m_UsePWM;           // 1: a weight-matrix file is given
    int m_SeqNum;            // N
    CString m_OutFile;       // result file name
    CString m_SeqFile;       // FASTA file name (read before the first run, into m_Input)
    const std::vector<BgFileLine>* m_BgLines;      // the -b lines, read before the first run; null: none
    double m_BgModel[20];    // 4 base frequencies (A, C, G, T), then P(b after a) at 4 + 4a + b
    SITEINFO*** m_BestSites; // best configuration so far, later the reported sites
    double m_BestLogPost;    // natural-log posterior score of m_BestSites
    bool m_CalBF;            // 1: compute the log posterior model odds
    double m_LogPMO;         // log posterior model odds (natural log)
    bool m_BothStrand;       // 1: sites on either strand; 0: forward only
    int m_TotalLen;          // sum of the sequence lengths
    int m_IterNum;           // number of sweeps
    int m_BurnIn;            // burn-in sweeps (not recorded)
    int m_ModPriorA;         // Beta prior count for module units (1)
    int m_ModPriorB;         // Beta prior count for units outside modules (1)
    int* m_MotifPrior;       // K + 1 Dirichlet counts, background last (all 1)
    int m_BasePrior[4];      // Dirichlet counts for A, C, G, T in a motif column (all 1)
    CString m_CmdLine;       // compile banner line, then every command-line word and a blank

    // Extensions: the seed of this run and the optional per-sweep trace.
    unsigned m_RandSeed;     // seed of this run's generator
    Rng m_Rng;               // the run's generator: every random draw of the run comes from it
    int m_Threads;           // threads for the draw-free passes of a sweep, >= 1
    std::shared_ptr<SweepWork> m_Work;   // buffers of the draw-free passes, sized at the first sweep
    std::vector<double> m_SiteScratch;   // cumulative choice probabilities of one site draw
    LogGammaMemo m_LogGamma;  // logGamma of the score's large arguments, remembered
    int m_RunIndex;          // 0-based index of this run within the process
    std::vector<std::string> m_SeedMatrixNames;  // per motif, the -M matrix that seeded it ("" if none)
    const std::vector<FastaRecord>* m_Input;   // records read once for all runs; null: no sequences

    // Extensions: the order-k background chain. With order 1 and no
    // background set, the established first-order chain (m_BgModel) is used
    // and m_BgChain stays null.
    int m_BgOrder;           // order of the background chain, 0..5
    std::shared_ptr<const MarkovChain> m_SetChain;   // estimated once from --bg-fasta; null: from the input
    std::shared_ptr<const MarkovChain> m_BgChain;    // the chain when it replaces m_BgModel

    CGibbsDP();
    virtual ~CGibbsDP();

    // Lifetime and lists.
    void FreeMemery();
    void DelSiteHead(SITEINFO** heads);
    void CopySample(SITEINFO*** from, SITEINFO*** to);
    void CopySample(SITEINFO** from, SITEINFO** to);
    void AddSite(SITEINFO* after, SITEINFO* site);
    int CountModule(MODULEINFO* records);
    // Sets motif k's width and gives it a zeroed count matrix of that width.
    void SetMotifWidth(int k, int w);
    // Gives every weight-matrix buffer of the driver the current width
    // (contents zeroed; the caller fills them).
    void ResizeMatrices(double** pwm);

    // Input.
    void Initialize();
    void ReadInputSeq();   // copies the records of m_Input
    void ReadInputPWM(double** pwm);

    // Background model.
    void BuildBackground();
    void CalLogBgPrPos(double** tables, int* lengths);
    double CalLogBgPr(CString word);
    double CalLogBgPr(const char* word, int n);   // same on n letters in place

    // Motif scoring.
    void CalLogPrPos(double** tables, int* lengths, double** pwm);
    // ln of every entry of every matrix; motif k's rows start at offset[k].
    void MatrixLogs(double** pwm, std::vector<double>* logs, std::vector<int>* offset);
    // The logs of every matrix entry and the prefix tables of words, for
    // an input of `letters` letters.
    void BuildScoreTables(double** pwm, long long letters, ScoreTables* t);
    // The motif columns of sequence s's table (len rows), as CalLogPrPos.
    void ScoreSequence(int s, double* table, int len, const ScoreTables& t, ScoreScratch* scratch);
    double CalLogMotifPr(CString word, double* pwm);
    int CalWeightMat(SITEINFO** heads, int* counts, int width);

    // Sampler: one whole run, returning what it found; its start, sweeps
    // and progress go to observer (null: nowhere).
    RunResult DataAugmentation(SweepObserver* observer = nullptr);
    // The sweeps of the run over the driver's buffers, one convergence
    // entry each into stats.
    void RunSweeps(DriverBuffers& b, SweepObserver* observer, std::vector<SweepStat>* stats);
    void RandPickSite();
    double CalLogPostPrSample();
    double CalBayesianScore(int a, int* n, int** C, int* w, double G);
    void ApproxSampleCurSeq(int i, double rho, double* pi, double** pwm, double* table, int* move);
    double CalModuleLogPr(int e, int n, double* table, double* pi, double* out);
    void SampleModule(double* B, double* C, double rho, int len, int i, int* move, double* A);
    void ExcludeCurSeq(int i);
    void SampleSites(double* pi, double* table, int i, int e, int n, const double* strand = nullptr);
    // SampleSites for every module of every sequence, in sequence and
    // module order, with the forward passes taken first (into m_Work).
    void SampleSweepSites(double* pi, double** tables, int* seqLen);
    // The window SampleSites samples for end e and length n, cut to the
    // sequence; false when no site fits in it (then it draws nothing).
    bool SiteWindowAt(int i, int e, int n, const double* table, const double* strand, SiteWindow* w);
    // The site forward passes of n (at most kForwardLanes) windows in step.
    void SiteForwardLanes(const SiteWindow* lanes, int n, const MixLogTerms& mix);
    // The backward draws of one window from its finished forward pass.
    void DrawSites(const SiteWindow& win, const MixLogTerms& mix);
    void SampleParameters(double* rho, double* pi, double** pwm);
    void UpdateParameters(double* rho, double* pi, double** pwm);
    void UpdateModuleLength(int m);
    void UpdateWidth(int k);
    void PhaseShift(int k);
    void CheckBoundary(SITEINFO** lists, bool* flags);
    double CalLogPCondPW(int g, int h, int w, int* C, double G);
    bool MH(double oldScore, double newScore, double corr);

    // Posterior tallies, reported sites, the result record.
    void SetZerosMD(int** siteTally, int* widthHist, int* siteNumHist, int** modTally);
    void RecordMD(int** siteTally, int* widthHist, int* siteNumHist, int** modTally);
    void SumNeighborMD(int** siteTally);
    void InferSiteCount(int* siteNumHist);
    void InferModule(int** modTally, int* len);
    void DeleteMD(int** siteTally, int* widthHist, int* siteNumHist, int** modTally);
    void FindOptimum(int** siteTally, int* widthHist, int n);
    void AlignSites(int** siteTally);
    // The record of the run after inference: printed motifs rebuilt from
    // the reported sites (rewrites m_Width, m_CountMat, m_SiteNum of found
    // motifs), modules cut from modTally, module probabilities tally / n
    // (the driver passes n = R + 1); sets m_ModNum. CPU time and sweep
    // statistics are left to the driver.
    RunResult CollectResult(int** modTally, int* len, int n);

    // Model odds.
    double ISforBF(double* rho, double* pi, double** pwm, int* seqLen);
    void ShrinkCount(double f);
    double ProposeParameter(double* rho, double* pi, double** pwm);
    double ProbSeqGParam(int j, double rho, double* pi, double** pwm, double* table);
    double CalLogNullModel();

    // Per-sweep trace (extension): the row of sweep t, line break included.
    std::string TraceRow(int t, double rho, double score);

    // --- further sampler operations (sampler/) ---
    // One sweep, steps 1 to 9 of the driver's schedule (width and phase
    // moves, parameters, given matrices, module-length proposal, motif
    // columns, modules, module-length move, sites, score and best sample);
    // returns the sweep's score. *rho, pi and pwm are the driver's buffers.
    double RunSweep(int t, double* rho, double* pi, double** pwm, double** tables, int* seqLen,
                    int meanLen);
    // Module-length move code of sweep t (-1 none, else 0..3); draws
    // one value % 4 only after the burn-in when the length may move.
    int ProposeModLenMove(int t, int meanLen);
    // ln pi[k] and the group (ln pi[k] + ln 0.5) for k < K.
    void MixLogs(double* pi, double* lnPi, double* lnPiHalf);
    // One step of the forward passes over a window: adds to f[jj] every way
    // a site of some motif can end at the window's (jj + 1)-th letter, whose
    // table row is row.
    // strand: the row's K two-strand sums (StrandSums), or null to compute
    // them here; the result is the same bits either way.
    void AddSiteEnds(const double* row, int jj, double* f, const double* lnPi, const double* lnPiHalf,
                     const double* strand);
    // The same logarithms in a MixLogTerms, with ln pi[K].
    void MixLogs(double* pi, MixLogTerms* mix);
    // The module forward pass of sequence i (two letters or more): A, B
    // and C of ApproxSampleCurSeq, len each, bit for bit. With both strands
    // and strand not null, also strand[p K + k] = LogSum of row p's two
    // strand columns of motif k, for every p < len. Draws nothing.
    void ModuleForward(int i, double rho, const MixLogTerms& mix, const double* table,
                       double* strand, double* A, double* B, double* C);
    // strand[p K + k] = LogSum of row p's two strand columns of motif k,
    // for every p < len.
    void StrandSums(const double* table, int len, double* strand);
    // Sequence i's lane of the forward pass over the given buffers.
    ForwardLane MakeLane(int i, const double* table, const double* strand, double* A, double* B, double* C);
    // The module forward passes of n sequences in step (strand sums
    // already taken): each lane gets the bits of ModuleForward alone.
    void ForwardLanes(const ForwardLane* lanes, int n, double rho, const MixLogTerms& mix);
    // The draws of ApproxSampleCurSeq from a finished forward pass (A, B, C
    // may be null for a sequence of fewer than two letters).
    void DrawModules(int i, double rho, double* A, double* B, double* C, int* move);
    // Steps of a sweep that draw nothing, for every sequence: the position
    // tables, the two-strand sums, the module forward passes (into m_Work).
    void DrawFreePasses(double rho, double* pi, double** pwm, double** tables, int* seqLen);
    // Those passes for sequences first .. last-1, into buffers already sized.
    void SequencePasses(int first, int last, double rho, double** tables, int* seqLen,
                        ScoreScratch* scratch);
    // Log Poisson(15) width prior without its constant: w ln 15 - ln w!.
    double WidthLogPrior(int w);
    // A 64-bit count as a logGamma argument (held inside the int range).
    static int LgArg(long long v);
    // Units outside modules, T - a L + B, held at 1 or more.
    int UnitsOutsideModules(int a);
    // Dirichlet counts of the K motifs and the background inside modules.
    void MixingCounts(int a, int* alpha);
    // Proposal lists of motif k at the given width, each site moved by
    // fwdShift (forward) or revShift (reverse); sums the background
    // log-probabilities of the old and new words.
    SITEINFO** BuildMovedSites(int k, int width, int fwdShift, int revShift, double* gOld,
                               double* gNew);
    // MH test of a motif move: installs or frees the proposal and its counts.
    void DecideMotifMove(int k, int width, SITEINFO** proposal, int* counts, double oldScore,
                         double newScore);

    // --- further report operations (report/) ---
    // Site count chosen from one motif's SiteNumHist row (smoothed into
    // smooth, 10000 doubles) by the peak rules; -1 when there is no peak.
    int PeakSiteCount(int* hist, double* smooth);
    // First and last candidate start for re-aligning a site at p of width w
    // in a sequence of len letters (p - 5 .. p + 5, kept inside).
    void AlignCandidates(int p, int len, int w, int* lo, int* hi);
};

#endif
