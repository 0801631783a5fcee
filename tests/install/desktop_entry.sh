#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate without a single remark, and
# files the game under Game;ArcadeGame; in the menus.
#
# Usage: desktop_entry.sh SOURCE_DIR
set -u -o pipefail

entry=${1:?usage: $0 SOURCE_DIR}/assets/stardrift.desktop
fail() { echo "[desktop_entry] FAIL: $*" >&2; exit 1; }

command -v desktop-file-validate >/dev/null ||
  fail "desktop-file-validate is not installed (apt-get install desktop-file-utils)"
[ -f "$entry" ] || fail "no desktop entry at $entry"

out=$(timeout -k 5 20 desktop-file-validate "$entry" 2>&1)
status=$?
[ "$status" = 0 ] || fail "desktop-file-validate exited with $status: $out"
[ -z "$out" ] || fail "desktop-file-validate remarks: $out"
grep -qx 'Categories=Game;ArcadeGame;' "$entry" ||
  fail "the entry's categories are not Game;ArcadeGame;: $(grep '^Categories' "$entry")"
echo "[desktop_entry] PASS"
