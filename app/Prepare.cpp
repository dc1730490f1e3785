// The preparation of a run set (see the header). The order of the steps
// is the order in which problems are reported, so that of two problems the
// same one is always named first.
#include "app/Prepare.h"

#include "app/Checks.h"
#include "app/InputSetup.h"
#include "app/OutputChecks.h"
#include "app/ReportRun.h"
#include "base/Fatal.h"
#include "io/SideFiles.h"

// The checks that the -o file and its companion can be appended to.
static const char* ResultFileRule(const INPUTPARAMETER& param)
{
    if (!AppendsResultFile(param))
        return nullptr;
    CString modPr = param.OutFile + "_modpr.txt";
    if (!CheckResultFile(param.OutFile.m_Data) || !CheckResultFile(modPr.m_Data))
        return "Output file error!";
    return nullptr;
}

// The output checks up to the folder's creation.
static const char* OutputRule(const INPUTPARAMETER& param)
{
    const char* message = ResultFileRule(param);
    return message ? message : CheckReportOptions(param);
}

Refusal PrepareRun(const INPUTPARAMETER& param, RunInputs* inputs, bool withSequences)
{
    ClearInputError();
    if (const char* message = FirstBrokenRule(param))
        return RefusalFromNote(message, "");
    if (Refusal r = LoadSideFiles(param, inputs))
        return r;
    if (const char* message = OutputRule(param))
        return RefusalFromNote(message, "");
    if (Refusal r = LoadKnownLibrary(param, inputs))
        return r;
    const char* message = CheckOutputs(param);
    if (!message)
        message = CreateOutputFolder(param);
    if (message)
        return RefusalFromNote(message, "");
    ClearInputError();
    if (!withSequences)
        return Refusal();
    if (Refusal r = LoadSequences(param, inputs))
        return r;
    SetUpInput(param, inputs, stderr);
    // Every check passed and the runs will write: only now may files of an
    // earlier run go.
    if (const char* stale = ClearStaleFolderFiles(param))
        return RefusalFromNote(stale, "");
    return Refusal();
}

const char* ValidateInputParam(INPUTPARAMETER* param)
{
    RunInputs inputs;
    Refusal r = PrepareRun(*param, &inputs, false);
    ClearInputError();
    if (r)
        NoteInputError(r.fault.path.c_str(), r.fault.reason.c_str());
    return r.message;
}

void StopOnRefusal(const Refusal& refusal)
{
    ClearInputError();
    if (refusal.fault)
        NoteInputError(refusal.fault.path.c_str(), refusal.fault.reason.c_str());
    StopOnInputError(refusal.message);
}
