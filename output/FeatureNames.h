// Names the standard files give to motifs and modules, 1-based like the
// result file's Motif_1: motif k + 1 of run r + 1 is "r<r+1>.m<k+1>", the
// n-th printed module (1-based, in record order) "r<r+1>.crm<n>".
#ifndef RUZARAVO_OUTPUT_FEATURENAMES_H
#define RUZARAVO_OUTPUT_FEATURENAMES_H

#include <string>

inline std::string MotifName(int run, int motif)
{
    return "r" + std::to_string(run + 1) + ".m" + std::to_string(motif + 1);
}

inline std::string ModuleName(int run, int n)
{
    return "r" + std::to_string(run + 1) + ".crm" + std::to_string(n);
}

#endif
