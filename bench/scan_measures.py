#!/usr/bin/env python3
"""Measures of a module scan read from its BED output (the scan's modules.bed,
or Cluster-Buster's -f 5 BED, whose cluster lines carry "cluster" in column 11):

  scan_measures.py ranks BED CRMS.tsv
      how many of the known enhancers lie among the top 2, 7 and 10 modules by
      score (column 5), and the rank of the best module overlapping each one;
  scan_measures.py auc POS.bed NEG.bed POS.fa NEG.fa
      ROC AUC of the best module score per sequence (column 1 names it), the
      sequences of POS.fa against those of NEG.fa; a sequence without any
      module scores below every module (ties count one half).
"""
import sys


def modules(path):
    out = []
    for line in open(path):
        if line.startswith('#') or not line.strip():
            continue
        f = line.rstrip('\n').split('\t')
        if len(f) > 10 and f[10] != 'cluster':
            continue   # Cluster-Buster's lines of single motif matches
        out.append((f[0], int(f[1]), int(f[2]), float(f[4])))
    return out


def ranks(bed, crms_tsv):
    mods = sorted(modules(bed), key=lambda m: -m[3])
    crms = [l.split('\t') for l in open(crms_tsv).read().splitlines()[1:]]
    best = {}
    for i, m in enumerate(mods):
        for c in crms:
            if m[1] < int(c[2]) and int(c[1]) < m[2]:
                best.setdefault(c[3], i + 1)
    hits = lambda top: sum(r <= top for r in best.values())
    order = ' '.join(f"{c[3]}={best.get(c[3], '-')}" for c in crms)
    print(f"{len(mods)} modules; enhancers among the top 2: {hits(2)}/{len(crms)}, top 7: {hits(7)}/{len(crms)}, "
          f"top 10: {hits(10)}/{len(crms)}; ranks {order}")


def names(fasta):
    return [l[1:].split()[0] for l in open(fasta) if l.startswith('>')]


def auc(pos_bed, neg_bed, pos_fa, neg_fa):
    def best(bed, fa):
        b = {n: float('-inf') for n in names(fa)}
        for m in modules(bed):
            b[m[0]] = max(b.get(m[0], float('-inf')), m[3])
        return list(b.values())
    p, n = best(pos_bed, pos_fa), best(neg_bed, neg_fa)
    a = sum((x > y) + 0.5 * (x == y) for x in p for y in n) / (len(p) * len(n))
    none = (sum(x == float('-inf') for x in p), sum(x == float('-inf') for x in n))
    print(f"ROC AUC {a:.3f} ({len(p)} against {len(n)} sequences; without a module: {none[0]} and {none[1]})")


if __name__ == '__main__':
    if len(sys.argv) == 4 and sys.argv[1] == 'ranks':
        ranks(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 6 and sys.argv[1] == 'auc':
        auc(*sys.argv[2:])
    else:
        sys.exit(__doc__)
