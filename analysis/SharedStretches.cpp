#include "analysis/SharedStretches.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <tuple>

#include "base/Helpers.h"

namespace {

const int kMismatchScore = -19;   // +1 per match: positive while identity >= 95 %
const int kXDrop = 40;

std::string ReverseComplement(const std::string& s)
{
    std::string r(s.rbegin(), s.rend());
    for (char& c : r) {
        int code = NucleotideCode(c);
        c = code < 0 ? 'N' : "TGCA"[code];
    }
    return r;
}

struct SeedEntry {
    uint32_t word;
    int seq;
    int pos;
    bool operator<(const SeedEntry& o) const { return std::tie(word, seq, pos) < std::tie(o.word, o.seq, o.pos); }
};

// Calls f(pos, word) for every word of kSeedLength letters of A, C, G, T.
template <class F>
void ForEachWord(const std::string& s, F f)
{
    uint32_t word = 0;
    int run = 0;   // letters of A, C, G, T ending here
    const uint32_t mask = (1u << (2 * kSeedLength)) - 1;
    for (int i = 0; i < (int)s.size(); i++) {
        int code = NucleotideCode(s[i]);
        if (code < 0) {
            run = 0;
            continue;
        }
        word = ((word << 2) | (uint32_t)code) & mask;
        if (++run >= kSeedLength)
            f(i - kSeedLength + 1, word);
    }
}

// Best score of an ungapped extension from a[i], b[j] stepping by step,
// and how many letters it covers.
std::pair<int, int> Extend(const std::string& a, int i, const std::string& b, int j, int step)
{
    int score = 0, best = 0, bestLen = 0;
    for (int len = 1; i >= 0 && j >= 0 && i < (int)a.size() && j < (int)b.size(); len++, i += step, j += step) {
        bool match = a[i] == b[j] && NucleotideCode(a[i]) >= 0;
        score += match ? 1 : kMismatchScore;
        if (score > best) {
            best = score;
            bestLen = len;
        }
        if (score < best - kXDrop)
            break;
    }
    return {best, bestLen};
}

bool IsSimpleRepeat(const std::string& s, int start, int length)
{
    bool seen[64] = {};
    int distinct = 0;
    for (int k = start; k + 3 <= start + length; k++) {
        int a = NucleotideCode(s[k]), b = NucleotideCode(s[k + 1]), c = NucleotideCode(s[k + 2]);
        if (a < 0 || b < 0 || c < 0)
            continue;
        int w = a * 16 + b * 4 + c;
        distinct += !seen[w];
        seen[w] = true;
    }
    return distinct < kMinDistinctTriplets;
}

int CountMatches(const std::string& a, int i, const std::string& b, int j, int len)
{
    int m = 0;
    for (int k = 0; k < len; k++)
        m += a[i + k] == b[j + k] && NucleotideCode(a[i + k]) >= 0;
    return m;
}

// Seeds of the later record (one strand of it) against the earlier records.
void SearchStrand(const std::vector<std::string>& seqs, const std::vector<SeedEntry>& index, int later,
                  const std::string& text, bool reverse, std::vector<SharedStretch>* out)
{
    // Per earlier record and diagonal, where the last extension ended in text.
    std::map<std::pair<int, int>, int> covered;
    ForEachWord(text, [&](int q, uint32_t word) {
        auto range = std::equal_range(index.begin(), index.end(), SeedEntry{word, 0, 0},
                                      [](const SeedEntry& x, const SeedEntry& y) { return x.word < y.word; });
        if (range.second - range.first > kMaxSeedHits)
            return;
        for (auto e = range.first; e != range.second && e->seq < later; ++e) {
            const std::string& a = seqs[e->seq];
            auto key = std::make_pair(e->seq, q - e->pos);
            auto seen = covered.find(key);
            if (seen != covered.end() && q < seen->second)
                continue;
            auto left = Extend(a, e->pos - 1, text, q - 1, -1);
            auto right = Extend(a, e->pos + kSeedLength, text, q + kSeedLength, +1);
            int start = q - left.second, length = left.second + kSeedLength + right.second;
            covered[key] = start + length;
            if (length < kMinSharedLength)
                continue;
            int matches = CountMatches(a, e->pos - left.second, text, start, length);
            double identity = (double)matches / length;
            if (identity < kMinSharedIdentity || IsSimpleRepeat(text, start, length))
                continue;
            SharedStretch s;
            s.first = e->seq;
            s.firstStart = e->pos - left.second;
            s.second = later;
            s.secondStart = reverse ? (int)text.size() - (start + length) : start;
            s.length = length;
            s.reverse = reverse;
            s.identity = identity;
            out->push_back(s);
        }
    });
}

bool Overlap(const SharedStretch& x, const SharedStretch& y)
{
    return x.first == y.first && x.second == y.second && x.reverse == y.reverse &&
           x.secondStart < y.secondStart + y.length && y.secondStart < x.secondStart + x.length;
}

// Of overlapping alignments of the same copies, the longest stays.
std::vector<SharedStretch> KeepLongest(std::vector<SharedStretch> all)
{
    std::stable_sort(all.begin(), all.end(), [](const SharedStretch& x, const SharedStretch& y) {
        return x.length > y.length;
    });
    std::vector<SharedStretch> kept;
    for (const SharedStretch& s : all) {
        bool shadowed = false;
        for (const SharedStretch& k : kept)
            shadowed = shadowed || Overlap(s, k);
        if (!shadowed)
            kept.push_back(s);
    }
    std::sort(kept.begin(), kept.end(), [](const SharedStretch& x, const SharedStretch& y) {
        return std::tie(x.second, x.secondStart, x.first, x.firstStart) <
               std::tie(y.second, y.secondStart, y.first, y.firstStart);
    });
    return kept;
}

}  // namespace

std::vector<SharedStretch> FindSharedStretches(const std::vector<std::string>& seqs)
{
    std::vector<SeedEntry> index;
    for (int i = 0; i < (int)seqs.size(); i++)
        ForEachWord(seqs[i], [&](int pos, uint32_t word) { index.push_back({word, i, pos}); });
    std::sort(index.begin(), index.end());
    std::vector<SharedStretch> found;
    for (int i = 1; i < (int)seqs.size(); i++) {
        SearchStrand(seqs, index, i, seqs[i], false, &found);
        SearchStrand(seqs, index, i, ReverseComplement(seqs[i]), true, &found);
    }
    return KeepLongest(std::move(found));
}

long MaskLaterCopies(const std::vector<SharedStretch>& stretches, std::vector<std::string>* seqs)
{
    long masked = 0;
    for (const SharedStretch& s : stretches) {
        std::string& seq = (*seqs)[s.second];
        for (int k = s.secondStart; k < s.secondStart + s.length; k++) {
            masked += seq[k] != 'N';
            seq[k] = 'N';
        }
    }
    return masked;
}
