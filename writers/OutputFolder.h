// The output folder (--outdir): every file written from the records of all
// runs of the process so far, each through a temporary name and a rename,
// so a reader never sees a half-written file.
#ifndef RUZARAVO_WRITERS_OUTPUTFOLDER_H
#define RUZARAVO_WRITERS_OUTPUTFOLDER_H

#include <string>
#include <utility>
#include <vector>

#include "results/RunResult.h"

// Names of the files the folder receives, in writing order.
std::vector<std::string> OutputFolderNames();

// Makes dir ready before any run: creates it (and missing parents) when it
// does not exist; an existing one must be a writable directory, and empty
// unless force. Returns false with the reason otherwise.
bool PrepareOutputFolder(const std::string& dir, bool force, std::string* reason);

// Every file of the folder as (name, content) for the given runs.
std::vector<std::pair<std::string, std::string>> OutputFolderFiles(const std::vector<RunResult>& runs, bool genome);

// Writes every file of OutputFolderFiles into dir, replacing earlier ones.
// Returns false with the file and the reason when one cannot be written;
// files already renamed into place stay whole.
bool WriteOutputFolder(const std::string& dir, const std::vector<RunResult>& runs, bool genome,
                       std::string* failedPath, std::string* reason);

#endif
