# Helpers for the behaviour tests: hand-made archives, byte by byte, for the cases that
# `quarnel pack` cannot make (unsafe names, locked entries, damaged headers).

# One byte of value $1 (0..255).
byte() { printf "\\$(printf %03o $(($1 & 255)))"; }
# Little-endian 16- and 32-bit values.
le16() { byte $1; byte $(($1 >> 8)); }
le32() { byte $1; byte $(($1 >> 8)); byte $(($1 >> 16)); byte $(($1 >> 24)); }

# archive_header METHOD_ID TOTAL_SIZE [TYPE]: "ZOLT" 1A, the identifier, TotalSize, type, reserved.
archive_header() {
  printf 'ZOLT\032%s' "$1"
  le32 $2
  byte ${3:-1}
  printf '\000\000\000\000\000\000\000\000'
}

# entry_header NAME METHOD_CODE EXPANDED STORED CHECKSUM [LOCKED [DATE [ATTRIBUTES]]], then the
# name; the stored data is written by the caller.
entry_header() {
  le16 ${#1}
  le32 ${7:-583303313}  # 0x22C48091: 4 June 1997, 16:04:34
  le16 ${8:-32}
  le32 $3
  le32 $4
  byte $2
  le32 $5
  le32 ${6:-0}
  printf '%s' "$1"
}

# stored_archive FILE NAME CONTENT...: an archive of stored entries (method "NON").
stored_archive() {
  file=$1
  shift
  total=0
  for pair in "$@"; do
    content=${pair#*=}
    total=$((total + ${#content}))
  done
  {
    archive_header NON $total
    for pair in "$@"; do
      name=${pair%%=*}
      content=${pair#*=}
      entry_header "$name" 0 ${#content} ${#content} 0
      printf '%s' "$content"
    done
  } >"$file"
}

# as_unprivileged COMMAND...: runs COMMAND as an ordinary user, for whom permission bits hold:
# as root through setpriv as the user nobody (65534), with quarnel copied beside the run folder
# where that user can start it; otherwise as the current user.
as_unprivileged() {
  if [ "$(id -u)" != 0 ]; then
    "$@"
    return
  fi
  if [ ! -x ../bin/quarnel ]; then
    mkdir -p ../bin
    cp "$QUARNEL" ../bin/quarnel
    chmod 755 .. ../bin ../bin/quarnel .
  fi
  PATH="$(cd ../bin && pwd):$PATH" setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
}

# unprivileged_owns PATH...: gives PATH (and what is below it) to the user of as_unprivileged.
unprivileged_owns() {
  if [ "$(id -u)" = 0 ]; then
    chown -R 65534:65534 "$@"
  fi
}
