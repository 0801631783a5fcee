#!/usr/bin/env bash
# The installed game. `cmake --install BUILD_DIR --prefix /usr` into a
# scratch DESTDIR lays out the command, the program, the data, the desktop
# entry, the icon and the manual page the way Debian lays out games; then
# `stardrift`, typed in an unrelated folder and reached through a symbolic
# link on PATH, starts the game with its data found (the status line is on
# screen) and ESC ends it with status 0. Also: the command reports a missing
# display or data folder with a "stardrift: ..." message and status 1.
#
# Usage, from the repository root, like the e2e tests (whose helpers it
# uses): bash installed_game.sh GAME PROBE BUILD_DIR
# GAME is the program as built; once BUILD_DIR is installed, E2E_GAME names
# the installed copy.
. "$(dirname "$0")/../e2e/lib.sh"

build=$(realpath -- "${1:?usage: $0 GAME PROBE BUILD_DIR}")
E2E_GAME_SECS=40
E2E_XVFB_SECS=80

e2e_need_tools
command -v cmake >/dev/null || e2e_fail "cmake is not installed"

# --- the layout ---------------------------------------------------------------

dest=$E2E_TMP/dest
DESTDIR=$dest timeout -k 5 60 cmake --install "$build" --prefix /usr >"$E2E_TMP/install.log" 2>&1 ||
  { cat "$E2E_TMP/install.log" >&2; e2e_fail "cmake --install $build failed"; }
usr=$dest/usr

[ "$(ls -A "$dest")" = usr ] || e2e_fail "DESTDIR holds more than usr/: $(ls -A "$dest")"
[ -x "$usr/bin/stardrift" ] || e2e_fail "no command at usr/bin/stardrift"
[ -x "$usr/libexec/stardrift/stardrift" ] || e2e_fail "no program at usr/libexec/stardrift/stardrift"
data=$usr/share/games/stardrift
for f in spaceship enemy asteroid rocket alienrocket life; do
  cmp -s "$E2E_REPO/graphics/$f.bmp" "$data/graphics/$f.bmp" ||
    e2e_fail "share/games/stardrift/graphics/$f.bmp is missing or differs from the source"
done
for f in rocket asteroid alien spaceship thrust; do
  cmp -s "$E2E_REPO/sounds/$f.wav" "$data/sounds/$f.wav" ||
    e2e_fail "share/games/stardrift/sounds/$f.wav is missing or differs from the source"
done
[ "$(find "$data" -type f | wc -l)" = 11 ] || e2e_fail "the data folder holds other files: $(find "$data" -type f)"
man_page=$usr/share/man/man6/stardrift.6
[ -f "$man_page" ] || e2e_fail "no manual page at usr/share/man/man6/stardrift.6"

# The desktop entry names a command and an icon that the install provides.
entry=$usr/share/applications/stardrift.desktop
[ -f "$entry" ] || e2e_fail "no desktop entry at usr/share/applications/stardrift.desktop"
exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
icon_name=$(sed -n 's/^Icon=//p' "$entry")
[ -x "$usr/bin/$exec_cmd" ] || e2e_fail "the desktop entry runs '$exec_cmd', which is not in usr/bin"
icon=$usr/share/icons/hicolor/64x64/apps/$icon_name.png
[ -f "$icon" ] || e2e_fail "the desktop entry's icon '$icon_name' is not at $icon"
[ "$(/usr/bin/convert "$icon" -format '%m %wx%h' info:)" = "PNG 64x64" ] ||
  e2e_fail "the icon is not a 64x64 PNG: $(/usr/bin/convert "$icon" info:)"
e2e_log "layout under DESTDIR/usr is complete"

# From here on E2E_GAME is the installed program, so the check for a stray
# allegro.cfg looks beside it. It runs in e2e_start_in's clean environment:
# no configuration file (the default 800x600) and a null sound device.
E2E_GAME=$usr/libexec/stardrift/stardrift
elsewhere=$(mktemp -d "$E2E_TMP/cwd.XXXXXX")

# refused WHAT MESSAGE COMMAND...: COMMAND, typed in the unrelated folder,
# ends by itself with status 1 and says "stardrift: MESSAGE".
refused() {
  local what=$1 message=$2
  shift 2
  e2e_fresh_home
  e2e_start_in "$elsewhere" "$@"
  e2e_wait_exit 10 || e2e_fail "$what the command still runs 10 s after start"
  e2e_check_no_crash
  [ "$E2E_GAME_STATUS" = 1 ] || e2e_fail "$what the command ended with status $E2E_GAME_STATUS, want 1"
  grep -q "^stardrift: $message" "$E2E_TMP/game.err" ||
    e2e_fail "$what the command did not say 'stardrift: $message'"
  e2e_log "$what: status 1, \"$(grep -m1 '^stardrift:' "$E2E_TMP/game.err")\""
}

# --- without a display: the command reaches the program ----------------------

refused "without a display" "cannot start Allegro" env -u DISPLAY "$usr/bin/stardrift"

# --- on a screen: typed as `stardrift` in an unrelated folder -----------------

e2e_start_xvfb 800 600
# The user's own bin folder holds a link to the installed command.
mkdir -p "$E2E_TMP/userbin"
ln -s "$usr/bin/stardrift" "$E2E_TMP/userbin/stardrift"
e2e_fresh_home
PATH=$E2E_TMP/userbin:$PATH e2e_start_in "$elsewhere" stardrift
e2e_log "typed 'stardrift' in $elsewhere on $DISPLAY"

# The status line "Level: 1 Score: 0", whole and in its place, shows that the
# data was found. Its 17 characters of Allegro's 8x8 font, centred on x 370
# with the top at y 9, fill the box x 302..437, y 9..16; nothing else in the
# top 40 rows has its colour.
e2e_wait_status_line 800 600
probed=$(e2e_probe box "$E2E_SHOT" 215 215 0 0 800 40) || e2e_fail "screen_probe box failed"
read -r x0 y0 x1 y1 n <<<"$probed"
[ "$x0" -ge 302 ] && [ "$y0" -ge 9 ] && [ "$x1" -le 437 ] && [ "$y1" -le 16 ] ||
  e2e_fail "pixels in the status line's colour outside x 302..437, y 9..16: box ($x0,$y0)-($x1,$y1)"
e2e_log "status line on screen: $n pixels in ($x0,$y0)-($x1,$y1)"

e2e_quit 5
grep -q '^stardrift:' "$E2E_TMP/game.err" &&
  e2e_fail "the game printed a message: $(grep -m1 '^stardrift:' "$E2E_TMP/game.err")"

# --- a missing data folder ----------------------------------------------------

mv "$data" "$E2E_TMP/data.aside"
refused "without its data folder" "cannot enter the data folder" "$usr/bin/stardrift"

e2e_pass
