"""The genome scan through the Snakemake workflow, against a scan of the
whole file.

A gzip-compressed genome of three chromosomes (out of name order, a planted
module in each) and a scaffold shorter than a module is scanned:
1. directly, as one file, once with the default filter (q <= 0.05) and
   once listing every call (--max-p 1);
2. by the workflow, one job per chromosome: its modules.bed is byte for
   byte the whole-file scan's (same modules, scores, p, q, ranks, sorted
   by chromosome and start, as bedtools sorts them), every planted module
   is in it, and with `max_p: 1` every call of the whole file is there once
   with its p-value and, where the gathering can know it exactly (q below
   0.0499), its q-value;
3. by the workflow in chunks of records (two pieces): the same modules.bed;
   also for records named chrom:start-end with --genome-coords, one
   chromosome's two records in two jobs;
4. with an option the workflow sets itself, refused before anything runs.

Usage: workflow_scan.py PROGRAM SOURCE_DIR. Exits 77 (skipped) where
snakemake or bedtools is not installed.
"""
import gzip
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
MOTIFS = ["TGACGTCA", "GGGAATTCCC", "CAGGTAGCTTAC"]
# name, length, where its module is planted; chr10 sorts before chr2
CHROMOSOMES = [("chr2", 30000, 21000), ("chr10", 24000, 5000), ("chr1", 18000, 12000)]


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def motif_file():
    out = []
    for name, word in zip(("alpha", "beta", "gamma"), MOTIFS):
        out.append(f">{len(word)} {name}")
        out += ["\t".join("85" if b == x else "5" for b in "ACGT") for x in word]
    return "\n".join(out) + "\n"


def planted(rng, length, at):
    letters = [rng.choice("ACGT") for _ in range(length)]
    for i in range(6):
        word = MOTIFS[i % 3]
        start = at + i * 33 + 2
        letters[start:start + len(word)] = word
    return "".join(letters)


def write_genome(work):
    rng = random.Random(7)
    text = "".join(f">{name} test chromosome\n{planted(rng, n, at)}\n" for name, n, at in CHROMOSOMES)
    text += ">scaffold_short\nACGTACGTAC\n"
    with gzip.open(os.path.join(work, "genome.fa.gz"), "wt") as f:
        f.write(text)
    with open(os.path.join(work, "motifs.txt"), "w") as f:
        f.write(motif_file())


def run(cmd, cwd):
    done = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return done.returncode, done.stdout


def snakemake(source, work, config):
    with open(os.path.join(work, "scan.yaml"), "w") as f:
        f.write(config)
    return run(["snakemake", "-s", os.path.join(source, "workflow", "Snakefile"),
                "--profile", os.path.join(source, "workflow", "profiles", "local"), "--cores", "2",
                "--configfile", "scan.yaml"], work)


def read(path):
    with open(path) as f:
        return f.read()


def config(program, extra):
    return (f'program: "{program}"\nscan:\n  target: genome.fa.gz\n  motifs: motifs.txt\n'
            f'  options: "--bg-order 2"\n{extra}')


def fresh_results(work):
    shutil.rmtree(os.path.join(work, "results"), ignore_errors=True)
    shutil.rmtree(os.path.join(work, ".snakemake"), ignore_errors=True)


def compare_all_calls(whole, gathered):
    """Every call of the whole file once, the same but for q where it is
    known to 3 digits only."""
    a = [line.split("\t") for line in whole.splitlines()]
    b = [line.split("\t") for line in gathered.splitlines()]
    check(len(a) == len(b) and len(a) > len(CHROMOSOMES), f"{len(b)} calls gathered of {len(a)}")
    for x, y in zip(a, b):
        check(x[:7] + x[8:] == y[:7] + y[8:], f"call {y} differs from the whole file's {x}")
        if float(x[7]) < 0.0499:
            check(x[7] == y[7], f"q of {y} differs from the whole file's {x}")
        else:
            check(abs(float(x[7]) - float(y[7])) <= 0.002 * float(x[7]), f"q of {y} far from {x}")


def main():
    program, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    for tool in ("snakemake", "bedtools"):
        if shutil.which(tool) is None:
            print(f"{tool} is not installed: the workflow scan is not tested")
            return SKIP
    work = tempfile.mkdtemp(prefix="ruzaravo-wfscan-")
    try:
        write_genome(work)
        scan = [program, "--scan", "genome.fa.gz", "--motifs", "motifs.txt",
                "--bg-order", "2", "--quiet"]
        for outdir, extra in (("whole", []), ("whole_all", ["--max-p", "1"])):
            status, out = run(scan + extra + ["--outdir", outdir], work)
            check(status == 0, f"the whole-file scan failed:\n{out}")
        whole = read(os.path.join(work, "whole", "modules.bed"))
        for name, _, at in CHROMOSOMES:
            check(any(line.split("\t")[0] == name and int(line.split("\t")[1]) < at + 200
                      and int(line.split("\t")[2]) > at for line in whole.splitlines()),
                  f"the module planted in {name} is not reported:\n{whole}")

        status, out = snakemake(source, work, config(program, ""))
        check(status == 0, f"the workflow scan failed:\n{out}")
        gathered = os.path.join(work, "results", "scan", "modules.bed")
        check(read(gathered) == whole, f"modules.bed differs from the whole file's:\n{read(gathered)}\n{whole}")
        pieces = read(os.path.join(work, "results", "scan", "pieces.tsv")).splitlines()
        check(pieces == ["piece\trecords", "piece0001\tchr2", "piece0002\tchr10", "piece0003\tchr1"],
              f"pieces by chromosome: {pieces}")
        status, out = run(["bedtools", "sort", "-i", gathered], work)
        check(status == 0 and out == whole, f"bedtools sorts modules.bed otherwise:\n{out}")
        counts = json.loads(read(os.path.join(work, "results", "scan", "counts.json")))
        summary = json.loads(read(os.path.join(work, "whole", "summary.json")))["counts"]
        check((counts["calls"], counts["tests"], counts["reported"]) ==
              (summary["calls"], summary["tests"], summary["reported"]), f"counts {counts} against {summary}")
        status, out = snakemake(source, work, config(program, ""))
        check(status == 0 and "Nothing to be done" in out, f"a second invocation did something:\n{out}")

        fresh_results(work)
        status, out = snakemake(source, work, config(program, "  max_p: 1\n"))
        check(status == 0, f"the workflow scan with max_p 1 failed:\n{out}")
        compare_all_calls(read(os.path.join(work, "whole_all", "modules.bed")), read(gathered))

        fresh_results(work)
        status, out = snakemake(source, work, config(program, "  pieces: chunk\n  chunk_size: 40000\n"))
        check(status == 0, f"the workflow scan in chunks failed:\n{out}")
        pieces = read(os.path.join(work, "results", "scan", "pieces.tsv")).splitlines()
        check(pieces == ["piece\trecords", "piece0001\tchr2,chr10", "piece0002\tchr1"], f"chunks: {pieces}")
        check(read(gathered) == whole, f"modules.bed of chunks differs:\n{read(gathered)}")

        # Pieces of one chromosome named chrom:start-end, in two jobs, placed on the genome.
        rng = random.Random(8)
        with open(os.path.join(work, "placed.fa"), "w") as f:
            f.write(f">chrX:5000-25000\n{planted(rng, 20000, 4000)}\n>chrA:100-15100\n{planted(rng, 15000, 9000)}\n"
                    f">chrX:30000-50000\n{planted(rng, 20000, 15000)}\n")
        status, out = run([program, "--scan", "placed.fa", "--motifs", "motifs.txt", "--genome-coords", "--quiet",
                           "--outdir", "placed"], work)
        check(status == 0, f"the whole-file scan of placed.fa failed:\n{out}")
        fresh_results(work)
        status, out = snakemake(source, work, config(program, "  pieces: chunk\n  chunk_size: 30000\n")
                                .replace("genome.fa.gz", "placed.fa").replace("--bg-order 2", "--genome-coords"))
        check(status == 0, f"the workflow scan of placed.fa failed:\n{out}")
        placed = read(os.path.join(work, "placed", "modules.bed"))
        check([line.split("\t")[0] for line in placed.splitlines()] == ["chrA", "chrX", "chrX"],
              f"placed modules:\n{placed}")
        check(read(gathered) == placed, f"placed modules.bed differs:\n{read(gathered)}\n{placed}")

        fresh_results(work)
        status, out = snakemake(source, work, config(program, "").replace("--bg-order 2", "--max-q 0.1"))
        check(status != 0 and "--max-q is set by the workflow itself" in out, f"--max-q was not refused:\n{out}")
        check(not os.path.exists(os.path.join(work, "results")), "a refused config ran something")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("workflow scan: ok")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except AssertionError as e:
        print(f"FAILED: {e}")
        sys.exit(1)
