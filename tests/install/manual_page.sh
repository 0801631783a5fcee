#!/usr/bin/env bash
# The manual page renders through groff and man without a single warning, and
# states the same accepted ranges and defaults for res_x and res_y as the
# game's start-up code.
#
# Usage: manual_page.sh SOURCE_DIR
set -u -o pipefail

src=${1:?usage: $0 SOURCE_DIR}
page=$src/docs/stardrift.6
fail() { echo "[manual_page] FAIL: $*" >&2; exit 1; }

for t in groff man; do
  command -v "$t" >/dev/null || fail "$t is not installed (apt-get install groff-base man-db)"
done
[ -f "$page" ] || fail "no manual page at $page"

err=$(timeout -k 5 20 groff -ww -man -Tutf8 "$page" 2>&1 >/dev/null)
status=$?
[ "$status" = 0 ] || fail "groff exited with $status: $err"
[ -z "$err" ] || fail "groff warns: $err"

# man passes --warnings on to groff; a wide page keeps each entry on one line.
errfile=$(mktemp "${TMPDIR:-/tmp}/manual_page.XXXXXX") || exit 1
trap 'rm -f "$errfile"' EXIT
text=$(MANWIDTH=300 timeout -k 5 20 man --warnings -l "$page" 2>"$errfile")
status=$?
err=$(cat "$errfile")
[ "$status" = 0 ] || fail "man -l exited with $status: $err"
[ -z "$err" ] || fail "man -l warns: $err"

# The ranges and defaults as the code has them.
header=$src/src/frame/startup.h
startup=$src/src/frame/startup.cpp
for axis in X Y; do
  key=res_$(echo "$axis" | tr XY xy)
  lo=$(sed -n "s/.*MIN_RES_$axis = \([0-9]*\).*/\1/p" "$header")
  hi=$(sed -n "s/.*MAX_RES_$axis = \([0-9]*\).*/\1/p" "$header")
  default=$(sed -n "s/.*read_dimension(\"$key\", \([0-9]*\),.*/\1/p" "$startup")
  if [ -z "$lo" ] || [ -z "$hi" ] || [ -z "$default" ]; then
    fail "cannot find the range and default of $key in $header and $startup"
  fi
  printf '%s\n' "$text" | grep -Eq "^ *$key +.* from $lo to $hi; $default when not set" ||
    fail "the page does not give $key as \"from $lo to $hi; $default when not set\""
done
echo "[manual_page] PASS"
