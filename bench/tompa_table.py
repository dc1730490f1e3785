#!/usr/bin/env python3
"""Table of bench/accuracy.sh --tompa: nCC per promoter set and configuration, and the means.

  tompa_table.py RUNS CONFIGS

RUNS: lines "config set seed cpu_seconds nCC sSn sPPV sites" (NA for a failed
run); CONFIGS: lines "name|options[|C[|PRE[|POST]]]" (the column order; a
configuration with POST also has its columns name@STEP, the same runs' answer
after its other POST steps, and name@plain, without POST). A set's
cell is its nCC, the mean over seeds when there are several. The summary rows
give, per configuration, the mean over sets of nCC (a failed run counts as 0
and is named), of sSn and sPPV, the number of sets above nCC 0.1, and the CPU
seconds of the whole pass (per chain for runs of chains).
"""
import statistics
import sys


def read_runs(path):
    runs = {}
    for line in open(path):
        f = line.split()
        if len(f) == 8:
            runs.setdefault((f[0], f[1]), []).append(None if f[4] == "NA" else [float(v) for v in f[3:]])
    return runs


def main():
    runs = read_runs(sys.argv[1])
    names = list(dict.fromkeys(c.split("|")[0] for c in sys.argv[2].split("\n") if "|" in c))
    found = sorted({k[0] for k in runs})
    names = [v for n in names for v in [n] + [f for f in found if f.startswith(n + "@")]
             if any(k[0] == v for k in runs)]
    sets = sorted({k[1] for k in runs}, key=lambda s: (s.rstrip("0123456789r"), s))
    out = ["| set | " + " | ".join("`%s`" % n for n in names) + " |", "|---" * (len(names) + 1) + "|"]
    cells = {}
    for s in sets:
        row = []
        for n in names:
            rs = runs.get((n, s), [])
            ok = [r for r in rs if r]
            cells[(n, s)] = (statistics.mean(r[1] for r in ok) if ok else 0.0, ok, len(rs) - len(ok))
            row.append("%.3f" % cells[(n, s)][0] + (" (%d failed)" % cells[(n, s)][2] if cells[(n, s)][2] else "")
                       if rs else "—")
        out.append("| %s | %s |" % (s, " | ".join(row)))

    def summary(label, fn):
        out.append("| **%s** | %s |" % (label, " | ".join(fn(n) for n in names)))

    def over_sets(n):
        return [cells[(n, s)] for s in sets if (n, s) in cells and runs.get((n, s))]

    summary("mean nCC", lambda n: "**%.3f**" % statistics.mean(c[0] for c in over_sets(n)))
    summary("mean sSn", lambda n: "%.2f" % statistics.mean(r[2] for c in over_sets(n) for r in c[1]))
    summary("mean sPPV", lambda n: "%.2f" % statistics.mean(r[3] for c in over_sets(n) for r in c[1]))
    summary("sets nCC > 0.1", lambda n: "%d / %d" % (sum(c[0] > 0.1 for c in over_sets(n)), len(over_sets(n))))
    summary("CPU s (pass)", lambda n: "%.1f" % sum(r[0] for c in over_sets(n) for r in c[1]))
    failed = ["%s %s" % k for k, rs in sorted(runs.items()) if k[0] in names and None in rs]
    sys.stdout.write("\n".join(out) + "\n")
    if failed:
        sys.stdout.write("failed runs (counted as nCC 0): " + ", ".join(failed) + "\n")


if __name__ == "__main__":
    main()
