# Helpers for the end-to-end tests: they run the real game on a private
# Xvfb screen, press keys with xdotool and read the screen from screenshots.
#
# A test script is run as:  bash SCRIPT GAME PROBE [ARGS...]
# from the repository root (the game loads graphics/ and sounds/ from its
# working directory). It sources this file, which takes GAME and PROBE off
# the argument list.
#
# Every wait has a deadline, and the game and Xvfb run under `timeout`, so a
# hung game cannot outlive the test even if the test itself is killed.

set -u
set -o pipefail

E2E_GAME=${1:?usage: $0 GAME PROBE}
E2E_PROBE=${2:?usage: $0 GAME PROBE}
shift 2
E2E_GAME=$(realpath -- "$E2E_GAME")
E2E_PROBE=$(realpath -- "$E2E_PROBE")
E2E_REPO=$PWD
E2E_PALETTE=$E2E_REPO/graphics/life.bmp
E2E_NAME=$(basename "$0" .sh)
# Longest life of a game or X server started here, in seconds.
E2E_GAME_SECS=${E2E_GAME_SECS:-50}
E2E_XVFB_SECS=${E2E_XVFB_SECS:-90}

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/stardrift-e2e.XXXXXX") || exit 1
E2E_XVFB_PID=
E2E_GAME_PID=
E2E_GAME_STATUS=
E2E_GAME_DIR=
E2E_SHOT=

e2e_log() { echo "[$E2E_NAME] $*"; }

e2e_now_ms() { date +%s%3N; }

# Shows what the game printed, then ends the test as failed.
e2e_fail() {
  echo "[$E2E_NAME] FAIL: $*" >&2
  if [ -n "$E2E_GAME_PID" ] && [ -z "$E2E_GAME_STATUS" ] && ! kill -0 "$E2E_GAME_PID" 2>/dev/null; then
    echo "[$E2E_NAME] (the game, pid $E2E_GAME_PID, is no longer running)" >&2
  fi
  if [ -n "$E2E_XVFB_PID" ] && ! kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
    echo "[$E2E_NAME] (Xvfb, pid $E2E_XVFB_PID, is no longer running)" >&2
    tail -n 10 "$E2E_TMP/xvfb.log" >&2
  fi
  if [ -s "$E2E_TMP/game.err" ]; then
    echo "--- game stderr ---" >&2
    tail -n 30 "$E2E_TMP/game.err" >&2
  fi
  if [ -s "$E2E_TMP/game.out" ]; then
    echo "--- game stdout ---" >&2
    tail -n 30 "$E2E_TMP/game.out" >&2
  fi
  exit 1
}

e2e_cleanup() {
  local status=$?
  if [ -n "$E2E_GAME_PID" ] && kill -0 "$E2E_GAME_PID" 2>/dev/null; then
    kill -TERM "$E2E_GAME_PID" 2>/dev/null
    # timeout(1) passes the signal on, and kills the game 5 s later at worst.
    local tries=70
    while [ "$tries" -gt 0 ] && kill -0 "$E2E_GAME_PID" 2>/dev/null; do
      tries=$((tries - 1))
      sleep 0.1
    done
    kill -KILL "$E2E_GAME_PID" 2>/dev/null
  fi
  if [ -n "$E2E_XVFB_PID" ]; then
    kill -TERM "$E2E_XVFB_PID" 2>/dev/null
    wait "$E2E_XVFB_PID" 2>/dev/null
  fi
  if [ -n "${E2E_KEEP:-}" ]; then
    echo "[$E2E_NAME] kept $E2E_TMP" >&2
  else
    rm -rf "$E2E_TMP"
  fi
  exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

e2e_need_tools() {
  local t
  for t in Xvfb xdpyinfo xdotool xwd /usr/bin/convert timeout; do
    command -v "$t" >/dev/null || e2e_fail "$t is not installed (the e2e tests need xvfb, x11-utils, x11-apps, xdotool, imagemagick)"
  done
  [ -x "$E2E_GAME" ] || e2e_fail "no game executable at $E2E_GAME"
  [ -x "$E2E_PROBE" ] || e2e_fail "no screen_probe at $E2E_PROBE"
  [ -f "$E2E_PALETTE" ] || e2e_fail "no palette image at $E2E_PALETTE (run from the repository root)"
}

# The game reads the first allegro.cfg found beside its executable, in
# $ALLEGRO, in $HOME, or in /etc. The tests give it a HOME of their own and
# no ALLEGRO; a file in one of the other places would silently change what is
# being tested.
e2e_check_no_stray_config() {
  local f
  for f in "$(dirname "$E2E_GAME")/allegro.cfg" /etc/allegro.cfg /etc/allegrorc; do
    [ -e "$f" ] && e2e_fail "$f exists and would override the test's configuration; remove it"
  done
  return 0
}

# e2e_start_xvfb WIDTH HEIGHT: a private X screen of WIDTHxHEIGHTx24 on a free
# display number; exports DISPLAY.
e2e_start_xvfb() {
  local w=$1 h=$2 num='' deadline
  e2e_need_tools
  : >"$E2E_TMP/display"   # exists before Xvfb writes it, so the poll never misses it
  timeout -k 5 "$E2E_XVFB_SECS" Xvfb -displayfd 3 -screen 0 "${w}x${h}x24" -nolisten tcp -noreset \
    3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  deadline=$(( $(e2e_now_ms) + 10000 ))
  while :; do
    [ -z "$num" ] && num=$(sed -n 's/^\([0-9][0-9]*\)$/\1/p' "$E2E_TMP/display")
    if [ -n "$num" ] && timeout 5 xdpyinfo -display ":$num" >"$E2E_TMP/xdpyinfo" 2>/dev/null; then
      break
    fi
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || { cat "$E2E_TMP/xvfb.log" >&2; e2e_fail "Xvfb did not start"; }
    [ "$(e2e_now_ms)" -lt "$deadline" ] || e2e_fail "Xvfb did not answer within 10 s"
    sleep 0.05
  done
  grep -q "dimensions: *${w}x${h} pixels" "$E2E_TMP/xdpyinfo" ||
    e2e_fail "Xvfb screen is not ${w}x${h}: $(grep dimensions "$E2E_TMP/xdpyinfo")"
  export DISPLAY=":$num"
  e2e_log "Xvfb ${w}x${h} on $DISPLAY"
}

# e2e_copy_game_dir: a scratch copy of graphics/ and sounds/ to run the game
# from, for tests that damage the data files. Sets E2E_GAME_DIR.
e2e_copy_game_dir() {
  E2E_GAME_DIR=$E2E_TMP/gamedir
  mkdir -p "$E2E_GAME_DIR"
  cp -r "$E2E_REPO/graphics" "$E2E_REPO/sounds" "$E2E_GAME_DIR/" || e2e_fail "cannot copy the data files"
}

# e2e_start_game [CONFIG_TEXT]: starts the game in the background with a
# fresh HOME holding allegro.cfg = CONFIG_TEXT (no file when not given), from
# E2E_GAME_DIR if set, else the repository root.
e2e_start_game() {
  e2e_fresh_home "$@"
  e2e_start_in "${E2E_GAME_DIR:-$E2E_REPO}" "$E2E_GAME"
}

# e2e_fresh_home [CONFIG_TEXT]: an empty HOME for the next e2e_start_in,
# holding allegro.cfg = CONFIG_TEXT when given.
e2e_fresh_home() {
  local home=$E2E_TMP/home
  e2e_check_no_stray_config
  rm -rf "$home"
  mkdir -p "$home"
  if [ $# -gt 0 ]; then
    printf '%s\n' "$1" >"$home/allegro.cfg"
  fi
}

# e2e_start_in DIR COMMAND...: runs COMMAND (the game, or a command that
# starts it) in the background from DIR, with the HOME of e2e_fresh_home, no
# ALLEGRO, and output to $E2E_TMP/game.out and game.err. ALSA reads its
# configuration from E2E_ALSA_CONF when a test sets it (after sourcing this
# file), else from a file that gives a null sound device.
E2E_ALSA_CONF=
e2e_start_in() {
  local dir=$1 alsa_conf=$E2E_ALSA_CONF
  shift
  # Without a sound card ALSA prints a screenful of errors at start; a null
  # sound device keeps the sound code running, and ALSA down to one line
  # (no MIDI device).
  if [ -z "$alsa_conf" ]; then
    alsa_conf=$E2E_TMP/asound.conf
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$alsa_conf"
  fi
  : >"$E2E_TMP/game.out"
  : >"$E2E_TMP/game.err"
  (
    cd "$dir" || exit 99
    exec env -u ALLEGRO HOME="$E2E_TMP/home" ALSA_CONFIG_PATH="$alsa_conf" \
      timeout -k 5 "$E2E_GAME_SECS" "$@" >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err"
  ) &
  E2E_GAME_PID=$!
  E2E_GAME_STATUS=
  e2e_log "game started (pid $E2E_GAME_PID) in $dir"
}

e2e_game_running() { kill -0 "$E2E_GAME_PID" 2>/dev/null; }

# e2e_shot NAME: screenshot to $E2E_TMP/NAME.ppm; sets E2E_SHOT.
e2e_shot() {
  E2E_SHOT=$E2E_TMP/$1.ppm
  timeout 10 xwd -root -silent -display "$DISPLAY" | timeout 10 /usr/bin/convert xwd:- "$E2E_SHOT" ||
    e2e_fail "cannot take a screenshot"
}

# e2e_probe CMD SHOT ARGS...: runs screen_probe with the game's palette.
e2e_probe() {
  local cmd=$1
  shift
  "$E2E_PROBE" --palette "$E2E_PALETTE" "$cmd" "$@"
}

# e2e_wait_screen SECS CMD ARGS...: takes screenshots until
# `screen_probe CMD SHOT ARGS...` holds; fails after SECS seconds or when the
# game ends. E2E_SHOT is the screenshot that matched; the probe's output is in
# $E2E_TMP/probe.out.
e2e_wait_screen() {
  local secs=$1 cmd=$2 deadline n=0
  shift 2
  deadline=$(( $(e2e_now_ms) + secs * 1000 ))
  while :; do
    e2e_game_running || e2e_fail "the game ended while waiting for: $cmd $*"
    n=$((n + 1))
    e2e_shot "wait$n"
    if e2e_probe "$cmd" "$E2E_SHOT" "$@" >"$E2E_TMP/probe.out" 2>"$E2E_TMP/probe.err"; then
      return 0
    fi
    if [ "$(e2e_now_ms)" -ge "$deadline" ]; then
      cat "$E2E_TMP/probe.err" >&2
      e2e_fail "not on screen within $secs s: $cmd $*"
    fi
    rm -f "$E2E_SHOT"
    sleep 0.1
  done
}

# e2e_key_down KEY / e2e_key_up KEY / e2e_hold KEY MS (xdotool key names).
# xdotool normally answers within 0.1 s, but on a heavily loaded machine it
# has been seen to need more than 5 s.
e2e_key_down() { timeout 15 xdotool keydown "$1" || e2e_fail "xdotool keydown $1 failed (status $?)"; }
e2e_key_up() { timeout 15 xdotool keyup "$1" || e2e_fail "xdotool keyup $1 failed (status $?)"; }
e2e_hold() {
  e2e_key_down "$1"
  sleep "$(awk -v ms="$2" 'BEGIN { printf "%.3f", ms / 1000 }')"
  e2e_key_up "$1"
}

# e2e_wait_exit SECS: waits up to SECS (may be fractional) for the game to
# end; sets E2E_GAME_STATUS to its exit status. Returns 1 if it still runs.
e2e_wait_exit() {
  local deadline
  deadline=$(( $(e2e_now_ms) + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }') ))
  while e2e_game_running; do
    [ "$(e2e_now_ms)" -lt "$deadline" ] || return 1
    sleep 0.02
  done
  wait "$E2E_GAME_PID"
  E2E_GAME_STATUS=$?
  return 0
}

# e2e_check_no_crash: the game's exit status and stderr show no crash, no
# time-out and no sanitizer report.
e2e_check_no_crash() {
  [ "$E2E_GAME_STATUS" = 124 ] && e2e_fail "the game did not end by itself (killed by timeout)"
  [ "$E2E_GAME_STATUS" = 126 ] || [ "$E2E_GAME_STATUS" = 127 ] && e2e_fail "the game could not be run"
  [ "$E2E_GAME_STATUS" -ge 128 ] && e2e_fail "the game died of signal $((E2E_GAME_STATUS - 128))"
  if grep -E -q 'Shutting down Allegro due to signal|Sanitizer|runtime error:' "$E2E_TMP/game.err"; then
    e2e_fail "the game's stderr reports a crash or sanitizer error"
  fi
  return 0
}

# e2e_quit SECS: holds ESC down until the game ends, at most SECS seconds;
# it must end by itself with status 0 and no crash.
e2e_quit() {
  local t0
  t0=$(e2e_now_ms)
  e2e_key_down Escape
  e2e_wait_exit "$1" || e2e_fail "the game still runs $1 s after ESC went down"
  e2e_key_up Escape
  e2e_log "ended $(( $(e2e_now_ms) - t0 )) ms after ESC went down, status $E2E_GAME_STATUS"
  e2e_check_no_crash
  [ "$E2E_GAME_STATUS" = 0 ] || e2e_fail "exit status $E2E_GAME_STATUS after ESC, want 0"
}

# e2e_status_pos RES_X RES_Y: prints "X Y" of the status line's centre-top.
e2e_status_pos() {
  awk -v w="$1" -v h="$2" 'BEGIN { printf "%d %d\n", int(w * 0.4625), int(h * 0.0166) }'
}

# e2e_wait_status_line RES_X RES_Y: waits up to 15 s for the first frame's
# status line "Level: 1 Score: 0"; leaves its centre-top in sx and sy.
e2e_wait_status_line() {
  read -r sx sy <<<"$(e2e_status_pos "$1" "$2")"
  e2e_wait_screen 15 text "Level: 1 Score: 0" "$sx" "$sy" 215
  e2e_log "status line \"Level: 1 Score: 0\" at ($sx, $sy)"
}

# e2e_lives_shown SHOT: prints how many life icons stand in a row from
# x = 10, and fails when another icon stands after a gap.
e2e_lives_shown() {
  local icon=$E2E_PALETTE n=0 i
  while [ "$n" -lt 8 ] && e2e_probe sprite "$1" "$icon" 0 0 20 9 $((10 + 20 * n)) 10 2>/dev/null; do
    n=$((n + 1))
  done
  for i in 1 2 3 4; do
    if e2e_probe sprite "$1" "$icon" 0 0 20 9 $((10 + 20 * (n + i))) 10 2>/dev/null; then
      echo "a life icon at x $((10 + 20 * (n + i))) after $n in a row" >&2
      return 1
    fi
  done
  echo "$n"
}

# e2e_four_lives_shown: the last shot shows exactly four life icons.
e2e_four_lives_shown() {
  local n
  n=$(e2e_lives_shown "$E2E_SHOT") || e2e_fail "the life icons are not in a row"
  [ "$n" = 4 ] || e2e_fail "$n life icons shown, want 4"
  e2e_log "four life icons at x = 10, 30, 50, 70"
}

# e2e_score SHOT X Y MOST: prints N of the status line "Level: 1 Score: N"
# with its centre-top at (X, Y), for N from 0 to MOST; fails when SHOT shows
# no such line.
e2e_score() {
  e2e_probe number "$1" "Level: 1 Score: " "$2" "$3" 215 0 "$4"
}

e2e_pass() {
  e2e_log "PASS"
  exit 0
}
