#!/usr/bin/env bash
# Installs what the tests need (when run as root on Debian and something is missing), then builds
# and tests every line of work: the Linux release build, the Linux build with AddressSanitizer and
# UndefinedBehaviorSanitizer, and the 32-bit Windows build under Wine; then, when clang is
# installed, a short run of every fuzz target (scripts/fuzz-smoke.sh).
#
#   bash scripts/test.sh            everything
#   bash scripts/test.sh default    only the named presets (default, debug, win32) and, when
#                                   named, the short fuzz run (fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

presets=()
run_fuzz=0
for a in "$@"; do
  if [ "$a" = fuzz ]; then run_fuzz=1; else presets+=("$a"); fi
done
if [ $# -eq 0 ]; then
  presets=(default debug win32)
  run_fuzz=1
fi
jobs=$(nproc 2>/dev/null || echo 2)

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
for p in cmake g++ make file libgtest-dev libgmock-dev googletest libbenchmark-dev zlib1g-dev \
         clang libclang-rt-14-dev python3; do
  have "$p" || need+=("$p")
done
if printf '%s\n' "${presets[@]}" | grep -qx win32; then
  for p in g++-mingw-w64-i686 wine wine32:i386 xvfb xdotool imagemagick xauth; do
    have "$p" || need+=("$p")
  done
fi
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${need[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "== installing: ${need[*]}"
  if printf '%s\n' "${need[@]}" | grep -q ':i386'; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q "${need[@]}" >/dev/null
fi

export WINEDEBUG=-all
status=0
# Wine runs the 32-bit Windows programs as 32-bit x86 processes; a kernel without 32-bit support
# cannot start them, so the win32 line of work is skipped there, and said so.
if printf '%s\n' "${presets[@]}" | grep -qx win32 && [ -x /usr/lib/wine/wineserver32 ] &&
   ! /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
  echo "== win32: skipped, this kernel cannot run 32-bit x86 programs, which Wine needs"
  kept=()
  for p in "${presets[@]}"; do [ "$p" = win32 ] || kept+=("$p"); done
  presets=(${kept[@]+"${kept[@]}"})
fi
for preset in ${presets[@]+"${presets[@]}"}; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  echo "== $preset: test"
  if ! ctest --preset "$preset" -j"$jobs"; then
    status=1
  fi
done
# A short run of every fuzz target (about two minutes in all) where clang can build them: part of
# the full run, or asked for by name (bash scripts/test.sh fuzz).
if [ $run_fuzz -eq 0 ]; then
  :
elif command -v clang++ >/dev/null 2>&1; then
  if ! FUZZ_SECONDS=15 bash scripts/fuzz-smoke.sh; then
    status=1
  fi
else
  echo "== fuzz: skipped, clang++ is not installed"
fi
exit $status
