// Report checks and writing for the run loop (see the header).
#include "app/ReportRun.h"

#include "base/Fatal.h"
#include "base/Version.h"
#include "output/html/KnownLibrary.h"
#include "output/html/Report.h"
#include "output/html/ReportPath.h"
#include "output/TextFormat.h"

static std::string Str(const CString& s)
{
    return s.m_Data ? s.m_Data : "";
}

static bool ReportWanted(const INPUTPARAMETER& param)
{
    return param.Report || param.OutDir.GetLength() > 0;
}

static std::string ReportFile(const INPUTPARAMETER& param)
{
    return ReportPath(Str(param.OutDir), Str(param.OutFile));
}

const char* CheckReportOptions(INPUTPARAMETER* param)
{
    if (!ReportWanted(*param))
        return nullptr;
    std::vector<std::string> inputs = {Str(param->SeqFile), Str(param->KnownFile)};
    if (param->UseBgFile)
        inputs.push_back(Str(param->BgFile));
    if (param->UsePWM)
        inputs.push_back(Str(param->PWMFile));
    // An output folder is created by the checks that follow; without one
    // the report's folder is the result file's and must exist.
    if (!CheckReportPath(ReportFile(*param), inputs, param->OutDir.GetLength() == 0))
        return "Output file error!";
    std::vector<KnownMotif> known;
    std::string reason;
    if (param->KnownFile.GetLength() > 0 && !ReadKnownLibrary(Str(param->KnownFile), &known, &reason)) {
        NoteInputError(param->KnownFile.m_Data, reason.c_str());
        return "Known matrix file error!";
    }
    return nullptr;
}

Fault WriteRunReport(const INPUTPARAMETER& param, const RunResult& run, const ChainClusters* chains,
                     ReportParts* parts)
{
    if (!ReportWanted(param))
        return Fault();
    ReportInput input;
    input.commandLine = CommandWords(Str(param.CmdLine));
    input.version = RUZARAVO_VERSION;
    // The library passed the check before the runs; it is read again here
    // rather than kept, and a file changed since then stops the report.
    input.knownFile = Str(param.KnownFile);
    std::string reason;
    if (!input.knownFile.empty() && !ReadKnownLibrary(input.knownFile, &input.known, &reason))
        return Fault(input.knownFile, reason);
    input.chains = chains;
    parts->Add(run, input);
    return WriteReportFile(ReportFile(param), parts->Page(input));
}
