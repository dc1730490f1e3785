# The workflow's data: sets and grid from the config, the job list, and the
# gathering shared by the gather rule and the error handler.
import os
import shutil
import sys

sys.path.insert(0, os.path.join(workflow.basedir, "scripts"))
import gather
import jobgrid

configfile: os.path.join(workflow.basedir, "config.yaml")

try:
    SETS = jobgrid.load_sets(config)
    GRID = jobgrid.load_grid(config)
except jobgrid.ConfigError as e:
    raise WorkflowError(str(e))

PROGRAM = str(config.get("program") or "Ruzaravo")
if shutil.which(PROGRAM) is None:
    raise WorkflowError(f"config: program {PROGRAM} is neither an executable file nor a command on the PATH")
JOBS = jobgrid.all_jobs(SETS, GRID)
SUMMARIES = [f"results/runs/{job.key}/summary.json" for job in JOBS]


def job_of(wildcards):
    return jobgrid.Job(wildcards.set, int(wildcards.K), int(wildcards.L), int(wildcards.seed))


def runs_of_job(job):
    """Runs the job makes: the chains its options ask for, else the grid's runs."""
    return jobgrid.runs_of(SETS[job.set], GRID)


def chained_job(job):
    """Whether the job runs the program's chains (their seeds are mixed)."""
    return jobgrid.chains_of(jobgrid.option_words(SETS[job.set], GRID), f"set {job.set}") is not None


def memory_of(wildcards, fasta, attempt):
    dataset = SETS[wildcards.set]
    return jobgrid.memory_mb(fasta, int(wildcards.K), jobgrid.option_words(dataset, GRID), attempt,
                             parallel=min(GRID.threads, jobgrid.runs_of(dataset, GRID)))


def gather_now(partial):
    """Writes results/summary.tsv and results/index.html from every job.
    When the workflow stopped with errors, both files are dated before the
    oldest job result, so that the gather rule rebuilds them on the first
    invocation in which every job succeeds."""
    outcomes = gather.gather(JOBS, runs_of_job, "results", "results/summary.tsv", "results/index.html", partial,
                             chained=chained_job)
    stamps = [os.path.getmtime(p) for p in SUMMARIES if os.path.exists(p)]
    if partial and stamps:
        stamp = min(stamps) - 1
        for path in ("results/summary.tsv", "results/index.html"):
            os.utime(path, (stamp, stamp))
    return outcomes


def report_failures(outcomes):
    failed = [o for o in outcomes if o.status != "ok"]
    print(f"Ruzaravo workflow: {len(failed)} of {len(outcomes)} jobs did not succeed; "
          "see results/summary.tsv and results/index.html", file=sys.stderr)
    for o in failed:
        print(f"  {o.job.key}: {o.status}"
              + (f" (exit {o.exit_status})" if o.exit_status is not None else "")
              + (f": {o.error}" if o.error else ""), file=sys.stderr)
