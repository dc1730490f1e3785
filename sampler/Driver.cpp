// One complete sampler run: seeding, input, the initial configuration, the
// sweeps, and the inference and result calls that follow them.
//
// The driver owns its work buffers for the run (module probability, mixing
// proportions, weight matrices, position tables, sequence lengths, tallies)
// and hands them to the steps by pointer. Sweep t runs width and phase
// moves when t < m_BurnIn and t % 50 == 49, proposes module-length moves
// only when t > m_BurnIn and the length is not fixed, and is recorded in
// the tallies when t + 1 > m_BurnIn. The best configuration is tracked over
// every sweep; a tie keeps the earlier one. The run returns its result
// record (CollectResult) with the CPU time of the run and one convergence
// entry per sweep (score, modules placed, widths); it writes no result file.
//
// Random draws: seeding m_Rng with m_RandSeed is the only seeding point of a
// run. The driver itself draws only the module-length move, value % 4, in sweeps
// after the burn-in when m_FixModLen is clear; every other draw belongs to
// the step it calls. The optional trace and the progress shown to a person
// draw nothing and change nothing: they go to the observer the caller
// supplies, the driver prints nothing itself.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/GibbsDP.h"
#include "base/Random.h"
#include "sampler/SweepObserver.h"
#include "sampler/SweepWork.h"

// Width and phase moves run in burn-in sweeps t with t % kWidthMovePeriod
// equal to kWidthMovePeriod - 1; progress is printed every kWidthMovePeriod
// completed sweeps.
const int kWidthMovePeriod = 50;
// No shrink is proposed at or below this module length.
const int kShortestShrinkable = 80;
// No growth is proposed at or above the smaller of this and the mean length.
const int kLongestGrowable = 500;

int CGibbsDP::ProposeModLenMove(int t, int meanLen)
{
    if (t <= m_BurnIn || m_FixModLen)
        return -1;
    int r = RandBelow(m_Rng, 4);
    int cap = meanLen < kLongestGrowable ? meanLen : kLongestGrowable;
    if (m_ModLen <= kShortestShrinkable && r >= 2)
        return -1;
    if (m_ModLen >= cap && r <= 1)
        return -1;
    return r;
}

double CGibbsDP::RunSweep(int t, double* rho, double* pi, double** pwm, double** tables,
                          int* seqLen, int meanLen)
{
    int K = m_MotifNum;
    if (t < m_BurnIn && t % kWidthMovePeriod == kWidthMovePeriod - 1) {
        for (int k = 0; k < K; k++)
            UpdateWidth(k);
        for (int k = 0; k < K; k++)
            PhaseShift(k);
        ResizeMatrices(pwm);
    }
    if (m_SampleParam)
        SampleParameters(rho, pi, pwm);
    else
        UpdateParameters(rho, pi, pwm);
    if (t == 0 && m_UsePWM)
        ReadInputPWM(pwm);
    int moveCode = ProposeModLenMove(t, meanLen);
    // Everything that draws nothing first, then the draws in sequence order.
    DrawFreePasses(*rho, pi, pwm, tables, seqLen);
    for (int i = 0; i < m_SeqNum; i++) {
        SequenceWork& w = m_Work->seqs[i];
        DrawModules(i, *rho, w.A.data(), w.B.data(), w.C.data(), &moveCode);
    }
    if (t > m_BurnIn && !m_FixModLen && moveCode >= 0)
        UpdateModuleLength(moveCode);
    SampleSweepSites(pi, tables, seqLen);
    double s = CalLogPostPrSample();
    if (s > m_BestLogPost) {
        CopySample(m_Sites, m_BestSites);
        m_BestLogPost = s;
    }
    return s;
}

std::string CGibbsDP::TraceRow(int t, double rho, double score)
{
    char buf[128];
    snprintf(buf, sizeof buf, "%d\t%d\t%.17g\t%.17g\t%d\t", m_RunIndex, t, rho, score, CountModule(m_ModInfo));
    std::string row = buf;
    for (int k = 0; k < m_MotifNum; k++)
        row += (k ? "," : "") + std::to_string(m_SiteNum[k]);
    row += '\t';
    for (int k = 0; k < m_MotifNum; k++)
        row += (k ? "," : "") + std::to_string(m_Width[k]);
    row += '\t' + std::to_string(m_ModLen) + '\n';
    return row;
}

// CPU time of the calling thread in seconds.
static double ThreadCpuSeconds()
{
    struct timespec ts;
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts) != 0)
        return 0.0;
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// The convergence entry of the sweep just scored.
static SweepStat SweepEntry(CGibbsDP& g, double score)
{
    SweepStat s;
    s.score = score;
    s.modules = g.CountModule(g.m_ModInfo);
    s.widths.assign(g.m_Width, g.m_Width + g.m_MotifNum);
    return s;
}

// The driver's buffers of one run, owned here and handed to the steps by
// pointer: module probability, mixing proportions, weight matrices,
// tallies, sequence lengths and position tables.
// DeleteMD releases the tallies; the rest is released with the buffers.
struct DriverBuffers {
    double moduleProb = 0.0;
    std::vector<double> mixWeight;
    std::vector<double*> pwm;
    int** siteTally;
    int* widthHist;
    int* siteNumHist;
    int** modTally;
    std::vector<int> seqLen;
    std::vector<std::unique_ptr<double[]>> tableData;   // left uninitialised: every pass fills its columns
    std::vector<double*> tables;
    int meanLen = 0;

    explicit DriverBuffers(CGibbsDP& g);
    ~DriverBuffers()
    {
        for (double* m : pwm)
            delete[] m;
    }
    DriverBuffers(const DriverBuffers&) = delete;
    DriverBuffers& operator=(const DriverBuffers&) = delete;
};

DriverBuffers::DriverBuffers(CGibbsDP& g)
    : mixWeight(g.m_MotifNum + 1, 0.0), pwm(g.m_MotifNum, nullptr), siteTally(new int*[g.m_SeqNum]()),
      widthHist(new int[kWidthHistSize * g.m_MotifNum]), siteNumHist(new int[kSiteNumHistSize * g.m_MotifNum]),
      modTally(new int*[g.m_SeqNum]()), seqLen(g.m_SeqNum), tableData(g.m_SeqNum), tables(g.m_SeqNum)
{
    const int K = g.m_MotifNum, N = g.m_SeqNum;
    g.ResizeMatrices(pwm.data());
    g.SetZerosMD(siteTally, widthHist, siteNumHist, modTally);
    long long totalLen = 0;
    for (int i = 0; i < N; i++) {
        seqLen[i] = g.m_Seq[i].GetLength();
        tableData[i].reset(new double[(long)seqLen[i] * (2 * K + 1)]);
        tables[i] = tableData[i].get();
        totalLen += seqLen[i];
    }
    meanLen = N > 0 ? (int)(totalLen / N) : 0;
}

// The sweeps; each one's convergence entry goes to stats, its trace row
// and progress to the observer (if any).
void CGibbsDP::RunSweeps(DriverBuffers& b, SweepObserver* observer, std::vector<SweepStat>* stats)
{
    const bool traced = observer && observer->WantsTrace();
    int t = 0;
    while (t < m_IterNum) {
        double s = RunSweep(t, &b.moduleProb, b.mixWeight.data(), b.pwm.data(), b.tables.data(), b.seqLen.data(),
                            b.meanLen);
        stats->push_back(SweepEntry(*this, s));
        std::string row = traced ? TraceRow(t, b.moduleProb, s) : std::string();
        t = t + 1;
        if (t > m_BurnIn)
            RecordMD(b.siteTally, b.widthHist, b.siteNumHist, b.modTally);
        if (observer)
            observer->Swept(t, row, t % kWidthMovePeriod == 0);
    }
    if (observer)
        observer->Finished(t);
}

RunResult CGibbsDP::DataAugmentation(SweepObserver* observer)
{
    double cpuStart = ThreadCpuSeconds();
    m_Rng.seed(m_RandSeed);
    Initialize();
    BuildBackground();
    if (observer)
        observer->Started(m_CmdLine.m_Data ? m_CmdLine.m_Data : "", m_SeqNum);
    RandPickSite();

    DriverBuffers b(*this);
    CalLogBgPrPos(b.tables.data(), b.seqLen.data());
    std::vector<SweepStat> sweepStats;
    sweepStats.reserve(m_IterNum > 0 ? m_IterNum : 0);
    RunSweeps(b, observer, &sweepStats);

    int samples = m_IterNum - m_BurnIn + 1;
    SumNeighborMD(b.siteTally);
    InferSiteCount(b.siteNumHist);
    InferModule(b.modTally, b.seqLen.data());
    FindOptimum(b.siteTally, b.widthHist, samples);
    AlignSites(b.siteTally);
    if (m_CalBF)   // resizes pwm to the reported widths
        ISforBF(&b.moduleProb, b.mixWeight.data(), b.pwm.data(), b.seqLen.data());
    RunResult result = CollectResult(b.modTally, b.seqLen.data(), samples);
    DeleteMD(b.siteTally, b.widthHist, b.siteNumHist, b.modTally);
    result.sweepStats = std::move(sweepStats);
    result.cpuSeconds = ThreadCpuSeconds() - cpuStart;
    return result;
}
