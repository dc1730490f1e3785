// Report checks and writing for the run loop (see the header).
#include "app/ReportRun.h"

#include "base/Fatal.h"
#include "base/Version.h"
#include "output/html/Report.h"
#include "output/html/ReportPath.h"

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

// The command-line words without the banner line and the trailing blank.
static std::string CommandWords(const CString& cmdLine)
{
    std::string text = Str(cmdLine);
    std::size_t nl = text.find('\n');
    if (nl != std::string::npos)
        text.erase(0, nl + 1);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

bool WriteRunReport(const INPUTPARAMETER& param, const std::vector<MotifMatrix>& known,
                    const std::vector<RunResult>& runs, std::string* failedPath, std::string* reason)
{
    if (!ReportWanted(param))
        return true;
    ReportInput input;
    input.commandLine = CommandWords(param.CmdLine);
    input.version = RUZARAVO_VERSION;
    std::string path = ReportFile(param);
    // The library was read once before the first run.
    input.knownFile = Str(param.KnownFile);
    for (const MotifMatrix& m : known)
        input.known.push_back({m.id, m.name, m.rows});
    if (param.Chains > 0) {
        input.hasChains = true;
        input.chains = ClusterChains(runs);
    }
    if (WriteReportFile(path, BuildReport(runs, input)))
        return true;
    *failedPath = path;
    *reason = "the report cannot be written";
    return false;
}
