// Reading the background sequence set through the input's own FASTA reader,
// so both files follow one set of rules (gzip allowed, letters upper-cased,
// non-DNA text refused with its line).
#include "io/BackgroundSet.h"

#include "base/Fatal.h"
#include "io/FastaText.h"

const char kBgFastaError[] = "Input background sequence file error!";

bool LoadBackgroundSet(const char* path, std::vector<std::string>* seqs)
{
    seqs->clear();
    if (!path || !*path) {
        NoteInputError("--bg-fasta", "no background sequence file named");
        return false;
    }
    std::vector<FastaRecord> records;
    if (!ReadFastaInput(path, FastaReadOptions(), &records))
        return false;
    seqs->reserve(records.size());
    for (FastaRecord& r : records)
        seqs->push_back(std::move(r.Letters));
    return true;
}
