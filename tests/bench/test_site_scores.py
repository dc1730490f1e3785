"""The accuracy scorer of bench/: a worked example whose every figure is
counted by hand (a site found by exactly a quarter of its letters, a
prediction made twice, a negative nCC), the perfect prediction, and, where
the shared reference scorer is at hand (SCORER_REFERENCE, or
../shared/tools/score_sites.py beside the repository), the same line as
it on random predictions over the shipped fly set.

Usage: python3 test_site_scores.py SOURCE_DIR
"""
import os
import random
import subprocess
import sys
import tempfile
import unittest

SOURCE = sys.argv.pop(1) if len(sys.argv) > 1 else "."
SCORER = os.path.join(SOURCE, "bench", "site_scores.py")
REFERENCE = os.environ.get("SCORER_REFERENCE",
                           os.path.join(SOURCE, "..", "shared", "tools", "score_sites.py"))


def row(scorer, fasta, truth, pred, *more):
    out = subprocess.run([sys.executable, scorer, "--fasta", fasta, "--truth", truth, "--pred", pred, "--quiet",
                          "--tsv-row", "x", *more], stdout=subprocess.PIPE, text=True, check=True).stdout
    return out.rstrip("\n").split("\t")


class SiteScores(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        d = self.tmp.name
        self.fasta, self.truth, self.pred = (os.path.join(d, n) for n in ("in.fa", "truth.tsv", "pred.tsv"))
        with open(self.fasta, "w") as f:
            f.write(">s1 first\nACGTACGTAC\nACGTACGTAC\n>s2\nACGTACGTAC\n")
        with open(self.truth, "w") as f:
            f.write("seq_name\tstart\tend\tstrand\tfactor\n"
                    "s1\t2\t6\t.\tbcd\ns1\t10\t14\t.\thb\ns2\t0\t4\t.\tKr\n")
        with open(self.pred, "w") as f:
            f.write("s1\t3\t7\t+\tm1\ns1\t15\t18\t-\tm2\ns2\t3\t8\t+\tm1\ns1\t3\t7\t-\tm3\n")

    def tearDown(self):
        self.tmp.cleanup()

    def test_worked_example(self):
        # letters: 30; annotated 12, predicted 12, both 4 (s1 3-5, s2 3): TN 10
        # nCC = (4 x 10 - 8 x 8) / sqrt(12 x 18 x 12 x 18) = -24 / 216
        # sites: s1 2-6 found (3 letters), s2 0-4 found by exactly a quarter
        # (1 letter), s1 10-14 missed; predictions: s1 3-7 (twice: once),
        # s2 3-8 correct, s1 15-18 not
        self.assertEqual(row(SCORER, self.fasta, self.truth, self.pred),
                         ["x", "0.3333", "0.3333", "0.2000", "-0.1111", "0.6667", "0.6667", "2", "3", "2", "3", "12"])
        stricter = row(SCORER, self.fasta, self.truth, self.pred, "--min-overlap", "0.3")
        self.assertEqual(stricter[5:11], ["0.3333", "0.3333", "1", "3", "1", "3"])

    def test_the_truth_itself_scores_one(self):
        with open(self.pred, "w") as f:
            f.write("seq_name\tstart\tend\n" + "".join(open(self.truth).readlines()[1:]))
        self.assertEqual(row(SCORER, self.fasta, self.truth, self.pred)[1:7], ["1.0000"] * 6)

    @unittest.skipUnless(os.path.isfile(REFERENCE), "the reference scorer is not beside the repository")
    def test_same_line_as_the_reference_scorer(self):
        fasta = os.path.join(SOURCE, "examples", "fly_crms.fasta")
        truth = os.path.join(SOURCE, "examples", "fly_sites.tsv")
        lengths, name = {}, None
        for line in open(fasta):
            if line.startswith(">"):
                name = line[1:].split()[0]
                lengths[name] = 0
            else:
                lengths[name] += len(line.strip())
        known = [line.split("\t")[:3] for line in open(truth)][1:]
        rng = random.Random(2005)
        for trial in range(12):
            with self.subTest(trial=trial):
                lines = []
                for _ in range(rng.randint(1, 200)):
                    s = rng.choice(sorted(lengths))
                    w = rng.randint(5, 25)
                    a = rng.randint(0, lengths[s] - w)
                    lines.append(f"{s}\t{a}\t{a + w}\t{rng.choice('+-')}\tm{rng.randint(1, 3)}\n")
                for s, a, b in rng.sample(known, rng.randint(0, len(known))):
                    shift = rng.randint(-8, 8)
                    lines.append(f"{s}\t{max(0, int(a) + shift)}\t{min(lengths[s], int(b) + shift)}\t+\tm1\n")
                with open(self.pred, "w") as f:
                    f.writelines(lines)
                self.assertEqual(row(SCORER, fasta, truth, self.pred), row(REFERENCE, fasta, truth, self.pred))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
