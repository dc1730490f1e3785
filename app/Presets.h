// Named option sets (--preset NAME): each expands to option words that the
// parser applies before the command line's own words.
#ifndef RUZARAVO_APP_PRESETS_H
#define RUZARAVO_APP_PRESETS_H

#include <string>
#include <vector>

// The known preset names, for messages.
#define PRESET_NAMES "enhancers, promoters"

// The option words of the named preset, or null for an unknown name.
const std::vector<std::string>* PresetWords(const char* name);

#endif
