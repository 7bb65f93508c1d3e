#!/bin/sh
# Checks that each Windows program of the build is a 32-bit PE image for Intel 80386 that needs
# no DLL of the compiler's runtime (libstdc++, libgcc, winpthread): one static .exe.
#
#   check-pe32.sh OBJDUMP FILE...
set -e
[ $# -ge 2 ] || { echo "usage: $0 OBJDUMP FILE..." >&2; exit 2; }
objdump=$1
shift
status=0
for f in "$@"; do
  if ! "$objdump" -f "$f" | grep -q 'file format pei-i386'; then
    echo "$f: not a PE32 image for i386" >&2
    status=1
  fi
  runtime=$("$objdump" -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p' |
            grep -iE 'libstdc|libgcc|winpthread' || true)
  if [ -n "$runtime" ]; then
    echo "$f: needs $(echo $runtime)" >&2
    status=1
  fi
done
exit $status
