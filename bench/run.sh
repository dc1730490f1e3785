#!/usr/bin/env bash
# Builds a given commit and the working tree, runs both on the benchmark
# inputs with the same seed, checks that every output is byte-identical,
# and prints wall time, user time, peak RSS and letters x sweeps per second
# (by wall time) for both, with the wall and user time ratios (base /
# working tree: above 1 means faster). On a shared machine the wall time
# carries the other users' load; the user-time ratio of one thread is the
# steadier figure.
#
# Usage: bash bench/run.sh [BASE]        BASE: a commit (default main), or
#                                        "worktree" to compare the working
#                                        tree with itself (e.g. thread counts)
# Environment:
#   CASES       inputs to run (default "10k 100k 1M")
#   SWEEPS      sweeps for 10k and 100k (default 2000, the program's default)
#   SWEEPS_1M   sweeps for 1M (default 200)
#   BASE_ARGS   extra options for the base runs (e.g. "--threads 1")
#   NEW_ARGS    extra options for the working-tree runs (e.g. "--threads 2")
#   RUNS        -N (default 1)
# The command line is echoed into the outputs; when BASE_ARGS and NEW_ARGS
# differ that one line is left out of the comparison.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BASE="${1:-main}"
CASES="${CASES:-10k 100k 1M}"
SWEEPS="${SWEEPS:-2000}"
SWEEPS_1M="${SWEEPS_1M:-200}"
BASE_ARGS="${BASE_ARGS:-}"
NEW_ARGS="${NEW_ARGS:-}"
RUNS="${RUNS:-1}"
SEED=7
WORK="$(mktemp -d /tmp/ruzaravo-bench.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

build() {   # build <source dir> <build dir>
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DRUZARAVO_TESTS=OFF >/dev/null
    cmake --build "$2" -j2 --target Ruzaravo >/dev/null
}

echo "building the working tree"
build "$ROOT" "$WORK/new-build"
if [ "$BASE" = worktree ]; then
    cp "$WORK/new-build/Ruzaravo" "$WORK/base-exe"
else
    echo "building $BASE ($(git -C "$ROOT" rev-parse --short "$BASE"))"
    mkdir -p "$WORK/base-src"
    git -C "$ROOT" archive "$BASE" | tar -x -C "$WORK/base-src"
    build "$WORK/base-src" "$WORK/base-build"
    cp "$WORK/base-build/Ruzaravo" "$WORK/base-exe"
fi
cp "$WORK/new-build/Ruzaravo" "$WORK/new-exe"
python3 "$ROOT/bench/generate.py" "$WORK/in"

# run <side> <case> <sweeps> <args>: prints "wall user rssKB"
run() {
    local dir="$WORK/$1-$2"
    mkdir -p "$dir"
    cp "$WORK/$1-exe" "$dir/Ruzaravo"
    ln -sf "$WORK/in/bench$2.fa" "$dir/in.fa"
    # shellcheck disable=SC2086
    (cd "$dir" && /usr/bin/time -f "%e %U %M" -o time.txt \
        ./Ruzaravo -i in.fa -o out.txt -n "$3" -N "$RUNS" --seed "$SEED" --trace trace.txt $4 \
        >stdout.txt)
    cat "$dir/time.txt"
}

same() {   # same <file a> <file b>: byte-identical, the echoed command line aside
    if [ "$BASE_ARGS" = "$NEW_ARGS" ]; then
        cmp -s "$1" "$2"
    else
        cmp -s <(grep -v '^\./Ruzaravo ' "$1") <(grep -v '^\./Ruzaravo ' "$2")
    fi
}

printf "\n%-5s %7s %-6s %9s %9s %9s %12s %6s %6s %s\n" case sweeps side wall_s user_s rss_MB "letters*sw/s" wall_x user_x identical
status=0
for c in $CASES; do
    sweeps=$SWEEPS
    [ "$c" = 1M ] && sweeps=$SWEEPS_1M
    letters=$(grep -v '^>' "$WORK/in/bench$c.fa" | tr -d '\n' | wc -c)
    read -r bw bu bm <<<"$(run base "$c" "$sweeps" "$BASE_ARGS")"
    read -r nw nu nm <<<"$(run new "$c" "$sweeps" "$NEW_ARGS")"
    ok=yes
    for f in out.txt out.txt_modpr.txt stdout.txt trace.txt; do
        same "$WORK/base-$c/$f" "$WORK/new-$c/$f" || { ok="NO ($f differs)"; status=1; }
    done
    work=$(( letters * sweeps * RUNS ))
    printf "%-5s %7s %-6s %9s %9s %9.1f %12.0f\n" "$c" "$sweeps" base "$bw" "$bu" \
        "$(echo "$bm / 1024" | bc -l)" "$(echo "$work / $bw" | bc -l)"
    printf "%-5s %7s %-6s %9s %9s %9.1f %12.0f %6.2f %6.2f %s\n" "$c" "$sweeps" new "$nw" "$nu" \
        "$(echo "$nm / 1024" | bc -l)" "$(echo "$work / $nw" | bc -l)" "$(echo "$bw / $nw" | bc -l)" \
        "$(echo "$bu / $nu" | bc -l)" "$ok"
done
exit $status
