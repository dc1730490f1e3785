// Report checks and writing for the run loop (see the header).
#include "app/ReportRun.h"

#include <cstdio>

#include "htmlreport/Report.h"
#include "htmlreport/ReportPath.h"

static std::string Str(const CString& s)
{
    return s.m_Data ? s.m_Data : "";
}

static std::string ReportFile(const INPUTPARAMETER* param)
{
    return ReportPath("", Str(param->OutFile));
}

const char* CheckReportOptions(INPUTPARAMETER* param)
{
    if (!param->Report)
        return nullptr;
    std::vector<std::string> inputs = {Str(param->SeqFile), Str(param->BgFile), Str(param->PWMFile),
                                       Str(param->KnownFile)};
    if (!CheckReportPath(ReportFile(param), inputs, true))
        return "Report file error!";
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

void WriteRunReport(const INPUTPARAMETER* param, const std::vector<RunResult>& runs)
{
    if (!param->Report)
        return;
    ReportInput input;
    input.commandLine = CommandWords(param->CmdLine);
    input.version = RUZARAVO_VERSION;
    std::string path = ReportFile(param);
    if (!WriteReportFile(path, BuildReport(runs, input)))
        fprintf(stderr, "Ruzaravo: %s: the report could not be written\n", path.c_str());
}
