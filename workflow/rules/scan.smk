# A genome scan as jobs: the target's records grouped into pieces, one
# `Ruzaravo --scan --only RECORDS` job per piece, and one modules.bed over
# the whole target with q-values computed over all of it. Every job reads
# the whole target, so that its null and background chain are the whole
# target's and its p-values are comparable with the other pieces'
# (scripts/genomescan.py says how the gathering recovers them).
#
# Layout below results/scan/:
#   pieces.tsv                     the pieces and the records of each
#   pieces/<piece>/                the piece's output folder (every call, --max-p 1)
#   logs/<piece>.log               the program's standard output and error
#   modules.bed                    the reported modules of the whole target, sorted
#   counts.json                    pieces, calls, tests and reported modules
import os
import shutil
import sys

sys.path.insert(0, os.path.join(workflow.basedir, "scripts"))
import genomescan

try:
    SCAN = genomescan.load_scan(config)
    SCAN_L = genomescan.module_length(SCAN)
except (genomescan.ScanConfigError, OSError, ValueError) as e:
    raise WorkflowError(str(e))

PROGRAM = str(config.get("program") or "Ruzaravo")
if shutil.which(PROGRAM) is None:
    raise WorkflowError(f"config: program {PROGRAM} is neither an executable file nor a command on the PATH")

wildcard_constraints:
    piece=r"piece\d+",

localrules: scan_pieces, scan_gather

# What the Snakefile's rule all asks for.
TARGETS = ["results/scan/modules.bed"]


# The pieces depend on the target's records, known once it has been read:
# a checkpoint, so that the jobs are planned after it ran.
checkpoint scan_pieces:
    input:
        SCAN.target,
    output:
        "results/scan/pieces.tsv",
    params:
        # a changed way of cutting re-plans the pieces
        cut=f"{SCAN.pieces} {SCAN.chunk_size} {SCAN_L}",
    run:
        try:
            pieces = genomescan.make_pieces(genomescan.read_records(input[0]), SCAN.pieces, SCAN.chunk_size,
                                            SCAN_L, f"scan target {input[0]}")
        except genomescan.ScanConfigError as e:
            raise WorkflowError(str(e))
        genomescan.write_pieces(output[0], pieces)


def piece_records(wildcards):
    table = checkpoints.scan_pieces.get().output[0]
    return genomescan.read_pieces(table)[wildcards.piece]


rule scan_piece:
    input:
        target=SCAN.target,
        pieces="results/scan/pieces.tsv",
    output:
        bed="results/scan/pieces/{piece}/modules.bed",
        summary="results/scan/pieces/{piece}/summary.json",
    log:
        "results/scan/logs/{piece}.log",
    params:
        # the whole command line: a changed option or piece reruns the job
        cmd=lambda wc: genomescan.command(PROGRAM, SCAN, piece_records(wc), f"results/scan/pieces/{wc.piece}"),
    threads: SCAN.threads
    resources:
        # the chunks held at once (two per thread, a million letters and
        # their tables each) and the null; not the genome's size
        mem_mb=lambda wc, attempt: (512 + 256 * SCAN.threads) * attempt,
        runtime=lambda wc, attempt: SCAN.runtime * attempt,
    shell:
        "{params.cmd} --quiet > {log:q} 2>&1"


def piece_folders(wildcards):
    table = checkpoints.scan_pieces.get().output[0]
    return [f"results/scan/pieces/{p}/summary.json" for p in genomescan.read_pieces(table)]


rule scan_gather:
    input:
        piece_folders,
    output:
        bed="results/scan/modules.bed",
        counts="results/scan/counts.json",
    params:
        filter=f"{SCAN.max_q} {SCAN.max_p}",
    run:
        try:
            genomescan.gather([os.path.dirname(p) for p in input], output.bed, output.counts, SCAN.max_q,
                              SCAN.max_p)
        except (OSError, ValueError, KeyError) as e:
            raise WorkflowError(f"gathering the scan's pieces: {e}")
