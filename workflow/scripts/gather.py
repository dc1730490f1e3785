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
order of the job list. A job of chains (--chains, a preset) has one row per
chain; its rows also say, per motif, which cluster of the job's chains the
motif joined, the cluster's support and whether the motif represents it
(summary.json's "chains" section), and every row gives each motif's
enrichment where the run measured it, its held-out E-value (--holdout)
and the known factor it matches best with that match's q (--known; the
"matches" section, where a motif is named r<run>.m<k>). Missing values are written as NA (read as missing
by pandas and R). Both files are written to a temporary name and renamed,
so a reader never sees half a table.
"""
import html
import json
import os
import re
from dataclasses import dataclass, field
from typing import List, Optional

COLUMNS = ["set", "K", "L", "job_seed", "run", "seed", "status", "exit_status", "log_pmo", "cpu_seconds",
           "sweeps", "motifs", "consensus", "site_counts", "modules", "outdir", "log", "error",
           "cluster", "support", "representative", "enrichment", "log10_p", "heldout_E", "factor", "factor_q"]
NA = "NA"
ERROR_PREFIX = "Ruzaravo:"   # the program's reason line on standard error
# The progress line the program writes to a log every 30 s: not a reason.
PROGRESS_LINE = re.compile(r"Ruzaravo: (run|chain) \d+ of \d+  sweep ")
MAX_ERROR = 300


@dataclass
class Outcome:
    """What became of one job, read from its files."""
    job: object                        # jobgrid.Job
    status: str                        # ok, failed or incomplete
    exit_status: Optional[int] = None
    error: str = ""
    runs: List[dict] = field(default_factory=list)   # the runs of summary.json
    chains: Optional[dict] = None                    # its "chains" section (--chains only)
    matches: Optional[list] = None                   # its "matches" (--known only)
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
    lines = [ln for ln in lines if not PROGRESS_LINE.match(ln)]
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


def _check_chains(chains) -> None:
    """The shape the cluster columns read: clusters with their members."""
    if chains is None:
        return
    clusters = chains.get("clusters") if isinstance(chains, dict) else None
    if not isinstance(clusters, list) or not all(isinstance(c, dict) for c in clusters):
        raise ValueError("chains.clusters is not a list of objects")
    for c in clusters:
        members = c.get("members")
        if not isinstance(members, list) or not all(isinstance(m, dict) for m in members):
            raise ValueError("a cluster's members is not a list of objects")


def _check_matches(matches) -> None:
    """The shape the factor columns read: a list of match objects."""
    if matches is not None and (not isinstance(matches, list) or not all(isinstance(m, dict) for m in matches)):
        raise ValueError("matches is not a list of objects")


def read_outcome(job, run_dir: str, log_path: str, status_path: str) -> Outcome:
    summary = os.path.join(run_dir, "summary.json")
    exit_status = _read_status(status_path)
    if os.path.exists(summary):
        try:
            with open(summary) as f:
                document = json.load(f)
            runs, chains, matches = document["runs"], document.get("chains"), document.get("matches")
            _check_runs(runs)
            _check_chains(chains)
            _check_matches(matches)
        except (OSError, ValueError, KeyError, TypeError, AttributeError) as e:
            return Outcome(job, "failed", exit_status, f"{summary}: cannot be read ({e})")
        return Outcome(job, "ok", exit_status, "", runs, has_report=os.path.exists(os.path.join(run_dir, "report.html")),
                       chains=chains, matches=matches)
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


def _cluster_cells(run_number, motifs, chains: Optional[dict]):
    """Per motif of one chain: its cluster, the cluster's support out of the
    chains, and whether it is the cluster's representative (the member
    whose sites are the cluster's). NA cells without chains."""
    if chains is None or not motifs:
        return None, None, None
    where = {}
    for c in chains["clusters"]:
        for m in c["members"]:
            best = (m.get("chain"), m.get("motif")) == (c.get("best_chain"), c.get("motif"))
            where[(m.get("chain"), m.get("motif"))] = (c.get("cluster"), c.get("support"), best)
    total = chains.get("chains")
    cells = ([], [], [])
    for i, m in enumerate(motifs):
        name = f"m{m.get('motif', i + 1)}"
        cluster, support, best = where.get((run_number, m.get("motif", i + 1)), (None, None, None))
        cells[0].append(f"{name}:{_text(cluster)}")
        cells[1].append(f"{name}:" + (NA if support is None else f"{support}/{total}"))
        cells[2].append(f"{name}:{NA if best is None else ('yes' if best else 'no')}")
    return tuple(",".join(c) for c in cells)


def _enrichment_cells(motifs):
    """Per motif: its enrichment ratio and log10 p-value against the
    control; NA without enrichment, m<k>:NA for a motif not measurable."""
    if not any("enrichment" in m for m in motifs):
        return None, None
    names = [f"m{m.get('motif', i + 1)}" for i, m in enumerate(motifs)]
    values = [m.get("enrichment") if isinstance(m.get("enrichment"), dict) else {} for m in motifs]
    return (",".join(f"{n}:{_text(v.get('ratio'))}" for n, v in zip(names, values)),
            ",".join(f"{n}:{_text(v.get('log10_p'))}" for n, v in zip(names, values)))


def _heldout_cells(motifs):
    """Per motif: its held-out E-value; NA without --holdout, m<k>:NA for a
    motif it did not measure."""
    if not any("heldout" in m for m in motifs):
        return None
    names = [f"m{m.get('motif', i + 1)}" for i, m in enumerate(motifs)]
    values = [m.get("heldout") if isinstance(m.get("heldout"), dict) else {} for m in motifs]
    return ",".join(f"{n}:{_text(v.get('E'))}" for n, v in zip(names, values))


def _factor_cells(run_number, motifs, matches: Optional[list]):
    """Per motif: the known factor it matches best (smallest p; its name,
    else its library id) and that match's q; NA without --known, m<k>:NA
    for a motif without a match."""
    if matches is None or not motifs:
        return None, None
    best = {}
    for m in matches:
        key = m.get("motif")
        if key not in best or (m.get("p") is not None and m.get("p") < best[key].get("p", float("inf"))):
            best[key] = m
    factors, qs = [], []
    for i, m in enumerate(motifs):
        name = f"m{m.get('motif', i + 1)}"
        match = best.get(m.get("id") or f"r{run_number}.{name}")
        factors.append(f"{name}:" + (NA if match is None else _text(match.get("name") or match.get("library_id"))))
        qs.append(f"{name}:" + (NA if match is None else _text(match.get("q"))))
    return ",".join(factors), ",".join(qs)


def _run_row(outcome: Outcome, index: int, run: dict, outdir: str, log: str) -> list:
    count, consensus, sites = _motif_cells(run)
    modules = run.get("modules")
    number = run.get("run", index + 1)
    motifs = run.get("motifs") or []
    return [number, run.get("seed"), "ok", outcome.exit_status, run.get("log_pmo"), run.get("cpu_seconds"),
            run.get("sweeps"), count, consensus, sites, len(modules) if isinstance(modules, list) else None,
            outdir, log, None, *_cluster_cells(number, motifs, outcome.chains), *_enrichment_cells(motifs),
            _heldout_cells(motifs), *_factor_cells(number, motifs, outcome.matches)]


def chain_seed(seed: int, chain: int) -> int:
    """The seed the program gives chain `chain` (from 0) of --chains with
    --seed `seed`: splitmix64's finaliser of (seed, chain), as
    base/SeedMix.h computes it. Runs of -N use seed + run instead."""
    mask = (1 << 64) - 1
    x = ((seed << 32) | (chain & 0xFFFFFFFF)) & mask
    x = (x + 0x9E3779B97F4A7C15) & mask
    x = ((x ^ (x >> 30)) * 0xBF58476D1CE4E5B9) & mask
    x = ((x ^ (x >> 27)) * 0x94D049BB133111EB) & mask
    x ^= x >> 31
    return (x ^ (x >> 32)) & 0xFFFFFFFF


def rows_of(outcome: Outcome, runs: int, outdir: str, log: str, chained: bool = False) -> List[List[str]]:
    """The job's rows: one per run it made, or per run it would have made
    (with the seed it would have used: chained, the chain's mixed seed)."""
    job = outcome.job
    head = [job.set, job.K, job.L, job.seed]
    rows = []
    if outcome.status == "ok":
        for index, run in enumerate(outcome.runs):
            rows.append(head + _run_row(outcome, index, run, outdir, log))
    else:
        for run in range(1, runs + 1):
            seed = chain_seed(job.seed, run - 1) if chained else job.seed + run - 1
            rows.append(head + [run, seed, outcome.status, outcome.exit_status] + [None] * 7 +
                        [outdir, log, outcome.error] + [None] * 8)
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


def gather(jobs, runs, results: str, tsv: str, index: str, partial: bool = False, chained=None) -> List[Outcome]:
    """Reads every job below results/runs and results/logs and writes both
    files. Paths in the files are relative to the results folder. `runs`:
    the runs a job makes (its rows when it failed), a number for every job
    or a function of the job. `chained(job)`: whether the job runs chains
    (--chains, a preset), whose seeds are mixed; None: no job does."""
    runs_of = runs if callable(runs) else (lambda job: runs)
    table, entries = [], []
    for job in jobs:
        outdir = f"runs/{job.key}"
        log = f"logs/{job.key}.log"
        outcome = read_outcome(job, os.path.join(results, outdir), os.path.join(results, log),
                               os.path.join(results, f"logs/{job.key}.status"))
        table += rows_of(outcome, runs_of(job), outdir, log, bool(chained and chained(job)))
        entries.append((outcome, outdir, log))
    _write_atomically(tsv, format_tsv(table))
    _write_atomically(index, format_index(entries, partial))
    return [o for o, _, _ in entries]
