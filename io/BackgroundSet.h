// The background sequence set (--bg-fasta): a FASTA file read by the same
// reader and with the same checks as the input, handed over as plain
// strings for estimating the background chain.
#ifndef RUZARAVO_IO_BACKGROUNDSET_H
#define RUZARAVO_IO_BACKGROUNDSET_H

#include <string>
#include <vector>

// The fixed message of a background set that cannot be used.
extern const char kBgFastaError[];

// Reads the upper-cased letters of every sequence of the FASTA file path;
// false (with the reason noted for standard error) when the input reader
// would refuse it.
bool LoadBackgroundSet(const char* path, std::vector<std::string>* seqs);

#endif
