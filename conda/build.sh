#!/bin/bash
# conda-build's build script: configure with the toolchain's CMAKE_ARGS,
# build the program alone (no tests) and install it into $PREFIX.
set -euxo pipefail
cmake -S "$SRC_DIR" -B build ${CMAKE_ARGS} -DCMAKE_BUILD_TYPE=Release -DRUZARAVO_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX="$PREFIX"
cmake --build build -j"${CPU_COUNT}" --target Ruzaravo
cmake --install build
