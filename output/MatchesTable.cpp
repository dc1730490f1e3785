// matches.tsv; see MatchesTable.h.
#include "output/MatchesTable.h"

#include "output/TextFormat.h"

// The text as one field: control characters (tab, line breaks) become spaces.
static std::string Field(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if ((unsigned char)c < 0x20 || c == 0x7f)
            c = ' ';
    return out;
}

std::string FormatMatchesTsv(const std::vector<KnownMatch>& matches, const std::vector<std::string>& motifNames)
{
    std::string out = "motif\tlibrary_id\tname\toffset\tstrand\toverlap\tscore\tp\tE\tq\n";
    for (const KnownMatch& k : matches) {
        out += Field(k.motif < motifNames.size() ? motifNames[k.motif] : std::to_string(k.motif + 1));
        out += "\t" + Field(k.id) + "\t" + Field(k.name);
        AppendF(out, "\t%d\t%c\t%d\t%.4f\t%.3g\t%.3g\t%.3g\n", k.offset, k.forward ? '+' : '-', k.overlap,
                Printable(k.score), Printable(k.p), Printable(k.e), Printable(k.q));
    }
    return out;
}
