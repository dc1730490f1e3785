// The output folder (--outdir): every file written from the records of all
// runs of the process so far, each through a temporary name and a rename,
// so a reader never sees a half-written file.
#ifndef RUZARAVO_OUTPUT_OUTPUTFOLDER_H
#define RUZARAVO_OUTPUT_OUTPUTFOLDER_H

#include <string>
#include <utility>
#include <vector>

#include "results/RunResult.h"

// Names of the files the folder receives, in writing order; chains: the
// process runs --chains, which adds chains.tsv; consensus: --min-support
// is given too, which adds consensus.bed.
std::vector<std::string> OutputFolderNames(bool chains = false, bool consensus = false);

// Makes dir ready before any run: creates it (and missing parents) when it
// does not exist; an existing one must be a writable directory, and empty
// unless force. Returns false with the reason otherwise.
bool PrepareOutputFolder(const std::string& dir, bool force, std::string* reason);

// Every file of the folder as (name, content) for the given runs. With
// chains the runs are chains: their motifs are clustered (analysis/) into
// chains.tsv and the "chains" section of summary.json; minSupport above 0
// adds consensus.bed, the sites of the clusters of that support or more.
std::vector<std::pair<std::string, std::string>> OutputFolderFiles(const std::vector<RunResult>& runs, bool genome,
                                                                   bool chains = false, int minSupport = 0);

// Writes every file of OutputFolderFiles into dir, replacing earlier ones.
// Returns false with the file and the reason when one cannot be written;
// files already renamed into place stay whole.
bool WriteOutputFolder(const std::string& dir, const std::vector<RunResult>& runs, bool genome,
                       std::string* failedPath, std::string* reason, bool chains = false, int minSupport = 0);

// Replaces the file at path whole, through a temporary file beside it, as
// the folder's files are written. Returns false with the reason otherwise.
bool ReplaceFileAt(const std::string& path, const std::string& content, std::string* reason);

#endif
