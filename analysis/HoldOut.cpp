#include "analysis/HoldOut.h"

#include <cmath>
#include <numeric>
#include <random>

#include "analysis/Enrichment.h"

std::vector<bool> ChooseHeldOut(const std::vector<std::string>& records, double share)
{
    const size_t n = records.size();
    std::vector<bool> held(n, false);
    if (n < 2 || !(share > 0.0))
        return held;
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::mt19937_64 gen(kHoldOutSeed);
    for (size_t i = n; i > 1; i--)   // Fisher-Yates, plain modulo: the same on every machine
        std::swap(order[i - 1], order[gen() % i]);
    double total = 0, taken = 0;
    for (const std::string& r : records)
        total += r.size();
    for (size_t k = 0; k + 1 < n && taken < share * total; k++) {
        held[order[k]] = true;
        taken += records[order[k]].size();
    }
    return held;
}

std::vector<std::string> SelectRecords(const std::vector<std::string>& seqs, const std::vector<bool>& flags,
                                       bool held)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < seqs.size(); i++)
        if (flags[i] == held)
            out.push_back(seqs[i]);
    return out;
}

void AddHeldOutSignificance(RunResult* r, const std::vector<std::string>& heldInput,
                            std::vector<std::string> heldControl, int motifsTried)
{
    if (heldInput.empty())
        return;
    if (heldControl.empty())
        for (const std::string& s : heldInput)
            heldControl.push_back(ShuffleDinucleotides(s, kControlShuffleSeed));
    for (MotifResult& m : r->motifs) {
        if (!m.printed)
            continue;
        HeldOutResult& h = m.heldOut;
        h.enrichment = MeasureEnrichment(m, r->bgFreqs, heldInput, heldControl, r->bothStrands);
        h.measured = h.enrichment.measured;
        if (!h.measured)
            continue;
        h.log10E = h.enrichment.log10P + std::log10((double)motifsTried);
        h.inputRecords = (int)heldInput.size();
        h.controlRecords = (int)heldControl.size();
        h.inputWithSite = RecordsWithHit(m, h.enrichment, r->bgFreqs, heldInput, r->bothStrands);
        h.controlWithSite = RecordsWithHit(m, h.enrichment, r->bgFreqs, heldControl, r->bothStrands);
    }
}

int DropAboveEValue(RunResult* r, double maxE)
{
    const double limit = std::log10(maxE);
    int dropped = 0;
    for (MotifResult& m : r->motifs) {
        if (!m.printed || !m.heldOut.measured || !(m.heldOut.log10E > limit))
            continue;
        m.printed = false;
        m.dropReason = "heldout_evalue";
        dropped++;
    }
    return dropped;
}
