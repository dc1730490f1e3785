// Reading a discovery run's output folder as a scan model (see the header).
#include "app/ScanModelFolder.h"

#include <sys/stat.h>

#include "base/Fatal.h"
#include "io/JsonText.h"
#include "io/WholeInput.h"
#include "output/SummaryJson.h"

namespace {

bool Count(const JsonValue* v, double* out)
{
    if (!v || !v->IsNumber() || !(v->number >= 0.0))
        return false;
    *out = v->number;
    return true;
}

// One motif's "counts" rows as a matrix; false when they are not rows of
// four non-negative numbers.
bool MotifOf(const JsonValue& m, MotifMatrix* out)
{
    const JsonValue* counts = m.Find("counts");
    const JsonValue* id = m.Find("id");
    const JsonValue* consensus = m.Find("consensus");
    if (!counts || counts->kind != JsonValue::Kind::Array || counts->items.empty())
        return false;
    out->id = id && id->kind == JsonValue::Kind::String ? id->text : "motif";
    out->name = consensus && consensus->kind == JsonValue::Kind::String ? consensus->text : "";
    for (const JsonValue& row : counts->items) {
        if (row.kind != JsonValue::Kind::Array || row.items.size() != 4)
            return false;
        std::array<double, 4> r{};
        for (int b = 0; b < 4; b++)
            if (!Count(&row.items[b], &r[b]))
                return false;
        out->rows.push_back(r);
    }
    return true;
}

double Letters(const JsonValue& doc)
{
    double total = 0.0, n;
    const JsonValue* seqs = doc.Find("sequences");
    if (seqs && seqs->kind == JsonValue::Kind::Array)
        for (const JsonValue& s : seqs->items)
            if (Count(s.Find("length"), &n))
                total += n;
    return total;
}

// The run's "background_chain": order k and k + 1 tables of 4^(j + 1)
// probabilities; true when absent (tables left empty), false when malformed.
bool ChainOf(const JsonValue& run, std::vector<std::vector<double>>* tables)
{
    const JsonValue* chain = run.Find("background_chain");
    if (!chain)
        return true;
    const JsonValue* order = chain->Find("order");
    const JsonValue* t = chain->Find("tables");
    double k = -1.0;
    if (!Count(order, &k) || k > 5.0 || k != (double)(int)k || !t || t->kind != JsonValue::Kind::Array ||
        t->items.size() != (size_t)k + 1)
        return false;
    for (size_t j = 0; j < t->items.size(); j++) {
        const JsonValue& row = t->items[j];
        if (row.kind != JsonValue::Kind::Array || row.items.size() != ((size_t)4 << (2 * j)))
            return false;
        tables->emplace_back();
        for (const JsonValue& v : row.items) {
            double x;
            if (!Count(&v, &x) || x > 1.0)
                return false;
            tables->back().push_back(x);
        }
    }
    return true;
}

// The folder's consensus.meme (a run with --chains and --min-support):
// the motifs that most chains agree on replace the first run's, which one
// chain alone found. True when there is none.
bool ConsensusOf(const std::string& dir, ScanModelFolder* out, std::string* reason)
{
    const std::string path = dir + "/consensus.meme";
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return true;
    std::vector<MotifMatrix> consensus;
    std::string why;
    if (!ReadMatrixFile(path, &consensus, &why)) {
        *reason = path + ": " + why;
        return false;
    }
    out->matrices = std::move(consensus);
    out->consensus = true;
    return true;
}

}  // namespace

bool ReadScanModelFolder(const std::string& dir, ScanModelFolder* out, std::string* reason)
{
    const std::string path = dir + "/summary.json";
    std::string text, why;
    if (!ReadWholeInput(path, &text)) {
        *reason = std::string(NotedInputError()) + " (--model names the --outdir folder of a discovery run)";
        return false;
    }
    JsonValue doc;
    if (!ParseJson(text, &doc, &why)) {
        *reason = path + ": " + why;
        return false;
    }
    const JsonValue* version = doc.Find("format_version");
    if (!version || !version->IsNumber() || version->number != kSummaryFormatVersion) {
        *reason = path + ": format_version " +
                  (version && version->IsNumber() ? std::to_string((long long)version->number) : "missing") +
                  ", but this program reads format_version " + std::to_string(kSummaryFormatVersion);
        return false;
    }
    const JsonValue* runs = doc.Find("runs");
    const JsonValue* run = runs && runs->kind == JsonValue::Kind::Array && !runs->items.empty() ? &runs->items[0] : nullptr;
    double L = 0.0;
    const JsonValue* motifs = run ? run->Find("motifs") : nullptr;
    if (!run || !Count(run->Find("module_length"), &L) || L < 2.0 || !motifs ||
        motifs->kind != JsonValue::Kind::Array) {
        *reason = path + ": no run with a module length and motifs";
        return false;
    }
    out->moduleLength = (int)L;
    if (!ChainOf(*run, &out->chain)) {
        *reason = path + ": a background_chain that is not an order 0 .. 5 with its tables of probabilities";
        return false;
    }
    double sites = 0.0, n;
    for (const JsonValue& m : motifs->items) {
        MotifMatrix matrix;
        if (!MotifOf(m, &matrix)) {
            *reason = path + ": a motif without rows of four counts";
            return false;
        }
        out->matrices.push_back(std::move(matrix));
        if (Count(m.Find("nsites"), &n))
            sites += n;
    }
    if (out->matrices.empty()) {
        *reason = path + ": the run reported no motif to scan with";
        return false;
    }
    const JsonValue* modules = run->Find("modules");
    const double M = modules && modules->kind == JsonValue::Kind::Array ? (double)modules->items.size() : 0.0;
    const double letters = Letters(doc);
    if (M > 0.0 && letters > 0.0)
        out->moduleRate = M / letters;
    if (M > 0.0 && sites > 0.0)
        out->siteRate = sites / ((double)out->matrices.size() * M * L);
    return ConsensusOf(dir, out, reason);
}
