// Entry point: defaults, options, checks, then the requested runs.
#include <cstdio>
#include <ctime>

#include "app/Options.h"

int main(int argc, char** argv)
{
    if (argc == 1) {
        PrintReadme();
        return 0;
    }
    INPUTPARAMETER* param = new INPUTPARAMETER;
    SetDefaultParam(param);
    ParseInputParam(param, argc, argv);
    if (param->ShowHelp || param->ShowVersion) {
        if (param->ShowHelp)
            PrintReadme();
        else
            printf("%s\n", RUZARAVO_VERSION);
        delete param;
        return 0;
    }
    if (!param->SeedGiven)
        param->Seed = (unsigned)time(NULL);   // read once: run r uses Seed + r
    CheckInputParam(param);
    for (int run = 0; run < param->RunNum; run++)
        RunModSampling(param, run);
    delete param;
    return 0;
}
