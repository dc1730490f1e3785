// Warnings about the input that do not stop a run: two records with the
// same name (their sites and modules can then not be told apart by name in
// BED or GFF3 files) and stretches shared by two records (counted twice
// unless --mask-duplicates masks the later copy). They go to standard
// error, one line each, so standard output and the result files stay as
// they are.
#ifndef RUZARAVO_APP_INPUTWARNINGS_H
#define RUZARAVO_APP_INPUTWARNINGS_H

#include <string>
#include <vector>

#include "analysis/SharedStretches.h"
#include "io/FastaText.h"

// One line per name given to more than one record: the name and the
// 1-based record numbers that carry it.
std::vector<std::string> DuplicateNameWarnings(const std::vector<FastaRecord>& records);

// One line per shared stretch naming both records, where the stretch lies
// in each (1-based, inclusive), its strand and identity, and whether the
// later copy is masked.
std::vector<std::string> SharedStretchWarnings(const std::vector<FastaRecord>& records,
                                               const std::vector<SharedStretch>& stretches, bool masked);

#endif
