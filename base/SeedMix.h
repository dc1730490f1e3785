// Seeds of the chains of one run set. Chain c of a process started with
// --seed S draws from a generator seeded with a mix of (S, c) through
// splitmix64's finaliser, so the chains of --seed 1 and --seed 2 share no
// seed (S + c would make them share all but one). Runs of -N keep S + r.
#ifndef RUZARAVO_BASE_SEEDMIX_H
#define RUZARAVO_BASE_SEEDMIX_H

#include <cstdint>

inline unsigned ChainSeed(unsigned seed, int chain)
{
    uint64_t x = ((uint64_t)seed << 32) | (uint32_t)chain;
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return (unsigned)(x ^ (x >> 32));
}

#endif
