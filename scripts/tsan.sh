#!/usr/bin/env bash
# Builds the program and the threaded tests with ThreadSanitizer
# (build-tsan/) and runs them: runs of -N at once, threads sharing one
# run's sequences, output in run order. Any data race fails the tests
# (the instrumented program exits with status 66 and the outputs differ).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DRUZARAVO_TESTS=ON \
  -DCMAKE_CXX_FLAGS="-O1 -g -fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build build-tsan -j2 --target Ruzaravo test_run
TSAN_OPTIONS="halt_on_error=1 exitcode=66" ctest --test-dir build-tsan --output-on-failure -R '^Threads\.'
