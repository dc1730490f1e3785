"""Data sets, the grid of settings and the command of each job.

A data set is one FASTA file (plain or gzip). Its name comes from the file
name (config key `fasta_dir`) or from the sample sheet (`samples`); it names
every folder and table row that belongs to the set, so it is restricted to
letters, digits, '.', '_' and '-' and must be unique.

A job is one set x K x L x seed: one program invocation writing one output
folder. It holds `runs` independent runs (-N; run r uses seed + r - 1), or,
when the options ask for chains (--chains C, or a preset that sets them),
the C chains of the program's own --chains and no -N: the program refuses
both at once. Without a K in the config a job takes the preset's K (or the
program's default, 3), so `--preset enhancers` runs as the preset says.
The program's own options are assembled here as a list of words and quoted
once, so nothing in a file name or an option string reaches the shell
unquoted. Option words that would fight the grid (-i, -o, -K, -L, -N,
--seed, --outdir, --force, --trace) are refused in the option strings.

Nothing here draws random numbers; everything is a pure function of the
config and the files it names, so the job list is the same on every
invocation and Snakemake can decide what is up to date.
"""
import csv
import math
import os
import re
import shlex
from dataclasses import dataclass
from typing import Dict, List, Sequence

FASTA_SUFFIXES = (".fa", ".fasta", ".fna", ".fas")
NAME_PATTERN = re.compile(r"^[A-Za-z0-9][A-Za-z0-9._-]*$")

# Option letters the grid sets itself (only the second letter of a word
# counts for the program) and long options that would write outside the
# job's own folder or override its seed.
GRID_LETTERS = {"i": "-i", "o": "-o", "K": "-K", "L": "-L", "N": "-N"}
GRID_LONG = ("--seed", "--outdir", "--force", "--trace", "--threads")

# Memory of one job: the position tables take about 24 x K bytes per letter
# (40 x K with -B); the rest (sequence, module probabilities, tallies) stays
# under 64 bytes per letter. A gzip file is counted at four letters per
# byte, a safe ratio for DNA text.
BASE_MEM_MB = 256
GZIP_RATIO = 4

# What the program's presets (app/Presets.cpp) set of the grid's concern:
# their K and their number of chains. A unit test reads them back from the
# program's source, so the two cannot drift apart.
PRESETS = {"enhancers": {"K": 5, "chains": 5}, "promoters": {"K": 1, "chains": 5}}
DEFAULT_K = 3   # the program's own -K default


class ConfigError(Exception):
    """A config or sample-sheet problem, with a message naming where."""


@dataclass(frozen=True)
class DataSet:
    name: str
    path: str
    options: tuple = ()   # extra option words for this set, after the global ones


@dataclass(frozen=True)
class Job:
    set: str
    K: int
    L: int
    seed: int

    @property
    def setting(self) -> str:
        return f"K{self.K}_L{self.L}"

    @property
    def key(self) -> str:
        """Relative folder of the job below runs/ (and of its log below logs/)."""
        return f"{self.set}/{self.setting}/seed{self.seed}"


@dataclass(frozen=True)
class Grid:
    K: tuple        # empty: each set's preset K, else DEFAULT_K
    L: tuple
    seeds: tuple
    runs: int       # -N, for jobs whose options ask for no chains
    options: tuple
    threads: int
    runtime: int


def is_gzip(path: str) -> bool:
    with open(path, "rb") as f:
        return f.read(2) == b"\x1f\x8b"


def set_name_of_file(filename: str):
    """The set name of a FASTA file name, or None when it is not one."""
    base = filename[:-3] if filename.endswith(".gz") else filename
    for suffix in FASTA_SUFFIXES:
        if base.endswith(suffix) and len(base) > len(suffix):
            return base[: -len(suffix)]
    return None


def check_name(name: str, where: str) -> None:
    if not NAME_PATTERN.match(name):
        raise ConfigError(f"{where}: set name {name!r} may hold only letters, digits, '.', '_' and '-' "
                          "and must start with a letter or digit")


def split_options(text, where: str) -> tuple:
    """The words of an option string, refusing those the grid sets itself."""
    if text is None:
        return ()
    if not isinstance(text, str):
        raise ConfigError(f"{where}: options must be one string, e.g. \"-n 1000 -B\"")
    try:
        words = shlex.split(text)
    except ValueError as e:
        raise ConfigError(f"{where}: options {text!r}: {e}")
    for w in words:
        if not w.startswith("-") or len(w) < 2:
            continue
        if w.startswith("--"):
            if w in GRID_LONG:
                raise ConfigError(f"{where}: {w} is set by the workflow itself; remove it from the options")
        elif w[1] in GRID_LETTERS:
            raise ConfigError(f"{where}: {w} acts as {GRID_LETTERS[w[1]]}, which the workflow sets itself "
                              "(use the config keys K, L, runs, seeds)")
    return tuple(words)


def read_fasta_dir(folder: str) -> List[DataSet]:
    if not os.path.isdir(folder):
        raise ConfigError(f"fasta_dir: {folder} is not a folder")
    sets = []
    for filename in sorted(os.listdir(folder)):
        name = set_name_of_file(filename)
        path = os.path.join(folder, filename)
        if name is None or not os.path.isfile(path):
            continue
        check_name(name, f"fasta_dir: {path}")
        sets.append(DataSet(name, path))
    if not sets:
        raise ConfigError(f"fasta_dir: no FASTA files in {folder} (names ending in "
                          f"{', '.join(FASTA_SUFFIXES)}, optionally followed by .gz)")
    return sets


def read_samples(sheet: str) -> List[DataSet]:
    """Sample sheet: tab-separated, a header with `name` and `path` (and
    optionally `options`); further columns are kept for the user and
    ignored; blank lines and lines starting with '#' are skipped."""
    try:
        with open(sheet, newline="") as f:
            lines = [ln for ln in f if ln.strip() and not ln.startswith("#")]
    except OSError as e:
        raise ConfigError(f"samples: cannot read {sheet}: {e.strerror}")
    rows = list(csv.reader(lines, delimiter="\t"))
    if not rows or "name" not in rows[0] or "path" not in rows[0]:
        raise ConfigError(f"samples: {sheet} needs a tab-separated header line with the columns name and path")
    header = rows[0]
    sets = []
    for number, row in enumerate(rows[1:], start=2):
        where = f"samples: {sheet}, row {number}"
        if len(row) < len(header):
            row = row + [""] * (len(header) - len(row))
        fields = dict(zip(header, row))
        name, path = fields["name"].strip(), fields["path"].strip()
        check_name(name, where)
        if not path:
            raise ConfigError(f"{where}: no path for set {name}")
        if not os.path.isfile(path):
            raise ConfigError(f"{where}: {path} is not a file")
        sets.append(DataSet(name, path, split_options(fields.get("options", ""), where)))
    if not sets:
        raise ConfigError(f"samples: {sheet} names no data set")
    return sets


def load_sets(config: dict) -> Dict[str, DataSet]:
    fasta_dir = config.get("fasta_dir") or ""
    samples = config.get("samples") or ""
    if bool(fasta_dir) == bool(samples):
        raise ConfigError("config: give exactly one of fasta_dir (a folder of FASTA files) "
                          "and samples (a tab-separated sample sheet)")
    sets = read_fasta_dir(fasta_dir) if fasta_dir else read_samples(samples)
    by_name = {}
    for s in sets:
        if s.name in by_name:
            raise ConfigError(f"set name {s.name} is given twice ({by_name[s.name].path} and {s.path})")
        by_name[s.name] = s
    return by_name


def _int_list(config: dict, key: str, default, minimum: int) -> tuple:
    value = config.get(key, default)
    values = value if isinstance(value, list) else [value]
    if not values:
        raise ConfigError(f"config: {key} is an empty list")
    for v in values:
        if isinstance(v, bool) or not isinstance(v, int) or v < minimum:
            raise ConfigError(f"config: {key} must be an integer of at least {minimum} or a list of them, "
                              f"not {v!r}")
    if len(set(values)) != len(values):
        raise ConfigError(f"config: {key} lists a value twice")
    return tuple(values)


def _int(config: dict, key: str, default: int, minimum: int) -> int:
    value = config.get(key, default)
    if isinstance(value, bool) or not isinstance(value, int) or value < minimum:
        raise ConfigError(f"config: {key} must be an integer of at least {minimum}, not {value!r}")
    return value


def load_grid(config: dict) -> Grid:
    if "chains" in config:
        # The old name of `runs` read like the program's --chains, which
        # clusters its chains; -N does not. Refused rather than guessed.
        raise ConfigError("config: the key chains is now called runs (independent runs per job, passed as -N); "
                          "for the program's chains and their consensus put --chains C (or a --preset) in options")
    grid = Grid(K=() if config.get("K") is None else _int_list(config, "K", None, 1),
                L=_int_list(config, "L", [200], 5),
                seeds=_int_list(config, "seeds", [1], 0),
                runs=_int(config, "runs", 1, 1),
                options=split_options(config.get("options", ""), "config: options"),
                threads=_int(config, "threads", 1, 1),
                runtime=_int(config, "runtime", 120, 1))
    chains_of(grid.options, "config: options")   # a bad --chains value, before anything runs
    return grid


def _last_value(words: Sequence[str], option: str):
    """The value of the last `option VALUE` pair among the words, or None."""
    value = None
    for i, w in enumerate(words[:-1]):
        if w == option:
            value = words[i + 1]
    return value


def preset_of(words: Sequence[str]) -> dict:
    """What the last --preset among the words sets (K, chains); {} for none
    or a name the program will refuse itself."""
    return PRESETS.get(_last_value(words, "--preset"), {})


def chains_of(words: Sequence[str], where: str):
    """The number of chains the program will run for these option words, or
    None without chains. An explicit --chains wins over a preset's wherever
    it stands, since the program applies the preset first."""
    value = _last_value(words, "--chains")
    if value is None:
        return preset_of(words).get("chains")
    if not re.fullmatch(r"[0-9]+", value) or int(value) < 1:
        raise ConfigError(f"{where}: --chains {value}: the number of chains must be a whole number of 1 or more")
    return int(value)


def option_words(dataset: DataSet, grid: Grid) -> tuple:
    return tuple(grid.options) + tuple(dataset.options)


def runs_of(dataset: DataSet, grid: Grid) -> int:
    """Runs one job of the set makes: its chains, else the grid's runs."""
    where = f"set {dataset.name}"
    chains = chains_of(option_words(dataset, grid), where)
    if chains is None:
        return grid.runs
    if grid.runs != 1:
        raise ConfigError(f"{where}: runs: {grid.runs} (-N) and chains in the options (--chains or a preset) "
                          "both ask for runs; the program takes one or the other: drop runs, or the chains")
    return chains


def ks_of(dataset: DataSet, grid: Grid) -> tuple:
    """The set's values of K: the grid's, else its preset's, else the default."""
    return grid.K or (preset_of(option_words(dataset, grid)).get("K", DEFAULT_K),)


def all_jobs(sets: Dict[str, DataSet], grid: Grid) -> List[Job]:
    for dataset in sets.values():
        runs_of(dataset, grid)   # refuses a set whose options fight the grid's runs
    return [Job(name, k, l, seed)
            for name in sorted(sets) for k in ks_of(sets[name], grid) for l in grid.L for seed in grid.seeds]


def command(program: str, dataset: DataSet, job: Job, grid: Grid) -> str:
    """The program's command line without --outdir, quoted for the shell.
    Per-set options come last, so they override the global ones. -N only
    where the options ask for no chains: the program refuses -N beside them."""
    words = [program, "-i", dataset.path, "-K", str(job.K), "-L", str(job.L)]
    if chains_of(option_words(dataset, grid), f"set {dataset.name}") is None:
        words += ["-N", str(grid.runs)]
    words += ["--seed", str(job.seed)]
    if grid.threads > 1:
        words += ["--threads", str(grid.threads)]
    words += list(grid.options) + list(dataset.options)
    return shlex.join(words)


def estimated_letters(path: str) -> int:
    size = os.path.getsize(path)
    return size * GZIP_RATIO if is_gzip(path) else size


def memory_mb(path: str, K: int, options: Sequence[str], attempt: int = 1, parallel: int = 1) -> int:
    """Memory to ask for one job; `parallel` runs are held at once (threads
    over runs or chains, each with its own tables); doubles with each retry."""
    per_letter = (40 if "-B" in options else 24) * K + 64
    need = BASE_MEM_MB + max(1, parallel) * estimated_letters(path) * per_letter / 2**20
    return int(math.ceil(need)) * max(1, attempt)
