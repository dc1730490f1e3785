#!/usr/bin/env python3
"""Tells Snakemake how a SLURM job is doing: prints success, running or failed.

Snakemake calls it with the id sbatch printed (`--parsable` may add
";cluster"). The state comes from sacct, or from scontrol while the
accounting database has not caught up; a job SLURM no longer knows and
sacct does not list yet counts as running, so a slow database never fails a
job that is fine. A job that ran out of time or memory, or was cancelled or
lost with its node, is failed: Snakemake then keeps its log and, with
restart-times, submits it again with more memory and time.
"""
import subprocess
import sys

RUNNING = {"PENDING", "CONFIGURING", "RUNNING", "COMPLETING", "REQUEUED", "REQUEUE_FED", "REQUEUE_HOLD",
           "RESIZING", "SUSPENDED", "STAGE_OUT", "SIGNALING", "STOPPED"}


def verdict(state: str) -> str:
    """success, running or failed for a SLURM job state ("CANCELLED by 123" counts as CANCELLED)."""
    words = state.split()
    word = words[0].rstrip("+") if words else ""
    if word == "COMPLETED":
        return "success"
    if word in RUNNING or word == "":
        return "running"
    return "failed"


def _output(command) -> str:
    try:
        return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                              timeout=60).stdout
    except (OSError, subprocess.TimeoutExpired):
        return ""


def state_of(job_id: str) -> str:
    # The first line is the whole allocation; its steps (batch, extern) follow.
    lines = _output(["sacct", "-j", job_id, "--format=State", "--noheader", "--parsable2", "-X"]).split("\n")
    if lines[0].strip():
        return lines[0].strip()
    for field in _output(["scontrol", "show", "job", job_id]).split():
        if field.startswith("JobState="):
            return field[len("JobState="):]
    return ""


if __name__ == "__main__":
    print(verdict(state_of(sys.argv[1].split(";")[0])))
