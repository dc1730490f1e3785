// Fuzz target for the background-probability file reader, on two fixed
// short sequences (one with N).
#include <cmath>
#include <cstdlib>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "model/GibbsDP.h"
#include "io/SideFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = WriteFuzzFile("background", data, size);
    std::vector<BgFileLine> lines;
    LoadBgFile(path.c_str(), &lines);

    CGibbsDP g;
    g.m_MotifNum = 1;
    g.m_SeqNum = 2;
    g.m_Seq = new CString[2];
    g.m_Seq[0] = "ACGTTGCA";
    g.m_Seq[1] = "GGNAC";
    g.m_UseBgFile = true;
    g.m_BgLines = &lines;
    g.BuildBackground();
    int lengths[2] = {8, 5};
    double t0[8 * 3], t1[5 * 3];
    double* tables[2] = {t0, t1};
    g.CalLogBgPrPos(tables, lengths);
    for (int i = 0; i < 2; i++)
        for (int p = 0; p < lengths[i]; p++)
            if (!std::isfinite(tables[i][p * 3 + 2]))
                abort();   // no background probability may be infinite or NaN
    return 0;
}
