// Motif significance on sequences the motif was not fitted to.
//
// Before discovery a share of the input records is set aside (held out),
// and the same share of the control records; the runs see only the rest.
// Afterwards every reported motif is measured on the held-out sets as the
// enrichment is (analysis/Enrichment.h: hits of windows at the weakest
// reported site's score, one-sided binomial), and its E-value is that
// p-value times the number of motifs tried (K x chains), as STREME and MEME
// correct for the motifs they tried. The share of held-out input and control
// records holding at least one hit is reported beside it.
//
// Records are held out in the order of a shuffle drawn from a generator of
// its own with a fixed seed (the sampler's draws are untouched, and every
// run and chain of the process holds out the same records), until the
// held-out letters reach the share; at least one record is always kept for
// discovery, and an input of one record holds nothing out.
#ifndef RUZARAVO_ANALYSIS_HOLDOUT_H
#define RUZARAVO_ANALYSIS_HOLDOUT_H

#include <cstdint>
#include <string>
#include <vector>

#include "results/RunResult.h"

constexpr uint64_t kHoldOutSeed = 20051206;

// Which records are held out: true for each held-out one. share in (0, 1).
std::vector<bool> ChooseHeldOut(const std::vector<std::string>& records, double share);

// The records of seqs whose flag equals held.
std::vector<std::string> SelectRecords(const std::vector<std::string>& seqs, const std::vector<bool>& flags,
                                       bool held);

// Measures every printed motif of r on the held-out input and control
// (control empty: the held-out input shuffled preserving dinucleotides)
// and sets its held-out result; motifsTried is K x chains.
void AddHeldOutSignificance(RunResult* r, const std::vector<std::string>& heldInput,
                            std::vector<std::string> heldControl, int motifsTried);

// Selection: every printed motif whose held-out E-value was measured and
// lies above maxE is no longer printed (its sites leave the result file and
// the module lines, as with --min-enrichment) and is marked with the drop
// reason "heldout_evalue"; it keeps its measurements. Returns how many
// motifs it dropped.
int DropAboveEValue(RunResult* r, double maxE);

#endif
