# Helpers shared by the bad-input scripts. Each script sources
# tests/e2e/lib.sh first (which takes GAME and PROBE off its arguments and
# cleans up the game and Xvfb on exit), then this file.
#
# What a row expects is one of:
#   bad_expect_refusal MESSAGE  the game ends by itself with status 1 and
#                               exactly one line "stardrift: MESSAGE" on stderr
#   bad_expect_play W H         the game runs at W x H: its status line and
#                               four life icons show, and ESC ends it with 0
# and every row fails on a crash, a hang or a sanitizer report.

# bad_start_game [CONFIG_TEXT]: starts the game like e2e_start_game, with a
# fresh HOME holding allegro.cfg = CONFIG_TEXT (no file when not given), from
# E2E_GAME_DIR if set, else the repository root. Two knobs, set before the
# call:
#   BAD_SOUND    discard (default): ALSA's default device swallows the sound
#                record: it also writes what the game plays, as raw signed
#                16-bit samples (silence is exact zeros), to $BAD_RECORDING
#                none: ALSA's configuration names no device at all
#                broken: the default device is a sound card that is not there
#   BAD_DISPLAY  keep (default), unset, or an X display name to use instead
BAD_SOUND=discard
BAD_DISPLAY=keep
BAD_RECORDING=$E2E_TMP/played.raw

bad_start_game() {
  local home=$E2E_TMP/home dir=${E2E_GAME_DIR:-$E2E_REPO} alsa=$E2E_TMP/bad-asound.conf
  local -a display_env=()
  e2e_check_no_stray_config
  rm -rf "$home"
  mkdir -p "$home"
  if [ $# -gt 0 ]; then
    printf '%s\n' "$1" >"$home/allegro.cfg"
  fi
  # ALSA reads only this file (not the system's), so every device used is
  # spelled out; "ctl" at card 0 keeps ALSA's complaints to one line.
  case $BAD_SOUND in
    discard)
      printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$alsa" ;;
    record)
      rm -f "$BAD_RECORDING"
      cat >"$alsa" <<EOF
pcm.!default {
  type plug
  slave {
    pcm { type file file "$BAD_RECORDING" format "raw" slave.pcm { type null } }
    format S16_LE
  }
}
ctl.!default { type hw card 0 }
EOF
      ;;
    none) : >"$alsa" ;;
    broken)
      printf 'pcm.!default { type hw card 7 }\nctl.!default { type hw card 7 }\n' >"$alsa" ;;
    *) e2e_fail "unknown BAD_SOUND '$BAD_SOUND'" ;;
  esac
  case $BAD_DISPLAY in
    keep) ;;
    unset) display_env=(-u DISPLAY) ;;
    *) display_env=("DISPLAY=$BAD_DISPLAY") ;;
  esac
  : >"$E2E_TMP/game.out"
  : >"$E2E_TMP/game.err"
  (
    cd "$dir" || exit 99
    exec env -u ALLEGRO "${display_env[@]}" HOME="$home" ALSA_CONFIG_PATH="$alsa" \
      timeout -k 5 "$E2E_GAME_SECS" "$E2E_GAME" >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err"
  ) &
  E2E_GAME_PID=$!
  E2E_GAME_STATUS=
  e2e_log "game started (pid $E2E_GAME_PID) in $dir"
}

# bad_expect_refusal MESSAGE
bad_expect_refusal() {
  local want="stardrift: $1" got n
  e2e_wait_exit 10 || e2e_fail "the game still runs 10 s after start; want it to refuse with: $want"
  e2e_check_no_crash
  [ "$E2E_GAME_STATUS" = 1 ] || e2e_fail "exit status $E2E_GAME_STATUS, want 1"
  n=$(grep -c '^stardrift: ' "$E2E_TMP/game.err")
  [ "$n" = 1 ] || e2e_fail "$n lines starting with \"stardrift: \" on stderr, want 1"
  got=$(grep '^stardrift: ' "$E2E_TMP/game.err")
  [ "$got" = "$want" ] || e2e_fail "the message is
  $got
want
  $want"
  e2e_log "refused, status 1: $got"
}

# bad_picture_size: prints the size and place (WxH+X+Y) of the game's
# picture. Allegro's X11 full-screen mode is a window covering the screen
# with the picture as its child, centred.
bad_picture_size() {
  timeout 5 xwininfo -root -tree | awk '/^        0x/ { print $(NF - 1) }'
}

# bad_check_picture W H: the game's picture is W x H (at 0,0 when the
# screen is that size, centred otherwise).
bad_check_picture() {
  local got
  got=$(bad_picture_size) || e2e_fail "xwininfo failed"
  case $got in
    "$1x$2+"*) e2e_log "picture $got" ;;
    *) e2e_fail "the game's picture is '$got', want $1x$2" ;;
  esac
}

# bad_wait_picture W H: waits up to 15 s for a W x H picture (while the
# mode is being set, Allegro's first small window shows for a moment).
# Returns 1 if the game ends first.
bad_wait_picture() {
  local deadline got=
  deadline=$(( $(e2e_now_ms) + 15000 ))
  while :; do
    e2e_game_running || return 1
    got=$(bad_picture_size)
    case $got in "$1x$2+"*) break ;; esac
    [ "$(e2e_now_ms)" -lt "$deadline" ] || e2e_fail "no ${1}x$2 picture within 15 s; the picture is '$got'"
    sleep 0.1
  done
  e2e_log "picture $got"
}

# bad_quit: ESC ends the game with status 0 (within 10 s: in the ASan build
# the leak check at exit takes seconds).
bad_quit() {
  e2e_key_down Escape
  e2e_wait_exit 10 || e2e_fail "the game still runs 10 s after ESC went down"
  e2e_key_up Escape
  e2e_check_no_crash
  [ "$E2E_GAME_STATUS" = 0 ] || e2e_fail "exit status $E2E_GAME_STATUS after ESC, want 0"
  e2e_log "ESC ended the game with status 0"
}

# bad_expect_play W H: the game started at W x H on a screen of that size.
bad_expect_play() {
  e2e_wait_status_line "$1" "$2"
  e2e_four_lives_shown
  bad_check_picture "$1" "$2"
  bad_quit
}

# bad_fire_and_steer: holds SPACE while steering up and down; a player's
# rocket (palette indexes 140..144, used by nothing else) must show while
# SPACE is held. Every rocket fired starts the rocket sound, and steering
# starts the thrust sound.
bad_fire_and_steer() {
  local deadline
  e2e_key_down space
  e2e_hold Up 500
  e2e_hold Down 500
  deadline=$(( $(e2e_now_ms) + 3000 ))
  while :; do
    e2e_game_running || e2e_fail "the game ended while firing and steering"
    e2e_shot firing
    e2e_probe box "$E2E_SHOT" 140 144 >/dev/null 2>&1 && break
    [ "$(e2e_now_ms)" -lt "$deadline" ] || e2e_fail "no rocket on screen while SPACE is held"
    sleep 0.1
  done
  e2e_key_up space
  e2e_log "fired rockets while steering"
}

# bad_recording_silent: prints "silent" or "sound" for what ALSA recorded;
# fails when nothing was recorded at all.
bad_recording_silent() {
  local size
  [ -s "$BAD_RECORDING" ] || e2e_fail "nothing reached the recording sound device"
  size=$(stat -c %s "$BAD_RECORDING")
  if cmp -s -n "$size" "$BAD_RECORDING" /dev/zero; then echo silent; else echo sound; fi
}
