// The random generator of one run: the C library's rand() stream as glibc
// produces it, held in an object so that each run (and each thread) owns
// its own and nothing else can move it.
//
// glibc's default generator is an additive lagged Fibonacci generator over
// 31 words: the seed (0 acts as 1) fills word 0, and words 1 .. 30 follow by
// w = 16807 w mod 2^31 - 1 (Schrage's method, on signed 32-bit words, as
// glibc computes it). Each output adds the word 31 places back to the word
// 3 places back modulo 2^32, stores the sum and returns it shifted right by
// one bit (0 .. 2^31 - 1). The first 310 outputs after seeding are
// discarded. For every seed, next() returns exactly what rand() returns
// after srand(seed).
#ifndef RUZARAVO_BASE_RNG_H
#define RUZARAVO_BASE_RNG_H

#include <array>
#include <cstdint>

class Rng {
public:
    explicit Rng(unsigned seed = 1) { this->seed(seed); }

    void seed(unsigned seed)
    {
        if (seed == 0)
            seed = 1;
        // glibc holds the seed in a signed 32-bit word: seeds above 2^31 - 1
        // start the recurrence from a negative number.
        int32_t word = static_cast<int32_t>(seed);
        m_state[0] = static_cast<uint32_t>(word);
        for (int i = 1; i < kDegree; i++) {
            int32_t hi = word / 127773;
            int32_t lo = word % 127773;
            word = 16807 * lo - 2836 * hi;
            if (word < 0)
                word += 2147483647;
            m_state[i] = static_cast<uint32_t>(word);
        }
        m_front = kSeparation;
        m_rear = 0;
        for (int i = 0; i < 10 * kDegree; i++)
            next();
    }

    // The next value, 0 .. 2147483647, like rand().
    int next()
    {
        uint32_t value = m_state[m_front] + m_state[m_rear];
        m_state[m_front] = value;
        if (++m_front == kDegree)
            m_front = 0;
        if (++m_rear == kDegree)
            m_rear = 0;
        return static_cast<int>(value >> 1);
    }

private:
    static constexpr int kDegree = 31;     // words of state
    static constexpr int kSeparation = 3;  // distance between the two taps
    std::array<uint32_t, kDegree> m_state{};
    int m_front = kSeparation;  // index of the word that receives the next sum
    int m_rear = 0;             // index of the word added to it
};

#endif
