// The one exit for user-caused failures: the fixed message and a line
// break on standard output, then exit status 1.
#ifndef RUZARAVO_BASE_FATAL_H
#define RUZARAVO_BASE_FATAL_H

[[noreturn]] void StopOnInputError(const char* message);

#endif
