// Command line: options, usage text, validation and the run procedure.
//
// An option is any word starting with '-'; only its second character is
// examined. A value is the next word, which is visited in turn like any
// other word (so "-o -s" names the result file "-s" and also sets -s).
// A value option that is the last word is ignored. Long options (second
// character '-') are this program's extensions: --seed N, --trace FILE,
// --help, --version, --outdir DIR, --force, --genome-coords, --threads N.
#include "app/Options.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/Fatal.h"
#include "model/GibbsDP.h"
#include "model/SideFiles.h"
#include "app/OutputChecks.h"

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
}

// strtol in base 10, held inside the int range.
static int ReadInt(const char* text)
{
    long v = strtol(text, nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return (int)v;
}

static void ApplyLongOption(INPUTPARAMETER* param, const char* word, const char* value)
{
    if (strcmp(word, "--help") == 0)
        param->ShowHelp = true;
    else if (strcmp(word, "--version") == 0)
        param->ShowVersion = true;
    else if (strcmp(word, "--seed") == 0 && value) {
        param->SeedGiven = true;
        param->Seed = (unsigned)strtoul(value, nullptr, 10);
    } else if (strcmp(word, "--trace") == 0 && value)
        param->TraceFile = value;
    else if (strcmp(word, "--outdir") == 0 && value)
        param->OutDir = value;
    else if (strcmp(word, "--force") == 0)
        param->Force = true;
    else if (strcmp(word, "--genome-coords") == 0)
        param->GenomeCoords = true;
    else if (strcmp(word, "--threads") == 0 && value)
        param->Threads = ReadInt(value);
}

static void ApplyOption(INPUTPARAMETER* param, const char* word, const char* value)
{
    switch (word[1]) {
    case 'P': param->SampleParam = true; return;
    case 's': param->Independent = true; return;
    case 'd': param->FixModLen = false; return;
    case 'B': param->CalBF = true; return;
    case '-': ApplyLongOption(param, word, value); return;
    default: break;
    }
    if (!value)
        return;   // a value option as the last word has nothing to read
    switch (word[1]) {
    case 'i': param->SeqFile = value; break;
    case 'o':
        param->OutFile = value;
        param->OutFileGiven = true;
        break;
    case 'n': param->IterNum = ReadInt(value) < 0 ? 0 : ReadInt(value); break;
    case 'N': param->RunNum = ReadInt(value); break;
    case 'r': param->BothStrand = value[0] != '0'; break;
    case 'K': param->MotifNum = ReadInt(value); break;
    case 'L': param->ModLen = ReadInt(value); break;
    case 'w': param->MinWidth = ReadInt(value); break;
    case 'W': param->MaxWidth = ReadInt(value); break;
    case 'c': param->Threshold = strtod(value, nullptr); break;
    case 'b':
        param->UseBgFile = true;
        param->BgFile = value;
        break;
    case 'M':
        param->UsePWM = true;
        param->PWMFile = value;
        break;
    default: break;   // unknown letters are ignored
    }
}

void ParseInputParam(INPUTPARAMETER* param, int argc, char** argv)
{
    param->CmdLine = RUZARAVO_BANNER "\n";
    for (int i = 0; i < argc; i++) {
        param->CmdLine = param->CmdLine + argv[i] + " ";
        if (argv[i][0] == '-')
            ApplyOption(param, argv[i], i + 1 < argc ? argv[i + 1] : nullptr);
    }
}

void PrintReadme()
{
    printf("\n******************************\n");
    printf("   Ruzaravo 1.0 Dec. 5 2005.\n");
    printf("******************************\n");
    printf("\nUsage: ./Ruzaravo -i Seqfile (options)\n");
    printf("Seqfile must be in FASTA format and each line in the file should contain no more than 10K characters\n\n");
    printf("Options:\n");
    printf("\t-o\tOutput file (default output.txt)\n");
    printf("\t-n\tMaximum number of iterations (default 2000)\n");
    printf("\t-c\tThreshold for motif prediction (between 0 and 1; default 0.5)\n");
    printf("\t\tYou may increase this parameter if Ruzaravo predicts many sites\n");
    printf("\t-r\t1: search for both strands; 0: only search for forward strand (default 1)\n");
    printf("\t-K\tNumber of transcription factors (default 3)\n");
    printf("\t-L\tModule length (default 200)\n");
    printf("\t-w\tMinimum width for motifs (default 10); should be >= 5 \n");
    printf("\t-W\tMaximum width for motifs (default 14); should be <= 40 \n");
    printf("\t-P\tSample parameters each iteration. See readme file for details\n");
    printf("\t-B\tOutput log-posterior model odds over null model (pure background)\n");
    printf("\t-s\tDegerate to search for K independent motifs without considering module structure\n");
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
    if (param->MinWidth < 5 || param->MaxWidth > 40 || param->MaxWidth < 5) {
        NoteInputError("-w/-W", "motif widths must lie in 5..40 (-w at least 5, -W at most 40)");
        return "input motif width range error!";
    }
    if (param->MotifNum < 1) {
        NoteOption('K', param->MotifNum, "the number of transcription factors must be at least 1");
        return "Input number of transcription factors error!";
    }
    if (param->MotifNum > kMaxMotifNum) {
        NoteOption('K', param->MotifNum, "at most 1000 transcription factors can be searched in one run");
        return "Input number of transcription factors error!";
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
    return CheckOutputs(*param);
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
    RunResult result = sampler->DataAugmentation();
    delete sampler;
    return result;
}
