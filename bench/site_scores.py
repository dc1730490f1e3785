#!/usr/bin/env python3
"""Scores predicted binding sites against annotated ones, with the measures
of Tompa et al. (2005, Nat Biotechnol 23:137), "Assessing computational
tools for the discovery of transcription factor binding sites".

Nucleotide level, over every letter of every sequence of the FASTA file
(both strands as one: a letter is covered or not): nTP letters in an
annotated and a predicted site, nFP predicted only, nFN annotated only,
nTN neither, and the correlation coefficient
    nCC = (nTP nTN - nFN nFP) / sqrt((nTP + nFN)(nTN + nFP)(nTP + nFP)(nTN + nFN))
(0 when a factor of the denominator is 0).
Site level: an annotated site is found when one predicted site overlaps it
by at least a quarter of the annotated site's length (--min-overlap);
site sensitivity sSn = found / annotated sites; a predicted site is a true
one when it overlaps some annotated site by that much, and site PPV
sPPV = true predicted sites / predicted sites.

Predictions: tab-separated `seq_name start end [strand [motif]]` (0-based
start, end exclusive; seq_name the first word of the FASTA name line);
lines starting with '#' and a header line whose start is not a number are
skipped; a site predicted more than once (on both strands, by two motifs)
counts once. Annotated sites: a tab-separated file with a header holding
seq_name, start and end (more columns are kept for --truth-where).

Usage: site_scores.py --fasta IN.fa --truth SITES.tsv --pred PRED.tsv
           [--truth-where COL=VALUE] [--min-overlap 0.25] [--tsv-row LABEL [--tsv-header]] [--quiet]
Prints nCC, sSn and sPPV; --tsv-row adds one line with the label, the
nucleotide sensitivity, PPV and performance coefficient (nSn, nPPV, nPC),
nCC, sSn, sPPV and the counts behind them (annotated sites found and in
all, predicted sites correct and in all, predicted letters).
"""
import argparse
import gzip
import math
import sys


def sequence_lengths(path):
    """Letters of every record, by the first word of its name line."""
    with open(path, "rb") as f:
        opener = gzip.open if f.read(2) == b"\x1f\x8b" else open
    lengths, name = {}, None
    with opener(path, "rt") as f:
        for line in f:
            if line.startswith(">"):
                words = line[1:].split()
                name = words[0] if words else ""
                if name in lengths:
                    sys.exit(f"site_scores.py: {path}: sequence {name} is named twice")
                lengths[name] = 0
            elif name is not None:
                lengths[name] += len(line.strip())
    return lengths


def read_truth(path, where):
    with open(path) as f:
        rows = [line.rstrip("\r\n").split("\t") for line in f if line.strip()]
    head = rows[0]
    for column in ("seq_name", "start", "end"):
        if column not in head:
            sys.exit(f"site_scores.py: {path}: no column {column} in the header")
    sites = []
    for row in rows[1:]:
        fields = dict(zip(head, row))
        if all(fields.get(k) == v for k, v in where):
            sites.append((fields["seq_name"], int(fields["start"]), int(fields["end"])))
    return sites


def read_predictions(path):
    sites = []
    with open(path) as f:
        for number, line in enumerate(f, start=1):
            x = line.rstrip("\r\n").split("\t")
            if not line.strip() or line.startswith("#"):
                continue
            if len(x) < 3 or not x[1].lstrip("-").isdigit():
                if number == 1:
                    continue   # a header line
                sys.exit(f"site_scores.py: {path}, line {number}: expected seq_name, start, end")
            sites.append((x[0], int(x[1]), int(x[2])))
    return list(dict.fromkeys(sites))


def covered(sites, lengths, where):
    """Per sequence, a bytearray of the letters the sites cover."""
    marks = {name: bytearray(n) for name, n in lengths.items()}
    for name, start, end in sites:
        if name not in marks:
            sys.exit(f"site_scores.py: {where}: sequence {name} is not in the FASTA file")
        a, b = max(0, start), min(lengths[name], end)
        if b > a:
            marks[name][a:b] = b"\x01" * (b - a)
    return marks


def overlap(a, b):
    return max(0, min(a[2], b[2]) - max(a[1], b[1])) if a[0] == b[0] else 0


def _ratio(a, b):
    return a / b if b else 0.0


def scores(lengths, truth, predicted, min_overlap=0.25):
    """The measures (see the top) and the counts behind them."""
    t, p = covered(truth, lengths, "truth"), covered(predicted, lengths, "predictions")
    tp = fp = fn = tn = 0
    for name in lengths:
        a, b = t[name], p[name]
        both = sum(1 for x, y in zip(a, b) if x and y)
        ta, pb = sum(a), sum(b)
        tp += both
        fn += ta - both
        fp += pb - both
        tn += len(a) - ta - pb + both
    denominator = (tp + fn) * (tn + fp) * (tp + fp) * (tn + fn)
    by_seq = {}
    for s in predicted:
        by_seq.setdefault(s[0], []).append(s)

    def hits(known, site):
        return overlap(known, site) >= min_overlap * (known[2] - known[1])

    found = sum(1 for k in truth if any(hits(k, s) for s in by_seq.get(k[0], [])))
    correct = sum(1 for s in predicted if any(hits(k, s) for k in truth if k[0] == s[0]))
    return {"nSn": _ratio(tp, tp + fn), "nPPV": _ratio(tp, tp + fp), "nPC": _ratio(tp, tp + fn + fp),
            "nCC": (tp * tn - fn * fp) / math.sqrt(denominator) if denominator > 0 else 0.0,
            "sSn": _ratio(found, len(truth)), "sPPV": _ratio(correct, len(predicted)),
            "true_found": found, "true_sites": len(truth), "pred_correct": correct,
            "pred_sites": len(predicted), "pred_nt": tp + fp}


COLUMNS = ("nSn", "nPPV", "nPC", "nCC", "sSn", "sPPV", "true_found", "true_sites", "pred_correct", "pred_sites",
           "pred_nt")


def main(argv=None):
    ap = argparse.ArgumentParser(description="nCC, site sensitivity and site PPV (Tompa et al. 2005)")
    ap.add_argument("--fasta", required=True)
    ap.add_argument("--truth", required=True)
    ap.add_argument("--pred", required=True)
    ap.add_argument("--truth-where", action="append", default=[], metavar="COL=VALUE")
    ap.add_argument("--min-overlap", type=float, default=0.25)
    ap.add_argument("--tsv-row", metavar="LABEL", help="one tab-separated line: LABEL and the measures")
    ap.add_argument("--tsv-header", action="store_true", help="the column names before that line")
    ap.add_argument("--quiet", action="store_true", help="no readable line")
    args = ap.parse_args(argv)
    where = [tuple(w.split("=", 1)) for w in args.truth_where]
    lengths = sequence_lengths(args.fasta)
    m = scores(lengths, read_truth(args.truth, where), read_predictions(args.pred), args.min_overlap)
    if not args.quiet:
        print(f"nCC {m['nCC']:.4f}  site sensitivity {m['sSn']:.4f}  site PPV {m['sPPV']:.4f}  "
              f"({m['true_sites']} annotated sites, {m['pred_sites']} predicted)")
    if args.tsv_row is not None:
        if args.tsv_header:
            print("\t".join(("label",) + COLUMNS))
        print("\t".join([args.tsv_row] + [f"{m[c]:.4f}" if isinstance(m[c], float) else str(m[c])
                                           for c in COLUMNS]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
