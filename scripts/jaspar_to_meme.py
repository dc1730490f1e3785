#!/usr/bin/env python3
"""Writes a JASPAR TRANSFAC-layout matrix file as MEME minimal motif format.

Usage: jaspar_to_meme.py IN_pfms_transfac.txt OUT.meme

Each record (AC matrix id, ID factor name, "PO A C G T" then one row of
counts per position, "//") becomes "MOTIF <AC> <ID>" and a
letter-probability matrix whose rows are the counts divided by the
position's total (six decimals), nsites the rounded total of the first
position, and "E= 0" as in JASPAR's own MEME downloads: a library matrix has
no E-value, but MEME readers such as Biopython before 1.85 need the field
on that line. The background line is uniform, as JASPAR writes it too.
Records keep their file order.
"""
import sys


def records(path):
    rec = {"rows": []}
    order = None
    with open(path) as f:
        for line in f:
            words = line.split()
            if not words:
                continue
            key = words[0]
            if key == "//":
                if rec["rows"]:
                    yield rec
                rec, order = {"rows": []}, None
            elif key in ("AC", "ID") and len(words) > 1:
                rec[key] = " ".join(words[1:])
            elif key in ("PO", "P0"):
                order = [words[1:5].index(b) for b in "ACGT"]
            elif order is not None and key.isdigit():
                values = [float(v) for v in words[1:5]]
                rec["rows"].append([values[order[b]] for b in range(4)])
            else:
                order = None
    if rec["rows"]:
        yield rec


def main(src, dst):
    out = ["MEME version 4", "", "ALPHABET= ACGT", "", "strands: + -", "",
           "Background letter frequencies", "A 0.25 C 0.25 G 0.25 T 0.25", ""]
    for rec in records(src):
        rows = rec["rows"]
        out.append("MOTIF %s %s" % (rec["AC"], rec["ID"]))
        out.append("letter-probability matrix: alength= 4 w= %d nsites= %d E= 0"
                   % (len(rows), round(sum(rows[0]))))
        for row in rows:
            total = sum(row)
            out.append(" ".join("%.6f" % (v / total if total > 0 else 0.25) for v in row))
        out.append("")
    with open(dst, "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
