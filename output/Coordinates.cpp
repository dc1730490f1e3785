// Sequence places for the standard files; see Coordinates.h.
#include "output/Coordinates.h"

#include <cctype>
#include <climits>

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

std::vector<SeqPlace> PlacesOf(const RunResult& r, bool genome)
{
    std::vector<SeqPlace> places;
    for (const SequenceResult& s : r.seqs) {
        SeqPlace place;
        place.chrom = s.id;
        if (genome)
            ParseGenomeName(s.id, &place);
        places.push_back(place);
    }
    return places;
}
