// Report checks and writing for the run loop (see the header).
#include "app/ReportRun.h"

#include "base/Fatal.h"
#include "base/Version.h"
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

const char* CheckReportOptions(const INPUTPARAMETER& param)
{
    if (!ReportWanted(param))
        return nullptr;
    std::vector<std::string> inputs = {Str(param.SeqFile), Str(param.KnownFile)};
    if (param.UseBgFile)
        inputs.push_back(Str(param.BgFile));
    if (param.UsePWM)
        inputs.push_back(Str(param.PWMFile));
    // An output folder is created by the checks that follow; without one
    // the report's folder is the result file's and must exist.
    if (!CheckReportPath(ReportFile(param), inputs, param.OutDir.GetLength() == 0))
        return "Output file error!";
    return nullptr;
}

Fault WriteRunReport(const INPUTPARAMETER& param, const std::vector<MotifMatrix>& known, const RunResult& run,
                     const ChainClusters* chains, ReportParts* parts, const KnownMatcher* matcher,
                     const RunSetAnswers* answers)
{
    if (!ReportWanted(param))
        return Fault();
    ReportInput input;
    input.commandLine = CommandWords(Str(param.CmdLine));
    input.version = RUZARAVO_VERSION;
    // The library was read once before the first run.
    input.knownFile = Str(param.KnownFile);
    for (const MotifMatrix& m : known)
        input.known.push_back({m.id, m.name, m.rows});
    input.chains = chains;
    input.matcher = matcher;
    input.answers = answers;
    parts->Add(run, input);
    return WriteReportFile(ReportFile(param), parts->Page(input));
}
