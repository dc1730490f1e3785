// The input's warnings, masking and hold-out (see the header). The
// sequences are shared read-only by the runs, so each step that changes
// them builds a new record set and swaps it in before the first run.
#include "app/InputSetup.h"

#include <memory>
#include <string>
#include <vector>

#include "analysis/HoldOut.h"
#include "analysis/LowComplexity.h"
#include "analysis/SharedStretches.h"
#include "app/InputWarnings.h"

namespace {

std::vector<std::string> Letters(const std::vector<FastaRecord>& records)
{
    std::vector<std::string> out;
    for (const FastaRecord& r : records)
        out.push_back(r.Letters);
    return out;
}

std::string FirstWord(const std::string& name)
{
    std::string s = !name.empty() && name[0] == '>' ? name.substr(1) : name;
    return s.substr(0, s.find_first_of(" \t\r"));
}

// Duplicate names and shared stretches, warned of always; the stretches
// found, for --mask-duplicates.
std::vector<SharedStretch> WarnOfDuplicates(const INPUTPARAMETER& param, const std::vector<FastaRecord>& records,
                                            FILE* err)
{
    for (const std::string& line : DuplicateNameWarnings(records))
        fprintf(err, "Ruzaravo: %s\n", line.c_str());
    std::vector<SharedStretch> stretches = FindSharedStretches(Letters(records));
    for (const std::string& line : SharedStretchWarnings(records, stretches, param.MaskDuplicates))
        fprintf(err, "Ruzaravo: %s\n", line.c_str());
    return stretches;
}

void MaskDuplicates(const std::vector<SharedStretch>& stretches, std::vector<FastaRecord>* records, FILE* err)
{
    std::vector<std::string> letters = Letters(*records);
    long masked = MaskLaterCopies(stretches, &letters);
    for (size_t i = 0; i < records->size(); i++)
        (*records)[i].Letters = letters[i];
    fprintf(err, "Ruzaravo: --mask-duplicates: %ld letters masked\n", masked);
}

void MaskSimpleRepeats(std::vector<FastaRecord>* records, FILE* err)
{
    long masked = 0, total = 0;
    for (FastaRecord& r : *records) {
        total += (long)r.Letters.size();
        masked += MaskLowComplexity(&r.Letters);
    }
    fprintf(err, "Ruzaravo: --dust: %ld of %ld letters in low-complexity windows masked\n", masked, total);
}

// Sets the held-out records of the input and control aside and says which.
void HoldOut(const INPUTPARAMETER& param, std::vector<FastaRecord>* records, RunInputs* inputs, FILE* err)
{
    std::vector<std::string> letters = Letters(*records);
    std::vector<bool> held = ChooseHeldOut(letters, param.HoldOut);
    std::vector<FastaRecord> kept;
    std::string names;
    for (size_t i = 0; i < records->size(); i++) {
        if (!held[i]) {
            kept.push_back((*records)[i]);
            continue;
        }
        names += (names.empty() ? "" : ", ") + FirstWord((*records)[i].Name);
        inputs->heldInput.push_back(letters[i]);
    }
    *records = std::move(kept);
    fprintf(err, "Ruzaravo: --holdout %g: %zu of %zu input records held out of discovery%s%s\n", param.HoldOut,
            inputs->heldInput.size(), letters.size(), names.empty() ? "" : ": ", names.c_str());
    if (inputs->control.empty())
        return;
    std::vector<bool> heldControl = ChooseHeldOut(inputs->control, param.HoldOut);
    inputs->heldControl = SelectRecords(inputs->control, heldControl, true);
    inputs->control = SelectRecords(inputs->control, heldControl, false);
    fprintf(err, "Ruzaravo: --holdout %g: %zu of %zu control records held out\n", param.HoldOut,
            inputs->heldControl.size(), heldControl.size());
}

}  // namespace

void SetUpInput(const INPUTPARAMETER& param, RunInputs* inputs, FILE* err)
{
    std::vector<SharedStretch> stretches = WarnOfDuplicates(param, *inputs->sequences, err);
    if (!param.MaskDuplicates && !param.Dust && !(param.HoldOut > 0.0))
        return;
    auto records = std::make_shared<std::vector<FastaRecord>>(*inputs->sequences);
    if (param.MaskDuplicates)
        MaskDuplicates(stretches, records.get(), err);
    if (param.Dust)
        MaskSimpleRepeats(records.get(), err);
    if (param.HoldOut > 0.0)
        HoldOut(param, records.get(), inputs, err);
    inputs->sequences = std::move(records);
}
