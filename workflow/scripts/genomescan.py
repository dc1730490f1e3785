"""A genome scan as jobs: the pieces of the target, the command of each
piece's job, and gathering the pieces' calls into one modules.bed.

Every job reads the whole target and scans only the records of its piece
(the program's --only): the background chain and the null are drawn from
the whole file in every job, so a call has the same score and p-value in
its piece as in a scan of the whole file. A piece is one record
(`pieces: chromosome`) or consecutive records joined up to `chunk_size`
letters (`pieces: chunk`, for assemblies of many scaffolds); a record is
never cut, since the program already scans a record in chunks, over
threads, with overlaps that lose and double nothing at their edges.

Each job lists every call (--max-p 1). The gathering redoes what the
program does over a whole file: Benjamini-Hochberg over all calls with
the tests of the whole target (its letters / L, at least the number of
calls), then the --max-q or --max-p filter, the ranks by score and the
order by chromosome and start. A call's p-value is k / (1 + tiles) for a
whole number k (1 + the null tiles scoring as high); modules.bed prints
it to three significant digits, from which k comes back exactly while k
is below 100, that is, for every p below 100 / (1 + tiles) (0.005 at the
default 20,000 tiles). A q-value is never below the p-values it is made
of, so every q below 99 / (1 + tiles) is exactly the whole-file scan's;
a larger one is made of p-values known to 3 digits and may differ from
it by up to 0.5%. Ranks follow the printed scores (3 decimals), so two
modules whose scores agree to 3 decimals keep genome order.
"""
import gzip
import json
import os
import re
import shlex
from dataclasses import dataclass
from typing import List, Sequence, Tuple

# Options the workflow sets itself, or whose effect the gathering applies.
OWN_OPTIONS = ("--scan", "--motifs", "--model", "--outdir", "--force", "--only", "--max-q", "--max-p", "--help")
DEFAULT_MODULE_LENGTH = 200
DEFAULT_MAX_Q = 0.05
# Parameters every piece must share for their p-values to be comparable.
SHARED = ("module_length", "module_rate", "site_rate", "bg_order", "mask_lower", "seed", "null_tiles",
          "null_letters")


class ScanConfigError(Exception):
    """A problem with the scan config or its target, naming where."""


@dataclass(frozen=True)
class ScanConfig:
    target: str
    motifs: str
    model: str
    options: tuple
    pieces: str          # chromosome or chunk
    chunk_size: int
    max_q: float
    max_p: float         # below 0: filter by max_q
    threads: int
    runtime: int


def _number(scan: dict, key: str, default, kind, low, high):
    value = scan.get(key, default)
    if isinstance(value, bool) or not isinstance(value, (int, float) if kind is float else int) \
            or not low < value <= high:
        raise ScanConfigError(f"config: scan: {key} must be a number above {low} and at most {high}, not {value!r}")
    return kind(value)


def _options(text) -> tuple:
    if text is None:
        return ()
    if not isinstance(text, str):
        raise ScanConfigError("config: scan: options must be one string, e.g. \"--module-length 300\"")
    try:
        words = shlex.split(text)
    except ValueError as e:
        raise ScanConfigError(f"config: scan: options {text!r}: {e}")
    for w in words:
        if w.split("=", 1)[0] in OWN_OPTIONS:
            raise ScanConfigError(f"config: scan: options: {w} is set by the workflow itself "
                                  "(use the scan keys target, motifs, model, max_q, max_p)")
    return tuple(words)


def load_scan(config: dict) -> ScanConfig:
    scan = config.get("scan")
    if not isinstance(scan, dict):
        raise ScanConfigError("config: scan must be a mapping with at least target and motifs or model")
    target = str(scan.get("target") or "")
    motifs, model = str(scan.get("motifs") or ""), str(scan.get("model") or "")
    if not os.path.isfile(target):
        raise ScanConfigError(f"config: scan: target {target!r} is not a file")
    if bool(motifs) == bool(model):
        raise ScanConfigError("config: scan: give exactly one of motifs (a matrix file) and model "
                              "(the output folder of a discovery run)")
    if motifs and not os.path.isfile(motifs):
        raise ScanConfigError(f"config: scan: motifs {motifs!r} is not a file")
    if model and not os.path.isfile(os.path.join(model, "summary.json")):
        raise ScanConfigError(f"config: scan: model {model!r} is not a folder holding summary.json")
    pieces = scan.get("pieces", "chromosome")
    if pieces not in ("chromosome", "chunk"):
        raise ScanConfigError(f"config: scan: pieces must be chromosome or chunk, not {pieces!r}")
    if "max_q" in scan and "max_p" in scan:
        raise ScanConfigError("config: scan: give max_q or max_p, not both")
    return ScanConfig(target, motifs, model, _options(scan.get("options", "")), pieces,
                      _number(scan, "chunk_size", 50_000_000, int, 0, 10**12),
                      _number(scan, "max_q", DEFAULT_MAX_Q, float, 0.0, 1.0),
                      _number(scan, "max_p", 1.0, float, 0.0, 1.0) if "max_p" in scan else -1.0,
                      _number(scan, "threads", 1, int, 0, 256), _number(scan, "runtime", 120, int, 0, 10**6))


def module_length(cfg: ScanConfig) -> int:
    """L of the scan: --module-length in the options, else the model's, else the default."""
    value = None
    for i, w in enumerate(cfg.options):
        if w == "--module-length" and i + 1 < len(cfg.options):
            value = cfg.options[i + 1]
        elif w.startswith("--module-length="):
            value = w.split("=", 1)[1]
    if value is not None:
        if not re.fullmatch(r"[0-9]+", value):
            raise ScanConfigError(f"config: scan: options: --module-length {value}: not a whole number")
        return int(value)
    if cfg.model:
        with open(os.path.join(cfg.model, "summary.json")) as f:
            runs = json.load(f).get("runs") or [{}]
        return int(runs[0].get("module_length", DEFAULT_MODULE_LENGTH))
    return DEFAULT_MODULE_LENGTH


def read_records(path: str) -> List[Tuple[str, int]]:
    """(name, letters) of every record: the name line's first word, as the
    program names it."""
    with open(path, "rb") as f:
        opener = gzip.open if f.read(2) == b"\x1f\x8b" else open
    records = []
    with opener(path, "rb") as f:
        for line in f:
            if line.startswith(b">"):
                words = line[1:].split()
                records.append([words[0].decode("utf-8", "replace") if words else "", 0])
            elif records:
                records[-1][1] += len(line.strip())
    return [(name, letters) for name, letters in records]


def make_pieces(records: Sequence[Tuple[str, int]], mode: str, chunk_size: int, L: int,
                where: str) -> List[List[str]]:
    """The records of each piece. Records shorter than L hold no module
    (the program skips them) and join no piece."""
    seen = set()
    for name, _ in records:
        if not name or "," in name:
            raise ScanConfigError(f"{where}: record name {name!r} cannot be named to --only (empty or with a comma)")
        if name in seen:
            raise ScanConfigError(f"{where}: record name {name} is given twice; the pieces name records")
        seen.add(name)
    pieces, letters = [], 0
    for name, length in records:
        if length < L:
            continue
        if not pieces or mode == "chromosome" or letters >= chunk_size:
            pieces.append([])
            letters = 0
        pieces[-1].append(name)
        letters += length
    if not pieces:
        raise ScanConfigError(f"{where}: no record of {L} letters or more (the module length)")
    return pieces


def write_pieces(path: str, pieces: List[List[str]]) -> None:
    with open(path, "w") as f:
        f.write("piece\trecords\n")
        for i, names in enumerate(pieces, start=1):
            f.write(f"{piece_id(i)}\t{','.join(names)}\n")


def piece_id(number: int) -> str:
    return f"piece{number:04d}"


def read_pieces(path: str) -> dict:
    with open(path) as f:
        rows = [line.rstrip("\n").split("\t") for line in f][1:]
    return {row[0]: row[1] for row in rows}


def command(program: str, cfg: ScanConfig, names: str, outdir: str) -> str:
    words = [program, "--scan", cfg.target] + (["--motifs", cfg.motifs] if cfg.motifs else ["--model", cfg.model])
    if cfg.threads > 1:
        words += ["--threads", str(cfg.threads)]
    words += list(cfg.options) + ["--only", names, "--max-p", "1", "--outdir", outdir, "--force"]
    return shlex.join(words)


@dataclass
class Call:
    chrom: str
    start: int
    end: int
    score: str          # as the piece printed it (3 decimals)
    k: int              # p = k / (tiles + 1)
    sites: str
    p: float = 1.0
    q: float = 1.0


def _read_piece(folder: str, first: dict) -> Tuple[dict, List[Call]]:
    with open(os.path.join(folder, "summary.json")) as f:
        summary = json.load(f)
    params = summary["parameters"]
    shared = {k: params.get(k) for k in SHARED}
    if first and shared != first:
        raise ValueError(f"{folder}: scanned with other parameters than the first piece "
                         f"({shared} against {first}): its p-values cannot be compared")
    tiles = int(params["null_tiles"])
    calls = []
    with open(os.path.join(folder, "modules.bed")) as f:
        for line in f:
            x = line.rstrip("\n").split("\t")
            calls.append(Call(x[0], int(x[1]), int(x[2]), x[4], round(float(x[6]) * (tiles + 1)), x[8]))
    if len(calls) != summary["counts"]["calls"]:
        raise ValueError(f"{folder}: modules.bed lists {len(calls)} of {summary['counts']['calls']} calls "
                         "(the piece must run with --max-p 1)")
    return dict(shared, letters=summary["counts"]["letters"]), calls


def benjamini_hochberg(calls: List[Call], tests: int) -> None:
    """q of every call, as the program computes it over a whole file."""
    order = sorted(range(len(calls)), key=lambda i: calls[i].p)
    running = 1.0
    for r in range(len(order) - 1, -1, -1):
        running = min(running, calls[order[r]].p * float(tests) / float(r + 1))
        calls[order[r]].q = min(1.0, running)


def gather_calls(folders: Sequence[str]) -> Tuple[List[Call], int]:
    """Every call of the pieces with its whole-target p and q, and the tests."""
    first, calls, letters = {}, [], 0
    for folder in folders:
        head, more = _read_piece(folder, first)
        letters += head.pop("letters")
        first = first or head
        calls += more
    tiles, L = int(first["null_tiles"]), int(first["module_length"])
    for c in calls:
        c.p = (1.0 + (c.k - 1)) / (1.0 + tiles)
    tests = max(len(calls), letters // L)
    benjamini_hochberg(calls, tests)
    return calls, tests


def modules_bed(calls: List[Call], max_q: float, max_p: float) -> str:
    """The reported calls as the program writes modules.bed: ranked by score
    (ties in genome order), sorted by chromosome and start."""
    kept = [c for c in calls if (c.p <= max_p if max_p >= 0.0 else c.q <= max_q)]
    kept.sort(key=lambda c: (c.chrom.encode(), c.start))
    ranked = sorted(range(len(kept)), key=lambda i: -float(kept[i].score))
    rank = {i: r + 1 for r, i in enumerate(ranked)}
    return "".join(f"{c.chrom}\t{c.start}\t{c.end}\tcrm{rank[i]}\t{c.score}\t.\t{c.p:.3g}\t{c.q:.3g}\t{c.sites}\n"
                   for i, c in enumerate(kept))


def gather(folders: Sequence[str], out_bed: str, out_counts: str, max_q: float, max_p: float) -> str:
    calls, tests = gather_calls(folders)
    text = modules_bed(calls, max_q, max_p)
    for path, content in ((out_bed, text), (out_counts, json.dumps(
            {"pieces": len(folders), "calls": len(calls), "tests": tests,
             "reported": text.count("\n"), "filter": {"max_p": max_p} if max_p >= 0.0 else {"max_q": max_q}},
            indent=2) + "\n")):
        tmp = f"{path}.tmp{os.getpid()}"
        with open(tmp, "w") as f:
            f.write(content)
        os.replace(tmp, path)
    return text
