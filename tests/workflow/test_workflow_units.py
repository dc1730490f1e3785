"""The workflow's Python modules without Snakemake: data sets and the grid
from a config, the job's command line, the memory estimate, and gathering
over every kind of job outcome (ok, failed, unreadable, incomplete); the
genome scan's pieces and the gathering of their calls.

Usage: python3 test_workflow_units.py SOURCE_DIR
"""
import csv
import gzip
import json
import os
import random
import re
import shlex
import sys
import tempfile
import unittest

SOURCE = sys.argv.pop(1) if len(sys.argv) > 1 else "."
sys.path.insert(0, os.path.join(SOURCE, "workflow", "scripts"))
sys.path.insert(0, os.path.join(SOURCE, "workflow", "profiles", "slurm"))
import gather    # noqa: E402
import genomescan   # noqa: E402
import jobgrid   # noqa: E402
import status    # noqa: E402


def write(path, text, compress=False):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with (gzip.open(path, "wt") if compress else open(path, "w")) as f:
        f.write(text)


class Folder(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, *parts):
        return os.path.join(self.dir, *parts)


class Sets(Folder):
    def test_fasta_dir_names_sets_after_their_files(self):
        for name in ("a.fa", "b.fasta.gz", "c.fna", "d.fas", "notes.txt", "e.fa.bak", ".fa"):
            write(self.path("in", name), ">x\nACGT\n", compress=name.endswith(".gz"))
        os.makedirs(self.path("in", "sub.fa"))
        sets = jobgrid.load_sets({"fasta_dir": self.path("in")})
        self.assertEqual(sorted(sets), ["a", "b", "c", "d"])
        self.assertEqual(sets["b"].path, self.path("in", "b.fasta.gz"))

    def test_sample_sheet_rows_options_and_extra_columns(self):
        write(self.path("x.fa"), ">x\nACGT\n")
        write(self.path("s.tsv"), "# comment\nname\tpath\ttissue\toptions\n\n"
                                  f"one\t{self.path('x.fa')}\tgut\t-n 500 -B\n"
                                  f"two\t{self.path('x.fa')}\n")
        sets = jobgrid.load_sets({"samples": self.path("s.tsv")})
        self.assertEqual(sets["one"].options, ("-n", "500", "-B"))
        self.assertEqual(sets["two"].options, ())

    def test_refusals_name_the_cause(self):
        write(self.path("x.fa"), ">x\nACGT\n")
        write(self.path("in", "a.fa"), ">x\nACGT\n")
        write(self.path("in", "a.fa.gz"), ">x\nACGT\n", compress=True)
        x = self.path("x.fa")
        cases = [
            ({"fasta_dir": self.path("in")}, "a is given twice"),
            ({}, "exactly one of fasta_dir"),
            ({"fasta_dir": self.dir, "samples": "s.tsv"}, "exactly one of fasta_dir"),
            ({"fasta_dir": self.path("nowhere")}, "is not a folder"),
            ({"samples": self.path("nowhere.tsv")}, "cannot read"),
            ({"samples": ("sheet", "set\tfile\na\tb\n")}, "columns name and path"),
            ({"samples": ("sheet", "name\tpath\n")}, "names no data set"),
            ({"samples": ("sheet", f"name\tpath\nbad name\t{x}\n")}, "row 2: set name 'bad name'"),
            ({"samples": ("sheet", f"name\tpath\na\t{x}\nb\t{self.path('y.fa')}\n")}, "row 3: "),
            ({"samples": ("sheet", f"name\tpath\na\t{x}\na\t{x}\n")}, "given twice"),
            ({"samples": ("sheet", f"name\tpath\toptions\na\t{x}\t-K 4\n")}, "row 2: -K acts as -K"),
            ({"samples": ("sheet", f"name\tpath\toptions\na\t{x}\t-c -output\n")}, "-output acts as -o"),
            ({"samples": ("sheet", f"name\tpath\toptions\na\t{x}\t--seed 3\n")}, "--seed is set by the workflow"),
            ({"samples": ("sheet", f"name\tpath\toptions\na\t{x}\t-n \"5\n")}, "No closing quotation"),
        ]
        for config, message in cases:
            if isinstance(config.get("samples"), tuple):
                write(self.path("sheet.tsv"), config["samples"][1])
                config = {"samples": self.path("sheet.tsv")}
            with self.subTest(config=config):
                with self.assertRaises(jobgrid.ConfigError) as caught:
                    jobgrid.load_sets(config)
                self.assertIn(message, str(caught.exception))


class GridAndCommand(Folder):
    def test_grid_values_and_refusals(self):
        grid = jobgrid.load_grid({"K": [2, 5], "L": 150, "seeds": [0, 9], "runs": 3, "options": "-n 100"})
        self.assertEqual((grid.K, grid.L, grid.seeds, grid.runs, grid.options), ((2, 5), (150,), (0, 9), 3,
                                                                                 ("-n", "100")))
        for config, message in [({"K": []}, "empty list"), ({"K": [0]}, "at least 1"), ({"K": "3"}, "integer"),
                                ({"seeds": [1, 1]}, "twice"), ({"seeds": [-1]}, "at least 0"),
                                ({"L": [4]}, "at least 5"), ({"runs": True}, "integer"),
                                ({"chains": 3}, "key chains is now called runs .*put --chains C"),
                                ({"options": "--chains two"}, "whole number"),
                                ({"threads": 0}, "at least 1"), ({"options": ["-B"]}, "one string"),
                                ({"options": "-N 3"}, "-N acts as -N"), ({"options": "--outdir x"}, "--outdir")]:
            with self.subTest(config=config):
                with self.assertRaisesRegex(jobgrid.ConfigError, message):
                    jobgrid.load_grid(config)

    def test_command_words_survive_the_shell_and_set_options_come_last(self):
        dataset = jobgrid.DataSet("s", "my data/peaks; rm -rf x.fa", ("-n", "50"))
        grid = jobgrid.load_grid({"options": "-n 2000 -c '0.7'", "threads": 4, "runs": 2})
        words = shlex.split(jobgrid.command("/opt/bin/Ruzaravo", dataset, jobgrid.Job("s", 4, 120, 11), grid))
        self.assertEqual(words, ["/opt/bin/Ruzaravo", "-i", "my data/peaks; rm -rf x.fa", "-K", "4", "-L", "120",
                                 "-N", "2", "--seed", "11", "--threads", "4", "-n", "2000", "-c", "0.7", "-n", "50"])
        single = jobgrid.load_grid({})
        self.assertNotIn("--threads", jobgrid.command("R", dataset, jobgrid.Job("s", 1, 100, 1), single))

    def test_presets_table_is_the_programs(self):
        """jobgrid.PRESETS holds each preset's K and chains as app/Presets.cpp sets them."""
        with open(os.path.join(SOURCE, "app", "Presets.cpp")) as f:
            text = f.read()
        vectors = {name: re.findall(r'"([^"]*)"', body) for name, body in
                   re.findall(r"std::vector<std::string>\s+(\w+)\s*=\s*\{(.*?)\};", text, re.S)}
        named = dict(re.findall(r'strcmp\(name, "(\w+)"\) == 0\)\s*return &(\w+);', text))
        self.assertTrue(named, "no preset found in app/Presets.cpp")
        found = {}
        for preset, vector in named.items():
            words = vectors[vector]
            found[preset] = {key: int(words[words.index(option) + 1])
                             for key, option in (("K", "-K"), ("chains", "--chains")) if option in words}
        self.assertEqual(jobgrid.PRESETS, found)

    def test_chains_in_the_options_replace_runs_and_presets_bring_their_k(self):
        x = jobgrid.DataSet("x", "x.fa")
        cases = [  # options, set options, grid K -> Ks, chains, -N on the command line
            ("--preset enhancers -n 60", "", None, (5,), 5, False),
            ("--preset enhancers --chains 3", "", None, (5,), 3, False),
            ("--chains 2 --preset enhancers", "", [2, 4], (2, 4), 2, False),
            ("-n 60", "--preset enhancers", None, (5,), 5, False),
            ("--preset enhancers", "--preset other", None, (3,), None, True),
            ("--chains 4 -K4x", "", None, None, None, None),
            ("-n 60", "", None, (3,), None, True),
        ]
        for options, set_options, K, ks, chains, with_n in cases:
            with self.subTest(options=options, set_options=set_options):
                dataset = jobgrid.DataSet("x", "x.fa", tuple(set_options.split()))
                config = {"options": options, "K": K}
                if ks is None:
                    with self.assertRaisesRegex(jobgrid.ConfigError, "-K4x acts as -K"):
                        jobgrid.load_grid(config)
                    continue
                grid = jobgrid.load_grid(config)
                self.assertEqual([j.K for j in jobgrid.all_jobs({"x": dataset}, grid)], list(ks))
                self.assertEqual(jobgrid.chains_of(jobgrid.option_words(dataset, grid), "here"), chains)
                self.assertEqual(jobgrid.runs_of(dataset, grid), chains or 1)
                words = shlex.split(jobgrid.command("R", dataset, jobgrid.Job("x", ks[0], 200, 1), grid))
                self.assertEqual("-N" in words, with_n)
                self.assertEqual(words[words.index("-K") + 1], str(ks[0]))
        grid = jobgrid.load_grid({"options": "-n 60", "runs": 3})
        self.assertIn("-N 3", jobgrid.command("R", x, jobgrid.Job("x", 3, 200, 1), grid))
        with self.assertRaisesRegex(jobgrid.ConfigError, "set y: runs: 3 .*both ask for runs"):
            jobgrid.all_jobs({"x": x, "y": jobgrid.DataSet("y", "y.fa", ("--chains", "5"))}, grid)

    def test_memory_grows_with_letters_motifs_odds_and_attempts(self):
        random.seed(3)
        text = ">x\n" + "".join(random.choice("ACGT") for _ in range(400000)) + "\n"
        write(self.path("plain.fa"), text)
        write(self.path("packed.fa.gz"), text, compress=True)
        plain = self.path("plain.fa")
        self.assertEqual(jobgrid.estimated_letters(self.path("packed.fa.gz")),
                         4 * os.path.getsize(self.path("packed.fa.gz")))
        self.assertGreaterEqual(jobgrid.estimated_letters(self.path("packed.fa.gz")), 400000)
        base = jobgrid.memory_mb(plain, 3, ())
        self.assertGreaterEqual(base, jobgrid.BASE_MEM_MB + 400000 * (24 * 3) / 2**20)
        self.assertLess(base, jobgrid.memory_mb(plain, 30, ()))
        self.assertLess(base, jobgrid.memory_mb(plain, 3, ("-B",)))
        self.assertEqual(jobgrid.memory_mb(plain, 3, (), attempt=2), 2 * base)
        self.assertAlmostEqual(jobgrid.memory_mb(plain, 3, (), parallel=2) - base, base - jobgrid.BASE_MEM_MB,
                               delta=1)


def summary_json(runs):
    return json.dumps({"format_version": 1, "runs": [
        {"run": r + 1, "seed": seed + r, "log_pmo": pmo, "cpu_seconds": 0.5, "sweeps": 40,
         "motifs": [{"motif": k, "consensus": c, "nsites": n} for k, c, n in motifs],
         "modules": [{"id": f"r{r + 1}.crm{i + 1}"} for i in range(modules)]}
        for r, (seed, pmo, motifs, modules) in enumerate(runs)]})


class Gathering(Folder):
    def make_job(self, job, kind, chains, rng):
        """Leaves the files a job of that kind leaves; returns what its rows must show."""
        run_dir = self.path("results", "runs", job.key)
        log = self.path("results", "logs", job.key)
        os.makedirs(run_dir, exist_ok=True)
        if kind == "ok":
            runs = [(job.seed, rng.choice([None, -3.25]),
                     [(k, "".join(rng.choice("ACGT") for _ in range(8)), rng.randint(3, 40))
                      for k in sorted(rng.sample(range(1, job.K + 1), rng.randint(0, job.K)))],
                     rng.randint(0, 9)) for _ in range(chains)]
            write(os.path.join(run_dir, "summary.json"), summary_json(runs))
            if rng.random() < 0.5:
                write(os.path.join(run_dir, "report.html"), "<html></html>")
            write(log + ".status", "0\n")
            return runs
        if kind in ("failed", "zero"):
            write(log + ".log", "Input sequence file error!\nRuzaravo: x.fa: text before\tthe <first> name line\n")
            write(log + ".status", "1\n" if kind == "failed" else "0\n")
        if kind == "unreadable":
            write(os.path.join(run_dir, "summary.json"),
                  rng.choice(['{"runs": [', '{"runs": [1]}', '{"runs": [{"motifs": {}}]}', '[]']))
        return None

    def test_every_job_gets_its_rows_whatever_became_of_it(self):
        rng = random.Random(20261207)
        for trial in range(20):
            with self.subTest(trial=trial):
                self.dir = os.path.join(self.tmp.name, str(trial))
                chains = rng.randint(1, 3)
                jobs = [jobgrid.Job(f"set{s}", k, 100, seed) for s in range(3) for k in (1, 3) for seed in (1, 5)]
                kinds = [rng.choice(["ok", "ok", "failed", "zero", "unreadable", "incomplete"]) for _ in jobs]
                truth = [self.make_job(j, kind, chains, rng) for j, kind in zip(jobs, kinds)]
                outcomes = gather.gather(jobs, chains, self.path("results"), self.path("results", "summary.tsv"),
                                         self.path("results", "index.html"), partial=True)
                self.assertEqual([o.status for o in outcomes],
                                 [{"zero": "failed", "unreadable": "failed"}.get(k, k) for k in kinds])
                with open(self.path("results", "summary.tsv"), newline="") as f:
                    rows = list(csv.reader(f, delimiter="\t"))
                self.assertEqual(rows[0], gather.COLUMNS)
                self.assertTrue(all(len(r) == len(gather.COLUMNS) for r in rows))
                table = [dict(zip(gather.COLUMNS, r)) for r in rows[1:]]
                self.assertEqual(len(table), len(jobs) * chains)
                for i, (job, kind, runs) in enumerate(zip(jobs, kinds, truth)):
                    for r in range(chains):
                        row = table[i * chains + r]
                        self.assertEqual((row["set"], row["K"], row["job_seed"], row["run"], row["seed"]),
                                         (job.set, str(job.K), str(job.seed), str(r + 1), str(job.seed + r)))
                        self.assertEqual(row["outdir"], f"runs/{job.key}")
                        if kind == "ok":
                            seed, pmo, motifs, modules = runs[r]
                            self.assertEqual(row["log_pmo"], "NA" if pmo is None else str(pmo))
                            self.assertEqual(row["consensus"], ",".join(f"m{k}:{c}" for k, c, _ in motifs) or "NA")
                            self.assertEqual(row["site_counts"], ",".join(f"m{k}:{n}" for k, _, n in motifs) or "NA")
                            self.assertEqual((row["motifs"], row["modules"]), (str(len(motifs)), str(modules)))
                        elif kind == "failed":
                            self.assertEqual((row["status"], row["exit_status"]), ("failed", "1"))
                            self.assertEqual(row["error"], "Ruzaravo: x.fa: text before the <first> name line")
                        elif kind == "zero":
                            self.assertIn("wrote no summary.json", row["error"])
                        elif kind == "unreadable":
                            self.assertIn("cannot be read", row["error"])
                        else:
                            self.assertEqual((row["status"], row["exit_status"]), ("incomplete", "NA"))
                with open(self.path("results", "index.html")) as f:
                    page = f.read()
                self.assertNotIn("<first>", page)
                self.assertEqual(page.count("<tr class="), len(jobs))
                reports = sum(os.path.exists(self.path("results", "runs", j.key, "report.html")) and k == "ok"
                              for j, k in zip(jobs, kinds))
                self.assertEqual(page.count('/report.html"'), reports)
                self.assertIn("stopped with errors", page)

    def test_chain_jobs_name_each_motifs_cluster_support_and_enrichment(self):
        """Random clusterings of random chains: every motif's cells agree with
        the cluster that lists it; a failed chain job has a row per chain."""
        rng = random.Random(22)
        for trial in range(30):
            with self.subTest(trial=trial):
                self.dir = os.path.join(self.tmp.name, f"chains{trial}")
                chains = rng.randint(1, 5)
                motifs = {(c, k): "".join(rng.choice("ACGT") for _ in range(8))
                          for c in range(1, chains + 1) for k in sorted(rng.sample(range(1, 6), rng.randint(0, 5)))}
                clusters = {}
                for key in motifs:
                    clusters.setdefault(rng.randint(1, max(1, len(motifs) // 2)), []).append(key)
                section = {"chains": chains, "join_similarity": 0.75, "clusters": [
                    {"cluster": n, "support": len({c for c, _ in members}), "best_chain": members[-1][0],
                     "motif": members[-1][1], "members": [{"chain": c, "motif": k, "similarity": 0.9}
                                                          for c, k in members]}
                    for n, members in sorted(clusters.items())]}
                measured = rng.random() < 0.5
                runs = [{"run": c, "seed": 4 + c - 1, "motifs": [
                    dict({"motif": k, "consensus": w, "nsites": 5},
                         **({"enrichment": None if k == 5 else {"ratio": k / 2, "log10_p": -k}} if measured else {}))
                    for (cc, k), w in motifs.items() if cc == c]} for c in range(1, chains + 1)]
                ok, bad = jobgrid.Job("ok", 5, 200, 4), jobgrid.Job("bad", 5, 200, 4)
                write(self.path("results", "runs", ok.key, "summary.json"),
                      json.dumps({"format_version": 1, "runs": runs, "chains": section}))
                write(self.path("results", "logs", bad.key + ".status"), "1\n")
                gather.gather([ok, bad], lambda job: chains, self.path("results"), self.path("results", "s.tsv"),
                              self.path("results", "i.html"), chained=lambda job: True)
                with open(self.path("results", "s.tsv"), newline="") as f:
                    table = [dict(zip(gather.COLUMNS, r)) for r in list(csv.reader(f, delimiter="\t"))[1:]]
                self.assertEqual([(r["set"], r["run"]) for r in table],
                                 [("ok", str(c)) for c in range(1, chains + 1)] +
                                 [("bad", str(c)) for c in range(1, chains + 1)])
                for row in table[:chains]:
                    chain = int(row["run"])
                    mine = [k for c, k in motifs if c == chain]
                    if not mine:
                        self.assertEqual((row["cluster"], row["support"], row["representative"]), ("NA",) * 3)
                        continue
                    expect = {k: next(cl for cl in section["clusters"]
                                      if {"chain": chain, "motif": k, "similarity": 0.9} in cl["members"])
                              for k in mine}
                    self.assertEqual(row["cluster"], ",".join(f"m{k}:{expect[k]['cluster']}" for k in mine))
                    self.assertEqual(row["support"],
                                     ",".join(f"m{k}:{expect[k]['support']}/{chains}" for k in mine))
                    self.assertEqual(row["representative"], ",".join(
                        f"m{k}:" + ("yes" if (expect[k]["best_chain"], expect[k]["motif"]) == (chain, k) else "no")
                        for k in mine))
                    if measured:
                        self.assertEqual(row["enrichment"],
                                         ",".join(f"m{k}:" + ("NA" if k == 5 else str(k / 2)) for k in mine))
                        self.assertEqual(row["log10_p"], ",".join(f"m{k}:" + ("NA" if k == 5 else str(-k))
                                                                  for k in mine))
                    else:
                        self.assertEqual((row["enrichment"], row["log10_p"]), ("NA", "NA"))
                for c, row in enumerate(table[chains:]):
                    self.assertEqual((row["status"], row["cluster"], row["support"]), ("failed", "NA", "NA"))
                    self.assertEqual(row["seed"], str(gather.chain_seed(4, c)))   # the seed the chain would have had

    def test_chain_seed_is_the_programs(self):
        # Pinned values of base/SeedMix.h's ChainSeed (tests/base/TestSeedMix.cpp pins the same ones).
        self.assertEqual([gather.chain_seed(1, c) for c in range(3)], [1739479842, 3709469897, 656427770])
        self.assertEqual(gather.chain_seed(4294967295, 7), 434670813)
        self.assertEqual(len({gather.chain_seed(s, c) for s in range(50) for c in range(10)}), 500)

    def test_reason_is_the_programs_line_or_else_the_last(self):
        write(self.path("a.log"), "Finish runing iteration 50.\nRuzaravo: in.fa: empty\nstray\n")
        write(self.path("b.log"), "\nSegmentation fault\n\n")
        self.assertEqual(gather.reason_from_log(self.path("a.log")), "Ruzaravo: in.fa: empty")
        self.assertEqual(gather.reason_from_log(self.path("b.log")), "Segmentation fault")
        self.assertEqual(gather.reason_from_log(self.path("none.log")), "")
        # A job stopped from outside: its last progress line is no reason.
        write(self.path("c.log"), "Seed: 4\nRuzaravo: chain 2 of 5  sweep 450/2000  job 29%  elapsed 0:30  "
                                  "left 1:15\nKilled\n")
        self.assertEqual(gather.reason_from_log(self.path("c.log")), "Killed")


class SlurmStates(unittest.TestCase):
    def test_only_completed_succeeds_and_only_live_states_keep_waiting(self):
        cases = {"COMPLETED": "success", "RUNNING": "running", "PENDING": "running", "REQUEUED": "running",
                 "COMPLETING": "running", "": "running", "FAILED": "failed", "TIMEOUT": "failed",
                 "OUT_OF_MEMORY": "failed", "CANCELLED by 1234": "failed", "CANCELLED+": "failed",
                 "NODE_FAIL": "failed", "PREEMPTED": "failed", "BOOT_FAIL": "failed", "DEADLINE": "failed"}
        for state, verdict in cases.items():
            with self.subTest(state=state):
                self.assertEqual(status.verdict(state), verdict)


class Answers(Folder):
    def test_heldout_e_and_best_factor_of_every_motif(self):
        """Random runs with held-out E-values on some motifs and known-factor
        matches in any order: each motif's cells give its own E and its
        smallest-p match (name, else library id) with that match's q."""
        rng = random.Random(23)
        for trial in range(30):
            with self.subTest(trial=trial):
                self.dir = os.path.join(self.tmp.name, f"answers{trial}")
                runs, matches, expect = [], [], {}
                holdout, known = rng.random() < 0.6, rng.random() < 0.6
                for r in (1, 2):
                    motifs = []
                    for k in sorted(rng.sample(range(1, 6), rng.randint(1, 5))):
                        m = {"id": f"r{r}.m{k}", "motif": k, "consensus": "ACGTACGT", "nsites": 4}
                        e = None
                        if holdout and rng.random() < 0.8:
                            e = rng.choice([1e-300, 3.5e-7, 0.02, 12.0])
                            m["heldout"] = {"E": e, "log10_E": 0}
                        found = [{"motif": m["id"], "library_id": f"MA{rng.randint(0, 999):04d}.1",
                                  "name": rng.choice(["hb", "Kr", ""]), "p": rng.random(), "q": rng.random()}
                                 for _ in range(rng.randint(0, 4))] if known else []
                        matches += found
                        best = min(found, key=lambda x: x["p"]) if found else None
                        expect[(r, k)] = (e, best)
                        motifs.append(m)
                    runs.append({"run": r, "seed": r, "motifs": motifs})
                rng.shuffle(matches)
                matches.append({"motif": "cluster1", "library_id": "MA9", "name": "zz", "p": 0.0, "q": 0.0})
                job = jobgrid.Job("ok", 5, 200, 1)
                document = {"format_version": 1, "runs": runs}
                if known:
                    document["matches"] = matches
                write(self.path("results", "runs", job.key, "summary.json"), json.dumps(document))
                gather.gather([job], 2, self.path("results"), self.path("results", "s.tsv"),
                              self.path("results", "i.html"))
                with open(self.path("results", "s.tsv"), newline="") as f:
                    table = [dict(zip(gather.COLUMNS, r)) for r in list(csv.reader(f, delimiter="\t"))[1:]]
                for row, run in zip(table, runs):
                    r = run["run"]
                    ks = [m["motif"] for m in run["motifs"]]
                    if holdout and any(expect[(r, k)][0] is not None for k in ks):
                        self.assertEqual(row["heldout_E"], ",".join(
                            f"m{k}:" + ("NA" if expect[(r, k)][0] is None else str(expect[(r, k)][0])) for k in ks))
                    else:
                        self.assertEqual(row["heldout_E"], "NA")
                    if not known:
                        self.assertEqual((row["factor"], row["factor_q"]), ("NA", "NA"))
                        continue
                    best = [expect[(r, k)][1] for k in ks]
                    self.assertEqual(row["factor"], ",".join(
                        f"m{k}:" + ("NA" if b is None else (b["name"] or b["library_id"])) for k, b in zip(ks, best)))
                    self.assertEqual(row["factor_q"], ",".join(
                        f"m{k}:" + ("NA" if b is None else str(b["q"])) for k, b in zip(ks, best)))


class GenomeScan(Folder):
    def test_pieces_by_record_or_by_letters_and_refused_names(self):
        records = [("chr1", 500), ("tiny", 50), ("chr2", 300), ("chr3", 900), ("chrU", 120)]
        self.assertEqual(genomescan.make_pieces(records, "chromosome", 0, 100, "t"),
                         [["chr1"], ["chr2"], ["chr3"], ["chrU"]])
        self.assertEqual(genomescan.make_pieces(records, "chunk", 700, 100, "t"),
                         [["chr1", "chr2"], ["chr3"], ["chrU"]])
        self.assertEqual(genomescan.make_pieces(records, "chunk", 10**9, 200, "t"), [["chr1", "chr2", "chr3"]])
        for bad, message in (([("a", 300), ("a", 400)], "given twice"), ([("a,b", 300)], "with a comma"),
                             ([("a", 30)], "no record of 100 letters")):
            with self.assertRaisesRegex(genomescan.ScanConfigError, message):
                genomescan.make_pieces(bad, "chromosome", 0, 100, "t")
        write(self.path("g.fa.gz"), ">chr1 first\nACGT\nAC\n>chr2\n\nACGTACGTA\n", compress=True)
        self.assertEqual(genomescan.read_records(self.path("g.fa.gz")), [("chr1", 6), ("chr2", 9)])

    def test_p_values_printed_to_three_digits_give_back_their_null_count(self):
        """p = k / (tiles + 1) printed with %.3g: k comes back exactly for
        every k below 100, whatever the number of tiles (and not always
        above: 211 / 2001 prints as 0.105)."""
        rng = random.Random(5)
        for tiles in [999, 1000, 2000, 20000, 123457] + [rng.randint(100, 10**7) for _ in range(40)]:
            for k in range(1, 100):
                printed = float("%.3g" % ((1.0 + (k - 1)) / (1.0 + tiles)))
                self.assertEqual(round(printed * (tiles + 1)), k, (tiles, k))
        self.assertNotEqual(round(float("%.3g" % (211 / 2001)) * 2001), 211)

    def test_gathered_q_is_benjamini_hochberg_over_all_pieces(self):
        """Random pieces: q of each call is min over ranks r >= its own of
        p_(r) x tests / r, with the tests of the whole target; the file is
        sorted by chromosome and start and ranked by score."""
        rng = random.Random(9)
        for trial in range(20):
            with self.subTest(trial=trial):
                tiles, L = rng.choice([999, 2000, 20000]), 200
                folders, letters, calls = [], 0, []
                for piece in range(rng.randint(1, 4)):
                    folder = self.path(f"t{trial}", f"p{piece}")
                    lines = []
                    for c in range(rng.randint(0, 12)):
                        k = rng.choice([1, 2, 3, rng.randint(1, tiles + 1)])
                        start = rng.randint(0, 10**6)
                        p = (1.0 + (k - 1)) / (1.0 + tiles)
                        score = f"{rng.uniform(0, 30):.3f}"
                        calls.append((f"chr{piece}", start, score, p))
                        lines.append(f"chr{piece}\t{start}\t{start + L}\tcrm1\t{score}\t.\t{p:.3g}\t1\t3\n")
                    n = rng.randint(L, 10**6)
                    letters += n
                    write(os.path.join(folder, "modules.bed"), "".join(lines))
                    write(os.path.join(folder, "summary.json"), json.dumps(
                        {"parameters": {"module_length": L, "null_tiles": tiles, "seed": 1, "null_letters": 5},
                         "counts": {"letters": n, "calls": len(lines)}}))
                    folders.append(folder)
                tests = max(len(calls), letters // L)
                ps = sorted(c[3] for c in calls)
                qs = {p: min(1.0, min(ps[r] * tests / (r + 1) for r in range(len(ps)) if ps[r] >= p)) for p in ps}
                text = genomescan.modules_bed(genomescan.gather_calls(folders)[0], 0.05, 1.0)
                rows = [line.split("\t") for line in text.splitlines()]
                expect = sorted(calls, key=lambda c: (c[0], c[1]))
                self.assertEqual([(r[0], int(r[1]), r[4], r[6]) for r in rows],
                                 [(c[0], c[1], c[2], "%.3g" % c[3]) for c in expect])
                for r, c in zip(rows, expect):
                    if qs[c[3]] < 99 / (tiles + 1):
                        self.assertEqual(r[7], "%.3g" % qs[c[3]])
                    self.assertAlmostEqual(float(r[7]), qs[c[3]], delta=0.006 * qs[c[3]])
                by_score = sorted(range(len(expect)), key=lambda i: -float(expect[i][2]))
                self.assertEqual([rows[i][3] for i in by_score], [f"crm{n + 1}" for n in range(len(rows))])
                # pieces scanned with another null cannot be gathered
                if len(folders) > 1:
                    write(os.path.join(folders[-1], "summary.json"), json.dumps(
                        {"parameters": {"module_length": L, "null_tiles": tiles, "seed": 2, "null_letters": 5},
                         "counts": {"letters": 1, "calls": 0}}))
                    with self.assertRaisesRegex(ValueError, "other parameters"):
                        genomescan.gather_calls(folders)

    def test_options_the_workflow_sets_are_refused(self):
        write(self.path("g.fa"), ">a\nACGT\n")
        write(self.path("m.txt"), ">4 x\n1 0 0 0\n")
        base = {"target": self.path("g.fa"), "motifs": self.path("m.txt")}
        self.assertEqual(genomescan.load_scan({"scan": base}).max_q, 0.05)
        for extra, message in (({"options": "--only a"}, "--only is set by the workflow"),
                               ({"options": "--max-p=0.1"}, "--max-p=0.1 is set by the workflow"),
                               ({"model": self.dir}, "exactly one of motifs"),
                               ({"pieces": "halves"}, "chromosome or chunk"),
                               ({"max_q": 0.1, "max_p": 0.1}, "not both"),
                               ({"max_q": 0}, "above 0")):
            with self.assertRaisesRegex(genomescan.ScanConfigError, message):
                genomescan.load_scan({"scan": dict(base, **extra)})


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
