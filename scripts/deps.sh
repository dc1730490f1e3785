#!/usr/bin/env bash
# Makes sure the build tools are present: cmake, g++, make, and (unless
# the first argument is "notests") GoogleTest and snakemake (for the
# workflow test). On Debian as root they are installed with apt-get;
# elsewhere the script says what to install.
set -euo pipefail

missing=()
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v make >/dev/null 2>&1 || missing+=(make)
if [ "${1:-}" != "notests" ] && [ ! -f /usr/include/gtest/gtest.h ]; then
  missing+=(libgtest-dev)
fi
if [ "${1:-}" != "notests" ] && ! command -v snakemake >/dev/null 2>&1; then
  missing+=(snakemake)
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
