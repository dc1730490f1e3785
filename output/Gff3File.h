// GFF3 annotations of all runs: modules as CRM (SO:0000727) and sites as
// TF_binding_site (SO:0000235), 1-based inclusive coordinates.
#ifndef RUZARAVO_OUTPUT_GFF3FILE_H
#define RUZARAVO_OUTPUT_GFF3FILE_H

#include <string>
#include <vector>

#include "results/RunResult.h"

// "##gff-version 3", one ##sequence-region per reference (the span of the
// sequences placed on it), then per run its modules and sites. Attributes:
// ID, Parent (the module holding the whole site, if any), motif,
// posterior, run; Ontology_term names the SO term of the type. With
// genome coordinates the features (not the header) are sorted by seqid
// and start (output/PlaceOrder.h).
std::string FormatGff3(const std::vector<RunResult>& runs, bool genome);

// FormatGff3 in parts: the header (version and the sequence regions of the
// first run; only the version line for no run), then each run's features.
std::string Gff3Header(const RunResult* first, bool genome);
std::string Gff3Features(const RunResult& r, bool genome);
std::string Gff3Body(const std::string& features, bool genome);   // the runs' features as the file holds them

// A reference name as a GFF3 seqid: every character outside
// [a-zA-Z0-9.:^*$@!+_?|-] percent-encoded (%XX).
std::string GffSeqid(const std::string& text);

#endif
