#!/usr/bin/env bash
# Accuracy of site discovery on real and semi-synthetic enhancers.
#
# Runs every configuration below on two sets, each with seeds 1..5 (SEEDS to
# change), at most two runs at a time (JOBS), scores each run's reported
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
#   bash bench/accuracy.sh [CONFIG_NAME ...]     (default: every configuration)
# Environment: BIN (build/Ruzaravo), SEEDS ("1 2 3 4 5"), JOBS (2),
# DATA (../shared/data), TOOLS (../shared/tools), WORK (a temporary folder),
# NO_README=1 to print the table without touching bench/README.md.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
BIN=${BIN:-$ROOT/build/Ruzaravo}
SEEDS=${SEEDS:-1 2 3 4 5}
JOBS=${JOBS:-2}
DATA=${DATA:-$ROOT/../shared/data}
TOOLS=${TOOLS:-$ROOT/../shared/tools}
WORK=${WORK:-$(mktemp -d)}
FLY=$DATA/fly-blastoderm-crm

# name|options; @BG@ stands for the set's background sequences.
CONFIGS=(
  "default|"
  "K5w8W15|-K 5 -w 8 -W 15"
  "K5w8W15+bg3|-K 5 -w 8 -W 15 --bg-fasta @BG@ --bg-order 3"
  "K5w8W15+in3|-K 5 -w 8 -W 15 --bg-order 3"
  "K5w8W15+bg5|-K 5 -w 8 -W 15 --bg-fasta @BG@ --bg-order 5"
  "K5w8W15+bg1|-K 5 -w 8 -W 15 --bg-fasta @BG@ --bg-order 1"
  "preset+bg3|--preset enhancers --bg-fasta @BG@ --bg-order 3"
)

[ -x "$BIN" ] || { echo "accuracy.sh: $BIN not built (cmake --build build)" >&2; exit 1; }
[ -d "$FLY" ] || { echo "accuracy.sh: data folder $FLY missing (set DATA)" >&2; exit 1; }
mkdir -p "$WORK"
python3 "$HERE/semisynthetic.py" "$DATA/jaspar2024/pwm/sets/fly_gap_maternal.pwm" "$WORK/synth"

set_fasta()  { case $1 in fly) echo "$FLY/crms_dmel_annotated.fasta" ;; synth) echo "$WORK/synth/synth.fasta" ;; esac; }
set_truth()  { case $1 in fly) echo "$FLY/sites.tsv" ;; synth) echo "$WORK/synth/synth_sites.tsv" ;; esac; }
set_bg()     { case $1 in fly) echo "$FLY/original/mapping0.ap_neg.fasta" ;; synth) echo "$WORK/synth/synth_bg.fasta" ;; esac; }

selected=("$@")
wanted() { [ ${#selected[@]} -eq 0 ] && return 0; local s; for s in "${selected[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1; }

# One run: prints "config set seed cpu_seconds nCC sSn sPPV sites".
one_run() {
  local name=$1 set=$2 seed=$3 opts=$4
  local out="$WORK/$name.$set.$seed"
  rm -f "$out.txt" "$out.txt_modpr.txt"
  opts=${opts//@BG@/$(set_bg "$set")}
  local TIMEFORMAT='%U %S'
  # shellcheck disable=SC2086
  { time "$BIN" -i "$(set_fasta "$set")" -o "$out.txt" $opts --seed "$seed" >/dev/null 2>"$out.err"; } 2>"$out.time"
  python3 "$HERE/result_to_tsv.py" "$out.txt" > "$out.tsv"
  local row
  row=$(python3 "$TOOLS/score_sites.py" --fasta "$(set_fasta "$set")" --truth "$(set_truth "$set")" \
        --pred "$out.tsv" --quiet --tsv-row x)
  echo "$name $set $seed $(awk '{print $1+$2}' "$out.time") $(echo "$row" | awk -F'\t' '{print $5, $6, $7, $11}')"
}
export -f one_run set_fasta set_truth set_bg
export HERE BIN WORK FLY TOOLS

jobs_file="$WORK/jobs"
: > "$jobs_file"
for entry in "${CONFIGS[@]}"; do
  name=${entry%%|*}; opts=${entry#*|}
  wanted "$name" || continue
  for set in fly synth; do
    for seed in $SEEDS; do
      printf '%s\t%s\t%s\t%s\n' "$name" "$set" "$seed" "$opts" >> "$jobs_file"
    done
  done
done
[ -s "$jobs_file" ] || { echo "accuracy.sh: no configuration selected" >&2; exit 1; }

runs="$WORK/runs.txt"
tr '\n' '\0' < "$jobs_file" | xargs -0 -P "$JOBS" -I{} bash -c 'IFS=$'"'"'\t'"'"' read -r n s e o <<< "$1"; one_run "$n" "$s" "$e" "$o"' _ {} > "$runs"

table=$(python3 "$HERE/accuracy_table.py" "$runs" "$(printf '%s\n' "${CONFIGS[@]}")" "$SEEDS")
echo "$table"
echo "runs: $runs" >&2
if [ "${NO_README:-}" != 1 ]; then
  python3 "$HERE/accuracy_table.py" --replace "$HERE/README.md" "$runs" "$(printf '%s\n' "${CONFIGS[@]}")" "$SEEDS"
fi
