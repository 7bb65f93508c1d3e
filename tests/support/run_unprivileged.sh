#!/bin/sh
# run_unprivileged.sh PROGRAM [ARGS...]: runs a test program as the user nobody (65534), so that
# the permission bits of files and folders hold, which they do not for root. The program is
# copied into a fresh folder that user can reach, and its temporary files go there too.
# Exit 77 (skipped) when not root, where the ordinary run already is unprivileged, or when
# setpriv is missing.
if [ "$(id -u)" != 0 ]; then
  echo "not root: the ordinary run already checks the permission bits"
  exit 77
fi
if ! command -v setpriv >/dev/null 2>&1; then
  echo "setpriv not found: cannot change to an unprivileged user"
  exit 77
fi
program=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cp "$program" "$work/program"
mkdir "$work/tmp"
chown 65534:65534 "$work/tmp"
TMPDIR="$work/tmp" HOME="$work/tmp" \
  setpriv --reuid=65534 --regid=65534 --clear-groups "$work/program" "$@"
