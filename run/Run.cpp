// One complete run (see the header). The sampler gets the loaded inputs by
// pointer; they outlive the run and are never changed by it, so runs on
// several threads share them. The only random draws are the sampler's,
// from the generator seeded with RunSeed.
#include "run/Run.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "analysis/Enrichment.h"
#include "analysis/HoldOut.h"
#include "base/SeedMix.h"
#include "model/GibbsDP.h"

int BurnInSweeps(int iterNum)
{
    if (iterNum <= 0)
        return 0;
    // The double 0.7 is exactly 6305039478318694 / 2^53; the product with
    // iterNum is formed exactly in 128 bits, then truncated.
    const unsigned long long mantissa = 6305039478318694ULL;
    unsigned __int128 product = (unsigned __int128)(unsigned)iterNum * mantissa;
    return (int)(product >> 53);
}

unsigned ClockSeed()
{
    // splitmix64 of the nanosecond clock and the process id: every bit of
    // both reaches the 32 bits kept.
    unsigned long long x = (unsigned long long)std::chrono::high_resolution_clock::now().time_since_epoch().count();
    x ^= (unsigned long long)getpid() << 32;
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return (unsigned)(x ^ (x >> 32));
}

unsigned RunSeed(const INPUTPARAMETER& param, int run)
{
    return param.Chains > 0 ? ChainSeed(param.Seed, run) : param.Seed + (unsigned)run;
}

// Measures the enrichment of the run's motifs against the control set
// (read once before the first run; empty: the input shuffled).
static void AddRunEnrichment(const INPUTPARAMETER& param, const std::vector<std::string>& control,
                             const CGibbsDP& sampler, RunResult* result)
{
    std::vector<std::string> input;
    for (int i = 0; i < sampler.m_SeqNum; i++)
        input.emplace_back(sampler.m_Seq[i].m_Data ? sampler.m_Seq[i].m_Data : "", sampler.m_Seq[i].GetLength());
    AddEnrichment(result, input, control, param.MinEnrichment);
}

// The held-out E-values of the run's motifs, corrected for the K motifs of
// every run of the process, then the selection on them.
static void AddRunHeldOut(const INPUTPARAMETER& param, const RunInputs& inputs, RunResult* result)
{
    const int runs = param.RunNum > 1 ? param.RunNum : 1;
    AddHeldOutSignificance(result, inputs.heldInput, inputs.heldControl, param.MotifNum * runs);
    DropAboveEValue(result, param.SelectEValue);
}

// The sampler's settings from the run parameters and the loaded inputs.
static void SetUpSampler(const INPUTPARAMETER& param, const RunInputs& inputs, int run, CGibbsDP* sampler)
{
    sampler->m_CmdLine = param.CmdLine;
    sampler->m_SeqFile = param.SeqFile;
    sampler->m_OutFile = param.OutFile;
    sampler->m_IterNum = param.IterNum;
    sampler->m_BurnIn = BurnInSweeps(param.IterNum);
    sampler->m_BothStrand = param.BothStrand;
    sampler->m_Threshold = param.Threshold;
    sampler->m_MotifNum = param.MotifNum;
    sampler->m_Independent = param.Independent;
    sampler->m_ModLen = param.ModLen;
    sampler->m_MinWidth = param.MinWidth;
    sampler->m_MaxWidth = param.MaxWidth;
    sampler->m_FixModLen = param.FixModLen;
    sampler->m_CalBF = param.CalBF;
    sampler->m_SampleParam = param.SampleParam;
    sampler->m_UseBgFile = param.UseBgFile;
    sampler->m_BgLines = param.UseBgFile ? &inputs.bgLines : nullptr;
    sampler->m_UsePWM = param.UsePWM;
    sampler->m_GivenPWM = param.UsePWM ? &inputs.givenPWM : nullptr;
    sampler->m_RandSeed = RunSeed(param, run);
    sampler->m_RunIndex = run;
    sampler->m_Input = inputs.sequences.get();
    sampler->m_BgOrder = param.BgOrder;
    sampler->m_SetChain = inputs.setChain;
}

RunResult RunModSampling(const INPUTPARAMETER& param, const RunInputs& inputs, int run, SweepObserver* observer,
                         int threads)
{
    auto sampler = std::make_unique<CGibbsDP>();
    SetUpSampler(param, inputs, run, sampler.get());
    sampler->m_Threads = threads;
    fprintf(stderr, "Seed: %u\n", sampler->m_RandSeed);
    RunResult result = sampler->DataAugmentation(observer);
    if (param.Enrichment)
        AddRunEnrichment(param, inputs.control, *sampler, &result);
    if (param.HoldOut > 0.0)
        AddRunHeldOut(param, inputs, &result);
    return result;
}

RunResult RunNullDiscovery(const INPUTPARAMETER& param, const RunInputs& inputs, unsigned seed, int threads)
{
    auto sampler = std::make_unique<CGibbsDP>();
    SetUpSampler(param, inputs, 0, sampler.get());
    sampler->m_RandSeed = seed;
    sampler->m_Threads = threads;
    return sampler->DataAugmentation(nullptr);
}
