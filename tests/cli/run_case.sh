#!/bin/sh
# run_case.sh CASE.sh QUARNEL: runs one behaviour test of the quarnel command in a fresh folder
# and compares its standard output, standard error and exit code with the files beside it.
case_file=$1
quarnel=$2
base=${case_file%.sh}
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
mkdir "$work/run"

# Fixed surroundings: the time zone decides the dates, the locale the tools' messages, the umask
# the permission bits of the files written.
umask 022
PATH="$(dirname "$quarnel"):$PATH" TZ=UTC LC_ALL=C QUARNEL="$quarnel" \
  CLI_LIB="$(cd "$(dirname "$0")" && pwd)/lib.sh" \
  sh -c "cd '$work/run' && . '$case_file'" >"$work/stdout" 2>"$work/stderr"
status=$?

expected_status=0
[ -f "$base.exit" ] && expected_status=$(cat "$base.exit")
failed=0
for stream in stdout stderr; do
  expected="$base.$stream"
  [ -f "$expected" ] || expected=/dev/null
  if ! diff -u "$expected" "$work/$stream" >"$work/diff"; then
    echo "$stream differs:"
    cat "$work/diff"
    failed=1
  fi
done
if [ "$status" != "$expected_status" ]; then
  echo "exit code $status, expected $expected_status"
  failed=1
fi
exit $failed
