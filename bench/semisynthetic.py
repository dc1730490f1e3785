#!/usr/bin/env python3
"""Writes the semi-synthetic test set of bench/accuracy.sh.

Sequences are drawn from an AT-rich background with runs (each letter repeats
the previous one with probability 0.25, otherwise A, C, G, T with 0.32, 0.18,
0.18, 0.32), like the A/T runs of fly non-coding DNA. Each sequence holds one
module of 300 letters at a random place; the module holds two sites each of
hunchback, Kruppel and knirps, words drawn from the JASPAR count rows (plus
half a count per letter), on a random strand, not overlapping. A separate
background set comes from the same process without modules.

  semisynthetic.py JASPAR.pwm OUTDIR [--seed 2026]

Writes OUTDIR/synth.fasta, OUTDIR/synth_sites.tsv (seq_name start end strand
factor, 0-based start, end exclusive) and OUTDIR/synth_bg.fasta.
"""
import argparse
import os
import random

FACTORS = ("hb", "Kr", "kni")
SEQS, SEQ_LEN, MOD_LEN, SITES_EACH = 16, 800, 300, 2
BG_SEQS, BG_LEN = 40, 2000
BASE = "ACGT"
BASE_PR = (0.32, 0.18, 0.18, 0.32)
REPEAT = 0.25


def read_matrices(path):
    """name -> list of rows of 4 counts (A C G T), from the tool's matrix format."""
    mats, name, rows, width = {}, None, [], 0
    for line in open(path):
        if line.startswith(">"):
            words = line[1:].split()
            name, width, rows = words[-1], int(words[0]), []
            mats[name] = rows
        elif name and len(rows) < width and line.strip():
            rows.append([float(v) for v in line.split()[:4]])
    return mats


def background(rng, n):
    out = []
    for _ in range(n):
        if out and rng.random() < REPEAT:
            out.append(out[-1])
        else:
            out.append(rng.choices(BASE, BASE_PR)[0])
    return out


def draw_site(rng, rows):
    word = "".join(rng.choices(BASE, [c + 0.5 for c in row])[0] for row in rows)
    if rng.random() < 0.5:
        return word, "+"
    comp = {"A": "T", "C": "G", "G": "C", "T": "A"}
    return "".join(comp[c] for c in reversed(word)), "-"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("pwm")
    ap.add_argument("outdir")
    ap.add_argument("--seed", type=int, default=2026)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    mats = read_matrices(a.pwm)
    os.makedirs(a.outdir, exist_ok=True)
    with open(os.path.join(a.outdir, "synth.fasta"), "w") as fa, \
         open(os.path.join(a.outdir, "synth_sites.tsv"), "w") as truth:
        truth.write("seq_name\tstart\tend\tstrand\tfactor\n")
        for i in range(SEQS):
            name = "synth%02d" % (i + 1)
            seq = background(rng, SEQ_LEN)
            mod = rng.randrange(0, SEQ_LEN - MOD_LEN + 1)
            taken = []
            for f in FACTORS:
                for _ in range(SITES_EACH):
                    w = len(mats[f])
                    while True:
                        s = mod + rng.randrange(0, MOD_LEN - w + 1)
                        if all(s + w <= t0 or t1 <= s for t0, t1 in taken):
                            break
                    word, strand = draw_site(rng, mats[f])
                    seq[s:s + w] = list(word)
                    taken.append((s, s + w))
                    truth.write("%s\t%d\t%d\t%s\t%s\n" % (name, s, s + w, strand, f))
            text = "".join(seq)
            fa.write(">%s\n" % name + "".join(text[k:k + 60] + "\n" for k in range(0, len(text), 60)))
    with open(os.path.join(a.outdir, "synth_bg.fasta"), "w") as bg:
        for i in range(BG_SEQS):
            text = "".join(background(rng, BG_LEN))
            bg.write(">bg%02d\n" % (i + 1) + "".join(text[k:k + 60] + "\n" for k in range(0, len(text), 60)))


if __name__ == "__main__":
    main()
