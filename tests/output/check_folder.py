#!/usr/bin/env python3
"""Reads an output folder with Biopython and jsonschema, as a user would.

Usage: check_folder.py FOLDER SCHEMA

summary.json must validate against SCHEMA; Bio.motifs must read
motifs.meme (MEME minimal format) and motifs.jaspar (JASPAR), each giving
exactly the printed motifs of summary.json, in order, under their names,
with the same letter frequencies to 3 decimals; MEME's E= of a motif is
its held-out E-value (10 ** log10_E of its "heldout" object) when that was
measured, else its enrichment p-value (10 ** log10_p), to 2 significant
digits, never 0, and a motif with neither has no E= field.
Biopython before 1.85 (Debian 12 has 1.80) cannot read a matrix line
without E=; with such a Biopython the file is read with "E= nan" put where
the field is missing (after checking that it is missing exactly there), so
everything else is still read by Bio.motifs itself. Exit status 0 when all
holds; otherwise the first fault is printed and the status is 1.
"""
import io
import json
import math
import sys

import jsonschema
from Bio import motifs


def fail(message):
    print(message)
    sys.exit(1)


def frequencies(motif):
    """Rows of A, C, G, T frequencies of a Bio.motifs motif."""
    counts = motif.counts
    rows = []
    for column in range(motif.length):
        column_counts = [counts[letter][column] for letter in "ACGT"]
        total = sum(column_counts)
        rows.append([c / total for c in column_counts])
    return rows


def same_rows(name, got, expected):
    if len(got) != len(expected):
        fail(f"{name}: {len(got)} columns, expected {len(expected)}")
    for c, (row, want) in enumerate(zip(got, expected)):
        for letter, a, b in zip("ACGT", row, want):
            if round(a, 3) != round(b, 3):
                fail(f"{name}: column {c + 1} letter {letter}: {a} != {b}")


def needs_evalue():
    """True when this Biopython's minimal-format reader needs E=."""
    probe = ("MEME version 4\n\nALPHABET= ACGT\n\nstrands: + -\n\n"
             "Background letter frequencies\nA 0.25 C 0.25 G 0.25 T 0.25\n\n"
             "MOTIF m1 A\nletter-probability matrix: alength= 4 w= 1 nsites= 1\n"
             " 1.0 0.0 0.0 0.0\n\n")
    try:
        return len(list(motifs.parse(io.StringIO(probe), "minimal"))) != 1
    except (IndexError, ValueError):
        return True


def read_meme(path, expected):
    """motifs.meme by Bio.motifs, and whether it needed E= filled in."""
    with open(path) as f:
        text = f.read()
    lines = text.split("\n")
    matrix_lines = [i for i, line in enumerate(lines) if line.startswith("letter-probability matrix:")]
    if len(matrix_lines) != len(expected):
        fail(f"{len(matrix_lines)} MEME matrix lines, expected {len(expected)}")
    for i, (name, _, _, _, enrichment) in zip(matrix_lines, expected):
        if ("E=" in lines[i]) != (enrichment is not None):
            fail(f"MEME {name}: {lines[i]!r} (E= only when enrichment was measured)")
    filled = needs_evalue()
    if filled:
        for i in matrix_lines:
            if "E=" not in lines[i]:
                lines[i] += " E= nan"
        text = "\n".join(lines)
    return list(motifs.parse(io.StringIO(text), "minimal")), filled


def significance(motif):
    """What MEME's E= holds for a motif of summary.json: its held-out
    measurement, else its enrichment, else None."""
    if motif.get("heldout") is not None:
        return {"log10_p": motif["heldout"]["log10_E"]}
    return motif.get("enrichment")


def same_p_value(name, evalue, enrichment):
    """MEME's E= against the motif's significance in summary.json."""
    if enrichment is None:
        if evalue is not None and not math.isnan(evalue):
            fail(f"MEME {name}: E= {evalue} without a measured enrichment")
        return
    if evalue == 0:
        fail(f"MEME {name}: E= 0")
    log10_p = enrichment["log10_p"]
    if log10_p < -300:   # below what a Python float holds; the text keeps it, float() reads 0
        return
    expected = float(f"{10 ** log10_p:.1e}")
    if evalue != expected:
        fail(f"MEME {name}: E= {evalue}, expected {expected} (log10 p {log10_p})")


def main():
    folder, schema_path = sys.argv[1], sys.argv[2]
    with open(f"{folder}/summary.json") as f:
        summary = json.load(f)
    with open(schema_path) as f:
        schema = json.load(f)
    jsonschema.validate(summary, schema)

    expected = [(m["id"], m["consensus"], m["matrix"], m["nsites"], significance(m))
                for run in summary["runs"] for m in run["motifs"]]
    meme, filled = read_meme(f"{folder}/motifs.meme", expected)
    with open(f"{folder}/motifs.jaspar") as f:
        jaspar = list(motifs.parse(f, "jaspar"))
    if len(meme) != len(expected) or len(jaspar) != len(expected):
        fail(f"{len(meme)} MEME and {len(jaspar)} JASPAR motifs, expected {len(expected)}")
    for (name, consensus, matrix, nsites, enrichment), m, j in zip(expected, meme, jaspar):
        if m.name != name or m.num_occurrences != nsites:
            fail(f"MEME motif {m.name!r} with {m.num_occurrences} sites, expected {name!r} with {nsites}")
        same_p_value(name, getattr(m, "evalue", None), enrichment)
        if j.matrix_id != name or j.name != consensus:
            fail(f"JASPAR motif {j.matrix_id!r} {j.name!r}, expected {name!r} {consensus!r}")
        same_rows("MEME " + name, frequencies(m), matrix)
        same_rows("JASPAR " + name, frequencies(j), matrix)
    note = " (this Biopython needs E=: read with E= nan where it is left out)" if filled else ""
    print(f"OK {len(expected)} motifs{note}")


if __name__ == "__main__":
    main()
