// Writers of the run set's answer; see AnswerFiles.h.
#include "output/AnswerFiles.h"

#include <cmath>

#include "output/Coordinates.h"
#include "output/MotifFiles.h"
#include "output/SummaryJson.h"
#include "output/TextFormat.h"
#include "results/MotifMatrix.h"

std::string FactorLabel(const KnownMatch* match)
{
    if (!match)
        return "";
    return match->name.empty() ? match->id : match->name;
}

// The E= field of a consensus motif: measured significance only. The
// representative's enrichment p-value is what motifs.meme shows too; a
// held-out E-value, once runs carry one, belongs here first (as in the
// report's SignificanceCell).
// A MEME name word: blanks would split it into two fields.
static std::string Word(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if ((unsigned char)c <= ' ' || c == 0x7f)
            c = '_';
    return out;
}

std::string FormatConsensusMeme(const ChainClusters& clusters, const RunSetAnswers& answers,
                                const std::vector<RunResult>& runs)
{
    std::string out = MemeHeader(runs.empty() ? nullptr : &runs.front());
    for (std::size_t n = 0; n < clusters.clusters.size(); n++) {
        const ChainCluster& c = clusters.clusters[n];
        if (c.support < answers.consensusSupport)
            continue;
        std::string factor = FactorLabel(BestMatchOf(answers.clusterMatches, n));
        out += "MOTIF cluster" + std::to_string(n + 1) + " " + Word(factor.empty() ? c.motif.consensus : factor) +
               "\n";
        AppendF(out, "letter-probability matrix: alength= 4 w= %d nsites= %d", (int)c.motif.counts.size(),
                c.motif.siteCount);
        out += MemeEValueField(c.motif) + "\n";
        for (int col = 0; col < (int)c.motif.counts.size(); col++) {
            for (int b = 0; b < 4; b++)
                AppendF(out, " %.6f", SiteFraction(c.motif, col, b));
            out += "\n";
        }
        out += "\n";
    }
    return out;
}

std::string FormatConsensusModulesBed(const RunSetAnswers& answers, const std::vector<RunResult>& runs, bool genome)
{
    if (runs.empty())
        return "";
    // Every chain read the same sequences, so the first one places them all.
    std::vector<SeqPlace> places = PlacesOf(runs.front(), genome);
    std::string out;
    int n = 0;
    for (const ConsensusModule& m : answers.consensusModules) {
        const SeqPlace& at = places[m.seq];
        out += at.chrom;
        AppendF(out, "\t%lld\t%lld\tconsensus%d\t%d\t.\t%.2f\n", at.offset + m.start, at.offset + m.end, ++n,
                m.support, Printable(m.meanSupport));
    }
    return out;
}

static std::string Number(double x)
{
    if (std::isnan(x))
        return "null";
    std::string out;
    AppendF(out, "%.10g", Printable(x));
    return out;
}

std::string MatchesJson(const std::vector<KnownMatch>& matches, const std::vector<std::string>& names)
{
    std::string out = "[";
    for (std::size_t i = 0; i < matches.size(); i++) {
        const KnownMatch& k = matches[i];
        std::string motif = k.motif < names.size() ? names[k.motif] : std::to_string(k.motif + 1);
        out += (i ? ",\n" : "\n") + std::string("    {\"motif\": ") + JsonString(motif) +
               ", \"library_id\": " + JsonString(k.id) + ", \"name\": " + JsonString(k.name) +
               ", \"offset\": " + std::to_string(k.offset) + ", \"strand\": \"" + (k.forward ? "+" : "-") +
               "\", \"overlap\": " + std::to_string(k.overlap) + ", \"score\": " + Number(k.score) +
               ", \"p\": " + Number(k.p) + ", \"E\": " + Number(k.e) + ", \"q\": " + Number(k.q) + "}";
    }
    return out + (matches.empty() ? "]" : "\n  ]");
}

void AllMatches(const RunSetAnswers& answers, std::vector<KnownMatch>* matches, std::vector<std::string>* names)
{
    *matches = answers.motifMatches;
    *names = answers.motifNames;
    std::size_t first = names->size();
    std::size_t clusters = 0;
    for (const KnownMatch& k : answers.clusterMatches)
        clusters = std::max(clusters, k.motif + 1);
    for (std::size_t n = 0; n < clusters; n++)
        names->push_back("cluster" + std::to_string(n + 1));
    for (KnownMatch k : answers.clusterMatches) {
        k.motif += first;
        matches->push_back(std::move(k));
    }
}

static std::string ConvergenceJson(const RunSetAnswers& a)
{
    const ChainDiagnostics& d = a.diagnostics;
    std::string ess;
    for (std::size_t i = 0; i < d.essLogPosterior.size(); i++)
        ess += (i ? ", " : "") + Number(d.essLogPosterior[i]);
    return "{\"rhat_log_posterior\": " + Number(d.rhatLogPosterior) + ", \"rhat_modules\": " +
           Number(d.rhatModules) + ", \"ess_log_posterior\": [" + ess + "], \"agree\": " +
           (d.agree ? "true" : "false") + ", \"verdict\": " + JsonString(ChainVerdict(d)) + "}";
}

std::string AnswerJsonMembers(const RunSetAnswers& answers)
{
    std::string out;
    if (answers.known) {
        std::vector<KnownMatch> matches;
        std::vector<std::string> names;
        AllMatches(answers, &matches, &names);
        out += ",\n  \"matches\": " + MatchesJson(matches, names);
    }
    if (answers.chainsAsked > 0)
        out += ",\n  \"chains_asked\": " + std::to_string(answers.chainsAsked) +
               ",\n  \"chains_done\": " + std::to_string(answers.chainsDone);
    if (answers.diagnosed)
        out += ",\n  \"convergence\": " + ConvergenceJson(answers);
    return out;
}
