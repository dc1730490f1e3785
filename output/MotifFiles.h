// The printed motifs of all runs as MEME minimal motif format (version 4)
// and as JASPAR count matrices.
#ifndef RUZARAVO_OUTPUT_MOTIFFILES_H
#define RUZARAVO_OUTPUT_MOTIFFILES_H

#include <string>
#include <vector>

#include "results/RunResult.h"

// MEME minimal format: alphabet ACGT, the strands searched, the background
// letter frequencies of the input, then per printed motif
// "MOTIF r<run>.m<k> <consensus>" and its letter-probability matrix, whose
// E= is the motif's enrichment p-value ("1.2e-05") when measured; an
// unmeasured motif's line has no E= field.
std::string FormatMeme(const std::vector<RunResult>& runs);

// FormatMeme in parts: the header (from the first run, or for no run at
// all), then each run's motifs.
std::string MemeHeader(const RunResult* first);
std::string MemeMotifs(const RunResult& r);

// JASPAR: per printed motif ">r<run>.m<k> <consensus>" and four rows
// "A [ counts ]" for A, C, G, T.
std::string FormatJaspar(const std::vector<RunResult>& runs);

// One run's part of FormatJaspar.
std::string JasparMotifs(const RunResult& r);

// The E= field of a motif's matrix line, with its leading blank: the
// held-out E-value when measured (--holdout), else the enrichment p-value
// when measured, else nothing (never 0).
std::string MemeEValueField(const MotifResult& m);

#endif
