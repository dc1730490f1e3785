// The range checks (see the header). Each rule is one test and one
// sentence that tells the user what holds; the subject names the option as
// typed with its value.
#include "app/Checks.h"

#include <cstdio>
#include <string>

#include "app/OptionParse.h"
#include "app/Presets.h"
#include "base/Fatal.h"

// Notes why an option value is refused: "-K 5000: <reason>".
static void NoteOption(char letter, int value, const char* reason)
{
    char subject[32];
    snprintf(subject, sizeof subject, "-%c %d", letter, value);
    NoteInputError(subject, reason);
}

// The rules of the motif and module shape and of the threads.
static const char* ShapeRule(const INPUTPARAMETER& p)
{
    if (p.MinWidth < 5 || p.MaxWidth > 40 || p.MaxWidth < 5) {
        NoteInputError("-w/-W", "motif widths must lie in 5..40 (-w at least 5, -W at most 40)");
        return kWidthError;
    }
    if (p.MotifNum < 1) {
        NoteOption('K', p.MotifNum, "the number of transcription factors must be at least 1");
        return kMotifsError;
    }
    if (p.MotifNum > kMaxMotifNum) {
        NoteOption('K', p.MotifNum, "at most 1000 transcription factors can be searched in one run");
        return kMotifsError;
    }
    if (p.ModLen < p.MinWidth) {
        NoteOption('L', p.ModLen, "the module length must be at least the smallest motif width (-w)");
        return "Input module length too small!";
    }
    if (p.ModLen > kMaxModLen) {
        NoteOption('L', p.ModLen, "the module length must be at most 100000 letters");
        return "Input module length too large!";
    }
    if (p.Threads < 1 || p.Threads > kMaxThreads) {
        std::string subject = "--threads " + std::to_string(p.Threads);
        NoteInputError(subject.c_str(), "the number of threads must lie in 1..256");
        return "Input number of threads error!";
    }
    return nullptr;
}

// The rules of sweeps, runs, chains, the threshold and the preset.
static const char* RunRule(const INPUTPARAMETER& p)
{
    if (p.IterNum < 0) {
        NoteOption('n', p.IterNum, "the number of sweeps must be 0 or more");
        return kOptionError;
    }
    if (p.RunNum < 0) {
        NoteOption('N', p.RunNum, "the number of runs must be 0 or more");
        return kOptionError;
    }
    if (p.Chains > 0 && p.RunNumGiven) {
        NoteInputError("-N", "--chains C makes C runs itself (each with a seed mixed from the seed and its number); give -N or --chains, "
                             "not both");
        return kOptionError;
    }
    if (p.MinSupport != 0 && p.Chains == 0) {
        NoteInputError("--min-support", "the consensus is chosen among the clusters of chains; give --chains C too");
        return kOptionError;
    }
    if (p.MinSupport > p.Chains) {
        std::string subject = "--min-support " + std::to_string(p.MinSupport);
        NoteInputError(subject.c_str(), "no cluster can be found by more chains than --chains runs");
        return kOptionError;
    }
    if (p.SelectGiven && !(p.HoldOut > 0.0)) {
        NoteInputError("--select-evalue", "the E-value is measured on held-out records; give --holdout F too");
        return kOptionError;
    }
    if (p.ModuleQGiven && !p.ModuleStats) {
        NoteInputError("--module-q", "the q-value level flags the modules --module-stats measures; "
                                     "give --module-stats too");
        return kOptionError;
    }
    if (p.ModuleNullRunsGiven && !p.ModuleStats) {
        NoteInputError("--module-null-runs", "the null runs measure the modules --module-stats scores; "
                                             "give --module-stats too");
        return kOptionError;
    }
    if (p.ModuleStats && p.Independent) {
        NoteInputError("--module-stats", "with -s every sequence is one module and there is no module model to test; "
                                         "leave out one of them");
        return kOptionError;
    }
    if (!(p.Threshold >= 0.0 && p.Threshold <= 1.0)) {
        char subject[64];
        snprintf(subject, sizeof subject, "-c %g", p.Threshold);
        NoteInputError(subject, "the threshold is a posterior frequency and must lie in 0..1");
        return kOptionError;
    }
    if (p.Preset.GetLength() > 0 && !PresetWords(p.Preset.m_Data)) {
        NoteInputError(p.Preset.m_Data, "unknown preset; known presets: " PRESET_NAMES);
        return "Input preset error!";
    }
    return nullptr;
}

const char* FirstBrokenRule(const INPUTPARAMETER& param)
{
    if (param.OptionMessage) {
        NoteInputError(param.OptionSubject.c_str(), param.OptionReason.c_str());
        return param.OptionMessage;
    }
    const char* message = ShapeRule(param);
    return message ? message : RunRule(param);
}
