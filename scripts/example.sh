#!/usr/bin/env bash
# Builds Ruzaravo and runs it on the example shipped in examples/: 14
# Drosophila blastoderm enhancers, three motifs, a fixed seed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh notests
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DRUZARAVO_TESTS=OFF >/dev/null
cmake --build build -j2 --target Ruzaravo
mkdir -p example_out
rm -f example_out/fly_result.txt example_out/fly_result.txt_modpr.txt   # result files are appended to
build/Ruzaravo -i examples/fly_crms.fasta -o example_out/fly_result.txt -K 3 --seed 2005 \
  --outdir example_out/fly --force
echo
echo "Result file:               example_out/fly_result.txt"
echo "Module probabilities file: example_out/fly_result.txt_modpr.txt"
echo "Output folder:             example_out/fly (MEME, JASPAR, BED, GFF3, bedGraph, JSON)"
echo "HTML report:               example_out/fly/report.html (open it in a browser)"
echo "Start of the result file:"
echo "------------------------------------------------------------"
head -n 40 example_out/fly_result.txt
