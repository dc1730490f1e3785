// MEME and JASPAR files of the printed motifs; see MotifFiles.h.
//
// Probabilities are counts divided by the motif's site count
// (SiteFraction, results/MotifMatrix.h), printed with six decimals; JASPAR holds the integer counts themselves. The strands
// line and background come from the first run (every run of a process reads
// the same input with the same options). A background that does not sum to
// a positive number (no letters) is printed uniform. A motif's E= field,
// MEME's place for its significance, holds its enrichment p-value when
// that was measured (--control, --min-enrichment), and its held-out E-value
// instead when that was measured (--holdout); otherwise the field is
// left out (MEME's minimal format allows that), since readers such as
// Biopython would take a written 0 as the highest significance.
#include "output/MotifFiles.h"

#include "output/FeatureNames.h"
#include "results/MotifMatrix.h"
#include "output/TextFormat.h"

static const char kLetters[] = "ACGT";

static void AddBackground(std::string& out, const RunResult& r)
{
    double sum = r.bgFreqs[0] + r.bgFreqs[1] + r.bgFreqs[2] + r.bgFreqs[3];
    out += "Background letter frequencies\n";
    for (int b = 0; b < 4; b++) {
        double f = sum > 0 ? Printable(r.bgFreqs[b] / sum) : 0.25;
        AppendF(out, "%s%c %.6f", b ? " " : "", kLetters[b], f);
    }
    out += "\n\n";
}

std::string MemeHeader(const RunResult* first)
{
    std::string out = "MEME version 4\n\nALPHABET= ACGT\n\n";
    bool both = !first || first->bothStrands;
    out += both ? "strands: + -\n\n" : "strands: +\n\n";
    if (!first)
        out += "Background letter frequencies\nA 0.250000 C 0.250000 G 0.250000 T 0.250000\n\n";
    else
        AddBackground(out, *first);
    return out;
}

std::string MemeEValueField(const MotifResult& m)
{
    if (m.heldOut.measured)
        return " E= " + PowerOfTenText(WritableLog10(m.heldOut.log10E));
    if (m.enrichment.measured)
        return " E= " + PowerOfTenText(WritableLog10(m.enrichment.log10P));
    return "";
}

std::string MemeMotifs(const RunResult& r)
{
    std::string out;
    for (const MotifResult& m : r.motifs) {
        if (!m.printed)
            continue;
        out += "MOTIF " + MotifName(r.run, m.index) + " " + m.consensus + "\n";
        AppendF(out, "letter-probability matrix: alength= 4 w= %d nsites= %d", (int)m.counts.size(),
                m.siteCount);
        out += MemeEValueField(m);
        out += "\n";
        for (int c = 0; c < (int)m.counts.size(); c++) {
            for (int b = 0; b < 4; b++)
                AppendF(out, " %.6f", SiteFraction(m, c, b));
            out += "\n";
        }
        out += "\n";
    }
    return out;
}

std::string FormatMeme(const std::vector<RunResult>& runs)
{
    std::string out = MemeHeader(runs.empty() ? nullptr : &runs[0]);
    for (const RunResult& r : runs)
        out += MemeMotifs(r);
    return out;
}

std::string JasparMotifs(const RunResult& r)
{
    std::string out;
    for (const MotifResult& m : r.motifs) {
        if (!m.printed)
            continue;
        out += ">" + MotifName(r.run, m.index) + " " + m.consensus + "\n";
        for (int b = 0; b < 4; b++) {
            out += kLetters[b];
            out += " [";
            for (const auto& row : m.counts)
                AppendF(out, " %d", row[b]);
            out += " ]\n";
        }
    }
    return out;
}

std::string FormatJaspar(const std::vector<RunResult>& runs)
{
    std::string out;
    for (const RunResult& r : runs)
        out += JasparMotifs(r);
    return out;
}
