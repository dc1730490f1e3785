// The names of the shipped known-factor libraries: "--known insects" and
// "--known vertebrates" stand for the JASPAR 2024 CORE non-redundant
// matrices of that group (MEME layout), so a user need not type the path.
//
// A name is looked for, in this order: a file of that name in the current
// folder (a real file always wins), the library next to the program's
// install prefix (<prefix>/share/ruzaravo/jaspar2024/, the prefix being the
// folder above the executable's), then the source tree the program was
// built from. Any other --known value is a path and is left as it is.
#ifndef RUZARAVO_APP_KNOWNNAMES_H
#define RUZARAVO_APP_KNOWNNAMES_H

#include <string>
#include <vector>

// The file name of a shipped library ("JASPAR2024_CORE_insects_non-redundant.meme"),
// or "" when name is none of them.
std::string LibraryFileOf(const std::string& name);

// The folders searched for a shipped library, in order, for an executable
// at exePath (resolved, not a link).
std::vector<std::string> LibraryFolders(const std::string& exePath);

// The file --known value stands for: value itself unless it is a library
// name with no file of that name in the current folder; then the first
// existing library file in LibraryFolders, or "" when none exists.
std::string ResolveKnown(const std::string& value, const std::string& exePath);

// The path of the running executable ("" when it cannot be read).
std::string ExecutablePath();

#endif
