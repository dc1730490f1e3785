#!/usr/bin/env python3
"""Reported sites of a result file as seq_name start end strand motif (0-based, end exclusive).

  result_to_tsv.py RESULT.txt > pred.tsv

Reads the last block of the file (one run). A site is two lines inside a
motif section: '>name ...<TAB>f|r<TAB>pos<TAB>...' then the site's letters.

The file is read without newline translation: a record name read from a
FASTA file with CRLF line ends keeps its carriage return in the result file,
which must not break the line.
"""
import sys


def main():
    lines = open(sys.argv[1], newline="").read().split("\n")
    start = max(i for i, l in enumerate(lines) if l.startswith("Ruzaravo (compiled"))
    motif, out = None, []
    i = start
    while i < len(lines):
        l = lines[i]
        if l.startswith("Motif_"):
            motif = "m" + l[len("Motif_"):].rstrip(":")
        elif motif and l.startswith(">") and "\t" in l:
            f = l.split("\t")
            if len(f) >= 3 and f[1] in ("f", "r") and i + 1 < len(lines):
                name = f[0][1:].split()[0]
                pos, width = int(f[2]), len(lines[i + 1].strip())
                out.append("%s\t%d\t%d\t%s\t%s" % (name, pos, pos + width, "+" if f[1] == "f" else "-", motif))
                i += 1
        i += 1
    sys.stdout.write("".join(o + "\n" for o in out))


if __name__ == "__main__":
    main()
