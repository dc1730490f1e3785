#!/usr/bin/env python3
"""Checks of the accuracy harness's helpers: python3 bench/tools/test_tools.py

- mask_fasta (built here with g++ from the repository's analysis code) masks the
  later copy of a stretch shared on the reverse strand, DUST-masks a simple
  repeat, leaves random letters alone and keeps every record's length;
- the dinucleotide shuffle of select_enriched.py keeps every dinucleotide count
  and both end letters, over many random inputs, and keeps N stretches in place;
- select_enriched.py picks the planted motif over a motif of random words and
  writes that motif's sites;
- tompa_table.py counts a failed run as nCC 0 in the mean and names it.
"""
import json
import os
import random
import subprocess
import sys
import tempfile
import unittest
from collections import Counter

HERE = os.path.dirname(os.path.abspath(__file__))
BENCH = os.path.dirname(HERE)
ROOT = os.path.dirname(BENCH)
sys.path.insert(0, BENCH)
import select_enriched  # noqa: E402


def random_dna(rng, n):
    return "".join(rng.choice("ACGT") for _ in range(n))


def revcomp(s):
    return s[::-1].translate(str.maketrans("ACGT", "TGCA"))


def write_fasta(path, records):
    with open(path, "w") as fh:
        for name, seq in records:
            fh.write(">%s desc\n" % name)
            for i in range(0, len(seq), 70):
                fh.write(seq[i:i + 70] + "\n")


class MaskFasta(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        cls.tool = os.path.join(cls.tmp, "mask_fasta")
        subprocess.run(["g++", "-std=c++17", "-O1", "-Wall", "-Wextra", "-Werror", "-I" + ROOT,
                        os.path.join(HERE, "mask_fasta.cpp"), os.path.join(ROOT, "analysis/LowComplexity.cpp"),
                        os.path.join(ROOT, "analysis/SharedStretches.cpp"), "-o", cls.tool], check=True)

    def run_tool(self, args, records):
        path = os.path.join(self.tmp, "in.fa")
        write_fasta(path, records)
        done = subprocess.run([self.tool] + args + [path], capture_output=True, text=True, check=True)
        return select_enriched.read_fasta_text(done.stdout), done.stderr

    def test_later_reverse_copy_masked_and_repeat_dusted(self):
        rng = random.Random(3)
        shared = random_dna(rng, 120)
        a = random_dna(rng, 200) + shared + random_dna(rng, 180)
        b = random_dna(rng, 90) + revcomp(shared) + random_dna(rng, 60) + "CA" * 40 + random_dna(rng, 100)
        out, err = self.run_tool(["--dups", "--dust", "7"], [("a", a), ("b", b)])
        self.assertEqual([n for n, _ in out], ["a", "b"])
        self.assertEqual(out[0][1], a)                        # the first copy and random letters stay
        self.assertEqual(len(out[1][1]), len(b))
        self.assertEqual(out[1][1][90:210], "N" * 120)        # the later copy is masked whole
        self.assertEqual(out[1][1][:90], b[:90])
        repeat = out[1][1][270:350]
        self.assertGreaterEqual(repeat.count("N"), 64)          # the CA repeat is DUST-masked
        self.assertIn("a:201 and b:91", err)

    def test_random_records_untouched(self):
        rng = random.Random(11)
        records = [("r%d" % i, random_dna(rng, rng.randint(50, 900))) for i in range(8)]
        out, _ = self.run_tool(["--dups", "--dust", "7"], records)
        self.assertEqual(out, records)


class Shuffle(unittest.TestCase):
    def test_dinucleotides_kept(self):
        rng = random.Random(5)
        for _ in range(500):
            s = "".join(rng.choice("ACGT"[:rng.randint(1, 4)]) for _ in range(rng.randint(1, 80)))
            t = select_enriched.euler_shuffle(s, rng)
            self.assertEqual(Counter(zip(s, s[1:])), Counter(zip(t, t[1:])), s)
            self.assertEqual((s[0], s[-1], len(s)), (t[0], t[-1], len(t)))

    def test_stretches_between_n_shuffled_alone(self):
        rng = random.Random(8)
        s = random_dna(rng, 300) + "NNNNN" + random_dna(rng, 200)
        t = select_enriched.shuffle_record(s, rng)
        self.assertEqual(t[300:305], "NNNNN")
        self.assertNotEqual(t, s)
        self.assertEqual(Counter(s[:300]), Counter(t[:300]))


class Select(unittest.TestCase):
    def test_planted_motif_wins(self):
        rng = random.Random(2)
        word = "TGACGTCA"
        seqs, planted, noise = [], [], []
        for i in range(20):
            s = random_dna(rng, 400)
            p = rng.randint(0, 380)
            s = s[:p] + word + s[p + 8:]
            seqs.append(("s%d" % i, s))
            planted.append({"sequence": "s%d" % i, "start": p, "end": p + 8, "strand": "+"})
            q = rng.choice([x for x in range(392) if abs(x - p) > 8])
            noise.append({"sequence": "s%d" % i, "start": q, "end": q + 8, "strand": "+"})

        def motif(mid, sites):
            counts = [[0] * 4 for _ in range(8)]
            for st in sites:
                for j, c in enumerate(dict(seqs)[st["sequence"]][st["start"]:st["end"]]):
                    counts[j]["ACGT".index(c)] += 1
            return {"id": mid, "motif": int(mid[-1]), "consensus": "", "counts": counts, "sites": sites}

        summary = {"runs": [{"motifs": [motif("r1.m1", noise)]}, {"motifs": [motif("r2.m1", planted)]}],
                   "chains": {"chains": 2, "clusters": [
                       {"cluster": 1, "support": 2, "best_chain": 1, "motif": 1},
                       {"cluster": 2, "support": 2, "best_chain": 2, "motif": 1},
                       {"cluster": 3, "support": 1, "best_chain": 2, "motif": 1}]}}
        tmp = tempfile.mkdtemp()
        write_fasta(os.path.join(tmp, "in.fa"), seqs)
        with open(os.path.join(tmp, "summary.json"), "w") as fh:
            json.dump(summary, fh)
        done = subprocess.run([sys.executable, os.path.join(BENCH, "select_enriched.py"),
                               os.path.join(tmp, "summary.json"), os.path.join(tmp, "in.fa")],
                              capture_output=True, text=True, check=True)
        rows = [r.split("\t") for r in done.stdout.splitlines()]
        self.assertEqual({r[4] for r in rows}, {"cluster2"})
        self.assertEqual(sorted((r[0], int(r[1])) for r in rows),
                         sorted((p["sequence"], p["start"]) for p in planted))
        self.assertNotIn("cluster3", done.stderr)             # support 1 of 2 is not a majority


class TompaTable(unittest.TestCase):
    def test_failed_run_counts_zero(self):
        tmp = tempfile.mkdtemp()
        runs = os.path.join(tmp, "runs.txt")
        with open(runs, "w") as fh:
            fh.write("a hm01r 1 1.0 0.300 0.5 0.2 10\na dm01r 1 2.0 0.100 0.5 0.2 10\na yst01r 1 NA NA NA NA NA\n")
        out = subprocess.run([sys.executable, os.path.join(BENCH, "tompa_table.py"), runs, "a|-K 1"],
                             capture_output=True, text=True, check=True).stdout
        self.assertIn("| **mean nCC** | **0.133** |", out)
        self.assertIn("| **sets nCC > 0.1** | 1 / 3 |", out)
        self.assertIn("failed runs (counted as nCC 0): a yst01r", out)


if __name__ == "__main__":
    unittest.main()
