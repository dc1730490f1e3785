# Ruzaravo over many data sets: one `Ruzaravo --outdir` job per
# set x K x L x seed, gathered into results/summary.tsv and results/index.html.
#
# Paths are relative to the working directory (where snakemake runs, or
# --directory). Layout below results/:
#   runs/<set>/K<K>_L<L>/seed<seed>/        the job's output folder (summary.json, report.html, ...)
#   logs/<set>/K<K>_L<L>/seed<seed>.log     the program's standard output and error
#   logs/<set>/K<K>_L<L>/seed<seed>.status  its exit status
#   summary.tsv, index.html                 every job, gathered
#
# A job whose program fails (a malformed FASTA file) fails in Snakemake:
# its summary.json is not there, its log and status are kept (Snakemake
# never deletes log files), and with --keep-going every other job goes on.
# The gather rule then cannot run, so the onerror handler gathers what there
# is: failed jobs get rows with their exit status and reason.
include: "common.smk"

wildcard_constraints:
    set=r"[A-Za-z0-9][A-Za-z0-9._-]*",
    K=r"\d+",
    L=r"\d+",
    seed=r"\d+",

localrules: gather


# What the Snakefile's rule all asks for.
TARGETS = ["results/summary.tsv", "results/index.html"]


rule run:
    input:
        fasta=lambda wc: SETS[wc.set].path,
    output:
        summary="results/runs/{set}/K{K}_L{L}/seed{seed}/summary.json",
    log:
        out="results/logs/{set}/K{K}_L{L}/seed{seed}.log",
        status="results/logs/{set}/K{K}_L{L}/seed{seed}.status",
    params:
        # the whole command line: a changed option or set option reruns the job
        cmd=lambda wc: jobgrid.command(PROGRAM, SETS[wc.set], job_of(wc), GRID),
        outdir="results/runs/{set}/K{K}_L{L}/seed{seed}",
    threads: GRID.threads
    resources:
        mem_mb=lambda wc, input, attempt: memory_of(wc, input.fasta, attempt),
        runtime=lambda wc, attempt: GRID.runtime * attempt,
    shell:
        # --force: the folder is this job's own; whatever an earlier,
        # interrupted attempt left there is replaced. The status of an
        # earlier attempt goes first, so a job killed from outside (out of
        # time or memory on a cluster) shows as incomplete, not as that attempt.
        """
        rm -f {log.status:q}
        status=0
        {params.cmd} --outdir {params.outdir:q} --force > {log.out:q} 2>&1 || status=$?
        echo "$status" > {log.status:q}
        exit "$status"
        """


rule gather:
    input:
        SUMMARIES,
    output:
        tsv="results/summary.tsv",
        index="results/index.html",
    run:
        gather_now(partial=False)


onerror:
    report_failures(gather_now(partial=True))
