// Up-front checks of the side files: main runs them before any
// run, so a bad file stops the program before anything is written.
//
// CheckPWMFile reads the file exactly as ReadInputPWM will (fgets into a
// 1000-byte buffer, the same header and row rules), so what it accepts is
// what the reader gets.
#include "model/SideFiles.h"

#include <cstdio>
#include <cstdlib>

// Defined in model/InputPWM.cpp.
extern const int kPWMMinWidth;
extern const int kPWMMaxWidth;
void SplitPWMRow(const char* line, double* values);
bool RescalePWMRow(const double* in, double* out);

bool CheckBgFile(const char* path)
{
    if (!path || !*path)
        return false;
    FILE* f = fopen(path, "r");
    if (!f)
        return false;
    char buf[65536];
    while (fread(buf, 1, sizeof buf, f) == sizeof buf) {
    }
    bool ok = ferror(f) == 0;   // a directory opens but cannot be read
    fclose(f);
    return ok;
}

bool CheckPWMFile(const char* path, int motifNum)
{
    if (!path || !*path)
        return false;
    FILE* f = fopen(path, "r");
    if (!f)
        return false;
    char line[1000];
    int matrices = 0;
    bool ok = true;
    while (ok && matrices < motifNum && fgets(line, sizeof line, f)) {
        if (line[0] != '>')
            continue;
        matrices++;
        long w = strtol(line + 1, nullptr, 10);
        if (w < kPWMMinWidth || w > kPWMMaxWidth) {
            ok = false;
            break;
        }
        for (long j = 0; j < w; j++) {
            double v[4], r[4];
            if (!fgets(line, sizeof line, f)) {
                ok = false;   // fewer rows than the width
                break;
            }
            SplitPWMRow(line, v);
            if (!RescalePWMRow(v, r)) {
                ok = false;   // the row does not sum to a positive number
                break;
            }
        }
    }
    if (ferror(f))
        ok = false;           // a directory opens but cannot be read
    fclose(f);
    return ok;
}
