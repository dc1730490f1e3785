// Where the report is written, and the up-front check that it may be.
//
// With an output folder the report is DIR/report.html. Without one it is
// written beside the result file and named after it: "-o out.txt" gives
// "out.txt_report.html", the way the module-probability file is
// "out.txt_modpr.txt". Unlike the result files, the report is replaced
// on every invocation (it covers all runs of one process), so the check
// refuses a report path that is one of the input files.
#ifndef RUZARAVO_OUTPUT_HTML_REPORTPATH_H
#define RUZARAVO_OUTPUT_HTML_REPORTPATH_H

#include <string>
#include <vector>

std::string ReportPath(const std::string& outDir, const std::string& resultFile);

// True when the report can be written at path: not a directory, not the
// same file as any of inputs (empty names are skipped), and, when
// needFolder, its folder exists and is writable. Otherwise notes the
// reason (base/Fatal.h) and returns false.
bool CheckReportPath(const std::string& path, const std::vector<std::string>& inputs, bool needFolder);

#endif
