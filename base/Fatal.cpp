// The one exit for user-caused failures, and the note that explains it.
//
// The note is kept in a fixed buffer (no allocation), so it can still be
// printed when the process stops because memory ran out.
#include "base/Fatal.h"

#include <cstdio>
#include <cstdlib>

// Long enough for a file name and a reason; a longer note is cut.
static char s_Note[2048];

void NoteInputError(const char* subject, const char* reason)
{
    if (subject && *subject)
        snprintf(s_Note, sizeof s_Note, "%s: %s", subject, reason ? reason : "");
    else
        snprintf(s_Note, sizeof s_Note, "%s", reason ? reason : "");
}

void ClearInputError()
{
    s_Note[0] = '\0';
}

const char* NotedInputError()
{
    return s_Note;
}

void StopOnInputError(const char* message)
{
    puts(message);
    fflush(stdout);
    if (s_Note[0]) {
        fprintf(stderr, "Ruzaravo: %s\n", s_Note);
        fflush(stderr);
    }
    exit(1);
}
