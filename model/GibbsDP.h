// CGibbsDP: the whole state of one sampler run, and every step of the run
// as one of its member operations.
//
// K = m_MotifNum, N = m_SeqNum, W_k = m_Width[k]. Positions are 0-based
// letter indices. A list table (m_Sites, m_BestSites) is K arrays of N head
// nodes; each list is singly linked behind an empty head node and owns its
// nodes. Count matrices and weight matrices hold W_k rows of 4 entries in
// the order A, C, G, T (entry 4 * row + letter code).
//
// Operation index: every member operation, one file per concern, with what
// it does and who calls it. Module and site sampling have two paths. The
// fast path [fast] is what a sweep runs: the draw-free passes of all
// sequences and windows first, several in step and on any thread, then the
// draws. The reference path [ref] computes the same values step by step,
// one sequence or window at a time, as the operations are defined; only the
// tests (which hold the two to the same bits) and the model odds call it.
// Both paths share the recursion steps of sampler/ForwardStep.h and the
// draws. "<-" names the callers; "tests" means tests only.
//
// model/GibbsDP.cpp      lifetime and lists
//   CGibbsDP, ~CGibbsDP  construct empty; release everything owned <- RunModSampling, tests
//   FreeMemery           release every owned array and list <- ~CGibbsDP
//   DelSiteHead          delete one motif's N lists, heads included <- width move, AlignSites, FreeMemery
//   CopySample (2)       deep-copy K x N (or N) site lists <- init score, driver, AlignSites
//   AddSite              link a site behind a node <- RandPickSite, DrawSites, AlignSites
//   CountModule          sum of ModCount over N records <- score, parameters, width move, driver
//   SetMotifWidth        set width k and a zeroed count matrix <- ReadInputPWM, FindOptimum, CollectResult
//   ResizeMatrices       resize the driver's weight matrices to the widths <- driver, ISforBF
// model/SeqInput.cpp     input
//   Initialize           read sequences, allocate per-motif/per-sequence state <- driver
//   ReadInputSeq         copy the records loaded before the run (m_Input) <- Initialize
// model/InputPWM.cpp
//   ReadInputPWM         seed matrices and widths from -M <- RunSweep (first sweep)
// model/Background.cpp   background model
//   BuildBackground      estimate the chain, or take the loaded one or the -b lines <- driver
//   CalLogBgPrPos        background column of every position table <- driver, ISforBF
//   CalLogBgPr (2)       background log-probability of a word <- score, modules, width move, report
// model/MotifScore.cpp   motif scoring (word-prefix tables, model/ScoreTables.h)
//   CalLogPrPos          motif columns of every table, by prefix tables <- ISforBF, fuzz
//   MatrixLogs           ln of every matrix entry <- BuildScoreTables
//   BuildScoreTables     matrix logs and word-prefix sums of a sweep <- CalLogPrPos, DrawFreePasses
//   ScoreSequence        motif columns of one table [fast] <- CalLogPrPos, SequencePasses
//   CalLogMotifPr        ln-likelihood of one word letter by letter [ref of scoring] <- AlignSites
//   CalWeightMat         letter counts of one motif's sites <- score, width move, report
// sampler/Driver.cpp     one run
//   DataAugmentation     the whole run: sweeps, tallies, inference, record; reports to an
//                        observer (sampler/SweepObserver.h) <- RunModSampling
//   RunSweeps            every sweep, its tallies and the observer's events <- DataAugmentation
//   RunSweep             one sweep (moves, parameters, passes, draws, score) <- RunSweeps
//   ProposeModLenMove    module-length move code of a sweep <- RunSweep
//   TraceRow             one row of the per-sweep trace, handed to the observer <- RunSweeps
// sampler/InitScore.cpp  initial sites and the posterior score
//   RandPickSite         random initial configuration <- driver
//   CalLogPostPrSample   collapsed log posterior of the configuration <- RunSweep, width move
//   CalBayesianScore     one motif's Dirichlet-multinomial term <- CalLogPostPrSample
//   WidthLogPrior        Poisson(15) width prior <- score, width move
//   LgArg                a count as a logGamma argument <- score, width move
// sampler/SweepPasses.cpp draw-free passes of a sweep
//   DrawFreePasses       size the work, score tables, strand sums, module passes [fast] <- RunSweep
//   SequencePasses       those passes for a range of sequences [fast] <- DrawFreePasses (threads)
// sampler/ModuleSample.cpp module sampling
//   MixLogs              ln pi[k], ln pi[k] + ln 0.5, ln pi[K] <- every forward pass
//   StrandSums           LogSum of each position's two strand columns [fast] <- SequencePasses
//   MakeLane             one sequence's lane of the module pass <- SequencePasses
//   ForwardLanes         module forward passes A, B, C of lanes in step [fast] <- SequencePasses
//   DrawModules          remove modules and sites, draw new modules [both] <- RunSweep, ApproxSampleCurSeq
//   SampleModule         backward draw of the modules from A, B, C [both] <- DrawModules
//   ExcludeCurSeq        remove a sequence's modules and sites [both] <- DrawModules
// sampler/SiteSample.cpp site sampling
//   SampleSweepSites     site pass of every module window of a sweep [fast] <- RunSweep
//   SiteWindowAt         a module window cut to its sequence [both] <- SampleSweepSites, SampleSites
//   SiteForwardLanes     site forward passes of windows in step [fast] <- SampleSweepSites
//   DrawSites            backward draw of one window's sites [both] <- SampleSweepSites, SampleSites
// sampler/Reference.cpp  step-by-step passes
//   CalModuleLogPr       module-model pass A of one window [ref] <- ApproxSampleCurSeq, ProbSeqGParam
//   CalModuleChain       B and C of one sequence from A [ref] <- ApproxSampleCurSeq
//   ApproxSampleCurSeq   module step of one sequence [ref of ForwardLanes + DrawModules] <- tests
//   CalSiteForward       site forward pass F of one window [ref] <- SampleSites
//   SampleSites          site step of one window [ref of SiteForwardLanes + DrawSites] <- tests
// sampler/Parameters.cpp parameters
//   SampleParameters     draw rho, pi and matrices from the posterior <- RunSweep (-P)
//   UpdateParameters     posterior means of rho, pi and matrices <- RunSweep
//   UpdateModuleLength   decide the module-length move <- RunSweep
//   UnitsOutsideModules  units outside modules, held >= 1 <- parameters
//   MixingCounts         Dirichlet counts of the mixing proportions <- parameters
// sampler/WidthMove.cpp  width and phase moves
//   UpdateWidth          propose and test a width change <- RunSweep
//   PhaseShift           propose and test a phase shift <- RunSweep
//   CheckBoundary        flag sites a move would push off their sequence <- width, phase
//   CalLogPCondPW        score of one motif at a width <- width, phase
//   MH                   Metropolis-Hastings acceptance draw <- moves, UpdateModuleLength
//   BuildMovedSites      proposal lists of a moved motif <- width, phase
//   DecideMotifMove      test a motif move, install or free it <- width, phase
// report/Tally.cpp       posterior tallies
//   SetZerosMD, DeleteMD allocate zeroed / free the tallies <- driver
//   RecordMD             add the configuration to the tallies <- driver
//   SumNeighborMD        merge site tallies of neighbouring positions <- driver
//   InferSiteCount       site count of each motif from its histogram <- driver
//   PeakSiteCount        peak rules on one smoothed histogram <- InferSiteCount
//   InferModule          module positions from the module tally <- driver
// report/Optimum.cpp     reported sites
//   FindOptimum          best width and sites of each motif <- driver
//   AlignSites           re-align the reported sites <- driver
//   AlignCandidates      candidate starts of one site <- AlignSites
// report/ResultRecord.cpp
//   CollectResult        the run's record (output/ writes it) <- driver
// report/BayesFactor.cpp model odds
//   ISforBF              log posterior model odds by importance sampling <- driver (-B)
//   ShrinkCount          shrink the proposal counts <- ISforBF
//   ProposeParameter     draw one proposal, return ln q <- ISforBF
//   ProbSeqGParam        module-chain log-likelihood of a sequence <- ISforBF
//   CalLogNullModel      background log-likelihood of all sequences <- ISforBF
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
    // The motif columns of sequence s's table (len rows), as CalLogPrPos;
    // the sweep calls it per sequence (SequencePasses).
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
    // Reference module step of sequence i (step by step: CalModuleLogPr,
    // CalModuleChain, DrawModules); the sweep runs ForwardLanes instead.
    void ApproxSampleCurSeq(int i, double rho, double* pi, double** pwm, double* table, int* move);
    // Reference module-model pass of the window e - n + 1 .. e; also the
    // model odds' pass.
    double CalModuleLogPr(int e, int n, double* table, double* pi, double* out);
    // Reference: B and C of ApproxSampleCurSeq for sequence i from A.
    void CalModuleChain(int i, double rho, const double* table, const double* A, double* B, double* C);
    void SampleModule(double* B, double* C, double rho, int len, int i, int* move, double* A);
    void ExcludeCurSeq(int i);
    // Reference site step of one window (CalSiteForward, DrawSites); strand:
    // the sequence's two-strand sums, or null to take them in place.
    void SampleSites(double* pi, double* table, int i, int e, int n, const double* strand = nullptr);
    // Reference site forward pass of one window, into win.F.
    void CalSiteForward(const SiteWindow& win, const MixLogTerms& mix);
    // Fast site pass of a sweep: SampleSites for every module of every
    // sequence, in sequence and module order, with the forward passes taken
    // first, several windows in step (into m_Work).
    void SampleSweepSites(double* pi, double** tables, int* seqLen);
    // The window SampleSites samples for end e and length n, cut to the
    // sequence; false when no site fits in it (then it draws nothing).
    bool SiteWindowAt(int i, int e, int n, const double* table, const double* strand, SiteWindow* w);
    // Fast: the site forward passes of n (at most kForwardLanes) windows in step.
    void SiteForwardLanes(const SiteWindow* lanes, int n, const MixLogTerms& mix);
    // The backward draws of one window from its finished forward pass (both paths).
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
    // ln pi[k], ln pi[k] + ln 0.5 (k < K) and ln pi[K], for every forward pass.
    void MixLogs(double* pi, MixLogTerms* mix);
    // Fast: strand[p K + k] = LogSum of row p's two strand columns of
    // motif k, for every p < len.
    void StrandSums(const double* table, int len, double* strand);
    // Sequence i's lane of the forward pass over the given buffers.
    ForwardLane MakeLane(int i, const double* table, const double* strand, double* A, double* B, double* C);
    // Fast: the module forward passes (A, B, C of ApproxSampleCurSeq) of n
    // sequences in step, strand sums already taken; each lane gets the bits
    // of the reference alone. Draws nothing.
    void ForwardLanes(const ForwardLane* lanes, int n, double rho, const MixLogTerms& mix);
    // The draws of the module step from a finished forward pass, on both
    // paths (A, B, C may be null for a sequence of fewer than two letters).
    void DrawModules(int i, double rho, double* A, double* B, double* C, int* move);
    // Fast: steps of a sweep that draw nothing, for every sequence: the position
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
