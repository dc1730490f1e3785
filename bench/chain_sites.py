#!/usr/bin/env python3
"""Reported sites of a --chains run, chosen by the clusters, as result_to_tsv.py writes them.

  chain_sites.py RESULT.txt STDOUT.txt support S   sites of every cluster with support >= S,
                                                   from its representative (best_chain, motif)
  chain_sites.py RESULT.txt STDOUT.txt chain C     every site of chain C's block (1-based)

RESULT.txt holds one block per chain, in chain order; STDOUT.txt holds the
cluster table the program prints after the last chain.

The file is read without newline translation: a record name read from a
FASTA file with CRLF line ends keeps its carriage return in the result file,
which must not break the line.
"""
import sys


def blocks(path):
    """The blocks of a result file, each a list of lines."""
    out = []
    for line in open(path, newline="").read().split("\n"):
        if line.startswith("Ruzaravo (compiled"):
            out.append([])
        if out:
            out[-1].append(line)
    return out


def block_sites(lines):
    """(seq_name, start, end, strand, motif number) of every reported site of a block."""
    motif, out, i = None, [], 0
    while i < len(lines):
        l = lines[i]
        if l.startswith("Motif_"):
            motif = int(l[len("Motif_"):].rstrip(":"))
        elif motif and l.startswith(">") and "\t" in l:
            f = l.split("\t")
            if len(f) >= 3 and f[1] in ("f", "r") and i + 1 < len(lines):
                pos, width = int(f[2]), len(lines[i + 1].strip())
                out.append((f[0][1:].split()[0], pos, pos + width, "+" if f[1] == "f" else "-", motif))
                i += 1
        i += 1
    return out


def clusters(path):
    """(support, best_chain, motif) of every cluster of the printed table."""
    out, inside = [], False
    for line in open(path):
        f = line.rstrip("\n").split("\t")
        if f[0] == "cluster":
            inside = True
        elif inside and len(f) >= 5 and f[0].isdigit():
            out.append((int(f[1]), int(f[3]), int(f[4])))
    return out


def main():
    result, stdout, mode, value = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    runs = blocks(result)
    rows = []
    if mode == "chain":
        rows = [s[:4] + ("c%dm%d" % (value, s[4]),) for s in block_sites(runs[value - 1])]
    else:
        for support, chain, motif in clusters(stdout):
            if support >= value:
                rows += [s[:4] + ("c%dm%d" % (chain, motif),)
                         for s in block_sites(runs[chain - 1]) if s[4] == motif]
    sys.stdout.write("".join("%s\t%d\t%d\t%s\t%s\n" % r for r in rows))


if __name__ == "__main__":
    main()
