// Fuzz target for the command-line parser: the input is split at NUL
// bytes into words, parsed, and validated (side-file checks included).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Options.h"
#include "app/Prepare.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words(1, "Ruzaravo");
    std::string current;
    for (size_t i = 0; i < size; i++) {
        if (data[i] == 0) {
            words.push_back(current);
            current.clear();
        } else {
            current += (char)data[i];
        }
    }
    words.push_back(current);
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);

    INPUTPARAMETER param;
    SetDefaultParam(&param);
    ParseInputParam(&param, (int)words.size(), argv.data());
    ValidateInputParam(&param);
    BurnInSweeps(param.IterNum);
    return 0;
}
