// Small helpers shared by the tests of model/: a sampler object read from a
// FASTA text, position tables, weight matrices, and a check that a call
// stops with a given message on standard output.
#ifndef RUZARAVO_TESTS_MODEL_MODELTESTUTIL_H
#define RUZARAVO_TESTS_MODEL_MODELTESTUTIL_H

#include <gtest/gtest.h>

#include <cstdio>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "io/BackgroundSet.h"
#include "io/SideFiles.h"
#include "io/WholeInput.h"
#include "model/GibbsDP.h"
#include "support/TestSupport.h"

// Sets the sequences of g directly (no file), as the reader would leave them.
inline void SetSequences(CGibbsDP& g, const std::vector<std::string>& seqs)
{
    g.m_SeqNum = (int)seqs.size();
    g.m_Seq = new CString[seqs.size()];
    g.m_SeqName = new CString[seqs.size()];
    g.m_TotalLen = 0;
    for (size_t i = 0; i < seqs.size(); i++) {
        if (!seqs[i].empty())
            g.m_Seq[i] = seqs[i].c_str();
        g.m_TotalLen += (int)seqs[i].size();
    }
}

// Side files read as the program reads them before the first run, kept
// alive for the rest of the test program (the sampler holds pointers).
// A file that cannot be read gives no data.
inline const std::vector<BgFileLine>* LoadedBgLines(const std::string& path)
{
    static std::list<std::vector<BgFileLine>> kept;
    kept.emplace_back();
    LoadBgFile(path.c_str(), &kept.back());
    return &kept.back();
}

// The records of a FASTA file as the program reads them before the first
// run; a file the reader refuses gives no records.
inline const std::vector<FastaRecord>* LoadedRecords(const std::string& path)
{
    static std::list<std::vector<FastaRecord>> kept;
    kept.emplace_back();
    if (!ReadFastaInput(path, FastaReadOptions(), &kept.back()))
        kept.back().clear();
    return &kept.back();
}

// The first K matrices of a file as the matrix reader gives them, without
// the up-front width and row checks, so the sampler's own guards are seen.
inline const std::vector<MotifMatrix>* LoadedPWM(const std::string& path, int K)
{
    static std::list<std::vector<MotifMatrix>> kept;
    kept.emplace_back();
    std::string text, reason;
    if (ReadWholeInput(path, &text) && !ParseMatrixText(text, &kept.back(), &reason, nullptr, (size_t)K))
        kept.back().clear();
    return &kept.back();
}

// The chain of a --bg-fasta set, estimated as before the first run.
inline std::shared_ptr<const MarkovChain> LoadedSetChain(const std::string& path, int order)
{
    std::vector<std::string> seqs;
    if (!LoadBackgroundSet(path.c_str(), &seqs))
        return nullptr;
    return std::make_shared<const MarkovChain>(MarkovChain::Estimate(seqs, order));
}

// Position tables of the driver's shape for the sequences of g, filled with
// a sentinel so that tests can see which cells a call writes.
struct TABLES {
    std::vector<std::vector<double>> Data;
    std::vector<double*> Ptr;
    std::vector<int> Len;
    TABLES(CGibbsDP& g, double fill = 12345.0)
    {
        int cols = 2 * g.m_MotifNum + 1;
        Data.resize(g.m_SeqNum);
        for (int s = 0; s < g.m_SeqNum; s++) {
            Len.push_back(g.m_Seq[s].GetLength());
            Data[s].assign((size_t)Len[s] * cols + 1, fill);
            Ptr.push_back(Data[s].data());
        }
    }
    double At(int s, int p, int c, int K) const { return Data[s][(size_t)p * (2 * K + 1) + c]; }
};

// The driver's weight-matrix array: K arrays allocated with new[].
struct PWMS {
    std::vector<double*> Ptr;
    explicit PWMS(const std::vector<std::vector<double>>& rows)
    {
        for (const auto& m : rows) {
            double* a = new double[m.size()];
            for (size_t e = 0; e < m.size(); e++)
                a[e] = m[e];
            Ptr.push_back(a);
        }
    }
    ~PWMS()
    {
        for (double* a : Ptr)
            delete[] a;
    }
};

// Gives g K motifs of the given widths with zeroed count matrices, as
// Initialize would.
inline void SetMotifs(CGibbsDP& g, const std::vector<int>& widths)
{
    g.m_MotifNum = (int)widths.size();
    g.m_Width = new int[widths.size()];
    g.m_CountMat = new int*[widths.size()];
    for (size_t k = 0; k < widths.size(); k++) {
        g.m_Width[k] = widths[k];
        g.m_CountMat[k] = new int[widths[k] * 4]();
    }
}

#endif
