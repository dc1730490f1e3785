// What went wrong with a file: the one failure value that readers, loaders
// and writers hand up to the top level, which prints it and chooses the
// exit. An empty fault means success.
#ifndef RUZARAVO_BASE_FAULT_H
#define RUZARAVO_BASE_FAULT_H

#include <string>
#include <utility>

struct Fault {
    std::string path;     // the file (or option) at fault; may be empty
    std::string reason;   // why, in words a user can act on; empty: no fault

    Fault() = default;
    Fault(std::string p, std::string r) : path(std::move(p)), reason(std::move(r)) {}
    explicit operator bool() const { return !reason.empty(); }
};

#endif
