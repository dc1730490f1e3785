// Parsing the command line into the run parameters (run/RunParam.h):
// defaults, then a preset, then every word. The checks of the values are
// app/Checks.h, the usage and help texts app/Help.cpp.
#ifndef RUZARAVO_APP_OPTIONS_H
#define RUZARAVO_APP_OPTIONS_H

#include <string>
#include <vector>

#include "base/Version.h"
#include "run/Run.h"
#include "run/RunParam.h"

void SetDefaultParam(INPUTPARAMETER* param);
void ParseInputParam(INPUTPARAMETER* param, int argc, char** argv);
// Every option the parser knows, as typed ("-i", ..., "--seed"): the help
// text and the manual page must name each of them.
std::vector<std::string> OptionNames();

void PrintReadme();    // the usage text shown for a start without arguments
void PrintHelp();      // the complete option list (--help, -h)

#endif
