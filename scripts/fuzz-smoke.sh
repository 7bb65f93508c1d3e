#!/usr/bin/env bash
# A short run of every libFuzzer target: builds the fuzz preset (clang), then runs each target
# for a few seconds on its saved corpus. New inputs go to a scratch folder, so the saved corpus
# is left as it is; a crash, leak, sanitizer report or timeout fails the run, and the input that
# caused it is kept in the scratch folder (printed at the end) to be added to fuzz/corpus/.
#
#   bash scripts/fuzz-smoke.sh             every target, 20 s each
#   FUZZ_SECONDS=60 bash scripts/fuzz-smoke.sh expand_lzh
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-20}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(extract_archive expand_lzh expand_rle roundtrip_lzh roundtrip_rle entry_header
           resource_readers)
fi
jobs=$(nproc 2>/dev/null || echo 2)

echo "== fuzz: configure and build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quarnel-fuzz-smoke.XXXXXX")
status=0
for t in "${targets[@]}"; do
  bin=build/fuzz/fuzz/fuzz_$t
  mkdir -p "$scratch/$t/new" "$scratch/$t/artifacts"
  echo "== fuzz: $t for ${seconds} s"
  if "$bin" "$scratch/$t/new" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$scratch/$t/artifacts/" \
       >"$scratch/$t/log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$scratch/$t/log" | sed "s/^/   $t /" || true
  else
    status=1
    tail -n 40 "$scratch/$t/log"
    echo "!! $t failed; inputs kept in $scratch/$t/artifacts/"
  fi
done
if [ $status -eq 0 ]; then
  rm -rf "$scratch"
fi
exit $status
