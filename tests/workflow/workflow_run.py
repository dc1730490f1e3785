"""End-to-end run of the Snakemake workflow with the local profile.

Three small sets cut from the fly example (one plain, one gzip, one
malformed) x two values of K, two runs per job, few sweeps:
1. the first invocation fails because of the malformed set, yet every other
   job finishes; the table has a row per set x K x run, the good rows agree
   with each job's own result file, the failed rows carry the exit status
   and the program's reason, the failed job's log is kept, and every link
   of the index page leads to a file;
2. once the set is repaired its jobs run, the finished ones do not, and the
   table is complete;
3. a further invocation has nothing to do and touches nothing;
4. the SLURM profile, with stand-ins for sbatch, sacct, scontrol and scancel
   that run each job script at once on this machine: the jobs are submitted
   with the resources the workflow declares, and the failed one is seen as
   failed (retried once, as the profile says) and gathered.

Usage: workflow_run.py PROGRAM SOURCE_DIR. Exits 77 (skipped) where
snakemake is not installed or PROGRAM writes no output folder (--outdir).
"""
import csv
import gzip
import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
COLUMNS = ["set", "K", "L", "job_seed", "run", "seed", "status", "exit_status", "log_pmo", "cpu_seconds",
           "sweeps", "motifs", "consensus", "site_counts", "modules", "outdir", "log", "error",
           "cluster", "support", "representative", "enrichment", "log10_p", "heldout_E", "factor", "factor_q"]


def fail(message):
    raise AssertionError(message)


def check(condition, message):
    if not condition:
        fail(message)


def fasta_records(path):
    records, current = [], None
    with open(path) as f:
        for line in f:
            if line.startswith(">"):
                current = [line]
                records.append(current)
            elif current is not None:
                current.append(line)
    return ["".join(r) for r in records]


def outdir_works(program, scratch, fasta):
    """Whether the program writes summary.json into --outdir for this input."""
    probe = os.path.join(scratch, "probe")
    shutil.rmtree(probe, ignore_errors=True)
    os.makedirs(probe)
    subprocess.run([program, "-i", os.path.abspath(fasta), "-K", "1", "-L", "100", "-n", "2", "--seed", "1",
                    "--outdir", "out"], cwd=probe, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return os.path.exists(os.path.join(probe, "out", "summary.json"))


def snakemake(source, work, *extra):
    cmd = ["snakemake", "-s", os.path.join(source, "workflow", "Snakefile"),
           "--profile", os.path.join(source, "workflow", "profiles", "local"), "--cores", "2",
           "--configfile", "config.yaml", *extra]
    done = subprocess.run(cmd, cwd=work, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return done.returncode, done.stdout


def read_table(work):
    with open(os.path.join(work, "results", "summary.tsv"), newline="") as f:
        rows = list(csv.reader(f, delimiter="\t"))
    check(rows and rows[0] == COLUMNS, f"summary.tsv header is {rows[:1]}")
    return [dict(zip(COLUMNS, r)) for r in rows[1:]]


def result_blocks(path):
    """Per run block of a result file: Log-PMO text, and per printed motif
    its number, site count and consensus (the Con column of its matrix)."""
    blocks = []
    with open(path) as f:
        text = f.read()
    for block in text.split("Ruzaravo (compiled on")[1:]:
        pmo = re.search(r"^Log-PMO\(K=\d+\)=(\S+)$", block, re.M)
        motifs = []
        for m in re.finditer(r"^Motif_(\d+):\nnumber of sites: (\d+)\n\tA\tC\tG\tT\tCon\n((?:\d+\t.*\n)+)", block, re.M):
            consensus = "".join(line.split("\t")[-1] for line in m.group(3).splitlines())
            motifs.append((int(m.group(1)), int(m.group(2)), consensus))
        blocks.append((pmo.group(1) if pmo else None, motifs))
    return blocks


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.hrefs = []

    def handle_starttag(self, tag, attrs):
        if tag == "a":
            self.hrefs.append(dict(attrs)["href"])


def check_table(work, sets, failing):
    rows = read_table(work)
    expected = [(s, k, r) for s in sorted(sets) for k in ("1", "2") for r in ("1", "2")]
    check([(r["set"], r["K"], r["run"]) for r in rows] == expected,
          f"rows are {[(r['set'], r['K'], r['run']) for r in rows]}, expected {expected}")
    for row in rows:
        where = f"row {row['set']} K={row['K']} run {row['run']}"
        check(row["seed"] == str(7 + int(row["run"]) - 1), f"{where}: seed {row['seed']}")
        if row["set"] in failing:
            check(row["status"] == "failed" and row["exit_status"] == "1", f"{where}: {row}")
            check(row["error"].startswith("Ruzaravo:") and "broken.fasta" in row["error"], f"{where}: {row}")
            check(row["log_pmo"] == "NA" and row["consensus"] == "NA", f"{where}: {row}")
            continue
        check(row["status"] == "ok" and row["exit_status"] == "0", f"{where}: {row}")
        check(float(row["cpu_seconds"]) >= 0 and row["sweeps"] == "40", f"{where}: {row}")
        pmo, motifs = result_blocks(os.path.join(work, "results", row["outdir"], "result.txt"))[int(row["run"]) - 1]
        check(round(float(row["log_pmo"]), 2) == float(pmo), f"{where}: Log-PMO {row['log_pmo']} vs {pmo}")
        check(row["motifs"] == str(len(motifs)), f"{where}: {row['motifs']} motifs vs {motifs}")
        check(row["site_counts"] == (",".join(f"m{k}:{n}" for k, n, _ in motifs) or "NA"), f"{where}: {row} vs {motifs}")
        check(row["consensus"] == (",".join(f"m{k}:{c}" for k, _, c in motifs) or "NA"), f"{where}: {row} vs {motifs}")
    return rows


def check_index(work, rows):
    results = os.path.join(work, "results")
    parser = Links()
    with open(os.path.join(results, "index.html")) as f:
        parser.feed(f.read())
    for href in parser.hrefs:
        check(os.path.exists(os.path.join(results, href)), f"index.html links {href}, which does not exist")
    for row in rows:
        check(row["log"] in parser.hrefs, f"index.html does not link {row['log']}")
        report = f"{row['outdir']}/report.html"
        if os.path.exists(os.path.join(results, report)):
            check(report in parser.hrefs, f"index.html does not link {report}")
        if row["status"] == "ok":
            check(f"{row['outdir']}/summary.json" in parser.hrefs, f"index.html does not link {row['outdir']}")


def summary_stamps(work):
    runs = os.path.join(work, "results", "runs")
    return {os.path.join(d, f): os.stat(os.path.join(d, f)).st_mtime_ns
            for d, _, files in os.walk(runs) for f in files if f == "summary.json"}


def scenario(program, source, work):
    fly = fasta_records(os.path.join(source, "examples", "fly_crms.fasta"))
    sets = os.path.join(work, "sets")
    os.makedirs(sets)
    with open(os.path.join(sets, "alpha.fa"), "w") as f:
        f.write("".join(fly[0:5]))
    with gzip.open(os.path.join(sets, "beta.fa.gz"), "wt") as f:
        f.write("".join(fly[5:10]))
    broken = os.path.join(sets, "broken.fasta")
    with open(broken, "w") as f:
        f.write("ACGTACGTACGT\n" + fly[10])   # letters before the first name line
    with open(os.path.join(work, "config.yaml"), "w") as f:
        f.write(f'fasta_dir: sets\nprogram: "{program}"\nK: [1, 2]\nL: 100\nseeds: [7]\nruns: 2\n'
                'options: "-n 40 -B"\n')

    # 1. The malformed set fails; the others finish and are gathered.
    status, out = snakemake(source, work)
    check(status != 0, "the first invocation succeeded despite the malformed set:\n" + out)
    check(out.count("Error in rule run:") == 2, "expected two failed jobs:\n" + out)
    for k in (1, 2):
        log = os.path.join(work, "results", "logs", "broken", f"K{k}_L100", "seed7")
        with open(log + ".log") as f:
            check("Input sequence file error!" in f.read(), f"{log}.log lacks the program's message")
        with open(log + ".status") as f:
            check(f.read().strip() == "1", f"{log}.status")
        check(not os.path.exists(os.path.join(work, "results", "runs", "broken", f"K{k}_L100", "seed7",
                                              "summary.json")), "the failed job left a summary.json")
    rows = check_table(work, {"alpha", "beta", "broken"}, {"broken"})
    check_index(work, rows)

    # 2. The repaired set runs, the finished jobs do not; the table is complete.
    stamps = summary_stamps(work)
    with open(broken, "w") as f:
        f.write("".join(fly[10:14]))
    status, out = snakemake(source, work)
    check(status == 0, "second invocation failed:\n" + out)
    now = summary_stamps(work)
    check(len(now) == 6, "not every job has its summary.json")
    check(all(now[p] == t for p, t in stamps.items()), "the second invocation rewrote a finished job's results")
    rows = check_table(work, {"alpha", "beta", "broken"}, set())
    check_index(work, rows)

    # 3. Nothing to be done, and nothing rewritten.
    table = os.path.join(work, "results", "summary.tsv")
    before = (os.stat(table).st_mtime_ns, summary_stamps(work))
    status, out = snakemake(source, work)
    check(status == 0 and "Nothing to be done" in out, "third invocation was not a no-op:\n" + out)
    check((os.stat(table).st_mtime_ns, summary_stamps(work)) == before, "the no-op invocation rewrote files")


# Stand-ins for the SLURM commands: sbatch runs the job script in the
# background and notes its exit status; sacct reports RUNNING until then.
FAKE_SBATCH = """#!/bin/sh
state="$FAKE_SLURM"
id=$(( $(cat "$state/next" 2>/dev/null || echo 100) + 1 ))
echo "$id" > "$state/next"
echo "$@" > "$state/$id.args"
for word; do script="$word"; done
( sh "$script" > "$state/$id.out" 2>&1; echo $? > "$state/$id.rc" ) > /dev/null 2>&1 &
echo "$id;fake"
"""
FAKE_SACCT = """#!/bin/sh
while [ $# -gt 0 ]; do [ "$1" = -j ] && id="$2"; shift; done
if [ ! -f "$FAKE_SLURM/$id.rc" ]; then echo RUNNING
elif [ "$(cat "$FAKE_SLURM/$id.rc")" = 0 ]; then echo COMPLETED
else echo FAILED; fi
"""


def slurm_scenario(program, source, work):
    fly = fasta_records(os.path.join(source, "examples", "fly_crms.fasta"))
    os.makedirs(os.path.join(work, "sets"))
    os.makedirs(os.path.join(work, "bin"))
    os.makedirs(os.path.join(work, "slurm"))
    with open(os.path.join(work, "sets", "good.fa"), "w") as f:
        f.write("".join(fly[0:4]))
    with open(os.path.join(work, "sets", "bad.fa"), "w") as f:
        f.write("")                          # empty: refused
    for name, text in (("sbatch", FAKE_SBATCH), ("sacct", FAKE_SACCT), ("scontrol", "#!/bin/sh\n"),
                       ("scancel", "#!/bin/sh\n")):
        with open(os.path.join(work, "bin", name), "w") as f:
            f.write(text)
        os.chmod(os.path.join(work, "bin", name), 0o755)
    with open(os.path.join(work, "config.yaml"), "w") as f:
        f.write(f'fasta_dir: sets\nprogram: "{program}"\nK: [2]\nL: 100\nseeds: [3]\noptions: "-n 30"\n')
    env = dict(os.environ, FAKE_SLURM=os.path.join(work, "slurm"),
               PATH=os.path.join(work, "bin") + os.pathsep + os.environ["PATH"])
    done = subprocess.run(["snakemake", "-s", os.path.join(source, "workflow", "Snakefile"),
                           "--profile", os.path.join(source, "workflow", "profiles", "slurm"),
                           "--configfile", "config.yaml", "--latency-wait", "5",
                           "--max-status-checks-per-second", "10"],
                          cwd=work, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    check(done.returncode != 0, "the SLURM run succeeded despite the empty set:\n" + done.stdout)
    submitted = sorted(f for f in os.listdir(os.path.join(work, "slurm")) if f.endswith(".args"))
    check(len(submitted) == 3, f"expected 3 submissions (good, bad, bad again), got {submitted}:\n" + done.stdout)
    for name in submitted:
        with open(os.path.join(work, "slurm", name)) as f:
            args = f.read().split()
        mem = [a for a in args if a.startswith("--mem=")]
        check("--parsable" in args and "--cpus-per-task=1" in args and mem and int(mem[0][6:]) >= 256,
              f"sbatch arguments {args}")
        check(any(a.startswith("--time=") and int(a[7:]) in (120, 240) for a in args), f"sbatch arguments {args}")
        check(any(a.startswith("--job-name=ruzaravo-run-") for a in args), f"sbatch arguments {args}")
    rows = read_table(work)
    check([(r["set"], r["status"], r["exit_status"]) for r in rows] == [("bad", "failed", "1"), ("good", "ok", "0")],
          f"SLURM table: {rows}")
    check(os.path.isdir(os.path.join(work, "results", "logs", "slurm")), "no results/logs/slurm")


def main():
    program, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    if shutil.which("snakemake") is None:
        print("SKIPPED: snakemake is not installed (Debian: apt-get install snakemake)")
        return SKIP
    work = tempfile.mkdtemp(prefix="ruzaravo-workflow-")
    first = "".join(fasta_records(os.path.join(source, "examples", "fly_crms.fasta"))[0:3])
    with open(os.path.join(work, "probe.fa"), "w") as f:
        f.write(first)
    if not outdir_works(program, work, os.path.join(work, "probe.fa")):
        shutil.rmtree(work)
        print(f"SKIPPED: {program} writes no output folder (--outdir); the workflow needs it")
        return SKIP
    try:
        scenario(program, source, os.path.join(work, "local"))
        slurm_scenario(program, source, os.path.join(work, "slurm"))
    except AssertionError as e:
        print(f"FAILED: {e}\n(the workflow's folder is kept: {work})")
        return 1
    shutil.rmtree(work)
    print("workflow run: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
