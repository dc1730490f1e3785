// Running the real tools the output files are made for (bedtools, gt,
// Python with Biopython and jsonschema), and skipping a test with a
// message when one is not installed.
#ifndef RUZARAVO_TESTS_OUTPUT_TOOLRUN_H
#define RUZARAVO_TESTS_OUTPUT_TOOLRUN_H

#include <string>

struct TOOLRUN {
    int Status;          // exit status, -1 when the tool could not run
    std::string Output;  // standard output and standard error together
};

// Runs a shell command line in dir.
TOOLRUN RunTool(const std::string& dir, const std::string& command);

// True when a program of that name is on the PATH.
bool HaveTool(const std::string& name);

// A Python 3 that can import Bio and jsonschema ("" when there is none);
// Debian's /usr/bin/python3 first, since a python3 earlier on the PATH may
// not see the Debian packages.
std::string PythonWithBiopython();

#endif
