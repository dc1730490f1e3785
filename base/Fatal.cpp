#include "base/Fatal.h"

#include <cstdio>
#include <cstdlib>

void StopOnInputError(const char* message)
{
    puts(message);
    fflush(stdout);
    exit(1);
}
