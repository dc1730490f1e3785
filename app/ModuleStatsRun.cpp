// Module statistics of a finished run (see the header).
#include "app/ModuleStatsRun.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/SeedMix.h"
#include "run/Run.h"
#include "scan/ModuleSignificance.h"

namespace {

std::vector<std::string> LettersOf(const std::vector<ScanSequence>& input)
{
    std::vector<std::string> letters;
    for (const ScanSequence& s : input)
        letters.push_back(s.letters);
    return letters;
}

// The null of the refitted discovery: each null run's own model scoring
// the tiles of the shuffled input it was fitted to.
std::vector<double> RefitNull(const INPUTPARAMETER& param, const RunInputs& inputs,
                              const std::vector<ScanSequence>& input, unsigned seed)
{
    const int k = std::min(6, std::max(1, param.BgOrder + 1));
    std::vector<double> tiles;
    for (int run = 0; run < param.ModuleNullRuns; run++) {
        if (!param.Quiet)
            fprintf(stderr, "Ruzaravo: module null: discovery run %d of %d on a shuffled copy of the input\n", run + 1,
                    param.ModuleNullRuns);
        const unsigned runSeed = ChainSeed(seed, run);
        const std::vector<ScanSequence> shuffled = ShuffledInput(input, k, runSeed);
        auto records = std::make_shared<std::vector<FastaRecord>>(*inputs.sequences);
        for (size_t i = 0; i < records->size(); i++)
            (*records)[i].Letters = shuffled[i].letters;
        RunInputs nullInputs = inputs;
        nullInputs.sequences = records;
        const unsigned discoverySeed = ChainSeed(runSeed, kModuleNullStream);
        const RunResult nullRun = RunNullDiscovery(param, nullInputs, discoverySeed, param.Threads);
        const MarkovChain chain =
            inputs.setChain ? *inputs.setChain : MarkovChain::Estimate(LettersOf(shuffled), param.BgOrder);
        AddRefitNullTiles(nullRun, shuffled, chain, &tiles);
    }
    return tiles;
}

}  // namespace

const std::vector<double>& ModuleNullCache::RefitTiles(const INPUTPARAMETER& param, const RunInputs& inputs,
                                                       const std::vector<ScanSequence>& input)
{
    if (!m_Made) {
        m_Tiles = RefitNull(param, inputs, input, ChainSeed(param.Seed, kModuleNullStream));
        m_Made = true;
    }
    return m_Tiles;
}

void AddRunModuleStats(const INPUTPARAMETER& param, const RunInputs& inputs, ModuleNullCache* cache,
                       RunResult* result)
{
    if (!param.ModuleStats || !inputs.sequences)
        return;
    std::vector<ScanSequence> input;
    for (const FastaRecord& record : *inputs.sequences) {
        ScanSequence s;
        s.name = s.chrom = record.Name;
        s.length = (long long)record.Letters.size();
        s.letters = record.Letters;
        input.push_back(std::move(s));
    }
    const MarkovChain chain =
        inputs.setChain ? *inputs.setChain : MarkovChain::Estimate(LettersOf(input), param.BgOrder);
    ModuleNullSettings settings;
    settings.seed = ChainSeed(result->seed, kModuleNullStream);
    settings.threads = param.Threads;
    settings.qThreshold = param.ModuleQ;
    if (param.ModuleNullRuns == 0) {
        AddModuleSignificance(result, input, chain, settings);
        return;
    }
    AddModuleSignificance(result, input, chain, settings, &cache->RefitTiles(param, inputs, input));
    result->moduleNull.nullRuns = param.ModuleNullRuns;
}
