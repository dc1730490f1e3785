// The program's name and version, in one place: --version, the help text,
// summary.json and the report name the same program.
#ifndef RUZARAVO_BASE_VERSION_H
#define RUZARAVO_BASE_VERSION_H

// Compile banner: first line of the command-line text and of every result block.
#define RUZARAVO_BANNER "Ruzaravo (compiled on 12/5/2005)"
#define RUZARAVO_VERSION "Ruzaravo 1.0"

#endif
