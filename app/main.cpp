// Entry point: defaults, options, the preparation (checks, every input read
// once, the output folder), then the requested runs and their writers.
//
// Every failure the user can cause is reported here, as the fixed message
// on standard output and the reason on standard error, status 1; nothing
// below the preparation stops the process. Running out of memory (an input
// too large for the machine, or a huge -K) arrives as an exception and is
// caught here. The result files are written only at the very end of a run,
// after every large allocation, so such a stop leaves them as they were.
// SIGXFSZ is ignored so that a file-size limit makes a write fail (and the
// result writer take its partial block back) instead of killing the process.
#include <csignal>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "app/KnownNames.h"
#include "app/ModuleStatsRun.h"
#include "app/Options.h"
#include "app/Prepare.h"
#include "app/RunOutputs.h"
#include "app/ScanMain.h"
#include "base/Fatal.h"
#include "run/RunSet.h"

// --known insects / vertebrates: the shipped library the name stands for,
// said on standard error; a file of that name in the current folder wins.
static void ResolveKnownName(INPUTPARAMETER* param)
{
    const std::string name = param->KnownFile.GetLength() > 0 ? param->KnownFile.m_Data : "";
    if (LibraryFileOf(name).empty() || param->OptionMessage)
        return;
    const std::string path = ResolveKnown(name, ExecutablePath());
    if (path.empty()) {
        std::string folders;
        for (const std::string& f : LibraryFolders(ExecutablePath()))
            folders += (folders.empty() ? "" : " or ") + f;
        const std::string subject = "--known " + name;
        const std::string reason = "the shipped library " + LibraryFileOf(name) + " is in neither " + folders +
                                   "; give the path of a matrix file";
        NoteInputError(subject.c_str(), reason.c_str());
        StopOnInputError("Known matrix file error!");
    }
    if (path == name)
        fprintf(stderr, "Ruzaravo: --known %s: using the file %s of the current folder\n", name.c_str(), path.c_str());
    else
        fprintf(stderr, "Ruzaravo: --known %s: using %s\n", name.c_str(), path.c_str());
    param->KnownFile = path.c_str();
}

// One invocation with its parameters and inputs. Every stop on bad input
// ends the process from inside (exit), which destroys no local, so worker
// threads still running then keep what they read.
static int RunInvocation(INPUTPARAMETER& param, RunInputs& inputs, int argc, char** argv)
{
    SetDefaultParam(&param);
    ParseInputParam(&param, argc, argv);
    for (const std::string& warning : param.Warnings)
        fprintf(stderr, "Ruzaravo: %s\n", warning.c_str());
    if (param.ShowHelp || param.ShowVersion) {
        if (param.ShowHelp)
            PrintHelp();
        else
            printf("%s\n", RUZARAVO_VERSION);
        return 0;
    }
    if (!param.SeedGiven)
        param.Seed = ClockSeed();   // drawn once: run r uses Seed + r (chains a mix of both)
    ResolveKnownName(&param);
    if (Refusal r = PrepareRun(param, &inputs, param.RunNum > 0))   // every input read once
        StopOnRefusal(r);
    RunOutputs outputs(param, inputs.known);
    ModuleNullCache nullCache;
    RunAllRuns(param, inputs, [&](RunResult result) {
        AddRunModuleStats(param, inputs, &nullCache, &result);
        outputs.Add(std::move(result));
    });
    outputs.Finish();
    return 0;
}

static int RunProgram(int argc, char** argv)
{
    auto param = std::make_unique<INPUTPARAMETER>();
    auto inputs = std::make_unique<RunInputs>();
    try {
        return RunInvocation(*param, *inputs, argc, argv);
    } catch (...) {
        // A run that failed on a worker thread leaves the other workers
        // detached and reading: they must find both until the process ends.
        param.release();
        inputs.release();
        throw;
    }
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
