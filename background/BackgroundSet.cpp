// Reading the background sequence set through the input's own FASTA reader,
// so both files follow one set of rules (letters upper-cased, a line's text
// ends at its first non-letter, compressed and binary files refused).
#include "background/BackgroundSet.h"

#include "base/Fatal.h"
#include "model/GibbsDP.h"

const char kBgFastaError[] = "Input background sequence file error!";

bool LoadBackgroundSet(const char* path, std::vector<std::string>* seqs)
{
    seqs->clear();
    if (!path || !*path) {
        NoteInputError("--bg-fasta", "no background sequence file named");
        return false;
    }
    CGibbsDP reader;
    reader.m_SeqFile = path;
    if (!reader.LoadInputSeq())
        return false;
    seqs->reserve(reader.m_SeqNum);
    for (int i = 0; i < reader.m_SeqNum; i++)
        seqs->emplace_back(reader.m_Seq[i].m_Data ? reader.m_Seq[i].m_Data : "", reader.m_Seq[i].GetLength());
    return true;
}
