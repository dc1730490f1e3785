#!/usr/bin/env bash
# Accuracy of site discovery on real and semi-synthetic enhancers, and on
# real promoter sets.
#
# Runs every configuration below on two sets, each with seeds 1..5 (SEEDS to
# change), one run at a time (JOBS to change; the machines are shared), scores each run's reported
# sites with bench/site_scores.py (nucleotide-level correlation nCC,
# site sensitivity and PPV as Tompa et al. 2005 define them) and writes the table of means, seed-to-seed sd and
# CPU time into bench/README.md between its accuracy markers.
#   fly:   the 14 footprinted D. melanogaster blastoderm enhancers, 237 sites;
#          background set: the 55 non-enhancer sequences shipped with them
#          (examples/fly_crms.fasta, fly_sites.tsv, fly_background.fasta).
#          The JASPAR matrices of synth: data/jaspar2024.
#   synth: 16 x 800 letters of AT-rich sequence with runs, one 300-letter
#          module each holding 2 sites each of JASPAR hb, Kr, kni
#          (bench/semisynthetic.py, fixed seed); background set: 40 x 2000
#          letters of the same process without modules.
# With --tompa it runs the configurations of TOMPA_CONFIGS (or those named)
# on the 37 real promoter sets of DATA/tompa2005-dev (seed 1 unless
# SEEDS is given; -n TOMPA_SWEEPS added unless the options hold -n) and prints
# the per-set table and the mean nCC over sets (bench/tompa_table.py); it
# never touches bench/README.md.
#
#   bash bench/accuracy.sh [--tompa] [CONFIG_NAME | "NAME|OPTIONS[|C[|PRE[|POST]]]" ...]
# C: chains per run (below). PRE: the input is first rewritten by
# bench/tools/mask_fasta (built here with g++ from analysis/): a comma list of
# dust:T (DUST threshold T) and dups (later copies of shared stretches masked).
# POST: select[:S[:RANK]] answers with the one cluster of support S or more
# (default majority; without chains, the one motif) most enriched against a
# fresh dinucleotide shuffle of the input (bench/select_enriched.py; RANK
# ratio, the default, or p). A comma list of such steps scores the first as
# the configuration's row and each further one as name@STEP; the row
# name@plain scores the same runs' answer without POST.
# Every run writes --outdir; its answer is consensus.bed when the program
# wrote one, else the clusters of support MIN_SUPPORT of a chains run, else
# sites.bed. Sites are scored against the unmasked input (masking keeps
# every coordinate).
# Environment: BIN (build/Ruzaravo), SEEDS ("1 2 3 4 5"; --tompa: "1"), JOBS (1),
# MIN_SUPPORT (2), SETS ("fly synth"), TOMPA_SETS (all 37, e.g. "hm20r dm01r"),
# TOMPA_SWEEPS (1000), TIMEOUT (seconds per run, 900), REUSE=1 to score the
# runs a previous call left in the same WORK again instead of running them
# (same configuration names; e.g. to compare other POST steps),
# DATA (a folder holding tompa2005-dev, for --tompa only; unset by default),
# SCORER (a scorer taking score_sites.py's options; default bench/site_scores.py),
# WORK (a temporary folder),
# NO_README=1 to print the table without touching bench/README.md, VARIANTS=1
# to print the rows of every cluster and of each chain alone under a
# configuration that runs chains (the README's table has only the consensus).
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
TOMPA_MODE=0
if [ "${1:-}" = --tompa ]; then TOMPA_MODE=1; shift; fi
BIN=${BIN:-$ROOT/build/Ruzaravo}
if [ $TOMPA_MODE = 1 ]; then SEEDS=${SEEDS:-1}; else SEEDS=${SEEDS:-1 2 3 4 5}; fi
JOBS=${JOBS:-1}
DATA=${DATA:-}
SCORER=${SCORER:-$HERE/site_scores.py}
WORK=${WORK:-$(mktemp -d)}
TIMEOUT=${TIMEOUT:-900}
TOMPA_SWEEPS=${TOMPA_SWEEPS:-1000}
FLY=$ROOT/examples
TOMPA=${DATA:+$DATA/tompa2005-dev}

# name|options[|C[|PRE[|POST]]]; @BG@ stands for the set's background
# sequences (a promoter set's: the other real sets of its organism). C (default 1) is the number of chains one run makes (--chains C,
# also through a preset): seed s of SEEDS becomes 1 + (s - 1) x C, so that the
# runs of one configuration share no chain (seeds 1..5 of --chains 5 are 1,
# 6, 11, 16, 21, whose chains are seeds 1..25). PRE and POST: see the top.
CONFIGS=(
  "default|"
  "K5w8W15|-K 5 -w 8 -W 15"
  "K5w8W15+bg3|-K 5 -w 8 -W 15 --bg-fasta @BG@ --bg-order 3"
  "preset|--preset enhancers|5"
  "preset+bg3|--preset enhancers --bg-fasta @BG@ --bg-order 3|5"
)
# One motif per set (each set is built around one factor), and the preset.
TOMPA_CONFIGS=(
  "K1w8W15|-K 1 -w 8 -W 15"
  "preset|--preset enhancers|5"
)
if [ $TOMPA_MODE = 1 ]; then CONFIGS=("${TOMPA_CONFIGS[@]}"); fi

[ -x "$BIN" ] || { echo "accuracy.sh: $BIN not built (cmake --build build)" >&2; exit 1; }
mkdir -p "$WORK"
if [ $TOMPA_MODE = 1 ]; then
  [ -f "$TOMPA/sites.tsv" ] || { echo "accuracy.sh: --tompa needs DATA, a folder holding tompa2005-dev" >&2; exit 1; }
  if [ -n "${TOMPA_SETS:-}" ]; then SETS=$TOMPA_SETS
  else SETS=$(cd "$TOMPA/real" && ls -- */*r.fasta | sed 's|.*/||; s|\.fasta$||' | tr '\n' ' '); fi
else
  SETS=${SETS:-fly synth}
  python3 "$HERE/semisynthetic.py" "$ROOT/data/jaspar2024/JASPAR2024_CORE_insects_non-redundant.pwm" "$WORK/synth"
fi

set_fasta() {
  case $1 in
    fly) echo "$FLY/fly_crms.fasta" ;;
    synth) echo "$WORK/synth/synth.fasta" ;;
    *) echo "$TOMPA/real/${1%%[0-9]*}/$1.fasta" ;;   # hm20r: real/hm/hm20r.fasta
  esac
}
set_truth()  { case $1 in fly) echo "$FLY/fly_sites.tsv" ;; synth) echo "$WORK/synth/synth_sites.tsv" ;; *) echo "$TOMPA/sites.tsv" ;; esac; }
set_where()  { case $1 in fly|synth) ;; *) echo "--truth-where dataset=$1" ;; esac; }
set_bg() {
  case $1 in
    fly) echo "$FLY/fly_background.fasta" ;;
    synth) echo "$WORK/synth/synth_bg.fasta" ;;
    *) tompa_bg "$1" ;;
  esac
}
# A promoter set's background: the other real sets of its organism (its own
# factor's sites left out), written once to WORK; record names get their
# set's name in front (every set names its records seq_0, seq_1, ...), and
# carriage returns are dropped.
tompa_bg() {
  local org=${1%%[0-9]*} bg="$WORK/bg.$1.fasta" f
  if [ ! -s "$bg" ]; then
    for f in "$TOMPA/real/$org"/*r.fasta; do
      [ "$f" = "$TOMPA/real/$org/$1.fasta" ] && continue
      tr -d '\r' < "$f" | awk -v set="$(basename "$f" .fasta)" '/^>/ { print ">" set "_" substr($0, 2); next } { print }'
    done > "$bg"
  fi
  echo "$bg"
}

# An argument "name|options..." adds a configuration of its own (replacing
# one of the same name); any other argument selects a configuration by name.
selected=()
for arg in "$@"; do
  if [[ $arg == *"|"* ]]; then
    for i in "${!CONFIGS[@]}"; do [ "${CONFIGS[$i]%%|*}" = "${arg%%|*}" ] && unset "CONFIGS[$i]"; done
    CONFIGS+=("$arg"); selected+=("${arg%%|*}")
  else
    selected+=("$arg")
  fi
done
wanted() { [ ${#selected[@]} -eq 0 ] && return 0; local s; for s in "${selected[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1; }

# The masking tool of PRE, built once from the repository's analysis code.
MASK=$WORK/mask_fasta
if printf '%s\n' "${CONFIGS[@]}" | awk -F'|' '$4 != ""' | grep -q .; then
  g++ -std=c++17 -O2 -Wall -Wextra -ffp-contract=off -I"$ROOT" "$HERE/tools/mask_fasta.cpp" \
      "$ROOT/analysis/LowComplexity.cpp" "$ROOT/analysis/SharedStretches.cpp" -o "$MASK"
fi

# Scores one prediction file against set $1's truth: prints "nCC sSn sPPV sites".
score() {
  # shellcheck disable=SC2046
  python3 "$SCORER" --fasta "$(set_fasta "$1")" --truth "$(set_truth "$1")" $(set_where "$1") \
      --pred "$2" --quiet --tsv-row x | awk -F'\t' '{print $5, $6, $7, $11}'
}

# Writes set $1's input rewritten by PRE $2 to $3.
preprocess() {
  local args=() step
  for step in ${2//,/ }; do
    case $step in
      dust:*) args+=(--dust "${step#dust:}") ;;
      dups) args+=(--dups) ;;
      *) echo "accuracy.sh: unknown pre-processing step $step" >&2; return 1 ;;
    esac
  done
  "$MASK" "${args[@]}" "$(set_fasta "$1")" > "$3" 2> "$3.log"
}

# The answer of a finished run, as the scorer's predictions, into $out.tsv.
answer() {
  local out=$1 chains=$2 post=$3 input=$4
  if [[ $post == select* ]]; then
    local support rank
    IFS=: read -r _ support rank <<< "$post"
    python3 "$HERE/select_enriched.py" "$out.d/summary.json" "$input" --min-support "${support:-majority}" \
        --rank "${rank:-ratio}" > "$out.tsv" 2> "$out.select"
  elif [ -n "$post" ]; then
    echo "accuracy.sh: unknown post-processing step $post" >&2; return 1
  elif [ -f "$out.d/consensus.bed" ]; then   # --min-support: the program's own consensus
    awk -F'\t' -v OFS='\t' '{print $1, $2, $3, $6, $4}' "$out.d/consensus.bed" > "$out.tsv"
  elif [ -n "$chains" ]; then
    python3 "$HERE/chain_sites.py" "$out.txt" "$out.out" support "${MIN_SUPPORT:-2}" > "$out.tsv"
  else
    awk -F'\t' -v OFS='\t' '{print $1, $2, $3, $6, $4}' "$out.d/sites.bed" > "$out.tsv"
  fi
}

# One run: prints "config set seed cpu_seconds nCC sSn sPPV sites" (NA for a
# run that failed or ran out of TIMEOUT). A run with --chains C prints its
# answer as the configuration's row, then, outside --tompa, name@all (every
# cluster) and name@cN (chain N alone, i.e. seed + N - 1); its CPU time is
# per chain.
one_run() {
  local name=$1 set=$2 seed=$3 opts=$4 pre=$5 post=$6
  local out="$WORK/$name.$set.$seed" input rc=0
  input=$(set_fasta "$set")
  [ -z "$pre" ] || input=$out.in.fa
  if [ "${REUSE:-}" = 1 ] && [ -s "$out.d/summary.json" ] && [ -s "$out.time" ]; then
    :   # scored again from the folder a previous call left in WORK
  else
    rm -rf "$out.txt" "$out.txt_modpr.txt" "$out.txt_consensus.bed" "$out.d"
    if [ -n "$pre" ]; then preprocess "$set" "$pre" "$out.in.fa"; fi
    if [[ $opts == *@BG@* ]]; then opts=${opts//@BG@/$(set_bg "$set")}; fi
    if [ "$TOMPA_MODE" = 1 ] && [[ " $opts " != *" -n "* ]]; then opts="-n $TOMPA_SWEEPS $opts"; fi
    local TIMEFORMAT='%U %S'
    # shellcheck disable=SC2086
    { time timeout "$TIMEOUT" "$BIN" -i "$input" -o "$out.txt" --outdir "$out.d" $opts --seed "$seed" \
        >"$out.out" 2>"$out.err"; } 2>"$out.time" || rc=$?
  fi
  if [ $rc != 0 ]; then echo "accuracy.sh: $name on $set, seed $seed: exit $rc (see $out.err)" >&2
    echo "$name $set $seed NA NA NA NA NA"; return; fi
  local chains c cpu   # the number of chains, from the cluster table a --chains run prints
  chains=$(sed -n 's/^Motifs of \([0-9]*\) chains.*/\1/p' "$out.out")
  cpu=$(awk -v c="${chains:-1}" '{print ($1+$2)/c}' "$out.time")
  answer "$out" "$chains" "${post%%,*}" "$input"
  echo "$name $set $seed $cpu $(score "$set" "$out.tsv")"
  if [ -n "$post" ]; then   # the same run with the other POST steps, and without POST
    local step
    cp "$out.tsv" "$out.post.tsv"
    for step in $(echo "$post" | tr ',' ' ' | cut -d' ' -f2-) plain; do
      [ "$step" = "${post%%,*}" ] && continue
      answer "$out" "$chains" "${step/#plain/}" "$input"
      echo "$name@$step $set $seed $cpu $(score "$set" "$out.tsv")"
    done
    mv "$out.post.tsv" "$out.tsv"
  fi
  if [ -z "$chains" ] || [ "$TOMPA_MODE" = 1 ]; then return; fi
  python3 "$HERE/chain_sites.py" "$out.txt" "$out.out" support 1 > "$out.all.tsv"
  echo "$name@all $set $seed $cpu $(score "$set" "$out.all.tsv")"
  for c in $(seq 1 "$chains"); do
    python3 "$HERE/chain_sites.py" "$out.txt" "$out.out" chain "$c" > "$out.c$c.tsv"
    echo "$name@c$c $set $seed $cpu $(score "$set" "$out.c$c.tsv")"
  done
}
export -f one_run score preprocess answer set_fasta set_truth set_where set_bg tompa_bg
export HERE BIN WORK FLY TOMPA SCORER MASK TIMEOUT TOMPA_MODE TOMPA_SWEEPS REUSE

# One line per run; fields separated by \037, which (unlike a tab) keeps
# empty fields apart.
jobs_file="$WORK/jobs"
: > "$jobs_file"
for entry in "${CONFIGS[@]}"; do
  IFS='|' read -r name opts per_run pre post <<< "$entry"
  wanted "$name" || continue
  for set in $SETS; do
    for seed in $SEEDS; do
      printf '%s\037%s\037%s\037%s\037%s\037%s\n' "$name" "$set" $((1 + (seed - 1) * ${per_run:-1})) "$opts" "$pre" "$post" \
          >> "$jobs_file"
    done
  done
done
[ -s "$jobs_file" ] || { echo "accuracy.sh: no configuration selected" >&2; exit 1; }

runs="$WORK/runs.txt"
tr '\n' '\0' < "$jobs_file" | xargs -0 -P "$JOBS" -I{} bash -c \
  'IFS=$'"'"'\037'"'"' read -r n s e o p q <<< "$1"; one_run "$n" "$s" "$e" "$o" "$p" "$q"' _ {} > "$runs"
echo "runs: $runs" >&2

if [ $TOMPA_MODE = 1 ]; then
  python3 "$HERE/tompa_table.py" "$runs" "$(printf '%s\n' "${CONFIGS[@]}")"
  exit 0
fi
table=$(python3 "$HERE/accuracy_table.py" ${VARIANTS:+--variants} "$runs" "$(printf '%s\n' "${CONFIGS[@]}")" "$SEEDS")
echo "$table"
if [ "${NO_README:-}" != 1 ]; then
  python3 "$HERE/accuracy_table.py" --replace "$HERE/README.md" "$runs" "$(printf '%s\n' "${CONFIGS[@]}")" "$SEEDS"
fi
