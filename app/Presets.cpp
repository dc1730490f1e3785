// The named option sets. Each was chosen by measurement (bench/accuracy.sh,
// bench/README.md); the README lists what each one expands to.
#include "app/Presets.h"

#include <cstring>

// enhancers: inputs of enhancer-sized sequences (0.3-3 kb) holding sites of
// several factors.
static const std::vector<std::string> kEnhancers = {
    "-K", "5", "-w", "8", "-W", "15", "--bg-order", "3",
};

const std::vector<std::string>* PresetWords(const char* name)
{
    if (name && strcmp(name, "enhancers") == 0)
        return &kEnhancers;
    return nullptr;
}
