// A background Markov chain of order k (0..5) over A, C, G, T, estimated
// from a set of sequences, and the log-probabilities it gives to letters in
// their context.
//
// Estimation: every letter whose preceding j letters (j = 0..k) are all
// A, C, G or T adds one count to the order-j table under that context; a
// letter other than A, C, G, T adds nothing and breaks every context that
// would span it. Both strands are counted (each sequence and its reverse
// complement), so a word and its reverse complement are judged against the
// same background, as sites are on either strand. Probabilities are
// interpolated down the orders:
//     P_j(b | c) = (n_j(c b) + a P_{j-1}(b | c')) / (n_j(c) + a),
// c' the context c without its first letter, P_{-1} = 1/4, a = 1. A context
// never seen thus takes the lower order's row, and no probability is 0.
//
// Scoring: letter p of a stretch is scored under the longest context the
// stretch itself offers: min(k, letters since the stretch start or since
// the last letter other than A, C, G, T). A letter other than A, C, G, T
// scores AmbiguousLogPr. The background of a word is therefore the sum of
// its letters scored as a stretch of its own, and the background column of
// a sequence scores the sequence as one stretch.
//
// Makes no random draws.
#ifndef RUZARAVO_MODEL_MARKOVCHAIN_H
#define RUZARAVO_MODEL_MARKOVCHAIN_H

#include <string>
#include <vector>

class MarkovChain {
public:
    static constexpr int kMaxOrder = 5;
    static constexpr double kPseudoCount = 1.0;

    // Counts the sequences (upper-case letters) into a chain of the given
    // order, 0..kMaxOrder.
    static MarkovChain Estimate(const std::vector<std::string>& seqs, int order);

    // The chain of the counts: counts[j][4 * context + b], j = 0..order.
    static MarkovChain FromCounts(const std::vector<std::vector<double>>& counts, int order);

    int Order() const { return m_order; }

    // P_j(b | context), context the code of j letters (first letter most
    // significant, A = 0, C = 1, G = 2, T = 3); j <= Order().
    double Prob(int j, int context, int b) const;

    // Sum of the log-probabilities of n letters scored as one stretch.
    double LogPrWord(const char* x, int n, double ambiguousLogPr) const;

    // Writes the log-probability of each of the n letters of x, scored as
    // one stretch, to out[0], out[stride], out[2 * stride], ...
    void FillLogColumn(const char* x, int n, double ambiguousLogPr, double* out, long stride) const;

private:
    int m_order = 0;
    std::vector<std::vector<double>> m_prob;   // [j][4 * context + b]
    std::vector<std::vector<double>> m_log;    // natural logarithms of m_prob
};

// The counts of Estimate gathered from sequences given in pieces, so that a
// genome need not be held whole: each letter adds its own counts and those
// of the reverse strand's letter that ends the same word (the reverse
// complement of letter p with the j letters after it is the reverse
// strand's letter with its context of j), so both strands are counted as
// Estimate counts them; the counts are whole numbers, whose sums do not
// depend on their order.
class ChainCounter {
public:
    explicit ChainCounter(int order);
    void Add(const char* x, size_t n);   // continues the current sequence
    void EndSequence();                  // the next letters start a new one
    MarkovChain Chain() const { return MarkovChain::FromCounts(m_counts, m_order); }

private:
    int m_order;
    int m_run = 0;                       // A, C, G, T letters since the last break, at most order
    int m_last[MarkovChain::kMaxOrder + 1] = {};   // codes of the latest letters, newest first
    std::vector<std::vector<double>> m_counts;
};

#endif
