// Checks of the outputs, run with the other up-front checks before any
// run, so that a refusal leaves every file as it was: no output may be the
// same file as an input, names must read chrom:start-end with
// --genome-coords, and the output folder must be usable (it is created
// by CreateOutputFolder, the explicit step after every check passed).
#ifndef RUZARAVO_APP_OUTPUTCHECKS_H
#define RUZARAVO_APP_OUTPUTCHECKS_H

#include <string>

#include "output/Coordinates.h"
#include "run/RunParam.h"

// True when the runs append to the -o file and its companion: always
// without --outdir, and with it only when -o is given as well.
bool AppendsResultFile(const INPUTPARAMETER& param);

// The consensus file of --min-support beside the result file: the -o name
// followed by "_consensus.bed", replaced whole by every process.
std::string ConsensusPath(const INPUTPARAMETER& param);

// The message of the first failed check, or null; a failure notes its
// reason. Creates nothing.
const char* CheckOutputs(const INPUTPARAMETER& param);

// Creates the --outdir folder (or checks that --force may replace its
// files): the message "Output folder error!" with the reason noted, or null.
const char* CreateOutputFolder(const INPUTPARAMETER& param);

// With --outdir and --force, removes the folder's files of an earlier run
// that this run does not write (output/OutputFolder.h: only the program's
// own names; a -o, consensus or trace file of this run that lies in the
// folder stays) and says which on standard error. Made after every check
// passed, before the first run writes. "Output folder error!" with the
// reason noted, or null.
const char* ClearStaleFolderFiles(const INPUTPARAMETER& param);

// True when a and b name the same existing file (same device and inode).
bool SameFile(const std::string& a, const std::string& b);

// Checks every FASTA name line of path for --genome-coords (with the
// record's letter count for the four-word form); a file that cannot be
// read as plain text here (also a pipe, which only the sequence reader may
// read) is left to the sequence reader and passes. Returns false and notes
// the first name that does not place its record.
bool CheckGenomeNames(const std::string& path);

// The reason given for a name in neither genome form.
extern const char kGenomeNameRule[];

// The reason given for a four-word name whose numbers fit neither
// convention for a record of that many letters.
std::string SpanFault(const NamedSpan& span, long long letters);

#endif
