// Tool runner for the writer tests; see ToolRun.h.
#include "ToolRun.h"

#include "support/TestSupport.h"

TOOLRUN RunTool(const std::string& dir, const std::string& command)
{
    RUNRESULT r = RunShell("cd '" + dir + "' && (" + command + ") 2>&1 </dev/null");
    return TOOLRUN{r.Status, r.Stdout};
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
