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
// draw nothing and change nothing.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/GibbsDP.h"
#include "base/Random.h"
#include "sampler/SweepWork.h"
#include "monitor/ProgressLine.h"
#include "monitor/TraceFile.h"

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

// One header line per trace file; the columns of TraceRow.
static const char kTraceHeader[] = "run\tsweep\trho\tlog_posterior\tmodules\tsites\twidths\tmodule_length\n";

const char* TraceHeader()
{
    return kTraceHeader;
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

void CGibbsDP::OutputInfo(int t)
{
    FILE* out = m_Console ? m_Console : stdout;
    fprintf(out, "Finish runing iteration %d.\n", t);
    fflush(out);   // progress must show at once, also through a pipe
}

RunResult CGibbsDP::DataAugmentation()
{
    double cpuStart = ThreadCpuSeconds();
    m_Rng.seed(m_RandSeed);
    Initialize();
    BuildBackground();
    FILE* out = m_Console ? m_Console : stdout;
    fputs(m_CmdLine.m_Data ? m_CmdLine.m_Data : "", out);
    fprintf(out, "\nInput %d sequences.\n", m_SeqNum);
    RandPickSite();

    int K = m_MotifNum, N = m_SeqNum;
    double moduleProb = 0.0;
    double* mixWeight = new double[K + 1]();
    double** pwm = new double*[K]();
    ResizeMatrices(pwm);
    int** siteTally = new int*[N]();
    int* widthHist = new int[kWidthHistSize * K];
    int* siteNumHist = new int[kSiteNumHistSize * K];
    int** modTally = new int*[N]();
    SetZerosMD(siteTally, widthHist, siteNumHist, modTally);

    int* seqLen = new int[N];
    double** tables = new double*[N];
    long long totalLen = 0;
    for (int i = 0; i < N; i++) {
        seqLen[i] = m_Seq[i].GetLength();
        tables[i] = new double[(long)seqLen[i] * (2 * K + 1)];
        totalLen += seqLen[i];
    }
    int meanLen = (int)(totalLen / N);
    CalLogBgPrPos(tables, seqLen);

    std::unique_ptr<TraceFile> trace;
    if (m_TraceFile.GetLength() > 0 && !m_TraceSink)
        trace = TraceFile::Open(m_TraceFile.m_Data, kTraceHeader);
    std::unique_ptr<ProgressLine> progress;
    if (!m_Console && ProgressLine::Wanted(m_Quiet))   // a buffered run draws no live line
        progress.reset(new ProgressLine(STDERR_FILENO, m_RunIndex + 1, m_RunCount, m_IterNum));
    std::vector<SweepStat> sweepStats;
    sweepStats.reserve(m_IterNum > 0 ? m_IterNum : 0);
    int t = 0;
    while (t < m_IterNum) {
        double s = RunSweep(t, &moduleProb, mixWeight, pwm, tables, seqLen, meanLen);
        sweepStats.push_back(SweepEntry(*this, s));
        if (trace)
            trace->WriteRow(TraceRow(t, moduleProb, s));
        else if (m_TraceSink)
            fputs(TraceRow(t, moduleProb, s).c_str(), m_TraceSink);
        t = t + 1;
        if (t > m_BurnIn)
            RecordMD(siteTally, widthHist, siteNumHist, modTally);
        if (t % kWidthMovePeriod == 0 && !m_Quiet) {
            if (progress)
                progress->Clear();
            OutputInfo(t);
        }
        if (progress)
            progress->Update(t);
    }
    if (progress)
        progress->Finish(t);
    trace.reset();

    int samples = m_IterNum - m_BurnIn + 1;
    SumNeighborMD(siteTally);
    InferSiteCount(siteNumHist);
    InferModule(modTally, seqLen);
    FindOptimum(siteTally, widthHist, samples);
    AlignSites(siteTally);
    if (m_CalBF)
        ISforBF(&moduleProb, mixWeight, pwm, seqLen);   // resizes pwm to the reported widths
    RunResult result = CollectResult(modTally, seqLen, samples);
    DeleteMD(siteTally, widthHist, siteNumHist, modTally);

    delete[] mixWeight;
    for (int k = 0; k < K; k++)
        delete[] pwm[k];
    delete[] pwm;
    for (int i = 0; i < N; i++)
        delete[] tables[i];
    delete[] tables;
    delete[] seqLen;
    result.sweepStats = std::move(sweepStats);
    result.cpuSeconds = ThreadCpuSeconds() - cpuStart;
    return result;
}
