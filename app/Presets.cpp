// The named option sets. Each was chosen by measurement (bench/accuracy.sh,
// bench/README.md); the README lists what each one expands to.
#include "app/Presets.h"

#include <cstring>

// enhancers: inputs of enhancer-sized sequences (0.3-3 kb) holding sites of
// several factors. More motifs than the default, since such enhancers hold
// sites of five or more factors, and shorter widths allowed, since several
// of them (bicoid, hunchback) have cores of 6-8 letters. No background
// order: a higher-order chain helps only from a separate background set
// (--bg-fasta), and estimated from the input it explains the sites away.
static const std::vector<std::string> kEnhancers = {
    "-K", "5", "-w", "8", "-W", "15",
};

const std::vector<std::string>* PresetWords(const char* name)
{
    if (name && strcmp(name, "enhancers") == 0)
        return &kEnhancers;
    return nullptr;
}
