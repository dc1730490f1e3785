// The named option sets. Each was chosen by measurement (bench/accuracy.sh,
// bench/README.md); the README lists what each one expands to.
#include "app/Presets.h"

#include <cstring>

// enhancers: inputs of enhancer-sized sequences (0.3-3 kb) holding sites of
// several factors. More motifs than the default, since such enhancers hold
// sites of five or more factors, and shorter widths allowed, since several
// of them (bicoid, hunchback) have cores of 6-8 letters. Five chains whose
// consensus keeps the motifs that more than half of them found: single
// runs on such data differ a lot, and a motif most chains agree on is far
// less often a chance pattern (the consensus beat a single chain on real
// and on semi-synthetic enhancers). No background order: a higher-order
// chain helps only from a separate background set (--bg-fasta), and
// estimated from the input it explains the sites away. Overlapping
// enhancers are common in curated sets (the fly set has two pairs), and a
// stretch given twice makes its words look twice as frequent, so later
// copies of shared stretches are masked.
static const std::vector<std::string> kEnhancers = {
    "-K", "5", "-w", "8", "-W", "15", "--chains", "5", "--min-support", "majority", "--mask-duplicates",
};

// promoters: co-regulated promoters built around one factor. One motif per
// chain over whole sequences (-s: no module structure is assumed, since a
// promoter set holds the sites of one factor rather than clusters of
// several), and the consensus of five chains, so that a set whose chains
// disagree gets no answer rather than a chance word.
static const std::vector<std::string> kPromoters = {
    "-K", "1", "-w", "8", "-W", "15", "-s", "--chains", "5", "--min-support", "majority", "--mask-duplicates",
};

const std::vector<std::string>* PresetWords(const char* name)
{
    if (name && strcmp(name, "enhancers") == 0)
        return &kEnhancers;
    if (name && strcmp(name, "promoters") == 0)
        return &kPromoters;
    return nullptr;
}
