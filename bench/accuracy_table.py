#!/usr/bin/env python3
"""Table of bench/accuracy.sh: per configuration and set, mean and sd over seeds.

  accuracy_table.py [--variants] RUNS CONFIGS SEEDS     prints the Markdown table
  accuracy_table.py --replace README RUNS CONFIGS SEEDS  writes it between the markers

--variants adds, under a configuration that runs chains, its rows name@all
(every cluster of the chains) and name@cN (chain N alone).

RUNS: lines "config set seed cpu_seconds nCC sSn sPPV sites"; CONFIGS: lines
"name|options[|C]" (the order of the table; C chains per run); SEEDS: the
seeds, blank-separated.
"""
import statistics
import sys

BEGIN = "<!-- accuracy table: begin (bench/accuracy.sh writes this) -->"
END = "<!-- accuracy table: end -->"


def mean_sd(values):
    if not values:
        return float("nan"), float("nan")
    return statistics.mean(values), (statistics.stdev(values) if len(values) > 1 else 0.0)


def table(runs_path, configs, seeds, variants=False):
    runs = {}
    for line in open(runs_path):
        f = line.split()
        if len(f) == 8:
            runs.setdefault((f[0], f[1]), []).append([float(v) for v in f[3:]])
    out = ["Seeds %s; mean ± sd over seeds. nCC: nucleotide-level correlation; sSn, sPPV: site-level "
           "sensitivity and positive predictive value; CPU: user + system seconds per run (per chain for runs of "
           "chains) on the fly set. A run of C chains uses seed 1 + (s - 1) C for seed s, so no chain is shared "
           "between runs." % seeds,
           "",
           "| configuration | options | fly nCC | fly sSn | fly sPPV | synth nCC | synth sSn | synth sPPV | CPU s |",
           "|---|---|---|---|---|---|---|---|---|"]
    rows = []
    for entry in configs:
        if "|" not in entry:
            continue
        name, opts = entry.split("|")[:2]
        rows.append((name, opts))
        if variants:   # a run of chains also scored every cluster (name@all) and each chain alone (name@cN)
            found = sorted({k[0] for k in runs if k[0].startswith(name + "@")}, key=lambda v: (len(v), v))
            rows += [(v, opts + " (" + v.split("@")[1] + ")") for v in found]
    for name, opts in rows:
        fly, synth = runs.get((name, "fly")), runs.get((name, "synth"))
        if not fly and not synth:
            continue
        cells = ["`%s`" % name, "`%s`" % opts.replace("@BG@", "BG") if opts else "(none)"]
        for rows in (fly, synth):
            if not rows:
                cells += ["—"] * 3
                continue
            m, s = mean_sd([r[1] for r in rows])
            cells.append("%.3f ± %.3f" % (m, s))
            cells.append("%.2f" % statistics.mean(r[2] for r in rows))
            cells.append("%.2f" % statistics.mean(r[3] for r in rows))
        cells.append("%.1f" % statistics.mean(r[0] for r in fly) if fly else "—")
        out.append("| " + " | ".join(cells) + " |")
    return "\n".join(out) + "\n"


def main():
    args = sys.argv[1:]
    if args and args[0] == "--replace":
        readme, runs, configs, seeds = args[1:5]
        text = table(runs, configs.split("\n"), seeds)
        doc = open(readme).read() if __import__("os").path.exists(readme) else ""
        block = BEGIN + "\n" + text + END
        if BEGIN in doc and END in doc:
            doc = doc[:doc.index(BEGIN)] + block + doc[doc.index(END) + len(END):]
        else:
            doc = doc.rstrip("\n") + ("\n\n" if doc else "") + block + "\n"
        open(readme, "w").write(doc)
    else:
        variants = bool(args) and args[0] == "--variants"
        runs, configs, seeds = args[int(variants):int(variants) + 3]
        sys.stdout.write(table(runs, configs.split("\n"), seeds, variants))


if __name__ == "__main__":
    main()
