"""Gathers the jobs of the workflow into summary.tsv and index.html.

Every job of the grid gets its rows, whatever became of it:
- ok: the job's summary.json is read; one row per run it holds;
- failed: the program stopped with a non-zero exit status (recorded by the
  job in <log>.status; Snakemake keeps log files of failed jobs), or its
  summary.json cannot be read; one row per run the job would have made,
  with the exit status and the reason from the log;
- incomplete: neither a result nor a status (not started, still running,
  or killed by the scheduler before it could record a status).

So the table always has one row per set x setting x seed x run, in the
order of the job list. Missing values are written as NA (read as missing
by pandas and R). Both files are written to a temporary name and renamed,
so a reader never sees half a table.
"""
import html
import json
import os
from dataclasses import dataclass, field
from typing import List, Optional

COLUMNS = ["set", "K", "L", "job_seed", "run", "seed", "status", "exit_status", "log_pmo", "cpu_seconds",
           "sweeps", "motifs", "consensus", "site_counts", "modules", "outdir", "log", "error"]
NA = "NA"
ERROR_PREFIX = "Ruzaravo:"   # the program's reason line on standard error
MAX_ERROR = 300


@dataclass
class Outcome:
    """What became of one job, read from its files."""
    job: object                        # jobgrid.Job
    status: str                        # ok, failed or incomplete
    exit_status: Optional[int] = None
    error: str = ""
    runs: List[dict] = field(default_factory=list)   # the runs of summary.json
    has_report: bool = False


def _read_status(path: str) -> Optional[int]:
    try:
        with open(path) as f:
            return int(f.read().strip())
    except (OSError, ValueError):
        return None


def reason_from_log(path: str) -> str:
    """The program's reason line, else the last non-empty line of the log."""
    try:
        with open(path, errors="replace") as f:
            lines = [ln.strip() for ln in f if ln.strip()]
    except OSError:
        return ""
    reasons = [ln for ln in lines if ln.startswith(ERROR_PREFIX)]
    text = reasons[-1] if reasons else (lines[-1] if lines else "")
    return text[:MAX_ERROR]


def _check_runs(runs) -> None:
    """The shape the table reads: a list of run objects, each with a list
    of motif objects."""
    if not isinstance(runs, list) or not all(isinstance(r, dict) for r in runs):
        raise ValueError("runs is not a list of objects")
    for r in runs:
        motifs = r.get("motifs")
        if motifs is not None and (not isinstance(motifs, list) or not all(isinstance(m, dict) for m in motifs)):
            raise ValueError("motifs is not a list of objects")


def read_outcome(job, run_dir: str, log_path: str, status_path: str) -> Outcome:
    summary = os.path.join(run_dir, "summary.json")
    exit_status = _read_status(status_path)
    if os.path.exists(summary):
        try:
            with open(summary) as f:
                runs = json.load(f)["runs"]
            _check_runs(runs)
        except (OSError, ValueError, KeyError, TypeError) as e:
            return Outcome(job, "failed", exit_status, f"{summary}: cannot be read ({e})")
        return Outcome(job, "ok", exit_status, "", runs, os.path.exists(os.path.join(run_dir, "report.html")))
    if exit_status is None:
        return Outcome(job, "incomplete", None, "no result and no exit status: not run, or stopped from outside")
    error = reason_from_log(log_path)
    if exit_status == 0:
        error = "exited with 0 but wrote no summary.json" + (f" ({error})" if error else "")
    return Outcome(job, "failed", exit_status, error)


def _text(value) -> str:
    if value is None:
        return NA
    if isinstance(value, bool):
        return "true" if value else "false"
    return " ".join(str(value).split()) or NA   # no tab or line break inside a cell


def _motif_cells(run: dict):
    motifs = run.get("motifs") or []
    names = [f"m{m.get('motif', i + 1)}" for i, m in enumerate(motifs)]
    consensus = ",".join(f"{n}:{m.get('consensus', NA)}" for n, m in zip(names, motifs))
    sites = ",".join(f"{n}:{m.get('nsites', NA)}" for n, m in zip(names, motifs))
    return len(motifs), consensus or NA, sites or NA


def rows_of(outcome: Outcome, chains: int, outdir: str, log: str) -> List[List[str]]:
    job = outcome.job
    head = [job.set, job.K, job.L, job.seed]
    rows = []
    if outcome.status == "ok":
        for index, run in enumerate(outcome.runs):
            count, consensus, sites = _motif_cells(run)
            modules = run.get("modules")
            rows.append(head + [run.get("run", index + 1), run.get("seed"), "ok", outcome.exit_status,
                                run.get("log_pmo"), run.get("cpu_seconds"), run.get("sweeps"), count, consensus,
                                sites, len(modules) if isinstance(modules, list) else None, outdir, log, None])
    else:
        for run in range(1, chains + 1):
            rows.append(head + [run, job.seed + run - 1, outcome.status, outcome.exit_status] + [None] * 7 +
                        [outdir, log, outcome.error])
    return [[_text(v) for v in row] for row in rows]


def _write_atomically(path: str, text: str) -> None:
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    tmp = f"{path}.tmp{os.getpid()}"
    with open(tmp, "w") as f:
        f.write(text)
    os.replace(tmp, path)


def format_tsv(table: List[List[str]]) -> str:
    return "".join("\t".join(row) + "\n" for row in [COLUMNS] + table)


def _link(href: str, label: str) -> str:
    return f'<a href="{html.escape(href)}">{html.escape(label)}</a>'


def _runs_cell(outcome: Outcome) -> str:
    if outcome.status != "ok":
        return html.escape(outcome.error or "")
    parts = []
    for index, run in enumerate(outcome.runs):
        count, consensus, _ = _motif_cells(run)
        pmo = run.get("log_pmo")
        parts.append(f"run {html.escape(_text(run.get('run', index + 1)))}, seed {html.escape(_text(run.get('seed')))}"
                     + ("" if pmo is None else f", Log-PMO {html.escape(_text(pmo))}")
                     + f": {html.escape(consensus)}")
    return "<br>".join(parts)


def format_index(entries, partial: bool) -> str:
    """entries: (outcome, outdir, log) with paths relative to the page."""
    counts = {s: sum(1 for o, _, _ in entries if o.status == s) for s in ("ok", "failed", "incomplete")}
    out = ["<!DOCTYPE html>", '<html lang="en"><head><meta charset="utf-8"><title>Ruzaravo runs</title>',
           "<style>body{font-family:sans-serif;margin:1.5em}table{border-collapse:collapse}"
           "td,th{border:1px solid #ccc;padding:.25em .5em;text-align:left;vertical-align:top}"
           ".failed{background:#fde0dc}.incomplete{background:#fff3cd}</style></head><body>",
           "<h1>Ruzaravo runs</h1>",
           f"<p>{len(entries)} jobs: {counts['ok']} ok, {counts['failed']} failed, "
           f"{counts['incomplete']} incomplete. The table of every run is "
           f"{_link('summary.tsv', 'summary.tsv')}.</p>"]
    if partial:
        out.append("<p><strong>The workflow stopped with errors; this page shows the state it left.</strong></p>")
    out.append("<table><thead><tr><th>set</th><th>K</th><th>L</th><th>seed</th><th>status</th>"
               "<th>runs</th><th>files</th></tr></thead><tbody>")
    for outcome, outdir, log in entries:
        job = outcome.job
        status = outcome.status
        if outcome.exit_status not in (None, 0):
            status += f" (exit {outcome.exit_status})"
        links = []
        if outcome.status == "ok":
            if outcome.has_report:
                links.append(_link(f"{outdir}/report.html", "report"))
            links.append(_link(f"{outdir}/result.txt", "result.txt"))
            links.append(_link(f"{outdir}/summary.json", "summary.json"))
            links.append(_link(f"{outdir}/", "folder"))
        links.append(_link(log, "log"))
        out.append(f'<tr class="{outcome.status}"><td>{html.escape(job.set)}</td><td>{job.K}</td><td>{job.L}</td>'
                   f"<td>{job.seed}</td><td>{html.escape(status)}</td><td>{_runs_cell(outcome)}</td>"
                   f"<td>{' '.join(links)}</td></tr>")
    out.append("</tbody></table></body></html>")
    return "\n".join(out) + "\n"


def gather(jobs, chains: int, results: str, tsv: str, index: str, partial: bool = False) -> List[Outcome]:
    """Reads every job below results/runs and results/logs and writes both
    files. Paths in the files are relative to the results folder."""
    table, entries = [], []
    for job in jobs:
        outdir = f"runs/{job.key}"
        log = f"logs/{job.key}.log"
        outcome = read_outcome(job, os.path.join(results, outdir), os.path.join(results, log),
                               os.path.join(results, f"logs/{job.key}.status"))
        table += rows_of(outcome, chains, outdir, log)
        entries.append((outcome, outdir, log))
    _write_atomically(tsv, format_tsv(table))
    _write_atomically(index, format_index(entries, partial))
    return [o for o, _, _ in entries]
