#!/usr/bin/env bash
# Makes sure the build tools are present: cmake, g++, make, zlib (for
# gzip/BGZF input) and (unless the first argument is "notests") GoogleTest. On Debian as root they are
# installed with apt-get; elsewhere the script says what to install.
# The tools the tests read our output files with (bedtools, genometools,
# Biopython, jsonschema), the browser that loads the HTML report
# (chromium) and snakemake, which runs the workflow test, are installed the
# same way when possible; without them those tests are skipped with a
# message, so they are not required.
set -euo pipefail

optional=()
if [ "${1:-}" != "notests" ]; then
  command -v bedtools >/dev/null 2>&1 || optional+=(bedtools)
  command -v gt >/dev/null 2>&1 || optional+=(genometools)
  /usr/bin/python3 -c 'import Bio.motifs' >/dev/null 2>&1 || optional+=(python3-biopython)
  /usr/bin/python3 -c 'import jsonschema' >/dev/null 2>&1 || optional+=(python3-jsonschema)
  command -v chromium >/dev/null 2>&1 || optional+=(chromium)
  command -v snakemake >/dev/null 2>&1 || optional+=(snakemake)
fi
if [ ${#optional[@]} -gt 0 ]; then
  if command -v apt-get >/dev/null 2>&1 && [ "$(id -u)" = 0 ]; then
    echo "Installing the test tools ${optional[*]} with apt-get ..."
    apt-get update -qq || true
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${optional[@]}" >/dev/null ||
      echo "Could not install ${optional[*]}; the tests that use them will be skipped." >&2
  else
    echo "Optional test tools missing: ${optional[*]} (the tests that use them will be skipped)." >&2
  fi
fi

missing=()
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v make >/dev/null 2>&1 || missing+=(make)
[ -f /usr/include/zlib.h ] || missing+=(zlib1g-dev)
if [ "${1:-}" != "notests" ] && [ ! -f /usr/include/gtest/gtest.h ]; then
  missing+=(libgtest-dev)
fi
[ ${#missing[@]} -eq 0 ] && exit 0

if command -v apt-get >/dev/null 2>&1 && [ "$(id -u)" = 0 ]; then
  echo "Installing ${missing[*]} with apt-get ..."
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
else
  echo "Missing build dependencies: ${missing[*]}" >&2
  echo "Install them first, for example on Debian/Ubuntu:" >&2
  echo "  sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
