// The report's run-set answer: with --chains and --min-support the page
// opens with the consensus motifs (support, best known factor, measured
// significance) and a map of the consensus modules; with --chains the
// convergence verdict (split-R-hat, effective sample sizes, and how many of
// the chains asked have finished) and the chains' log posteriors overlaid
// in one plot.
#ifndef RUZARAVO_OUTPUT_HTML_ANSWERSECTION_H
#define RUZARAVO_OUTPUT_HTML_ANSWERSECTION_H

#include <string>
#include <vector>

#include "analysis/ChainClusters.h"
#include "analysis/RunSetAnswers.h"
#include "output/html/Report.h"

// The "Answer" section: the clusters found by answers.consensusSupport
// chains or more, then one track per sequence holding a consensus module
// (at most kMapMaxTracks, in FASTA order), the modules as boxes shaded by
// mean support.
std::string AnswerHtml(const ChainClusters& clusters, const RunSetAnswers& answers, const std::vector<MapTrack>& seqs);

// The "Convergence of the chains" section: "k of C chains" when fewer have
// finished than were asked, the verdict sentence with its numbers, and the
// traces drawn in one plot, one colour per chain.
std::string ChainConvergenceHtml(const RunSetAnswers& answers, const std::vector<ChainTrace>& traces);

#endif
