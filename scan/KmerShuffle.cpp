// k-mer preserving shuffle by a random Eulerian walk (see the header).
#include "scan/KmerShuffle.h"

#include <cassert>
#include <vector>

#include "base/Helpers.h"

int UniformBelow(Rng& rng, int n)
{
    assert(n >= 1);
    // The largest multiple of n at or below 2^31: values above it are drawn again.
    const long long limit = (2147483648LL / n) * n;
    long long v;
    do
        v = rng.next();
    while (v >= limit);
    return (int)(v % n);
}

// Last exits: a random arborescence into the final vertex (Wilson's
// loop-erased walks); lastExit[v] indexes exits, -1 for the final vertex and
// vertices without exits.
static std::vector<int> LastExits(const std::vector<int>& begin, const std::vector<char>& exits, int last, int mask,
                                  Rng& rng)
{
    const int V = (int)begin.size() - 1;
    std::vector<int> lastExit(V, -1);
    std::vector<char> inTree(V, 0);
    inTree[last] = 1;
    for (int u = 0; u < V; u++) {
        if (inTree[u] || begin[u] == begin[u + 1])
            continue;
        for (int v = u; !inTree[v];) {
            lastExit[v] = begin[v] + UniformBelow(rng, begin[v + 1] - begin[v]);
            v = ((v << 2) | NucleotideCode(exits[lastExit[v]])) & mask;
        }
        for (int v = u; !inTree[v]; v = ((v << 2) | NucleotideCode(exits[lastExit[v]])) & mask)
            inTree[v] = 1;
    }
    return lastExit;
}

// Every other exit of a vertex in random order, its last exit moved to the end.
static void ShuffleExits(const std::vector<int>& begin, const std::vector<int>& lastExit, Rng& rng,
                         std::vector<char>* exits)
{
    const int V = (int)begin.size() - 1;
    for (int v = 0; v < V; v++) {
        int b = begin[v], e = begin[v + 1];
        if (e - b == 0)
            continue;
        if (lastExit[v] >= 0) {
            std::swap((*exits)[lastExit[v]], (*exits)[e - 1]);
            e--;
        }
        for (int i = e - 1; i > b; i--)
            std::swap((*exits)[i], (*exits)[b + UniformBelow(rng, i - b + 1)]);
    }
}

std::string KmerShuffle(const std::string& seq, int k, Rng& rng)
{
    std::string out = seq;
    const int n = (int)seq.size();
    if (k <= 1 || n <= k) {
        if (k <= 1)
            for (int i = n - 1; i > 0; i--)
                std::swap(out[i], out[UniformBelow(rng, i + 1)]);
        return out;
    }
    const int V = 1 << (2 * (k - 1));
    const int mask = V - 1;
    std::vector<int> vert(n - k + 2);   // vertex code of the (k-1)-mer starting at i
    int code = 0;
    for (int i = 0; i < k - 1; i++)
        code = (code << 2) | NucleotideCode(seq[i]);
    vert[0] = code;
    for (int i = k - 1; i < n; i++) {
        code = ((code << 2) | NucleotideCode(seq[i])) & mask;
        vert[i - k + 2] = code;
    }
    // Exits of each vertex (the letter each edge appends), grouped by vertex.
    std::vector<int> begin(V + 1, 0);
    for (int i = 0; i + 1 < (int)vert.size(); i++)
        begin[vert[i] + 1]++;
    for (int v = 0; v < V; v++)
        begin[v + 1] += begin[v];
    std::vector<char> exits(begin[V]);
    std::vector<int> fill(begin.begin(), begin.end() - 1);
    for (int i = 0; i + 1 < (int)vert.size(); i++)
        exits[fill[vert[i]]++] = seq[i + k - 1];

    ShuffleExits(begin, LastExits(begin, exits, vert.back(), mask, rng), rng, &exits);
    // The walk.
    std::vector<int> next(begin.begin(), begin.end() - 1);
    int v = vert[0];
    for (int i = k - 1; i < n; i++) {
        char c = exits[next[v]++];
        out[i] = c;
        v = ((v << 2) | NucleotideCode(c)) & mask;
    }
    return out;
}
