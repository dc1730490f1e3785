// Hands each run's record to the writers; see RunOutputs.h.
#include "app/RunOutputs.h"

#include <string>

#include "base/Fatal.h"
#include "model/SideFiles.h"
#include "writers/AppendBlocks.h"
#include "writers/ResultFile.h"

static const char kOutputFileError[] = "Output file error!";

// Appends the run's blocks to the -o file and its companion. Both files
// are checked again first (they may have changed since the start).
static void AppendResultFiles(const std::string& path, const RunResult& result)
{
    std::string block = FormatResultBlock(result);
    std::string modPr = FormatModPrBlock(result);
    if (!CheckResultFile(path.c_str()) || !CheckResultFile((path + "_modpr.txt").c_str()))
        StopOnInputError(kOutputFileError);
    std::string failedPath, reason;
    if (!AppendRunBlocks(path, block, modPr, &failedPath, &reason)) {
        NoteInputError(failedPath.c_str(), reason.c_str());
        StopOnInputError(kOutputFileError);
    }
}

void WriteRunOutputs(const INPUTPARAMETER& param, const RunResult& result)
{
    AppendResultFiles(param.OutFile.m_Data ? param.OutFile.m_Data : "", result);
}
