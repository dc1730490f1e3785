// Entry point: defaults, options, checks, then the requested runs.
//
// Running out of memory (an input too large for the machine, or a huge -K)
// is the one failure that arrives as an exception: it is caught here and
// ends the process like every other input error, with a fixed message and
// status 1. The result files are written only at the very end of a run,
// after every large allocation, so such a stop leaves them as they were.
// SIGXFSZ is ignored so that a file-size limit makes a write fail (and the
// result writer take its partial block back) instead of killing the process.
#include <csignal>
#include <cstdio>
#include <memory>
#include <new>

#include "app/Options.h"
#include "app/RunOutputs.h"
#include "run/RunSet.h"
#include "app/ScanMain.h"
#include "base/Fatal.h"

static int RunProgram(int argc, char** argv)
{
    std::unique_ptr<INPUTPARAMETER> param(new INPUTPARAMETER);
    SetDefaultParam(param.get());
    ParseInputParam(param.get(), argc, argv);
    for (const std::string& warning : param->Warnings)
        fprintf(stderr, "Ruzaravo: %s\n", warning.c_str());
    if (param->ShowHelp || param->ShowVersion) {
        if (param->ShowHelp)
            PrintHelp();
        else
            printf("%s\n", RUZARAVO_VERSION);
        return 0;
    }
    if (!param->SeedGiven)
        param->Seed = ClockSeed();   // drawn once: run r uses Seed + r
    CheckInputParam(param.get());
    if (param->RunNum > 0)
        LoadSequences(param.get());   // read once, whatever the number of runs
    RunOutputs outputs(*param);
    RunAllRuns(param.get(), outputs);
    outputs.Finish();
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 1) {
        PrintReadme();
        return 0;
    }
    signal(SIGXFSZ, SIG_IGN);
    if (IsScanCommand(argc, argv))
        return ScanMain(argc, argv);
    try {
        return RunProgram(argc, argv);
    } catch (const std::bad_alloc&) {
        NoteInputError(nullptr,
                       "not enough memory: each letter of the input needs about 24 x K bytes of tables "
                       "(40 x K with -B; K = -K); use fewer motifs or less sequence");
        StopOnInputError("Not enough memory for this input!");
    }
}
