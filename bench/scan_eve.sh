#!/usr/bin/env bash
# The scan measured, with Cluster-Buster side by side when its program is given:
# 1. the eve locus with the nine JASPAR gap and maternal matrices: how many of
#    the five stripe enhancers lie among the top 2, 7 and 10 modules by score
#    (all calls ranked, --max-p 1);
# 2. the eve locus with --model from a discovery run on the 12 annotated fly
#    CRMs outside the locus (--preset enhancers, background set --bg-fasta);
# 3. ROC AUC of the best module score per sequence, the 55 fly CRMs against
#    the 55 background sequences, with the model of the 14 annotated CRMs and
#    with the JASPAR matrices;
# 4. speed on 10 Mbp of uniform random letters with the first five matrices,
#    the null included: letters per second of CPU time, one and two threads.
#   bash bench/scan_eve.sh [PROGRAM] [DATA] [CBUST]
#   (defaults: build/Ruzaravo, ../shared/data, no Cluster-Buster; CBUST is the
#   path of a cbust built outside the repository, skipped when absent)
# Extra scan options go in SCAN_ARGS, e.g. SCAN_ARGS="--module-length 300".
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prog=$(realpath "${1:-build/Ruzaravo}")
data=$(realpath "${2:-../shared/data}")
cbust=${3:-}
[ -n "$cbust" ] && [ ! -x "$cbust" ] && { echo "Cluster-Buster: $cbust not found, skipped"; cbust=; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fly=$data/fly-blastoderm-crm
locus=$fly/original/eve.location.fa
crms=$fly/eve_locus_crms.tsv
pwm=$data/jaspar2024/pwm/sets/fly_gap_maternal.pwm
pos=$fly/crms_dmel.fasta
neg=$fly/original/mapping0.ap_neg.fasta
measure="python3 $here/scan_measures.py"
scan() {   # scan TARGET OUT [options]
  local target=$1 out=$2; shift 2
  "$prog" --scan "$target" --outdir "$work/$out" --max-p 1 --quiet ${SCAN_ARGS:-} "$@" > /dev/null
}
cb() {     # cb MATRICES TARGET OUT: Cluster-Buster's clusters as BED, every score (-c 0)
  "$cbust" -f 5 -c 0 "$1" "$2" > "$work/$3.bed" 2> /dev/null
}
discover() {   # discover FASTA OUT
  "$prog" -i "$1" --preset enhancers --bg-fasta "$neg" --seed 1 -o "$work/$2.txt" --outdir "$work/$2" > /dev/null 2>&1
}

echo "== eve locus, JASPAR gap/maternal matrices"
scan "$locus" eve --motifs "$pwm"
echo "Ruzaravo:       $($measure ranks "$work/eve/modules.bed" "$crms")"
if [ -n "$cbust" ]; then
  cb "$pwm" "$locus" cb_eve
  echo "Cluster-Buster: $($measure ranks "$work/cb_eve.bed" "$crms")"
fi

echo "== eve locus, --model from the 12 annotated CRMs outside it"
awk '/^>/{keep = ($1 != ">eve_stripe2" && $1 != ">eve_stripe_3+7")} keep' "$fly/crms_dmel_annotated.fasta" \
  > "$work/train12.fa"
discover "$work/train12.fa" model12
scan "$locus" eve_model --model "$work/model12"
echo "Ruzaravo:       $($measure ranks "$work/eve_model/modules.bed" "$crms")"

echo "== 55 fly CRMs against 55 background sequences"
discover "$fly/crms_dmel_annotated.fasta" model14
scan "$pos" pos_model --model "$work/model14"
scan "$neg" neg_model --model "$work/model14"
echo "Ruzaravo --model:  $($measure auc "$work/pos_model/modules.bed" "$work/neg_model/modules.bed" "$pos" "$neg")"
scan "$pos" pos_jaspar --motifs "$pwm"
scan "$neg" neg_jaspar --motifs "$pwm"
echo "Ruzaravo --motifs: $($measure auc "$work/pos_jaspar/modules.bed" "$work/neg_jaspar/modules.bed" "$pos" "$neg")"
if [ -n "$cbust" ]; then
  cb "$pwm" "$pos" cb_pos
  cb "$pwm" "$neg" cb_neg
  echo "Cluster-Buster:    $($measure auc "$work/cb_pos.bed" "$work/cb_neg.bed" "$pos" "$neg")"
fi

echo "== speed: 10 Mbp, five matrices"
python3 -c "
import random
random.seed(5)
s = ''.join(random.choice('ACGT') for _ in range(10_000_000))
print('>chrR'); print('\n'.join(s[i:i + 80] for i in range(0, len(s), 80)))" > "$work/big.fa"
awk '/^>/{n++} n<=5' "$pwm" > "$work/five.pwm"
timed() {   # timed NAME command...: "user wall" seconds into $work/NAME.time
  local name=$1; shift
  /usr/bin/time -f "%U %e" -o "$work/$name.time" "$@" > /dev/null 2>&1
}
for t in 1 2; do
  timed "ours$t" "$prog" --scan "$work/big.fa" --motifs "$work/five.pwm" --outdir "$work/big$t" --threads $t --quiet
done
[ -n "$cbust" ] && timed cb "$cbust" -f 5 "$work/five.pwm" "$work/big.fa"
python3 - "$work" "$cbust" <<'PY'
import sys
work, cbust = sys.argv[1], sys.argv[2]
t = lambda n: [float(x) for x in open(f"{work}/{n}.time").read().split()[-2:]]
(u1, w1), (u2, w2) = t("ours1"), t("ours2")
ours = 10e6 / u1
print(f"Ruzaravo: {ours / 1e6:.2f} M letters/s per thread (CPU {u1:.1f} s, null included); "
      f"2 threads: wall {w2:.1f} s against {w1:.1f} s, {w1 / w2:.2f}x")
if cbust:
    uc, wc = t("cb")
    theirs = 10e6 / max(uc, 1e-3)
    print(f"Cluster-Buster: {theirs / 1e6:.2f} M letters/s (CPU {uc:.1f} s); ours / theirs {ours / theirs:.2f}")
PY
