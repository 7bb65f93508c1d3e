#!/bin/sh
# The emulator of the cross build: runs a Windows program under Wine in the build folder's own
# prefix, quietly, and makes that prefix on first use.
#
#   wine-run.sh PREFIX PROGRAM [ARGS...]   run PROGRAM in PREFIX
#   wine-run.sh PREFIX                     only make sure PREFIX exists
#
# Wine console programs need no display. The prompts to install Mono and Gecko are switched
# off. Parallel first uses wait on a lock, so that the prefix is made once.
set -e
[ $# -ge 1 ] || { echo "usage: $0 PREFIX [PROGRAM ARGS...]" >&2; exit 2; }
WINEPREFIX=$1
shift
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.quarnel-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.quarnel-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-run.sh: no prefix made in $WINEPREFIX" >&2; exit 1; }
      touch "$WINEPREFIX/.quarnel-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
[ $# -ge 1 ] || exit 0
exec wine "$@"
