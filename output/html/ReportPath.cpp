// The report's file name and its up-front check (see the header).
#include "output/html/ReportPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include "base/Fatal.h"

std::string ReportPath(const std::string& outDir, const std::string& resultFile)
{
    if (!outDir.empty())
        return outDir.back() == '/' ? outDir + "report.html" : outDir + "/report.html";
    return resultFile + "_report.html";
}

static std::string Folder(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool CheckReportPath(const std::string& path, const std::vector<std::string>& inputs, bool needFolder)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            NoteInputError(path.c_str(), "the report would replace a directory");
            return false;
        }
        // The same file under another name (a link, "./x") is caught by its
        // device and inode.
        for (const std::string& in : inputs) {
            struct stat is;
            if (!in.empty() && stat(in.c_str(), &is) == 0 && is.st_dev == st.st_dev && is.st_ino == st.st_ino) {
                NoteInputError(path.c_str(), "the report would replace an input file; choose another -o");
                return false;
            }
        }
    }
    if (needFolder && access(Folder(path).c_str(), W_OK | X_OK) != 0) {
        NoteInputError(path.c_str(), "the report's folder does not exist or cannot be written");
        return false;
    }
    return true;
}
