// The long options (--seed, --trace, ...): their table, the readers of
// their values, and the "did you mean" hint for a mistyped name. Adding a
// long option is one line in kLongOptions (and a line in the help text).
//
// A value is refused by noting the first problem (NoteProblem); the checks
// report it later with the fixed message the option names.
#include "app/OptionParse.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "model/MarkovChain.h"

void NoteProblem(INPUTPARAMETER* param, const char* message, const std::string& subject,
                        const std::string& reason)
{
    if (param->OptionMessage)
        return;
    param->OptionMessage = message;
    param->OptionSubject = subject;
    param->OptionReason = reason;
}

// The whole word is a base-10 integer with an optional sign. The value is
// held inside the int range (so "-K 99999999999" reads as 2147483647 and
// fails the range check); a word that is not a number still gets strtol's
// reading, which the range checks may also refuse.
bool ReadWholeInt(const char* text, int* value)
{
    char* end = nullptr;
    long v = strtol(text, &end, 10);
    *value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v;
    return end != text && *end == '\0' && !isspace((unsigned char)text[0]);
}

// Reads an integer option value; message is the fixed message of a refusal.
void ApplyInt(INPUTPARAMETER* param, const char* word, const char* value, int* field, const char* message)
{
    if (!ReadWholeInt(value, field))
        NoteProblem(param, message, std::string(word) + " " + value, "not a whole number");
}

static void ApplySeed(INPUTPARAMETER* param, const char* value)
{
    char* end = nullptr;
    errno = 0;
    unsigned long long v = strtoull(value, &end, 10);
    if (end == value || *end != '\0' || !isdigit((unsigned char)value[0]) || errno == ERANGE || v > 4294967295ULL) {
        NoteProblem(param, kOptionError, std::string("--seed ") + value, "the seed must be a whole number from 0 to 4294967295");
        return;
    }
    param->SeedGiven = true;
    param->Seed = (unsigned)v;
}

// --bg-order: a whole number 0..5.
static void ApplyBgOrder(INPUTPARAMETER* param, const char* value)
{
    int order = -1;
    if (!ReadWholeInt(value, &order) || order < 0 || order > MarkovChain::kMaxOrder)
        NoteProblem(param, "Input background order error!", std::string("--bg-order ") + value,
                    "the background chain order must be a whole number from 0 to 5");
    else
        param->BgOrder = order;
}

// --min-enrichment: a finite number of 0 or more.
static void ApplyMinEnrichment(INPUTPARAMETER* param, const char* value)
{
    char* end = nullptr;
    double v = strtod(value, &end);
    param->Enrichment = true;
    if (end == value || *end != '\0' || isspace((unsigned char)value[0]) || !(v >= 0.0) || std::isinf(v))
        NoteProblem(param, "Input minimum enrichment error!", std::string("--min-enrichment ") + value,
                    "the enrichment level must be a number of 0 or more");
    else
        param->MinEnrichment = v;
}

// --holdout: a share strictly between 0 and 1. The held-out motifs are
// also measured on the records they were fitted to, so the enrichment is
// measured too.
static void ApplyHoldOut(INPUTPARAMETER* param, const char* value)
{
    char* end = nullptr;
    double v = strtod(value, &end);
    if (end == value || *end != '\0' || isspace((unsigned char)value[0]) || !(v > 0.0 && v < 1.0)) {
        NoteProblem(param, kOptionError, std::string("--holdout ") + value,
                    "the held-out share must be a number between 0 and 1, both excluded (e.g. 0.1)");
        return;
    }
    param->HoldOut = v;
    param->Enrichment = true;
}

// --select-evalue: a positive number (inf keeps every measured motif).
static void ApplySelectEValue(INPUTPARAMETER* param, const char* value)
{
    char* end = nullptr;
    double v = strtod(value, &end);
    param->SelectGiven = true;
    if (end == value || *end != '\0' || isspace((unsigned char)value[0]) || !(v > 0.0))
        NoteProblem(param, kOptionError, std::string("--select-evalue ") + value,
                    "the E-value level must be a number above 0 (e.g. 0.05)");
    else
        param->SelectEValue = v;
}

// --module-q: a q-value level, above 0 and at most 1.
static void ApplyModuleQ(INPUTPARAMETER* param, const char* value)
{
    char* end = nullptr;
    double v = strtod(value, &end);
    param->ModuleQGiven = true;
    if (end == value || *end != '\0' || isspace((unsigned char)value[0]) || !(v > 0.0 && v <= 1.0))
        NoteProblem(param, kOptionError, std::string("--module-q ") + value,
                    "the q-value level must be a number above 0 and at most 1 (e.g. 0.05)");
    else
        param->ModuleQ = v;
}

// --module-null-runs: a whole number of 0 or more.
static void ApplyModuleNullRuns(INPUTPARAMETER* param, const char* value)
{
    int runs = 0;
    param->ModuleNullRunsGiven = true;
    if (!ReadWholeInt(value, &runs) || runs < 0)
        NoteProblem(param, kOptionError, std::string("--module-null-runs ") + value,
                    "the number of null runs must be a whole number of 0 or more");
    else
        param->ModuleNullRuns = runs;
}

// --chains: a whole number of 1 or more; the chains are the process's runs.
static void ApplyChains(INPUTPARAMETER* param, const char* value)
{
    int chains = 0;
    if (!ReadWholeInt(value, &chains) || chains < 1) {
        NoteProblem(param, kOptionError, std::string("--chains ") + value,
                    "the number of chains must be a whole number of 1 or more");
        return;
    }
    param->Chains = chains;
    param->RunNum = chains;
}

// --min-support: a whole number of 1 or more (checked against --chains
// later), or "majority".
static void ApplyMinSupport(INPUTPARAMETER* param, const char* value)
{
    int support = 0;
    if (strcmp(value, "majority") == 0) {
        param->MinSupport = kMajoritySupport;
    } else if (!ReadWholeInt(value, &support) || support < 1) {
        NoteProblem(param, kOptionError, std::string("--min-support ") + value,
                    "the minimum support must be a whole number of 1 or more, or majority");
    } else {
        param->MinSupport = support;
    }
}

struct LONGOPTION {
    const char* Name;
    bool TakesValue;
    void (*Apply)(INPUTPARAMETER* param, const char* value);
};

static const LONGOPTION kLongOptions[] = {
    {"--help", false, [](INPUTPARAMETER* p, const char*) { p->ShowHelp = true; }},
    {"--version", false, [](INPUTPARAMETER* p, const char*) { p->ShowVersion = true; }},
    {"--quiet", false, [](INPUTPARAMETER* p, const char*) { p->Quiet = true; }},
    {"--mask-lower", false, [](INPUTPARAMETER* p, const char*) { p->MaskLower = true; }},
    {"--seed", true, ApplySeed},
    {"--trace", true, [](INPUTPARAMETER* p, const char* v) { p->TraceFile = v; }},
    {"--outdir", true, [](INPUTPARAMETER* p, const char* v) { p->OutDir = v; }},
    {"--force", false, [](INPUTPARAMETER* p, const char*) { p->Force = true; }},
    {"--genome-coords", false, [](INPUTPARAMETER* p, const char*) { p->GenomeCoords = true; }},
    {"--threads", true, [](INPUTPARAMETER* p, const char* v) {
         ApplyInt(p, "--threads", v, &p->Threads, "Input number of threads error!");
     }},
    {"--report", false, [](INPUTPARAMETER* p, const char*) { p->Report = true; }},
    {"--known", true, [](INPUTPARAMETER* p, const char* v) {
         p->Report = true;   // the matches are shown only in the report
         p->KnownFile = v;
     }},
    {"--bg-order", true, ApplyBgOrder},
    {"--bg-fasta", true, [](INPUTPARAMETER* p, const char* v) { p->BgFasta = v; }},
    {"--preset", true, [](INPUTPARAMETER* p, const char* v) { p->Preset = v; }},
    {"--control", true, [](INPUTPARAMETER* p, const char* v) { p->Enrichment = true; p->ControlFile = v; }},
    {"--min-enrichment", true, ApplyMinEnrichment},
    {"--chains", true, ApplyChains},
    {"--min-support", true, ApplyMinSupport},
    {"--holdout", true, ApplyHoldOut},
    {"--select-evalue", true, ApplySelectEValue},
    {"--mask-duplicates", false, [](INPUTPARAMETER* p, const char*) { p->MaskDuplicates = true; }},
    {"--dust", false, [](INPUTPARAMETER* p, const char*) { p->Dust = true; }},
    {"--module-stats", false, [](INPUTPARAMETER* p, const char*) { p->ModuleStats = true; }},
    {"--module-q", true, ApplyModuleQ},
    {"--module-null-runs", true, ApplyModuleNullRuns},
};

// Number of single-character edits between a and b (for "did you mean").
static size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); j++)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); i++) {
        size_t diag = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); j++) {
            size_t up = row[j];
            row[j] = std::min(std::min(row[j] + 1, row[j - 1] + 1), diag + (a[i - 1] != b[j - 1]));
            diag = up;
        }
    }
    return row[b.size()];
}

static std::string UnknownLongReason(const char* word)
{
    std::string reason = "unknown option";
    for (const LONGOPTION& o : kLongOptions) {
        if (EditDistance(word, o.Name) <= 2) {
            reason += "; did you mean " + std::string(o.Name) + "?";
            break;
        }
    }
    return reason + " (--help lists every option)";
}

// Applies a long option; a word that is only another option's value is not
// refused when it names no option.
void ApplyLongOption(INPUTPARAMETER* param, const char* word, const char* value, bool isValue)
{
    for (const LONGOPTION& o : kLongOptions) {
        if (strcmp(word, o.Name) != 0)
            continue;
        if (o.TakesValue && !value) {
            if (!isValue)
                NoteProblem(param, kOptionError, word, "needs a value");
            return;
        }
        o.Apply(param, value);
        return;
    }
    if (!isValue)
        NoteProblem(param, kOptionError, word, UnknownLongReason(word));
}

bool LongTakesValue(const char* word)
{
    for (const LONGOPTION& o : kLongOptions)
        if (strcmp(word, o.Name) == 0)
            return o.TakesValue;
    return false;
}

bool IsLongName(const char* word)
{
    for (const LONGOPTION& o : kLongOptions)
        if (strcmp(word, o.Name) == 0)
            return true;
    return false;
}

void AddLongNames(std::vector<std::string>* names)
{
    for (const LONGOPTION& o : kLongOptions)
        names->push_back(o.Name);
}
