#!/usr/bin/env bash
# Builds Ruzaravo with its tests (build/) and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DRUZARAVO_TESTS=ON >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
