// The run set's answer as files: consensus.meme and consensus_modules.bed
// (--chains with --min-support), and the members summary.json gains from
// analysis/RunSetAnswers.h ("matches" with --known, "chains_asked",
// "chains_done" and "convergence" with --chains).
#ifndef RUZARAVO_OUTPUT_ANSWERFILES_H
#define RUZARAVO_OUTPUT_ANSWERFILES_H

#include <string>
#include <vector>

#include "analysis/ChainClusters.h"
#include "analysis/RunSetAnswers.h"
#include "results/RunResult.h"

// The name a cluster's factor is known by: the best match's name, else its
// library id; "" without a match.
std::string FactorLabel(const KnownMatch* match);

// MEME minimal format: the header of motifs.meme (from the first chain),
// then per cluster found by answers.consensusSupport chains or more
// "MOTIF cluster<n> <factor>" (the best-matching factor's name, or the
// representative's consensus without one) and the representative's
// letter-probability matrix; E= only when the representative's
// significance was measured, never a placeholder.
std::string FormatConsensusMeme(const ChainClusters& clusters, const RunSetAnswers& answers,
                                const std::vector<RunResult>& runs);

// BED6 plus one column, one line per consensus module: reference, start,
// end, "consensus<n>" (1-based, file order), support (chains covering its
// best-covered letter), ".", mean support over its letters ("%.2f").
// Placed like modules.bed (genome with --genome-coords).
std::string FormatConsensusModulesBed(const RunSetAnswers& answers, const std::vector<RunResult>& runs, bool genome);

// The top-level members summary.json gains from the answers, each as
// ",\n  \"key\": value", or "" when the answers hold none.
std::string AnswerJsonMembers(const RunSetAnswers& answers);

// The matches as a JSON array of objects with the columns of matches.tsv
// (motif, library_id, name, offset, strand, overlap, score, p, E, q).
std::string MatchesJson(const std::vector<KnownMatch>& matches, const std::vector<std::string>& names);

// Every match of answers: the runs' motifs, then each cluster's
// representative named "cluster<n>", as matches.tsv lists them.
void AllMatches(const RunSetAnswers& answers, std::vector<KnownMatch>* matches, std::vector<std::string>* names);

#endif
