#!/usr/bin/env bash
# The installed game. `cmake --install BUILD_DIR --prefix /usr` into a
# scratch DESTDIR lays out the command, the program, the data, the desktop
# entry, the icon and the manual page the way Debian lays out games; then
# `stardrift`, typed in an unrelated folder and reached through a symbolic
# link on PATH, starts the game with its data found (the status line is on
# screen) and ESC ends it with status 0. Also: the command reports a missing
# display or data folder with a "stardrift: ..." message and status 1.
#
# Usage: installed_game.sh BUILD_DIR SOURCE_DIR
# Needs: Xvfb, xdotool, xwd, ImageMagick (/usr/bin/convert), timeout.
set -u -o pipefail

build=$(realpath -- "${1:?usage: $0 BUILD_DIR SOURCE_DIR}")
source_dir=$(realpath -- "${2:?usage: $0 BUILD_DIR SOURCE_DIR}")
name=$(basename "$0" .sh)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/stardrift-install.XXXXXX") || exit 1
xvfb_pid=
game_pid=

log() { echo "[$name] $*"; }

fail() {
  echo "[$name] FAIL: $*" >&2
  if [ -s "$tmp/game.err" ]; then
    echo "--- game stderr ---" >&2
    tail -n 20 "$tmp/game.err" >&2
  fi
  exit 1
}

cleanup() {
  local status=$?
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    kill -TERM "$game_pid" 2>/dev/null
    sleep 1
    kill -KILL "$game_pid" 2>/dev/null
  fi
  if [ -n "$xvfb_pid" ]; then
    kill -TERM "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$tmp"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

for t in Xvfb xdpyinfo xdotool xwd /usr/bin/convert timeout cmake; do
  command -v "$t" >/dev/null || fail "$t is not installed (needs xvfb, x11-utils, x11-apps, xdotool, imagemagick)"
done

# --- the layout ---------------------------------------------------------------

dest=$tmp/dest
DESTDIR=$dest timeout -k 5 60 cmake --install "$build" --prefix /usr >"$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log" >&2; fail "cmake --install $build failed"; }
usr=$dest/usr

[ "$(ls -A "$dest")" = usr ] || fail "DESTDIR holds more than usr/: $(ls -A "$dest")"
[ -x "$usr/bin/stardrift" ] || fail "no command at usr/bin/stardrift"
[ -x "$usr/libexec/stardrift/stardrift" ] || fail "no program at usr/libexec/stardrift/stardrift"
data=$usr/share/games/stardrift
for f in spaceship enemy asteroid rocket alienrocket life; do
  cmp -s "$source_dir/graphics/$f.bmp" "$data/graphics/$f.bmp" ||
    fail "share/games/stardrift/graphics/$f.bmp is missing or differs from the source"
done
for f in rocket asteroid alien spaceship thrust; do
  cmp -s "$source_dir/sounds/$f.wav" "$data/sounds/$f.wav" ||
    fail "share/games/stardrift/sounds/$f.wav is missing or differs from the source"
done
[ "$(find "$data" -type f | wc -l)" = 11 ] || fail "the data folder holds other files: $(find "$data" -type f)"
man_page=$usr/share/man/man6/stardrift.6
[ -f "$man_page" ] || fail "no manual page at usr/share/man/man6/stardrift.6"

# The desktop entry names a command and an icon that the install provides.
entry=$usr/share/applications/stardrift.desktop
[ -f "$entry" ] || fail "no desktop entry at usr/share/applications/stardrift.desktop"
exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
icon_name=$(sed -n 's/^Icon=//p' "$entry")
[ -x "$usr/bin/$exec_cmd" ] || fail "the desktop entry runs '$exec_cmd', which is not in usr/bin"
icon=$usr/share/icons/hicolor/64x64/apps/$icon_name.png
[ -f "$icon" ] || fail "the desktop entry's icon '$icon_name' is not at $icon"
[ "$(/usr/bin/convert "$icon" -format '%m %wx%h' info:)" = "PNG 64x64" ] ||
  fail "the icon is not a 64x64 PNG: $(/usr/bin/convert "$icon" info:)"
log "layout under DESTDIR/usr is complete"

# A clean environment for the game: no configuration file (the default
# 800x600), and a null sound device that keeps ALSA quiet.
home=$tmp/home
mkdir -p "$home"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$tmp/asound.conf"
for f in "$usr/libexec/stardrift/allegro.cfg" /etc/allegro.cfg /etc/allegrorc; do
  [ -e "$f" ] && fail "$f exists and would override the test's configuration; remove it"
done
elsewhere=$(mktemp -d "$tmp/cwd.XXXXXX")

# run_command DIR ARGS...: runs the installed command ARGS from DIR in the
# clean environment, in the background; output to $tmp/game.{out,err}.
run_command() {
  local dir=$1
  shift
  (
    cd "$dir" || exit 99
    exec env -u ALLEGRO HOME="$home" ALSA_CONFIG_PATH="$tmp/asound.conf" \
      timeout -k 5 40 "$@" >"$tmp/game.out" 2>"$tmp/game.err"
  ) &
  game_pid=$!
}

# --- without a display: the command reaches the program ----------------------

run_command "$elsewhere" env -u DISPLAY "$usr/bin/stardrift"
wait "$game_pid"
status=$?
game_pid=
[ "$status" = 1 ] || fail "without a display the command ended with status $status, want 1"
grep -q '^stardrift: cannot start Allegro' "$tmp/game.err" ||
  fail "without a display the command did not report 'stardrift: cannot start Allegro'"
log "without a display: status 1, \"$(grep -m1 '^stardrift:' "$tmp/game.err")\""

# --- on a screen: typed as `stardrift` in an unrelated folder -----------------

# The file exists before Xvfb writes its display number into it.
: >"$tmp/display"
: >"$tmp/display"
timeout -k 5 80 Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset \
  3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
num=
for _ in $(seq 200); do
  [ -z "$num" ] && num=$(sed -n 's/^\([0-9][0-9]*\)$/\1/p' "$tmp/display")
  [ -n "$num" ] && timeout 5 xdpyinfo -display ":$num" >/dev/null 2>&1 && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$tmp/xvfb.log" >&2; fail "Xvfb did not start"; }
  sleep 0.05
done
[ -n "$num" ] || fail "Xvfb did not report a display within 10 s"
export DISPLAY=:$num

# The user's own bin folder holds a link to the installed command.
mkdir -p "$tmp/userbin"
ln -s "$usr/bin/stardrift" "$tmp/userbin/stardrift"
PATH=$tmp/userbin:$PATH run_command "$elsewhere" stardrift
log "typed 'stardrift' in $elsewhere on $DISPLAY"

# The status line "Level: 1 Score: 0": Allegro's 8x8 font, 17 characters
# centred on x = 800 * 0.4625 = 370 with the top at y = int(600 * 0.0166) = 9,
# so its box is x 302..437, y 9..16, in palette index 215, (63,63,20) in
# Allegro's 6-bit values: (255,255,81) on screen. Every such pixel of the top
# 40 rows must lie in that box, and the text must reach across it (the
# glyphs light 275 pixels; a partly drawn line lights far fewer).
yellow_in_top_rows() {
  /usr/bin/convert "$1" -crop 800x40+0+0 +repage -depth 8 txt:- |
    awk -F'[(), :]+' '
      function near(v, want) { return v >= want - 4 && v <= want + 4 }
      /^[0-9]/ && near($3, 255) && near($4, 255) && near($5, 81) {
        x = $1; y = $2; n++
        if (n == 1 || x < x0) x0 = x; if (n == 1 || x > x1) x1 = x
        if (n == 1 || y < y0) y0 = y; if (n == 1 || y > y1) y1 = y
      }
      END { if (n) printf "%d %d %d %d %d\n", n, x0, y0, x1, y1; else print "0 0 0 0 0" }'
}

shown=
for _ in $(seq 60); do
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended before the status line showed"
  timeout 10 xwd -root -silent -display "$DISPLAY" | timeout 10 /usr/bin/convert xwd:- "$tmp/shot.ppm" ||
    fail "cannot take a screenshot"
  read -r n x0 y0 x1 y1 <<<"$(yellow_in_top_rows "$tmp/shot.ppm")"
  if [ "$n" -ge 200 ] && [ "$x0" -ge 302 ] && [ "$x0" -le 304 ] && [ "$x1" -ge 434 ] &&
     [ "$x1" -le 437 ] && [ "$y0" -ge 9 ] && [ "$y0" -le 10 ] && [ "$y1" -ge 14 ] && [ "$y1" -le 16 ]; then
    shown=1
    break
  fi
  sleep 0.25
done
[ -n "$shown" ] ||
  fail "no status line at x 302..437, y 9..16: $n yellow pixels, box ($x0,$y0)-($x1,$y1)"
log "status line on screen: $n yellow pixels in ($x0,$y0)-($x1,$y1)"

timeout 5 xdotool keydown Escape || fail "xdotool keydown Escape failed"
sleep 0.1
timeout 5 xdotool keyup Escape || fail "xdotool keyup Escape failed"
for _ in $(seq 100); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$game_pid" 2>/dev/null && fail "the game still runs 5 s after ESC"
wait "$game_pid"
status=$?
game_pid=
[ "$status" = 0 ] || fail "the game ended with status $status after ESC, want 0"
grep -q '^stardrift:' "$tmp/game.err" && fail "the game printed a message: $(grep -m1 '^stardrift:' "$tmp/game.err")"
grep -E -q 'Sanitizer|runtime error:|Shutting down Allegro due to signal' "$tmp/game.err" &&
  fail "the game's stderr reports a crash or a sanitizer error"
log "ESC: status 0"

# --- a missing data folder ----------------------------------------------------

mv "$data" "$tmp/data.aside"
run_command "$elsewhere" "$usr/bin/stardrift"
wait "$game_pid"
status=$?
game_pid=
[ "$status" = 1 ] || fail "without its data folder the command ended with status $status, want 1"
grep -q '^stardrift: cannot enter the data folder' "$tmp/game.err" ||
  fail "without its data folder the command did not say 'stardrift: cannot enter the data folder'"
log "without the data folder: status 1, \"$(grep -m1 '^stardrift:' "$tmp/game.err")\""

log "PASS"
