#!/usr/bin/env python3
"""Benchmark inputs for Ruzaravo, the same bytes on every machine.

Writes three FASTA files into the given folder:
  bench10k.fa   10 sequences x 1,000 letters, uniform background
  bench100k.fa  100 sequences x 1,000 letters; three 8-letter motifs are
                planted, each once (either strand), in 3 of every 4 sequences
                inside one 200-letter stretch, the way a module looks
  bench1M.fa    1,000 sequences x 1,000 letters built like bench100k.fa
The letters come from a 64-bit linear congruential generator of this
script's own (no library generator), so the files never depend on the
Python version.
"""
import os
import sys

MOTIFS = ["TGACTCAT", "GGGATTCC", "CACGTGAC"]


class Lcg:
    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFFFFFFFFFF

    def below(self, n):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) & 0xFFFFFFFFFFFFFFFF
        return (self.state >> 33) % n


def revcomp(word):
    return word[::-1].translate(str.maketrans("ACGT", "TGCA"))


def sequence(rng, length, planted):
    letters = [ "ACGT"[rng.below(4)] for _ in range(length) ]
    if planted:
        start = rng.below(length - 200)
        slots = [start + 8 + 64 * j for j in range(3)]
        for motif, slot in zip(MOTIFS, slots):
            word = motif if rng.below(2) == 0 else revcomp(motif)
            letters[slot:slot + 8] = word
    return "".join(letters)


def write(path, count, planted, seed):
    rng = Lcg(seed)
    with open(path, "w") as f:
        for i in range(count):
            seq = sequence(rng, 1000, planted and i % 4 != 3)
            f.write(">seq%d\n" % (i + 1))
            for p in range(0, len(seq), 60):
                f.write(seq[p:p + 60] + "\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    write(os.path.join(out, "bench10k.fa"), 10, False, 11)
    write(os.path.join(out, "bench100k.fa"), 100, True, 12)
    write(os.path.join(out, "bench1M.fa"), 1000, True, 13)


if __name__ == "__main__":
    main()
