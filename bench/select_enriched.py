#!/usr/bin/env python3
"""Keeps the motif of a run that is most enriched against fresh control sequence.

  select_enriched.py SUMMARY.json INPUT.fa [--min-support S|majority] [--top N]
                     [--control FASTA] [--shuffles K] [--seed N] [--rank ratio|p] > pred.tsv

An experiment for choosing the answer of a run after the fact. The candidates
are the clusters of a --chains run with support S or more (default majority;
each taken as its representative: best_chain's motif), or, without chains, the
motifs of the first run. Each becomes a log-odds matrix (its site counts plus
half a count per letter, against INPUT's letter frequencies) whose threshold is
the lowest score among its own sites; every window of its width made of A, C,
G, T counts as a hit when either strand reaches the threshold. Its ratio is
(input hits + 1) / input windows over (control hits + 1) / control windows,
the control being --control's sequences or else K dinucleotide-preserving
shuffles of INPUT (each stretch between Ns shuffled on its own, seeded by
--seed: fresh sequence, not the program's own fixed control). The N best
ratios are kept (--rank p: the N smallest one-sided binomial p-values of the
input's share of all hits, which favour motifs with many hits); their sites are written as seq_name start end strand label
(score_sites.py's format) and the table of candidates goes to standard error.

INPUT must be the FASTA the program read (after any masking): its letters give
the thresholds. Random draws: Python's random.Random(seed), only for shuffles.
"""
import argparse
import json
import math
import operator
import random
import sys

CODE = {"A": 0, "C": 1, "G": 2, "T": 3}
NEG = -1e30   # the score of a letter that is not A, C, G, T: no window holding one is a hit


def read_fasta(path):
    """[(name, letters)] of a FASTA file (see read_fasta_text)."""
    with open(path) as fh:
        return read_fasta_text(fh.read())


def read_fasta_text(text):
    """[(name, letters)] with letters upper-cased; name = first word of the header."""
    out = []
    for line in text.splitlines():
        if line.startswith(">"):
            words = line[1:].split()
            out.append([words[0] if words else "", []])
        elif out:
            out[-1][1].append("".join(c for c in line.upper() if not c.isspace() and not c.isdigit()))
    return [(n, "".join(p)) for n, p in out]


def euler_shuffle(s, rng):
    """A random sequence with exactly the dinucleotide counts of s, same first and last letter
    (Altschul and Erickson 1985, through a random last-edge arborescence)."""
    if len(s) < 3:
        return s
    edges = {}
    for a, b in zip(s, s[1:]):
        edges.setdefault(a, []).append(b)
    last = s[-1]
    while True:   # a random spanning arborescence towards the last letter, by random last exits
        exit_of, ok = {}, True
        for v in edges:
            if v != last:
                exit_of[v] = rng.choice(edges[v])
        for v in exit_of:   # every letter must reach the last letter through the chosen exits
            seen, u = set(), v
            while u != last and u not in seen:
                seen.add(u)
                u = exit_of.get(u, last)
            if u != last:
                ok = False
                break
        if ok:
            break
    order = {}
    for v, nexts in edges.items():
        rest = list(nexts)
        if v in exit_of:
            rest.remove(exit_of[v])
        rng.shuffle(rest)
        order[v] = rest + ([exit_of[v]] if v in exit_of else [])
    out, v, pos = [s[0]], s[0], {v: 0 for v in order}
    for _ in range(len(s) - 1):
        nxt = order[v][pos[v]]
        pos[v] += 1
        out.append(nxt)
        v = nxt
    return "".join(out)


def shuffle_record(s, rng):
    """Each stretch between non-ACGT letters shuffled on its own; the other letters stay."""
    out, i = [], 0
    while i < len(s):
        j = i
        if s[i] in CODE:
            while j < len(s) and s[j] in CODE:
                j += 1
            out.append(euler_shuffle(s[i:j], rng))
        else:
            while j < len(s) and s[j] not in CODE:
                j += 1
            out.append(s[i:j])
        i = j
    return "".join(out)


def codes(s):
    return [CODE.get(c, 4) for c in s]


def window_scores(cs, rows):
    """Score of every window of len(rows) columns (rows[j][letter], letter 4 = NEG)."""
    n = len(cs) - len(rows) + 1
    if n <= 0:
        return []
    acc = [0.0] * n
    for j, row in enumerate(rows):
        acc = list(map(operator.add, acc, map(row.__getitem__, cs[j:j + n])))
    return acc


def hits(seqs, fwd, rev, threshold):
    """(hits, windows) over seqs (lists of codes): windows of A, C, G, T only."""
    h = w = 0
    for cs in seqs:
        for a, b in zip(window_scores(cs, fwd), window_scores(cs, rev)):
            if a > NEG / 2:
                w += 1
                h += max(a, b) >= threshold
    return h, w


def log10_binomial_tail(k, n, p):
    """log10 P(X >= k) for X ~ Binomial(n, p), summed exactly in log space."""
    if k <= 0:
        return 0.0
    if p >= 1:
        return 0.0
    terms = [math.lgamma(n + 1) - math.lgamma(i + 1) - math.lgamma(n - i + 1) + i * math.log(p)
             + (n - i) * math.log1p(-p) for i in range(k, n + 1)]
    top = max(terms)
    return (top + math.log(sum(math.exp(t - top) for t in terms))) / math.log(10)


def log_odds(counts, freqs):
    fwd = [[math.log((c[b] + 0.5) / (sum(c) + 2.0) / freqs[b]) for b in range(4)] + [NEG] for c in counts]
    rev = [[row[3 - b] for b in range(4)] + [NEG] for row in reversed(fwd)]
    return fwd, rev


def candidates(summary, min_support):
    """(label, motif record) of every candidate, as the docstring says."""
    runs = summary["runs"]
    if "chains" not in summary:
        return [(m["id"], m) for m in runs[0]["motifs"] if m.get("sites")]
    chains = summary["chains"]
    need = chains["chains"] // 2 + 1 if min_support == "majority" else int(min_support)
    out = []
    for c in chains["clusters"]:
        if c["support"] >= need:
            motif = next(m for m in runs[c["best_chain"] - 1]["motifs"] if m["motif"] == c["motif"])
            out.append(("cluster%d" % c["cluster"], motif))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("summary")
    ap.add_argument("fasta")
    ap.add_argument("--min-support", default="majority")
    ap.add_argument("--top", type=int, default=1)
    ap.add_argument("--control")
    ap.add_argument("--shuffles", type=int, default=3)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--rank", choices=("ratio", "p"), default="ratio")
    a = ap.parse_args()
    summary = json.load(open(a.summary))
    records = read_fasta(a.fasta)
    index = {n: s for n, s in records}
    letters = [sum(s.count(b) for _, s in records) + 1 for b in "ACGT"]
    freqs = [c / sum(letters) for c in letters]
    rng = random.Random(a.seed)
    control = ([s for _, s in read_fasta(a.control)] if a.control else
               [shuffle_record(s, rng) for _ in range(a.shuffles) for _, s in records])
    inp, ctl = [codes(s) for _, s in records], [codes(s) for s in control]
    table = []
    for label, m in candidates(summary, a.min_support):
        fwd, rev = log_odds(m["counts"], freqs)
        site_scores = [sum((fwd if st["strand"] == "+" else rev)[j][c]
                           for j, c in enumerate(codes(index[st["sequence"]][st["start"]:st["end"]])))
                       for st in m["sites"]]
        threshold = min(site_scores)
        hi, wi = hits(inp, fwd, rev, threshold)
        hc, wc = hits(ctl, fwd, rev, threshold)
        ratio = (hi + 1) / max(wi, 1) / ((hc + 1) / max(wc, 1))
        log10_p = log10_binomial_tail(hi, hi + hc, wi / max(wi + wc, 1))
        table.append((-ratio if a.rank == "ratio" else log10_p, label, m))
        sys.stderr.write("%s\t%s\t%s\t%d sites\tinput %d/%d\tcontrol %d/%d\tratio %.3f\tlog10 p %.2f\n"
                         % (label, m["id"], m["consensus"], len(m["sites"]), hi, wi, hc, wc, ratio, log10_p))
    table.sort(key=lambda t: t[0])   # stable: ties keep the program's order
    for _, label, m in table[:a.top]:
        for st in m["sites"]:
            sys.stdout.write("%s\t%d\t%d\t%s\t%s\n" % (st["sequence"], st["start"], st["end"], st["strand"], label))


if __name__ == "__main__":
    main()
