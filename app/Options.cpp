// Command line: defaults and the parsing of every word into the run
// parameters (the long options are app/LongOptions.cpp).
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
// Two look-alikes are refused because they would silently change the run:
// a single-dash word spelling a long option ("-seed 1" would otherwise be
// -s, "-outdir x" would be -o), and a word that is neither an option nor
// the value of the one before it (the second file of "-i a.fa b.fa", the
// "5" of an unknown "-k 5"). "-help" stays -h: both mean the same.
//
// A preset (--preset NAME) is applied before every other word, so options
// given on the command line override the preset's, wherever they stand.
#include "app/Options.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/OptionParse.h"
#include "app/Presets.h"

const char kOptionError[] = "Input option error!";
const char kWidthError[] = "input motif width range error!";
const char kMotifsError[] = "Input number of transcription factors error!";

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
    param->HoldOut = 0.0;
    param->SelectEValue = kDefaultSelectEValue;
    param->SelectGiven = false;
    param->ModuleStats = false;
    param->ModuleQ = kDefaultModuleQ;
    param->ModuleQGiven = false;
    param->ModuleNullRuns = kDefaultModuleNullRuns;
    param->ModuleNullRunsGiven = false;
    param->MaskDuplicates = false;
    param->Dust = false;
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
    AddLongNames(&names);
    return names;
}

// True when word takes the next word as its value.
static bool TakesValue(const char* word)
{
    if (word[0] != '-')
        return false;
    if (word[1] == '-')
        return LongTakesValue(word);
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

// Refuses a word that looks like an option the user did not mean: a long
// option's name with one dash, or a word no option takes as its value.
static void CheckLookAlike(INPUTPARAMETER* param, const char* word, bool isValue)
{
    if (isValue)
        return;   // a value is what the user meant
    if (word[0] != '-') {
        NoteProblem(param, kOptionError, word[0] ? word : "\"\" (an empty word)",
                    "not an option and not the value of the option before it (each option takes one word; "
                    "--help lists every option)");
        return;
    }
    std::string longName = std::string("-") + word;
    if (word[1] != '-' && word[1] != '\0' && word[2] != '\0' && longName != "--help" &&
        IsLongName(longName.c_str()))
        NoteProblem(param, kOptionError, word,
                    "a long option needs two dashes; did you mean " + longName + "?");
}

void ParseInputParam(INPUTPARAMETER* param, int argc, char** argv)
{
    ApplyPreset(param, argc, argv);
    param->CmdLine = RUZARAVO_BANNER "\n";
    for (int i = 0; i < argc; i++) {
        param->CmdLine = param->CmdLine + argv[i] + " ";
        bool isValue = i > 0 && TakesValue(argv[i - 1]);
        if (i > 0)
            CheckLookAlike(param, argv[i], isValue);
        if (argv[i][0] == '-')
            ApplyOption(param, argv[i], i + 1 < argc ? argv[i + 1] : nullptr, isValue);
    }
    if (param->ModuleStats && param->ModuleNullRuns == 0)
        param->Warnings.push_back("warning: --module-stats: the q-values compare the modules with shuffled letters "
                                  "scored by motifs fitted to this input; they rank the modules but are not "
                                  "calibrated (random input often gets q < 0.05); --module-null-runs 20 refits "
                                  "the null");
}

