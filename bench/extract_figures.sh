#!/usr/bin/env bash
# End-to-end figures of `quarnel extract`: the corpus packed with LZH and expanded into a fresh
# folder, with the wall time, the CPU time, MB/s of expanded data and the peak RSS
# (/usr/bin/time -v), for the corpus itself and for COPIES copies of it in one archive.
#
#   bench/extract_figures.sh QUARNEL [CORPUS [COPIES]]
set -euo pipefail
quarnel=$(realpath "$1")
corpus=$(realpath "${2:-build/corpus}")
copies=${3:-30}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/big"
for i in $(seq 1 "$copies"); do
  mkdir "$work/big/c$i"
  for f in "$corpus"/*; do ln "$f" "$work/big/c$i/" 2>/dev/null || cp "$f" "$work/big/c$i/"; done
done
"$quarnel" pack -o "$work/corpus.zolt" -m lzh -C "$corpus" .
"$quarnel" pack -o "$work/big.zolt" -m lzh -C "$work/big" .

for archive in corpus big; do
  rm -rf "$work/out"
  mkdir "$work/out"
  /usr/bin/time -v "$quarnel" extract -C "$work/out" "$work/$archive.zolt" >/dev/null 2>"$work/time.txt"
  bytes=$(du -sb --apparent-size "$work/out" | cut -f1)
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
  user=$(sed -n 's/.*User time (seconds): //p' "$work/time.txt")
  sys=$(sed -n 's/.*System time (seconds): //p' "$work/time.txt")
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
  size=$(stat -c %s "$work/$archive.zolt")
  awk -v a="$archive" -v s="$size" -v b="$bytes" -v w="$wall" -v u="$user" -v y="$sys" -v r="$rss" '
    BEGIN { n = split(w, t, ":"); sec = t[n] + (n > 1 ? t[n - 1] * 60 : 0);
            printf "%s: archive %d bytes, expanded %d bytes, wall %.2f s (%.1f MB/s), " \
                   "cpu %.2f s (%.1f MB/s), peak RSS %d KiB\n",
                   a, s, b, sec, b / sec / 1e6, u + y, b / (u + y) / 1e6, r }'
done
