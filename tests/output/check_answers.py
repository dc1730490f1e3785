"""Reads the run-set answer of an output folder as a user would.

Usage: check_answers.py FOLDER SCHEMA. matches.tsv with the csv module
(ten named columns on every row, overlaps of at least min(5, widths),
p <= E, q in 0..1), summary.json against the schema with the same matches,
chains_asked and chains_done, and its convergence verdict; consensus.meme
with Bio.motifs (the clusters of chains.tsv at the consensus support, in
that order, named cluster<n> and by factor); consensus_modules.bed has
seven fields with support at least the consensus support. A Biopython that
needs E= (1.80) reads consensus.meme with "E= nan" put where it is left
out, as check_folder.py does. Prints "ok" and exits 0, else the fault.
"""
import csv
import io
import json
import sys

from Bio import motifs
import jsonschema


def fail(message):
    print(message)
    sys.exit(1)


def read_tsv(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f, delimiter="\t"))


def check_matches(folder, summary):
    rows = read_tsv(folder + "/matches.tsv")
    columns = ["motif", "library_id", "name", "offset", "strand", "overlap", "score", "p", "E", "q"]
    widths = {m["id"]: m["width"] for r in summary["runs"] for m in r["motifs"]}
    for row in rows:
        if list(row.keys()) != columns or None in row.values():
            fail(f"matches.tsv row {row}")
        if row["motif"] in widths and int(row["overlap"]) < min(5, widths[row["motif"]]):
            fail(f"matches.tsv: overlap below the minimum: {row}")
        if not (0 <= float(row["q"]) <= 1 and float(row["p"]) <= float(row["E"]) * 1.0001):
            fail(f"matches.tsv: p, E, q: {row}")
    if len(summary["matches"]) != len(rows):
        fail(f"summary.json has {len(summary['matches'])} matches, matches.tsv {len(rows)}")
    for got, row in zip(summary["matches"], rows):
        if got["motif"] != row["motif"] or got["library_id"] != row["library_id"]:
            fail(f"summary.json match {got} against {row}")
    return rows


def read_consensus_meme(path):
    text = open(path).read()
    lines = text.split("\n")
    for i, line in enumerate(lines):
        if line.startswith("letter-probability matrix:") and "E=" not in line:
            lines[i] += " E= nan"
    try:
        return list(motifs.parse(io.StringIO(text), "minimal"))
    except (IndexError, ValueError):
        return list(motifs.parse(io.StringIO("\n".join(lines)), "minimal"))


def main():
    folder, schema = sys.argv[1], json.load(open(sys.argv[2]))
    summary = json.load(open(folder + "/summary.json"))
    jsonschema.validate(summary, schema)
    check_matches(folder, summary)
    if summary["chains_asked"] != summary["chains_done"] or summary["chains_done"] != len(summary["runs"]):
        fail(f"chains asked {summary['chains_asked']}, done {summary['chains_done']}")
    verdict = summary["convergence"]["verdict"]
    if verdict not in ("the chains agree", "the chains disagree: run more sweeps"):
        fail(f"verdict {verdict!r}")
    if len(summary["convergence"]["ess_log_posterior"]) != summary["chains_done"]:
        fail("one effective sample size per chain")
    support = int(sys.argv[3])
    clusters = read_tsv(folder + "/chains.tsv")
    kept = [c for c in clusters if int(c["support"]) >= support]
    found = read_consensus_meme(folder + "/consensus.meme")
    if [m.name for m in found] != ["cluster" + c["cluster"] for c in kept]:
        fail(f"consensus.meme motifs {[m.name for m in found]}, clusters {[c['cluster'] for c in kept]}")
    # Bio.motifs keeps the identifier only; the name word is read here.
    named = [line.split()[2] for line in open(folder + "/consensus.meme") if line.startswith("MOTIF ")]
    for m, c, name in zip(found, kept, named):
        if m.length != int(c["width"]) or m.num_occurrences != int(c["sites"]):
            fail(f"consensus.meme {m.name}: width {m.length}, sites {m.num_occurrences}; chains.tsv {c}")
        if c["factor"] != "NA" and name != c["factor"]:
            fail(f"consensus.meme {m.name} named {name!r}, its factor is {c['factor']!r}")
    for line in open(folder + "/consensus_modules.bed"):
        fields = line.rstrip("\n").split("\t")
        if len(fields) != 7 or int(fields[4]) < support or float(fields[6]) > int(fields[4]):
            fail(f"consensus_modules.bed line {line!r}")
    print("ok")


main()
