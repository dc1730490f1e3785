#!/usr/bin/env bash
# The scan on the eve locus: how many of the five stripe enhancers lie among
# the top 2, 7 and 10 modules by score (all calls ranked, --max-p 1), and the
# scan's speed on 10 Mbp of uniform random letters with the first five
# matrices, one and two threads (user and wall time; the null included).
#   bash bench/scan_eve.sh [PROGRAM] [DATA]   (defaults: build/Ruzaravo, ../shared/data)
# Extra scan options go in SCAN_ARGS, e.g. SCAN_ARGS="--module-length 300".
set -euo pipefail
prog=$(realpath "${1:-build/Ruzaravo}")
data=$(realpath "${2:-../shared/data}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
locus=$data/fly-blastoderm-crm/original/eve.location.fa
crms=$(find "$data" -name eve_locus_crms.tsv | head -1)
pwm=$data/jaspar2024/pwm/sets/fly_gap_maternal.pwm
"$prog" --scan "$locus" --motifs "$pwm" --outdir "$work/eve" --max-p 1 --quiet ${SCAN_ARGS:-}
python3 - "$work/eve/modules.bed" "$crms" <<'PY'
import sys
mods = sorted((l.split('\t') for l in open(sys.argv[1]).read().splitlines()), key=lambda m: -float(m[4]))
crms = [l.split('\t') for l in open(sys.argv[2]).read().splitlines()[1:]]
def hits(top):
    return len({c[3] for m in mods[:top] for c in crms if int(m[1]) < int(c[2]) and int(c[1]) < int(m[2])})
print(f"eve: {len(mods)} calls; enhancers among the top 2: {hits(2)}/5, top 7: {hits(7)}/5, top 10: {hits(10)}/5")
PY
python3 -c "
import random
random.seed(5)
s = ''.join(random.choice('ACGT') for _ in range(10_000_000))
print('>chrR'); print('\n'.join(s[i:i + 80] for i in range(0, len(s), 80)))" > "$work/big.fa"
awk '/^>/{n++} n<=5' "$pwm" > "$work/five.pwm"
for t in 1 2; do
  /usr/bin/time -f "threads $t: wall %e s, user %U s, peak %M kB" \
    "$prog" --scan "$work/big.fa" --motifs "$work/five.pwm" --outdir "$work/big$t" --threads $t --quiet
done
