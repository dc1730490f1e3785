"""The recommended setting through the Snakemake workflow: `--preset enhancers`
(five chains of five motifs and their consensus) with the shipped fly
background set, few sweeps, on two small sets cut from the fly example.

1. A config naming the old key `chains`, and one asking for runs (-N) beside
   the preset's chains, are refused before anything runs, with a message
   saying what to write instead.
2. The preset runs: set `eve` takes the global options (so K 5 and five
   chains, no -N on its command line), set `gap` adds `--chains 3` of its own
   with --holdout and --known: its rows' held-out E-values and best factors
   agree with the program's chains.tsv and matches.tsv.
   Each job's rows (one per chain) carry the cluster, support and
   representative of every motif and its enrichment, and they agree with the
   program's own cluster table (chains.tsv) and consensus in the job's folder.

Usage: workflow_preset.py PROGRAM SOURCE_DIR. Exits 77 (skipped) where
snakemake is not installed or PROGRAM writes no output folder (--outdir).
"""
import csv
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

SKIP = 77


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def fasta_records(path):
    records = []
    with open(path) as f:
        for line in f:
            if line.startswith(">"):
                records.append([line])
            elif records:
                records[-1].append(line)
    return ["".join(r) for r in records]


def snakemake(source, work, config):
    with open(os.path.join(work, "config.yaml"), "w") as f:
        f.write(config)
    cmd = ["snakemake", "-s", os.path.join(source, "workflow", "Snakefile"),
           "--profile", os.path.join(source, "workflow", "profiles", "local"), "--cores", "2",
           "--configfile", "config.yaml"]
    done = subprocess.run(cmd, cwd=work, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return done.returncode, done.stdout


def read_tsv(path):
    with open(path, newline="") as f:
        rows = list(csv.reader(f, delimiter="\t"))
    return [dict(zip(rows[0], r)) for r in rows[1:]]


def cells(text):
    """'m1:2,m3:5' -> {1: '2', 3: '5'}"""
    if text == "NA":
        return {}
    return {int(key[1:]): value for key, value in (cell.split(":", 1) for cell in text.split(","))}


def refusals(program, source, work):
    head = f'samples: sets.tsv\nprogram: "{program}"\nL: 150\n'
    for extra, message in (('chains: 2\noptions: "-n 60"\n', "the key chains is now called runs"),
                           ('runs: 2\noptions: "--preset enhancers -n 60"\n', "both ask for runs")):
        status, out = snakemake(source, work, head + extra)
        check(status != 0 and message in out, f"config {extra!r} was not refused with {message!r}:\n{out}")
        check(not os.path.exists(os.path.join(work, "results")), f"config {extra!r} ran something")


def check_job(work, rows, chains):
    """The rows of one job against the cluster table the program wrote."""
    folder = os.path.join(work, "results", rows[0]["outdir"])
    table = read_tsv(os.path.join(folder, "chains.tsv"))
    check(len(rows) == chains and [r["run"] for r in rows] == [str(c) for c in range(1, chains + 1)],
          f"{folder}: rows {[r['run'] for r in rows]} for {chains} chains")
    by_chain = {int(r["run"]): r for r in rows}
    for r in rows:
        check(r["status"] == "ok" and r["K"] == "5" and r["sweeps"] == "60", f"{folder}: row {r}")
    with open(os.path.join(folder, "result.txt")) as f:
        words = f.read().split()
    check("-N" not in words and "--preset" in words, f"{folder}: -N on the command line, or no preset")
    seen = set()
    for cluster in table:
        best = by_chain[int(cluster["best_chain"])]
        motif = int(cluster["motif"])
        where = f"{folder}: cluster {cluster['cluster']}"
        check(cells(best["cluster"]).get(motif) == cluster["cluster"], f"{where}: {best['cluster']}")
        check(cells(best["representative"]).get(motif) == "yes", f"{where}: {best['representative']}")
        check(cells(best["support"]).get(motif) == f"{cluster['support']}/{chains}", f"{where}: {best['support']}")
        check(cells(best["consensus"]).get(motif) == cluster["consensus"], f"{where}: {best['consensus']}")
        ratio = cells(best["enrichment"]).get(motif)
        shown = "NA" if ratio in (None, "NA") else f"{float(ratio):.3f}"
        check(shown == cluster["enrichment"],
              f"{where}: enrichment {ratio} against {cluster['enrichment']}")
        members = [int(c) for c in cluster["chains"].split(",")]
        check(len(set(members)) == int(cluster["support"]), f"{where}: chains {members}")
        for chain in members:
            mine = [k for k, v in cells(by_chain[chain]["cluster"]).items() if v == cluster["cluster"]]
            check(mine, f"{where}: no motif of chain {chain} is in it")
            seen.update((chain, k) for k in mine)
    for r in rows:
        listed = {(int(r["run"]), k) for k in cells(r["cluster"])}
        check(listed == {(int(r["run"]), k) for k in cells(r["consensus"])} and listed <= seen,
              f"{folder}: chain {r['run']} motifs {r['consensus']} vs clusters {r['cluster']}")
        check(set(cells(r["representative"]).values()) <= {"yes", "no"}, f"{folder}: {r['representative']}")
    consensus = os.path.join(folder, "consensus.bed")
    check(os.path.exists(consensus), f"{folder}: no consensus.bed")
    majority = chains // 2 + 1
    with open(consensus) as f:
        named = {line.split("\t")[3] for line in f if line.strip()}
    check(named == {f"cluster{c['cluster']}" for c in table if int(c["support"]) >= majority},
          f"{folder}: consensus.bed names {named}")


def check_answers(work, rows):
    """A job with --holdout and --known: every representative's held-out
    E-value is the one chains.tsv gives its cluster, and every motif's
    factor and q are its first (smallest p) line of matches.tsv."""
    folder = os.path.join(work, "results", rows[0]["outdir"])
    by_chain = {int(r["run"]): r for r in rows}
    table = read_tsv(os.path.join(folder, "chains.tsv"))
    check(table and any(c["heldout_E"] != "NA" for c in table), f"{folder}: no held-out E-value in chains.tsv")
    for cluster in table:
        cell = cells(by_chain[int(cluster["best_chain"])]["heldout_E"]).get(int(cluster["motif"]))
        check(cell is not None and f"{float(cell):.1e}" == cluster["heldout_E"],
              f"{folder}: cluster {cluster['cluster']}: held-out E {cell} against {cluster['heldout_E']}")
    best = {}
    for m in read_tsv(os.path.join(folder, "matches.tsv")):
        best.setdefault(m["motif"], m)
    named = 0
    for r in rows:
        factors, qs = cells(r["factor"]), cells(r["factor_q"])
        check(factors.keys() == cells(r["consensus"]).keys(), f"{folder}: factor cells {r['factor']}")
        for k, factor in factors.items():
            match = best.get(f"r{r['run']}.m{k}")
            want = ("NA", "NA") if match is None else (match["name"] or match["library_id"], match["q"])
            got = (factor, "NA" if qs[k] == "NA" else f"{float(qs[k]):.3g}")
            check(got == want, f"{folder}: chain {r['run']} motif {k}: {got} against matches.tsv {want}")
            named += match is not None
    check(named > 0, f"{folder}: no motif matched a known factor")


def preset_run(program, source, work):
    fly = fasta_records(os.path.join(source, "examples", "fly_crms.fasta"))
    for name, records in (("eve", fly[0:4]), ("gap", fly[4:8])):
        with open(os.path.join(work, f"{name}.fa"), "w") as f:
            f.write("".join(records))
    with open(os.path.join(work, "sets.tsv"), "w") as f:
        f.write("name\tpath\toptions\neve\teve.fa\t\n"
                "gap\tgap.fa\t--chains 3 --known insects --holdout 0.25 --select-evalue 1e9\n")
    refusals(program, source, work)
    background = shlex.quote(os.path.join(source, "examples", "fly_background.fasta"))
    options = f"--preset enhancers -n 60 --bg-fasta {background} --bg-order 3 --min-enrichment 0"
    status, out = snakemake(source, work, f'samples: sets.tsv\nprogram: "{program}"\nL: 150\nseeds: [11]\n'
                                          f"options: {options!r}\n")
    check(status == 0, "the preset run failed:\n" + out)
    rows = read_tsv(os.path.join(work, "results", "summary.tsv"))
    # Each chain's seed is the program's mix of the job's seed and the chain.
    sys.path.insert(0, os.path.join(source, "workflow", "scripts"))
    import gather  # noqa: E402
    check([(r["set"], r["seed"]) for r in rows] == [("eve", str(gather.chain_seed(11, c))) for c in range(5)] +
          [("gap", str(gather.chain_seed(11, c))) for c in range(3)], f"rows {[(r['set'], r['seed']) for r in rows]}")
    check_job(work, [r for r in rows if r["set"] == "eve"], 5)
    check_job(work, [r for r in rows if r["set"] == "gap"], 3)
    check_answers(work, [r for r in rows if r["set"] == "gap"])
    check(all(r["heldout_E"] == r["factor"] == r["factor_q"] == "NA" for r in rows if r["set"] == "eve"),
          "a job without --holdout and --known has held-out or factor cells")


def main():
    program, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    if shutil.which("snakemake") is None:
        print("SKIPPED: snakemake is not installed (Debian: apt-get install snakemake)")
        return SKIP
    work = tempfile.mkdtemp(prefix="ruzaravo-preset-")
    probe = subprocess.run([program, "-i", os.path.join(source, "examples", "fly_crms.fasta"), "-n", "1",
                            "--seed", "1", "--outdir", os.path.join(work, "probe")],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if probe.returncode != 0 or not os.path.exists(os.path.join(work, "probe", "summary.json")):
        shutil.rmtree(work)
        print(f"SKIPPED: {program} writes no output folder (--outdir); the workflow needs it")
        return SKIP
    shutil.rmtree(os.path.join(work, "probe"))
    try:
        preset_run(program, source, work)
    except AssertionError as e:
        print(f"FAILED: {e}\n(the workflow's folder is kept: {work})")
        return 1
    shutil.rmtree(work)
    print("workflow preset run: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
