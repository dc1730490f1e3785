// Module statistics as text (see the header).
#include "output/ModuleStatsText.h"

#include <vector>

#include "output/TextFormat.h"

namespace {

std::vector<std::string> FlagWords(const ModuleStats& s)
{
    std::vector<std::string> words;
    if (s.noMotif)
        words.push_back("no_motif");
    if (s.negativeLogPMO)
        words.push_back("negative_log_pmo");
    if (s.qAbove)
        words.push_back("q_above_threshold");
    return words;
}

std::string Short(double x)
{
    std::string out;
    AppendF(out, "%.3g", Printable(x));
    return out;
}

std::string Decimals(double x)
{
    std::string out;
    AppendF(out, "%.3f", Printable(x));
    return out;
}

}  // namespace

std::string ModuleFlagText(const ModuleStats& s)
{
    std::string out;
    for (const std::string& w : FlagWords(s))
        out += (out.empty() ? "" : ",") + w;
    return out.empty() ? "." : out;
}

std::string ModuleBedColumns(const ModuleStats& s)
{
    if (!s.measured)
        return "";
    return "\t" + Decimals(s.score) + "\t" + Short(s.p) + "\t" + Short(s.q) + "\t" + ModuleFlagText(s);
}

std::string ModuleGffScore(const ModuleStats& s)
{
    return s.measured ? Decimals(s.score) : ".";
}

std::string ModuleGffAttributes(const ModuleStats& s)
{
    if (!s.measured)
        return "";
    std::string out = ";p_value=" + Short(s.p) + ";q_value=" + Short(s.q);
    if (!FlagWords(s).empty())
        out += ";flags=" + ModuleFlagText(s);
    return out;
}

std::string ModuleJsonMembers(const ModuleStats& s)
{
    if (!s.measured)
        return "";
    std::string out;
    AppendF(out, ", \"score\": %.10g, \"p_value\": %.10g, \"q_value\": %.10g, \"flags\": [", Printable(s.score),
            Printable(s.p), Printable(s.q));
    bool first = true;
    for (const std::string& w : FlagWords(s)) {
        out += (first ? "\"" : ", \"") + w + "\"";
        first = false;
    }
    return out + "]";
}

std::string ModuleNullJsonMember(const ModuleNullResult& n)
{
    if (!n.measured)
        return "";
    std::string out;
    AppendF(out, ",\n      \"module_null\": {\"null_tiles\": %d, \"tests\": %lld, \"q_threshold\": %.10g, "
                 "\"site_rate\": %.10g, \"score_unit\": \"nat\"",
            n.tiles, n.tests, Printable(n.qThreshold), Printable(n.siteRate));
    if (n.nullRuns > 0)
        AppendF(out, ", \"null_runs\": %d", n.nullRuns);
    return out + "}";
}

std::string ModuleStatsTitle(const ModuleStats& s)
{
    if (!s.measured)
        return "";
    std::string out = ", score " + Decimals(s.score) + ", p " + Short(s.p) + ", q " + Short(s.q);
    if (!FlagWords(s).empty())
        out += ", flagged: " + ModuleFlagText(s);
    return out;
}
