// Scores, p- and q-values of a discovery run's modules (see the header).
#include "scan/ModuleSignificance.h"

#include <algorithm>

#include "analysis/Significance.h"
#include "base/Helpers.h"
#include "base/Rng.h"
#include "scan/KmerShuffle.h"

namespace {

bool Inside(const ModuleResult& m, const SiteResult& s)
{
    return m.seq == s.seq && m.start <= s.start && s.start + (int)s.word.size() <= m.end;
}

bool InsideModule(const RunResult& r, const SiteResult& s)
{
    for (const ModuleResult& m : r.modules)
        if (Inside(m, s))
            return true;
    return false;
}

// Takes the letters of a site out of the count rows (the site's word is in
// the motif's direction, as the rows are; other letters were not counted).
void RemoveSite(const SiteResult& s, std::vector<std::array<double, 4>>* rows)
{
    for (size_t c = 0; c < s.word.size() && c < rows->size(); c++) {
        const int b = NucleotideCode(s.word[c]);
        if (b >= 0)
            (*rows)[c][b] = std::max(0.0, (*rows)[c][b] - 1.0);
    }
}

// The printed motifs as count matrices, without the sites inside the
// module `without` (none when null), and how many of all their sites lie
// inside a printed module.
std::vector<MotifMatrix> PrintedMatrices(const RunResult& r, const ModuleResult* without, long long* sitesInside)
{
    std::vector<MotifMatrix> matrices;
    *sitesInside = 0;
    for (const MotifResult& m : r.motifs) {
        if (!m.printed)
            continue;
        MotifMatrix matrix;
        matrix.id = "m" + std::to_string(m.index + 1);
        matrix.name = m.consensus;
        for (const std::array<int, 4>& row : m.counts)
            matrix.rows.push_back({(double)row[0], (double)row[1], (double)row[2], (double)row[3]});
        for (const SiteResult& s : m.sites) {
            *sitesInside += InsideModule(r, s);
            if (without && s.seq == without->seq)
                RemoveSite(s, &matrix.rows);
        }
        matrices.push_back(std::move(matrix));
    }
    return matrices;
}

long long InputLetters(const RunResult& r)
{
    long long letters = 0;
    for (const SequenceResult& s : r.seqs)
        letters += s.length;
    return letters;
}

// The flags of a measured module.
void Flag(const RunResult& r, double qThreshold, bool hasModel, ModuleStats* s)
{
    s->measured = true;
    s->noMotif = !hasModel;
    s->negativeLogPMO = r.hasLogPMO && r.logPMO < 0.0;
    s->qAbove = s->q > qThreshold;
}

}  // namespace

bool ModuleModelOf(const RunResult& r, const MarkovChain& chain, const ModuleResult* without, ScanModel* out)
{
    long long inside = 0;
    std::vector<MotifMatrix> matrices = PrintedMatrices(r, without, &inside);
    const long long letters = InputLetters(r);
    if (matrices.empty() || r.modules.empty() || letters <= 0 || r.moduleLength < 1)
        return false;
    long long moduleLetters = 0;
    for (const ModuleResult& m : r.modules)
        moduleLetters += std::max(1, m.end - m.start);
    const double K = (double)matrices.size();
    const double siteRate = std::min(0.5 / K, (double)std::max(1LL, inside) / (K * (double)moduleLetters));
    const double moduleRate = std::min(0.5, (double)r.modules.size() / (double)letters);
    *out = MakeScanModel(MotifsFromMatrices(matrices), r.moduleLength, moduleRate, siteRate, chain);
    return true;
}

double ModuleWindowScore(const ScanModel& m, const std::string& x, int start, int end, ChunkPass* pass)
{
    const int len = (int)x.size(), L = m.moduleLength;
    ChunkResult unused;
    if (len < L) {
        ScanModel whole = m;
        whole.moduleLength = len;
        pass->ScanNull(whole, x.data(), len, 0, 0, 0, &unused);   // the tables only: no tile is owned
        return pass->WindowPass(whole, 0, true);
    }
    const int mid = start + (end - start - 1) / 2;
    const int first = std::max(0, mid - L + 1), last = std::min(mid, len - L);
    // The chain's context before the first window, as a null tile has it.
    const int lead = std::min(first, m.chain.Order());
    const int from = first - lead;
    pass->ScanNull(m, x.data() + from, last + L - from, 0, 0, 0, &unused);
    int best = lead;
    for (int s = lead + 1; s <= last - from; s++)
        if (pass->WindowScore(s + L - 1, L) > pass->WindowScore(best + L - 1, L))
            best = s;
    return pass->WindowPass(m, best, true);
}

int ModuleNullTiles(int L)
{
    return (int)std::max(100LL, std::min((long long)kModuleNullTiles, kModuleNullLetters / std::max(1, L)));
}

std::vector<ScanSequence> ShuffledInput(const std::vector<ScanSequence>& input, int k, unsigned seed)
{
    Rng rng(seed);
    std::vector<ScanSequence> out = input;
    for (ScanSequence& s : out) {
        std::string& x = s.letters;
        size_t i = 0;
        while (i < x.size()) {
            size_t j = i;
            while (j < x.size() && NucleotideCode(x[j]) >= 0)
                j++;
            if (j - i >= (size_t)k)
                x.replace(i, j - i, KmerShuffle(x.substr(i, j - i), k, rng));
            i = j + 1;
        }
    }
    return out;
}

void AddRefitNullTiles(const RunResult& nullRun, const std::vector<ScanSequence>& shuffled, const MarkovChain& chain,
                       std::vector<double>* tiles)
{
    ChunkPass pass;
    for (size_t i = 0; i < shuffled.size(); i++) {
        ModuleResult own;   // no module: only the sequence's sites are taken out
        own.seq = (int)i;
        ScanModel model;
        if (!ModuleModelOf(nullRun, chain, &own, &model))
            return;
        const std::string& x = shuffled[i].letters;
        const int len = (int)x.size(), L = model.moduleLength;
        for (int start = 0; start < len; start += L)
            tiles->push_back(ModuleWindowScore(model, x, start, std::min(len, start + L), &pass));
    }
}

void AddModuleSignificance(RunResult* r, const std::vector<ScanSequence>& input, const MarkovChain& chain,
                           const ModuleNullSettings& settings, const std::vector<double>* refitNull)
{
    ModuleNullResult& info = r->moduleNull;
    info.measured = true;
    info.qThreshold = settings.qThreshold;
    const long long L = std::max(1, r->moduleLength);
    info.tests = std::max((long long)r->modules.size(), InputLetters(*r) / L);
    ScanModel model;
    const bool hasModel = ModuleModelOf(*r, chain, nullptr, &model);
    std::vector<double> p(r->modules.size(), 1.0);
    if (hasModel) {
        info.siteRate = model.siteRate;
        std::vector<double> null;
        if (refitNull) {
            null = *refitNull;
            std::sort(null.begin(), null.end());
        } else {
            ScanSettings scan;
            scan.threads = settings.threads;
            scan.seed = settings.seed;
            scan.nullTiles = ModuleNullTiles(r->moduleLength);
            null = RunScan(model, input, scan).nullBest;   // ascending
        }
        info.tiles = (int)null.size();
        ChunkPass pass;
        for (size_t i = 0; i < r->modules.size(); i++) {
            ModuleResult& m = r->modules[i];
            ScanModel own;
            ModuleModelOf(*r, chain, &m, &own);
            m.stats.score = ModuleWindowScore(own, input[(size_t)m.seq].letters, m.start, m.end, &pass);
            const size_t above = null.end() - std::lower_bound(null.begin(), null.end(), m.stats.score);
            p[i] = (1.0 + (double)above) / (1.0 + (double)null.size());
        }
    }
    const std::vector<double> q = BenjaminiHochberg(p, info.tests);
    for (size_t i = 0; i < r->modules.size(); i++) {
        ModuleStats& s = r->modules[i].stats;
        s.p = p[i];
        s.q = q[i];
        Flag(*r, settings.qThreshold, hasModel, &s);
    }
}
