#!/usr/bin/env bash
# Accuracy of site discovery on real and semi-synthetic enhancers.
#
# Runs every configuration below on two sets, each with seeds 1..5 (SEEDS to
# change), one run at a time (JOBS to change; the machines are shared), scores each run's reported
# sites with ../shared/tools/score_sites.py (nucleotide-level correlation nCC,
# site sensitivity and PPV) and writes the table of means, seed-to-seed sd and
# CPU time into bench/README.md between its accuracy markers.
#   fly:   the 14 footprinted D. melanogaster blastoderm enhancers, 237 sites;
#          background set: the 55 non-enhancer sequences shipped with them.
#   synth: 16 x 800 letters of AT-rich sequence with runs, one 300-letter
#          module each holding 2 sites each of JASPAR hb, Kr, kni
#          (bench/semisynthetic.py, fixed seed); background set: 40 x 2000
#          letters of the same process without modules.
#
#   bash bench/accuracy.sh [CONFIG_NAME | "NAME|OPTIONS" ...]   (default: every configuration)
# Environment: BIN (build/Ruzaravo), SEEDS ("1 2 3 4 5"), JOBS (1), MIN_SUPPORT (2),
# DATA (../shared/data), TOOLS (../shared/tools), WORK (a temporary folder),
# NO_README=1 to print the table without touching bench/README.md, VARIANTS=1
# to print the rows of every cluster and of each chain alone under a
# configuration that runs chains (the README's table has only the consensus).
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
BIN=${BIN:-$ROOT/build/Ruzaravo}
SEEDS=${SEEDS:-1 2 3 4 5}
JOBS=${JOBS:-1}
DATA=${DATA:-$ROOT/../shared/data}
TOOLS=${TOOLS:-$ROOT/../shared/tools}
WORK=${WORK:-$(mktemp -d)}
FLY=$DATA/fly-blastoderm-crm

# name|options[|C]; @BG@ stands for the set's background sequences. C
# (default 1) is the number of chains one run makes (--chains C, also
# through a preset): seed s of SEEDS becomes 1 + (s - 1) x C, so that the
# runs of one configuration share no chain (seeds 1..5 of --chains 5 are 1,
# 6, 11, 16, 21, whose chains are seeds 1..25).
CONFIGS=(
  "default|"
  "K5w8W15|-K 5 -w 8 -W 15"
  "K5w8W15+bg3|-K 5 -w 8 -W 15 --bg-fasta @BG@ --bg-order 3"
  "preset|--preset enhancers|5"
  "preset+bg3|--preset enhancers --bg-fasta @BG@ --bg-order 3|5"
)

[ -x "$BIN" ] || { echo "accuracy.sh: $BIN not built (cmake --build build)" >&2; exit 1; }
[ -d "$FLY" ] || { echo "accuracy.sh: data folder $FLY missing (set DATA)" >&2; exit 1; }
mkdir -p "$WORK"
python3 "$HERE/semisynthetic.py" "$DATA/jaspar2024/pwm/sets/fly_gap_maternal.pwm" "$WORK/synth"

set_fasta()  { case $1 in fly) echo "$FLY/crms_dmel_annotated.fasta" ;; synth) echo "$WORK/synth/synth.fasta" ;; esac; }
set_truth()  { case $1 in fly) echo "$FLY/sites.tsv" ;; synth) echo "$WORK/synth/synth_sites.tsv" ;; esac; }
set_bg()     { case $1 in fly) echo "$FLY/original/mapping0.ap_neg.fasta" ;; synth) echo "$WORK/synth/synth_bg.fasta" ;; esac; }

# An argument "name|options" adds a configuration of its own; any other
# argument selects a configuration by name.
selected=()
for arg in "$@"; do
  if [[ $arg == *"|"* ]]; then CONFIGS+=("$arg"); selected+=("${arg%%|*}"); else selected+=("$arg"); fi
done
wanted() { [ ${#selected[@]} -eq 0 ] && return 0; local s; for s in "${selected[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1; }

# Scores one prediction file: prints "nCC sSn sPPV sites".
score() {
  python3 "$TOOLS/score_sites.py" --fasta "$(set_fasta "$1")" --truth "$(set_truth "$1")" \
      --pred "$2" --quiet --tsv-row x | awk -F'\t' '{print $5, $6, $7, $11}'
}

# One run: prints "config set seed cpu_seconds nCC sSn sPPV sites". A run
# with --chains C prints its consensus as the configuration's row (with
# --min-support the program's consensus file, else the clusters of support
# MIN_SUPPORT (2) or more), then name@all (every cluster) and name@cN (chain
# N alone, i.e. seed + N - 1); its CPU time is per chain.
one_run() {
  local name=$1 set=$2 seed=$3 opts=$4
  local out="$WORK/$name.$set.$seed"
  rm -f "$out.txt" "$out.txt_modpr.txt" "$out.txt_consensus.bed"
  opts=${opts//@BG@/$(set_bg "$set")}
  local TIMEFORMAT='%U %S'
  # shellcheck disable=SC2086
  { time "$BIN" -i "$(set_fasta "$set")" -o "$out.txt" $opts --seed "$seed" >"$out.out" 2>"$out.err"; } 2>"$out.time"
  local chains   # the number of chains, from the cluster table a --chains run prints
  chains=$(sed -n 's/^Motifs of \([0-9]*\) chains.*/\1/p' "$out.out")
  if [ -z "$chains" ]; then
    python3 "$HERE/result_to_tsv.py" "$out.txt" > "$out.tsv"
    echo "$name $set $seed $(awk '{print $1+$2}' "$out.time") $(score "$set" "$out.tsv")"
    return
  fi
  local cpu c
  cpu=$(awk -v c="$chains" '{print ($1+$2)/c}' "$out.time")
  if [ -f "$out.txt_consensus.bed" ]; then   # --min-support: the program's own consensus
    awk -F'\t' -v OFS='\t' '{print $1, $2, $3, $6, $4}' "$out.txt_consensus.bed" > "$out.tsv"
  else
    python3 "$HERE/chain_sites.py" "$out.txt" "$out.out" support "${MIN_SUPPORT:-2}" > "$out.tsv"
  fi
  echo "$name $set $seed $cpu $(score "$set" "$out.tsv")"
  python3 "$HERE/chain_sites.py" "$out.txt" "$out.out" support 1 > "$out.all.tsv"
  echo "$name@all $set $seed $cpu $(score "$set" "$out.all.tsv")"
  for c in $(seq 1 "$chains"); do
    python3 "$HERE/chain_sites.py" "$out.txt" "$out.out" chain "$c" > "$out.c$c.tsv"
    echo "$name@c$c $set $seed $cpu $(score "$set" "$out.c$c.tsv")"
  done
}
export -f one_run score set_fasta set_truth set_bg
export HERE BIN WORK FLY TOOLS

jobs_file="$WORK/jobs"
: > "$jobs_file"
for entry in "${CONFIGS[@]}"; do
  IFS='|' read -r name opts per_run <<< "$entry"
  wanted "$name" || continue
  for set in fly synth; do
    for seed in $SEEDS; do
      printf '%s\t%s\t%s\t%s\n' "$name" "$set" $((1 + (seed - 1) * ${per_run:-1})) "$opts" >> "$jobs_file"
    done
  done
done
[ -s "$jobs_file" ] || { echo "accuracy.sh: no configuration selected" >&2; exit 1; }

runs="$WORK/runs.txt"
tr '\n' '\0' < "$jobs_file" | xargs -0 -P "$JOBS" -I{} bash -c 'IFS=$'"'"'\t'"'"' read -r n s e o <<< "$1"; one_run "$n" "$s" "$e" "$o"' _ {} > "$runs"

table=$(python3 "$HERE/accuracy_table.py" ${VARIANTS:+--variants} "$runs" "$(printf '%s\n' "${CONFIGS[@]}")" "$SEEDS")
echo "$table"
echo "runs: $runs" >&2
if [ "${NO_README:-}" != 1 ]; then
  python3 "$HERE/accuracy_table.py" --replace "$HERE/README.md" "$runs" "$(printf '%s\n' "${CONFIGS[@]}")" "$SEEDS"
fi
