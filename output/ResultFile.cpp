// Result-file and module-probability blocks of one run.
//
// Result block: the command line, the log posterior model odds (with -B),
// the modules of every sequence with the labelled site positions inside
// them (not in independent mode), and per motif its frequency matrix with
// consensus letters and its reported sites, or "No sites found!".
// Module-probability block: per sequence its name and length, then one
// share per position. Texts from the input or the command line are copied
// verbatim; no printed number is a NaN or an infinity.
#include "output/ResultFile.h"

#include "results/ModuleLabels.h"
#include "results/MotifMatrix.h"
#include "output/TextFormat.h"

// "name\t[start,printedEnd]\t" then "+k(p)" or "-k(p)" for every labelled
// position from start to the printed end, both included.
static void AddModuleLine(std::string& out, const RunResult& r, const ModuleResult& m,
                          const std::vector<int>& label)
{
    out += r.seqs[m.seq].name;
    AppendF(out, "\t[%d,%d]\t", m.start, m.printedEnd);
    for (int p = m.start; p <= m.printedEnd && p < (int)label.size(); p++) {
        if (label[p] != 0)
            AppendF(out, label[p] > 0 ? "+%d(%d)" : "%d(%d)", label[p], p);
    }
    out += "\n";
}

// The held-out line of a motif (--holdout), only when it was measured:
// its E-value and the held-out records holding a hit.
static void AddHeldOutLine(std::string& out, const MotifResult& m)
{
    const HeldOutResult& h = m.heldOut;
    if (!h.measured)
        return;
    AppendF(out, "held-out: E %s\tinput %d/%d records\tcontrol %d/%d records\tlog10 E %.2lf\n",
            PowerOfTenText(WritableLog10(h.log10E)).c_str(), h.inputWithSite, h.inputRecords, h.controlWithSite,
            h.controlRecords, WritableLog10(h.log10E));
}

static void AddMotif(std::string& out, const RunResult& r, const MotifResult& m)
{
    AppendF(out, "number of sites: %d\n", m.siteCount);
    const EnrichmentResult& e = m.enrichment;
    if (e.measured)
        AppendF(out, "enrichment: %.3lf\tinput %lld/%lld\tcontrol %lld/%lld\tlog10 p %.2lf\tscore >= %.3lf\n", e.ratio,
                e.inputHits, e.inputWindows, e.controlHits, e.controlWindows, Printable(e.log10P),
                Printable(e.threshold));
    AddHeldOutLine(out, m);
    out += "\tA\tC\tG\tT\tCon\n";
    for (int c = 0; c < (int)m.counts.size(); c++) {
        AppendF(out, "%d\t", c + 1);
        for (int b = 0; b < 4; b++)
            AppendF(out, "%.3lf\t", SiteFraction(m, c, b));
        out += m.consensus[c];
        out += "\n";
    }
    for (const SiteResult& s : m.sites) {
        out += r.seqs[s.seq].name;
        out += s.forward ? "\tf\t" : "\tr\t";
        AppendF(out, "%d\t\t%.3lf\t\n", s.start, s.posterior);
        out += s.word;
        out += "\n";
    }
}

std::string FormatResultBlock(const RunResult& r)
{
    std::string out = r.cmdLine;
    out += "\n\n";
    if (r.hasLogPMO)
        AppendF(out, "\nLog-PMO(K=%d)=%.2lf\n\n", r.motifNum, Printable(r.logPMO));
    if (!r.independent) {
        AppendF(out, "\n\n****************\n# of Modules:%d\n", (int)r.modules.size());
        int labelledSeq = -1;
        std::vector<int> label;
        for (const ModuleResult& m : r.modules) {
            if (m.seq != labelledSeq) {
                label = ModuleLabels(r, m.seq, r.seqs[m.seq].length);
                labelledSeq = m.seq;
            }
            AddModuleLine(out, r, m, label);
        }
    }
    for (const MotifResult& m : r.motifs) {
        AppendF(out, "\n\n\n**********************\nMotif_%d:\n", m.index + 1);
        if (m.printed) {
            AddMotif(out, r, m);
        } else if (m.dropReason == "heldout_evalue") {
            out += "Not selected (--select-evalue):\n";
            AddHeldOutLine(out, m);
            out += "\n";
        } else {
            out += "No sites found!\n\n";
        }
    }
    return out;
}

std::string FormatModPrBlock(const RunResult& r)
{
    std::string out = "\n**********\n";
    for (const SequenceResult& s : r.seqs) {
        out += s.name;
        AppendF(out, "(%d)\n", s.length);
        for (double v : s.moduleProb)
            AppendF(out, "%.3lf\n", v);
    }
    return out;
}
