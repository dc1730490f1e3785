#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/), replays every kept
# regression input, then fuzzes each target for FUZZ_SECONDS (default 30)
# starting from the seed corpus in fuzz/corpus/. Findings are left in
# build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-30}"

if ! command -v clang++ >/dev/null 2>&1 || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  if command -v apt-get >/dev/null 2>&1 && [ "$(id -u)" = 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-14-dev >/dev/null
  else
    echo "Fuzzing needs clang and its runtime: sudo apt-get install clang libclang-rt-14-dev" >&2
    exit 1
  fi
fi

CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Release -DRUZARAVO_FUZZ=ON -DRUZARAVO_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2
mkdir -p build-fuzz/findings
for target in FuzzFasta FuzzPWM FuzzBackground FuzzOptions; do
  name="${target#Fuzz}"
  name="$(echo "$name" | tr '[:upper:]' '[:lower:]')"
  if compgen -G "fuzz/regressions/$name/*" >/dev/null; then
    echo "== $target: replaying fuzz/regressions/$name"
    build-fuzz/fuzz/$target fuzz/regressions/$name/*
  fi
  work="$(mktemp -d)"
  cp -r "fuzz/corpus/$name/." "$work/"
  echo "== $target: fuzzing for $seconds s"
  log="build-fuzz/$target.log"
  if (cd build-fuzz/findings && ../fuzz/$target -max_total_time="$seconds" -max_len=8192 \
        -rss_limit_mb=4096 "$work" >"../$target.log" 2>&1); then
    tail -n 2 "$log"
    rm -rf "$work"
  else
    tail -n 40 "$log"
    echo "$target found a failure; the input is in build-fuzz/findings" >&2
    exit 1
  fi
done
