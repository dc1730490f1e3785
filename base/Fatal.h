// The one exit for user-caused failures: the fixed message and a line
// break on standard output, then exit status 1.
//
// The fixed messages say which input is wrong; the readers and checks that
// find the fault also note why (NoteInputError), and the exit prints that
// note as one line on standard error, so a user knows what to fix while
// standard output keeps exactly the fixed text.
#ifndef RUZARAVO_BASE_FATAL_H
#define RUZARAVO_BASE_FATAL_H

// Stops the process: message on standard output, the noted explanation (if
// any) on standard error as "Ruzaravo: <subject>: <reason>", exit status 1.
[[noreturn]] void StopOnInputError(const char* message);

// Records why the input is bad, for the next StopOnInputError; a later note
// replaces an earlier one. subject (a file name or an option) may be null
// or empty; both texts are copied and printed verbatim.
void NoteInputError(const char* subject, const char* reason);

// Forgets the noted explanation (a check that passes after all).
void ClearInputError();

// The noted explanation line without the program name, "" when none.
const char* NotedInputError();

#endif
