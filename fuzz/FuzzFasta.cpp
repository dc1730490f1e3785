// Fuzz target for the FASTA reader and what is built directly on it: the
// state allocation, the background chain and its column, the motif
// columns, and the initial configuration and its score.
#include <cstdlib>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "io/FastaText.h"
#include "model/GibbsDP.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = WriteFuzzFile("fasta", data, size);
    std::vector<FastaRecord> records;
    if (!ReadFastaInput(path, FastaReadOptions(), &records))
        return 0;   // a bad file: the program stops with its message
    CGibbsDP g;
    g.m_Input = &records;
    g.m_MotifNum = 2;
    g.m_MinWidth = 5;
    g.m_MaxWidth = 8;
    g.m_ModLen = 30;
    g.m_Rng.seed(1);
    g.Initialize();
    g.BuildBackground();

    const int K = g.m_MotifNum, N = g.m_SeqNum;
    int* lengths = new int[N];
    double** tables = new double*[N];
    for (int i = 0; i < N; i++) {
        lengths[i] = g.m_Seq[i].GetLength();
        tables[i] = new double[(size_t)lengths[i] * (2 * K + 1) + 1];
    }
    double** pwm = new double*[K];
    for (int k = 0; k < K; k++) {
        pwm[k] = new double[g.m_Width[k] * 4];
        for (int c = 0; c < g.m_Width[k] * 4; c++)
            pwm[k][c] = 0.25;
    }
    g.CalLogBgPrPos(tables, lengths);
    g.CalLogPrPos(tables, lengths, pwm);
    g.RandPickSite();
    for (int k = 0; k < K; k++)
        delete[] pwm[k];
    delete[] pwm;
    for (int i = 0; i < N; i++)
        delete[] tables[i];
    delete[] tables;
    delete[] lengths;
    return 0;
}
