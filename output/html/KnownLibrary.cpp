// Known-factor library: the matrix-file reader's records as report entries.
#include "output/html/KnownLibrary.h"

#include "io/MatrixFile.h"

bool ReadKnownLibrary(const std::string& path, std::vector<KnownMotif>* out, std::string* reason)
{
    out->clear();
    std::vector<MotifMatrix> matrices;
    if (!ReadMatrixFile(path, &matrices, reason))
        return false;
    out->reserve(matrices.size());
    for (const MotifMatrix& m : matrices)
        out->push_back({m.id, m.name, m.rows});
    return true;
}
