// A module's statistics (--module-stats) as the standard files write them:
// the flags as words, the BED columns after the sixth, the GFF3 score and
// attributes, and the summary.json members. Every function gives "" for a
// module that was not measured, so files written without the option are
// unchanged.
#ifndef RUZARAVO_OUTPUT_MODULESTATSTEXT_H
#define RUZARAVO_OUTPUT_MODULESTATSTEXT_H

#include <string>

#include "results/RunResult.h"

// The flags, comma-separated ("no_motif", "negative_log_pmo",
// "q_above_threshold"), or "." when there is none.
std::string ModuleFlagText(const ModuleStats& s);

// "\t<score>\t<p>\t<q>\t<flags>": the score (natural log) with three
// decimals, p and q with three significant digits.
std::string ModuleBedColumns(const ModuleStats& s);

// The GFF3 score column of a module: its score, or "." unmeasured.
std::string ModuleGffScore(const ModuleStats& s);

// ";p_value=<p>;q_value=<q>;flags=<flags>" (flags only when there are any).
std::string ModuleGffAttributes(const ModuleStats& s);

// ", \"score\": .., \"p_value\": .., \"q_value\": .., \"flags\": [..]".
std::string ModuleJsonMembers(const ModuleStats& s);

// The run's ",\n      \"module_null\": {...}" member: null tiles, tests and
// the q threshold.
std::string ModuleNullJsonMember(const ModuleNullResult& n);

// " score 12.3, p 1e-04, q 0.003, flagged: ..." for the report's tooltip.
std::string ModuleStatsTitle(const ModuleStats& s);

#endif
