// Tool runner for the writer tests; see ToolRun.h.
#include "ToolRun.h"

#include <sys/wait.h>

#include <cstdio>

TOOLRUN RunTool(const std::string& dir, const std::string& command)
{
    std::string cmd = "cd '" + dir + "' && (" + command + ") 2>&1 </dev/null";
    TOOLRUN r{-1, ""};
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, p)) > 0)
        r.Output.append(buf, got);
    int st = pclose(p);
    r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

bool HaveTool(const std::string& name)
{
    return RunTool("/", "command -v " + name + " >/dev/null").Status == 0;
}

std::string PythonWithBiopython()
{
    for (const char* py : {"/usr/bin/python3", "python3"}) {
        std::string probe = std::string(py) + " -c 'import Bio.motifs, jsonschema' >/dev/null 2>&1";
        if (RunTool("/", probe).Status == 0)
            return py;
    }
    return "";
}
