#!/usr/bin/env bash
# Runs the program end to end under valgrind memcheck (small input, a few
# sweeps, model odds on) and fails on any memory error or leak. Expects
# build/Ruzaravo (scripts/test.sh builds it).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v valgrind >/dev/null 2>&1; then
  if command -v apt-get >/dev/null 2>&1 && [ "$(id -u)" = 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq valgrind >/dev/null
  else
    echo "The memory check needs valgrind: sudo apt-get install valgrind" >&2
    exit 1
  fi
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
valgrind --tool=memcheck --error-exitcode=3 --leak-check=full --show-leak-kinds=all \
  --errors-for-leak-kinds=all --quiet \
  build/Ruzaravo -i tests/golden/input.fa -o "$work/out.txt" -n 60 -K 2 -L 60 -w 6 -W 9 -B -d -P \
  -M examples/fly_eve_stripe37.pwm \
  --seed 4 --trace "$work/trace.tsv" >/dev/null
echo "valgrind memcheck: no error and no leak"
