#!/usr/bin/env bash
# Rebuilds the benchmark corpus from files found on this machine: four files of real data
# (text, C++ source, executables, PNG images), each the concatenation of files taken in name
# order until its size limit. The corpus is not committed; the benchmarks read it from
#   ${1:-build/corpus}
set -euo pipefail
out=${1:-build/corpus}
mkdir -p "$out"

# take LIMIT FILE... : concatenates the files in the order given until LIMIT bytes are reached.
take() {
  local limit=$1; shift
  local total=0
  for f in "$@"; do
    [ -f "$f" ] && [ -r "$f" ] || continue
    local size
    size=$(stat -c %s "$f")
    [ "$size" -gt 0 ] || continue
    cat "$f"
    total=$((total + size))
    [ "$total" -lt "$limit" ] || break
  done | head -c "$limit"
}

mapfile -t text < <(find /usr/share/common-licenses /usr/share/doc /usr/share/perl* -type f \
  \( -name '*.txt' -o -name 'README*' -o -name '*.html' -o -name '*.pod' -o -name 'copyright' \) \
  2>/dev/null | LC_ALL=C sort)
mapfile -t source < <(find /usr/include -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.tcc' \) \
  2>/dev/null | LC_ALL=C sort)
mapfile -t binary < <(find /usr/bin /usr/lib/x86_64-linux-gnu -maxdepth 1 -type f \
  \( -perm -u+x -o -name '*.so*' \) -size +100k 2>/dev/null | LC_ALL=C sort)
mapfile -t image < <(find /usr/share -type f \( -name '*.png' -o -name '*.jpg' \) -size +4k \
  2>/dev/null | LC_ALL=C sort)

take 2500000 "${text[@]}" > "$out/text" || true
take 2000000 "${source[@]}" > "$out/source" || true
take 2000000 "${binary[@]}" > "$out/binary" || true
take 1000000 "${image[@]}" > "$out/image" || true
ls -l "$out"
