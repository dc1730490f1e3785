// Shared by the fuzz targets: the input bytes are written to a private
// temporary file, since the readers take file names.
#ifndef RUZARAVO_FUZZ_FUZZINPUT_H
#define RUZARAVO_FUZZ_FUZZINPUT_H

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

inline std::string WriteFuzzFile(const char* tag, const uint8_t* data, size_t size)
{
    std::string path = "/tmp/ruzaravo_fuzz_" + std::string(tag) + "_" + std::to_string(getpid());
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        fwrite(data, 1, size, f);
        fclose(f);
    }
    return path;
}

#endif
