#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB, in build-package/), installs it
# with apt-get as Debian 12 users would (apt install ./ruzaravo_*.deb), checks
# that the installed program runs and finds its shipped data, and removes it
# again, also when a check fails. Needs root (apt-get) on Debian or Ubuntu.
#
# Checks: the package's name, section and dependencies; `ruzaravo --version`
# from the PATH; the manual page, the JASPAR libraries and the examples under
# /usr/share; a short run of the installed program on the installed example
# with the installed library (its report names JASPAR factors), whose result
# file must be byte for byte that of the program just built; and that
# removing the package leaves no program.
#
# Refuses to run where ruzaravo is already installed (as a package or as files
# in /usr/bin), so an installation of the user's is never replaced or removed.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "package.sh: $*" >&2; exit 1; }

[ "$(id -u)" = 0 ] || fail "needs root: it installs and removes the package with apt-get"
command -v apt-get >/dev/null 2>&1 && command -v dpkg-deb >/dev/null 2>&1 ||
  fail "needs apt-get and dpkg-deb (Debian or Ubuntu)"
if dpkg-query -W -f='${Status}' ruzaravo 2>/dev/null | grep -q "ok installed" ||
   [ -e /usr/bin/ruzaravo ] || [ -e /usr/bin/Ruzaravo ]; then
  fail "ruzaravo is already installed here; remove it first (apt-get remove ruzaravo)"
fi

bash scripts/deps.sh notests
command -v dpkg-shlibdeps >/dev/null 2>&1 ||
  echo "package.sh: dpkg-shlibdeps (dpkg-dev) missing: the package will depend on zlib1g only" >&2
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DRUZARAVO_TESTS=OFF >/dev/null
cmake --build build-package -j2 --target Ruzaravo
rm -f build-package/ruzaravo_*.deb
(cd build-package && cpack -G DEB >/dev/null)
debs=(build-package/ruzaravo_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single ruzaravo_*.deb: ${debs[*]}"
deb="$PWD/${debs[0]}"
echo "Built $(basename "$deb"):"
dpkg-deb -f "$deb" Package Version Architecture Section Depends Maintainer | sed 's/^/  /'
[ "$(dpkg-deb -f "$deb" Package)" = ruzaravo ] || fail "package name is not ruzaravo"
[ "$(dpkg-deb -f "$deb" Section)" = science ] || fail "section is not science"
dpkg-deb -f "$deb" Depends | grep -qw zlib1g || fail "the package does not depend on zlib1g"

scratch=$(mktemp -d)
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq ruzaravo >/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

echo "Installing it with apt-get ..."
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
[ "$(command -v ruzaravo)" = /usr/bin/ruzaravo ] || fail "ruzaravo is not /usr/bin/ruzaravo on the PATH"
version=$(ruzaravo --version)
[ "$version" = "$(build-package/Ruzaravo --version)" ] || fail "ruzaravo --version printed '$version'"
echo "  ruzaravo --version: $version"
share=/usr/share/ruzaravo
for f in /usr/share/man/man1/ruzaravo.1 "$share/examples/fly_crms.fasta" "$share/examples/fly_background.fasta" \
         "$share/examples/SOURCE.md" "$share/jaspar2024/JASPAR2024_CORE_insects_non-redundant.pwm" \
         "$share/jaspar2024/JASPAR2024_CORE_vertebrates_non-redundant.pwm"; do
  [ -f "$f" ] || fail "the package did not install $f"
done

# The installed program on the installed data, against the program just
# built under the same name and with the same words (the result file
# records the command line).
run=(-i "$share/examples/fly_crms.fasta" -K 2 -n 30 --seed 7 --known
     "$share/jaspar2024/JASPAR2024_CORE_insects_non-redundant.pwm" -o result.txt --outdir out)
mkdir "$scratch/installed" "$scratch/built"
(cd "$scratch/installed" && ruzaravo "${run[@]}" >stdout 2>stderr) ||
  fail "the installed program failed on the installed example: $(tail -n 3 "$scratch/installed/stderr")"
built="$PWD/build-package/Ruzaravo"
(cd "$scratch/built" && exec -a ruzaravo "$built" "${run[@]}" >stdout 2>stderr) ||
  fail "the built program failed on the installed example: $(tail -n 3 "$scratch/built/stderr")"
grep -q "^Motif_1:" "$scratch/installed/result.txt" || fail "the installed program's result file has no motif"
grep -q "	MA[0-9]*\.[0-9]*	" "$scratch/installed/out/matches.tsv" ||
  fail "the installed program's matches.tsv names no factor of the installed JASPAR library"
cmp -s "$scratch/installed/out/matches.tsv" "$scratch/built/out/matches.tsv" ||
  fail "the installed program's matches differ from the built program's"
cmp -s "$scratch/installed/result.txt" "$scratch/built/result.txt" ||
  fail "the installed program's result file differs from the built program's"
echo "  the installed program ran on $share/examples with the installed JASPAR library"

echo "Removing it ..."
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq ruzaravo >/dev/null
installed=0
[ ! -e /usr/bin/ruzaravo ] && [ ! -e /usr/bin/Ruzaravo ] || fail "removing the package left the program behind"
echo "Debian package: built, installed, run and removed: $(basename "$deb")"
