// Sequence places for the standard files; see Coordinates.h.
#include "output/Coordinates.h"

#include <cctype>
#include <climits>
#include <map>
#include <set>
#include <sstream>

// Reads a run of decimal digits from text[at..] as a non-negative number;
// false when there is none or it exceeds the 64-bit range.
static bool ReadNumber(const std::string& text, size_t* at, long long* value)
{
    size_t i = *at;
    long long v = 0;
    while (i < text.size() && isdigit((unsigned char)text[i])) {
        int d = text[i] - '0';
        if (v > (LLONG_MAX - d) / 10)
            return false;
        v = v * 10 + d;
        i++;
    }
    if (i == *at)
        return false;
    *at = i;
    *value = v;
    return true;
}

bool ParseGenomeName(const std::string& firstWord, SeqPlace* place)
{
    std::string text = firstWord;
    size_t named = text.rfind("::");
    if (named != std::string::npos)
        text = text.substr(named + 2);
    if (text.size() >= 3 && text.compare(text.size() - 3, 3, "(+)") == 0)
        text.resize(text.size() - 3);
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    size_t at = colon + 1;
    long long start = 0, end = 0;
    if (!ReadNumber(text, &at, &start) || at >= text.size() || text[at] != '-')
        return false;
    at++;
    if (!ReadNumber(text, &at, &end) || at != text.size() || end <= start)
        return false;
    place->chrom = text.substr(0, colon);
    place->offset = start;
    place->span = end - start;
    return true;
}

bool ReadNamedSpan(const std::string& name, NamedSpan* span)
{
    std::istringstream in(name.size() > 0 && name[0] == '>' ? name.substr(1) : name);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    if (words.size() != 4)
        return false;
    size_t at = 0;
    long long start = 0, end = 0;
    if (!ReadNumber(words[2], &at, &start) || at != words[2].size())
        return false;
    at = 0;
    if (!ReadNumber(words[3], &at, &end) || at != words[3].size() || end <= start)
        return false;
    span->chrom = words[1];
    span->start = start;
    span->end = end;
    return true;
}

bool PlaceOfSpan(const NamedSpan& span, long long letters, SeqPlace* place)
{
    long long offset;
    if (letters == span.end - span.start + 1 && span.start >= 1)
        offset = span.start - 1;   // 1-based, end included (UCSC browser, Ensembl, FlyBase)
    else if (letters == span.end - span.start)
        offset = span.start;       // 0-based, end excluded (BED)
    else
        return false;
    place->chrom = span.chrom;
    place->offset = offset;
    place->span = letters;
    return true;
}

bool ParseNamedPlace(const std::string& firstWord, const std::string& name, long long letters, SeqPlace* place)
{
    if (ParseGenomeName(firstWord, place))
        return true;
    NamedSpan span;
    return ReadNamedSpan(name, &span) && PlaceOfSpan(span, letters, place);
}

// Reference names for local coordinates: the first word, made unique.
static std::vector<std::string> LocalNames(const RunResult& r)
{
    std::set<std::string> taken;
    for (const SequenceResult& s : r.seqs)
        taken.insert(s.id);
    std::map<std::string, int> seen;   // name -> number given to its latest record
    std::vector<std::string> names;
    for (const SequenceResult& s : r.seqs) {
        int& n = seen[s.id];
        if (n++ == 0) {
            names.push_back(s.id);
            continue;
        }
        while (taken.count(s.id + "_" + std::to_string(n)))
            n++;
        names.push_back(s.id + "_" + std::to_string(n));
        taken.insert(names.back());
    }
    return names;
}

std::vector<SeqPlace> PlacesOf(const RunResult& r, bool genome)
{
    std::vector<SeqPlace> places;
    std::vector<std::string> local = genome ? std::vector<std::string>() : LocalNames(r);
    for (size_t j = 0; j < r.seqs.size(); j++) {
        const SequenceResult& s = r.seqs[j];
        SeqPlace place;
        place.chrom = genome ? s.id : local[j];
        if (genome)
            ParseNamedPlace(s.id, s.name, s.length, &place);
        places.push_back(place);
    }
    return places;
}
