// Command line: options, validation and the run procedure.
//
// An option is any word starting with '-'; for single-letter options only
// the second character is examined (-input works like -i). A value is the
// next word, which is visited in turn like any other word (so "-o -s" names
// the result file "-s" and also sets -s); a word used as a value draws no
// warning of its own. Long options (second character '-') are looked up in
// kLongOptions, where adding one is one line.
//
// Numbers must be whole numbers: "-n fifty" or "-K 12x" is refused, not
// read as 0 or 12. The parser only records the first such problem; the
// checks report it with the message that fits the option (the motif-number
// or width message, else "Input option error!"). An unknown single letter
// is a warning on standard error and the run goes on.
//
// A preset (--preset NAME) is applied before every other word, so options
// given on the command line override the preset's, wherever they stand.
#include "app/Options.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/ReportRun.h"
#include "app/Presets.h"
#include "io/BackgroundSet.h"
#include "model/MarkovChain.h"
#include "base/Fatal.h"
#include "analysis/Enrichment.h"
#include "model/GibbsDP.h"
#include "io/SideFiles.h"
#include "app/OutputChecks.h"

static const char kOptionError[] = "Input option error!";
static const char kWidthError[] = "input motif width range error!";
static const char kMotifsError[] = "Input number of transcription factors error!";

void SetDefaultParam(INPUTPARAMETER* param)
{
    param->BothStrand = true;
    param->Independent = false;
    param->FixModLen = true;
    param->SampleParam = false;
    param->CalBF = false;
    param->UseBgFile = false;
    param->UsePWM = false;
    param->SeqFile = "";
    param->BgFile = "";
    param->OutFile = "Output.txt";
    param->PWMFile = "";
    param->IterNum = 2000;
    param->MotifNum = 3;
    param->MinWidth = 10;
    param->MaxWidth = 14;
    param->ModLen = 200;
    param->RunNum = 1;
    param->Threshold = 0.5;
    param->SeedGiven = false;
    param->Seed = 0;
    param->TraceFile = "";
    param->ShowHelp = false;
    param->ShowVersion = false;
    param->OutFileGiven = false;
    param->OutDir = "";
    param->Force = false;
    param->GenomeCoords = false;
    param->Threads = 1;
    param->Quiet = false;
    param->MaskLower = false;
    param->OptionMessage = nullptr;
    param->OptionSubject.clear();
    param->OptionReason.clear();
    param->Warnings.clear();
    param->Sequences.reset();
    param->Report = false;
    param->KnownFile = "";
    param->BgOrder = 1;
    param->BgFasta = "";
    param->Preset = "";
    param->Enrichment = false;
    param->ControlFile = "";
    param->Chains = 0;
    param->MinSupport = 0;
    param->RunNumGiven = false;
    param->MinEnrichment = 0.0;
}

// Records a problem unless an earlier one was found.
static void NoteProblem(INPUTPARAMETER* param, const char* message, const std::string& subject,
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
static bool ReadWholeInt(const char* text, int* value)
{
    char* end = nullptr;
    long v = strtol(text, &end, 10);
    *value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v;
    return end != text && *end == '\0' && !isspace((unsigned char)text[0]);
}

// Reads an integer option value; message is the fixed message of a refusal.
static void ApplyInt(INPUTPARAMETER* param, const char* word, const char* value, int* field, const char* message)
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

int ConsensusSupport(const INPUTPARAMETER& param)
{
    return param.MinSupport == kMajoritySupport ? param.Chains / 2 + 1 : param.MinSupport;
}

// Long options: name, whether it takes the next word as its value, and what
// it sets. To add one, add a line here (and a line to the help text).
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
static void ApplyLongOption(INPUTPARAMETER* param, const char* word, const char* value, bool isValue)
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

static void ApplyReal(INPUTPARAMETER* param, const char* word, const char* value)
{
    char* end = nullptr;
    param->Threshold = strtod(value, &end);
    if (end == value || *end != '\0' || isspace((unsigned char)value[0]))
        NoteProblem(param, kOptionError, std::string(word) + " " + value, "not a number");
}

static void ApplyOption(INPUTPARAMETER* param, const char* word, const char* value, bool isValue)
{
    switch (word[1]) {
    case 'P': param->SampleParam = true; return;
    case 's': param->Independent = true; return;
    case 'd': param->FixModLen = false; return;
    case 'B': param->CalBF = true; return;
    case 'h': param->ShowHelp = true; return;
    case '-': ApplyLongOption(param, word, value, isValue); return;
    case 'i': case 'o': case 'n': case 'N': case 'r': case 'K':
    case 'L': case 'w': case 'W': case 'c': case 'b': case 'M':
        break;
    case '\0': return;   // a lone '-' names nothing (it is "standard input" as a value)
    default:
        if (!isValue)
            param->Warnings.push_back(std::string("warning: ") + word +
                                      ": unknown option, ignored (--help lists every option)");
        return;
    }
    if (!value) {
        if (!isValue)
            NoteProblem(param, kOptionError, word, "needs a value");
        return;
    }
    switch (word[1]) {
    case 'i': param->SeqFile = value; break;
    case 'o':
        param->OutFile = value;
        param->OutFileGiven = true;
        break;
    case 'n': ApplyInt(param, word, value, &param->IterNum, kOptionError); break;
    case 'N':
        param->RunNumGiven = true;
        ApplyInt(param, word, value, &param->RunNum, kOptionError);
        break;
    case 'r': param->BothStrand = value[0] != '0'; break;
    case 'K': ApplyInt(param, word, value, &param->MotifNum, kMotifsError); break;
    case 'L': ApplyInt(param, word, value, &param->ModLen, kOptionError); break;
    case 'w': ApplyInt(param, word, value, &param->MinWidth, kWidthError); break;
    case 'W': ApplyInt(param, word, value, &param->MaxWidth, kWidthError); break;
    case 'c': ApplyReal(param, word, value); break;
    case 'b':
        param->UseBgFile = true;
        param->BgFile = value;
        break;
    case 'M':
        param->UsePWM = true;
        param->PWMFile = value;
        break;
    default: break;
    }
}

// Single-letter options: those taking a value, then the switches.
static const char kValueLetters[] = "ionNrKLwWcbM";
static const char kSwitchLetters[] = "PsdBh";

std::vector<std::string> OptionNames()
{
    std::vector<std::string> names;
    for (const char* letters : {kValueLetters, kSwitchLetters})
        for (const char* c = letters; *c; c++)
            names.push_back(std::string("-") + *c);
    for (const LONGOPTION& o : kLongOptions)
        names.push_back(o.Name);
    return names;
}

// True when word takes the next word as its value.
static bool TakesValue(const char* word)
{
    if (word[0] != '-')
        return false;
    if (word[1] == '-') {
        for (const LONGOPTION& o : kLongOptions)
            if (strcmp(word, o.Name) == 0)
                return o.TakesValue;
        return false;
    }
    return word[1] != '\0' && strchr(kValueLetters, word[1]) != nullptr;
}

// Applies the option words of the last preset named on the command line.
static void ApplyPreset(INPUTPARAMETER* param, int argc, char** argv)
{
    const char* name = nullptr;
    for (int i = 0; i + 1 < argc; i++)
        if (strcmp(argv[i], "--preset") == 0)
            name = argv[i + 1];
    const std::vector<std::string>* words = name ? PresetWords(name) : nullptr;
    if (!words)
        return;
    for (size_t i = 0; i < words->size(); i++) {
        const char* w = (*words)[i].c_str();
        bool isValue = i > 0 && TakesValue((*words)[i - 1].c_str());
        if (w[0] == '-')
            ApplyOption(param, w, i + 1 < words->size() ? (*words)[i + 1].c_str() : nullptr, isValue);
    }
}

void ParseInputParam(INPUTPARAMETER* param, int argc, char** argv)
{
    ApplyPreset(param, argc, argv);
    param->CmdLine = RUZARAVO_BANNER "\n";
    for (int i = 0; i < argc; i++) {
        param->CmdLine = param->CmdLine + argv[i] + " ";
        bool isValue = i > 0 && TakesValue(argv[i - 1]);
        if (argv[i][0] == '-')
            ApplyOption(param, argv[i], i + 1 < argc ? argv[i + 1] : nullptr, isValue);
    }
}

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

// Notes why an option value is refused: "-K 5000: <reason>".
static void NoteOption(char letter, int value, const char* reason)
{
    char subject[32];
    snprintf(subject, sizeof subject, "-%c %d", letter, value);
    NoteInputError(subject, reason);
}

// The checks in order; each failure notes its reason for standard error.
static const char* FirstFailedCheck(INPUTPARAMETER* param)
{
    if (param->OptionMessage) {
        NoteInputError(param->OptionSubject.c_str(), param->OptionReason.c_str());
        return param->OptionMessage;
    }
    if (param->MinWidth < 5 || param->MaxWidth > 40 || param->MaxWidth < 5) {
        NoteInputError("-w/-W", "motif widths must lie in 5..40 (-w at least 5, -W at most 40)");
        return kWidthError;
    }
    if (param->MotifNum < 1) {
        NoteOption('K', param->MotifNum, "the number of transcription factors must be at least 1");
        return kMotifsError;
    }
    if (param->MotifNum > kMaxMotifNum) {
        NoteOption('K', param->MotifNum, "at most 1000 transcription factors can be searched in one run");
        return kMotifsError;
    }
    if (param->ModLen < param->MinWidth) {
        NoteOption('L', param->ModLen, "the module length must be at least the smallest motif width (-w)");
        return "Input module length too small!";
    }
    if (param->ModLen > kMaxModLen) {
        NoteOption('L', param->ModLen, "the module length must be at most 100000 letters");
        return "Input module length too large!";
    }
    if (param->Threads < 1 || param->Threads > kMaxThreads) {
        char subject[32];
        snprintf(subject, sizeof subject, "--threads %d", param->Threads);
        NoteInputError(subject, "the number of threads must lie in 1..256");
        return "Input number of threads error!";
    }
    if (param->IterNum < 0) {
        NoteOption('n', param->IterNum, "the number of sweeps must be 0 or more");
        return kOptionError;
    }
    if (param->RunNum < 0) {
        NoteOption('N', param->RunNum, "the number of runs must be 0 or more");
        return kOptionError;
    }
    if (param->Chains > 0 && param->RunNumGiven) {
        NoteInputError("-N", "--chains C makes C runs itself (seeds seed + 0 .. seed + C-1); give -N or --chains, "
                             "not both");
        return kOptionError;
    }
    if (param->MinSupport != 0 && param->Chains == 0) {
        NoteInputError("--min-support", "the consensus is chosen among the clusters of chains; give --chains C too");
        return kOptionError;
    }
    if (param->MinSupport > param->Chains) {
        std::string subject = "--min-support " + std::to_string(param->MinSupport);
        NoteInputError(subject.c_str(), "no cluster can be found by more chains than --chains runs");
        return kOptionError;
    }
    if (!(param->Threshold >= 0.0 && param->Threshold <= 1.0)) {
        char subject[64];
        snprintf(subject, sizeof subject, "-c %g", param->Threshold);
        NoteInputError(subject, "the threshold is a posterior frequency and must lie in 0..1");
        return kOptionError;
    }
    if (param->Preset.GetLength() > 0 && !PresetWords(param->Preset.m_Data)) {
        NoteInputError(param->Preset.m_Data, "unknown preset; known presets: " PRESET_NAMES);
        return "Input preset error!";
    }
    if (param->BgFasta.GetLength() > 0) {
        std::vector<std::string> seqs;
        if (!LoadBackgroundSet(param->BgFasta.m_Data, &seqs))
            return kBgFastaError;
    }
    if (param->ControlFile.GetLength() > 0) {
        std::vector<std::string> seqs;
        if (!LoadBackgroundSet(param->ControlFile.m_Data, &seqs))
            return "Input control sequence file error!";
    }
    if (param->UseBgFile && !CheckBgFile(param->BgFile.m_Data))
        return "Input background file error!";
    if (param->UsePWM && !CheckPWMFile(param->PWMFile.m_Data, param->MotifNum))
        return "Input weight matrix file error!";
    if (AppendsResultFile(*param)) {
        if (!CheckResultFile(param->OutFile.m_Data))
            return "Output file error!";
        CString modPr = param->OutFile + "_modpr.txt";
        if (!CheckResultFile(modPr.m_Data))
            return "Output file error!";
    }
    const char* report = CheckReportOptions(param);   // before the folder is created
    return report ? report : CheckOutputs(*param);
}

const char* ValidateInputParam(INPUTPARAMETER* param)
{
    ClearInputError();
    const char* message = FirstFailedCheck(param);
    if (!message)
        ClearInputError();
    return message;
}

void CheckInputParam(INPUTPARAMETER* param)
{
    const char* message = ValidateInputParam(param);
    if (message)
        StopOnInputError(message);
}

void LoadSequences(INPUTPARAMETER* param)
{
    auto records = std::make_shared<std::vector<FastaRecord>>();
    FastaReadOptions options;
    options.MaskLower = param->MaskLower;
    if (param->SeqFile.GetLength() == 0) {
        NoteInputError("-i", "no sequence file named; give a FASTA file with -i FILE (or -i - for standard input)");
        StopOnInputError("Input sequence file error!");
    }
    if (!ReadFastaInput(std::string(param->SeqFile.m_Data, param->SeqFile.m_Length), options, records.get()))
        StopOnInputError("Input sequence file error!");
    param->Sequences = records;
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

// Measures the enrichment of the run's motifs against the control.
static void AddRunEnrichment(const INPUTPARAMETER& param, const CGibbsDP& sampler, RunResult* result)
{
    std::vector<std::string> input, control;
    for (int i = 0; i < sampler.m_SeqNum; i++)
        input.emplace_back(sampler.m_Seq[i].m_Data ? sampler.m_Seq[i].m_Data : "", sampler.m_Seq[i].GetLength());
    if (param.ControlFile.GetLength() > 0 && !LoadBackgroundSet(param.ControlFile.m_Data, &control))
        StopOnInputError("Input control sequence file error!");
    AddEnrichment(result, input, std::move(control), param.MinEnrichment);
}

RunResult RunModSampling(INPUTPARAMETER* param, int run)
{
    return RunModSampling(param, run, nullptr, nullptr, param->Threads);
}

RunResult RunModSampling(INPUTPARAMETER* param, int run, FILE* console, FILE* trace, int threads)
{
    CGibbsDP* sampler = new CGibbsDP;
    sampler->m_CmdLine = param->CmdLine;
    sampler->m_SeqFile = param->SeqFile;
    sampler->m_OutFile = param->OutFile;
    sampler->m_IterNum = param->IterNum;
    sampler->m_BurnIn = BurnInSweeps(param->IterNum);
    sampler->m_BothStrand = param->BothStrand;
    sampler->m_Threshold = param->Threshold;
    sampler->m_MotifNum = param->MotifNum;
    sampler->m_Independent = param->Independent;
    sampler->m_ModLen = param->ModLen;
    sampler->m_MinWidth = param->MinWidth;
    sampler->m_MaxWidth = param->MaxWidth;
    sampler->m_FixModLen = param->FixModLen;
    sampler->m_CalBF = param->CalBF;
    sampler->m_SampleParam = param->SampleParam;
    sampler->m_UseBgFile = param->UseBgFile;
    sampler->m_BgFile = param->BgFile;
    sampler->m_PWMFile = param->PWMFile;
    sampler->m_UsePWM = param->UsePWM;
    sampler->m_RandSeed = param->Seed + (unsigned)run;
    sampler->m_RunIndex = run;
    sampler->m_TraceFile = param->TraceFile;
    sampler->m_Console = console;
    sampler->m_TraceSink = trace;
    sampler->m_Threads = threads;
    sampler->m_Input = param->Sequences.get();
    sampler->m_RunCount = param->RunNum;
    sampler->m_Quiet = param->Quiet;
    sampler->m_BgOrder = param->BgOrder;
    sampler->m_BgFasta = param->BgFasta;
    fprintf(stderr, "Seed: %u\n", sampler->m_RandSeed);
    RunResult result = sampler->DataAugmentation();
    if (param->Enrichment)
        AddRunEnrichment(*param, *sampler, &result);
    delete sampler;
    return result;
}
