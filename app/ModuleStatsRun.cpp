// Module statistics of a finished run (see the header).
#include "app/ModuleStatsRun.h"

#include <string>
#include <vector>

#include "base/SeedMix.h"
#include "scan/ModuleSignificance.h"

void AddRunModuleStats(const INPUTPARAMETER& param, const RunInputs& inputs, RunResult* result)
{
    if (!param.ModuleStats || !inputs.sequences)
        return;
    std::vector<ScanSequence> input;
    std::vector<std::string> letters;
    for (const FastaRecord& record : *inputs.sequences) {
        ScanSequence s;
        s.name = s.chrom = record.Name;
        s.length = (long long)record.Letters.size();
        s.letters = record.Letters;
        letters.push_back(record.Letters);
        input.push_back(std::move(s));
    }
    const MarkovChain chain = inputs.setChain ? *inputs.setChain : MarkovChain::Estimate(letters, param.BgOrder);
    ModuleNullSettings settings;
    settings.seed = ChainSeed(result->seed, kModuleNullStream);
    settings.threads = param.Threads;
    settings.qThreshold = param.ModuleQ;
    AddModuleSignificance(result, input, chain, settings);
}
