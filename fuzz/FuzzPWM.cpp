// Fuzz target for the weight-matrix reader: the up-front check, and the
// reader itself on files that pass it and on files that do not.
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "model/GibbsDP.h"
#include "io/SideFiles.h"
#include "io/WholeInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = WriteFuzzFile("pwm", data, size);
    const int K = 3;
    std::vector<MotifMatrix> checked;
    CheckPWMFile(path.c_str(), K);
    // The sampler's guards also on matrices the check would refuse.
    std::string text, reason;
    ReadWholeInput(path, &text);
    if (!ParseMatrixText(text, &checked, &reason, nullptr, K))
        checked.clear();

    CGibbsDP g;
    g.m_MotifNum = K;
    g.m_GivenPWM = &checked;
    g.m_Width = new int[K];
    g.m_CountMat = new int*[K];
    double* pwm[K];
    for (int k = 0; k < K; k++) {
        g.m_Width[k] = 6;
        g.m_CountMat[k] = new int[6 * 4]();
        pwm[k] = new double[6 * 4];
        for (int c = 0; c < 24; c++)
            pwm[k][c] = 0.25;
    }
    g.ReadInputPWM(pwm);
    for (int k = 0; k < K; k++) {
        for (int c = 0; c < g.m_Width[k] * 4; c++)
            if (!(pwm[k][c] > 0.0 && pwm[k][c] <= 1.0))
                abort();   // every entry must stay a usable probability
        delete[] pwm[k];
    }
    return 0;
}
