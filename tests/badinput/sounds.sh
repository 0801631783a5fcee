# The five sounds under sounds/. A sound that is missing or unreadable (empty,
# not a WAV, or a WAV kind Allegro does not read: 24-bit, float, mu-law,
# ADPCM) makes its event silent, and the game goes on: it starts, shows its
# status line, fires and steers, and ESC ends it with status 0.
#
# The game runs from a scratch copy of the data in which the four other
# sounds are replaced by valid WAV files of pure silence, and ALSA records
# everything the game plays. The row's own event is started for certain:
# rockets are fired (SPACE) and the ship is steered (thrust) for a second and
# more. So whatever is heard can only come from the row's file: the recording
# must be silent. The rows rocket_plays and thrust_plays, with the real
# file, show that the recording does catch those events.
#   bash sounds.sh GAME PROBE ROW
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/common.sh"

command -v sox >/dev/null || e2e_fail "sox is not installed"
row=${1:-}
e2e_copy_game_dir
d=$E2E_GAME_DIR/sounds
src=$E2E_REPO/sounds
events=(rocket asteroid alien spaceship thrust)

# quiet_all_but NAME: every sound but NAME becomes 0.2 s of silence (exact
# zeros: -D, no dither).
quiet_all_but() {
  local e
  for e in "${events[@]}"; do
    [ "$e" = "$1" ] && continue
    sox -D -n -r 22050 -b 16 -c 1 "$d/$e.wav" trim 0 0.2 || e2e_fail "sox failed"
  done
}
# remake NAME SOX_OPTIONS...: NAME.wav in another encoding.
remake() {
  local name=$1
  shift
  sox "$src/$name.wav" "$@" "$d/$name.wav" || e2e_fail "sox failed"
}

want=silent
case $row in
  missing_rocket | missing_asteroid | missing_alien | missing_spaceship | missing_thrust)
    name=${row#missing_}
    quiet_all_but "$name"
    rm "$d/$name.wav" ;;
  no_folder)
    rm -r "$d" ;;
  empty_file)
    quiet_all_but rocket
    : >"$d/rocket.wav" ;;
  text_file)
    quiet_all_but rocket
    printf 'This is not a sound.\n' >"$d/rocket.wav" ;;
  header_only)
    quiet_all_but thrust
    head -c 30 "$src/thrust.wav" >"$d/thrust.wav" ;;
  pcm_24bit)
    quiet_all_but rocket
    remake rocket -b 24 ;;
  float)
    quiet_all_but rocket
    remake rocket -e floating-point -b 32 ;;
  mu_law)
    quiet_all_but rocket
    remake rocket -e u-law ;;
  adpcm)
    quiet_all_but thrust
    remake thrust -e ima-adpcm ;;
  no_samples)
    # The data chunk's length is given as 0xFFFFFFFF: Allegro reads the
    # file as a sample of no length at all.
    quiet_all_but rocket
    cp "$src/rocket.wav" "$d/rocket.wav"
    off=$(grep -obUaP 'data' "$d/rocket.wav" | head -n 1 | cut -d: -f1) || e2e_fail "no data chunk in rocket.wav"
    printf '\xff\xff\xff\xff' | dd of="$d/rocket.wav" bs=1 seek=$((off + 4)) conv=notrunc status=none ||
      e2e_fail "cannot patch rocket.wav" ;;
  rocket_plays)
    quiet_all_but rocket
    want=sound ;;
  thrust_plays)
    quiet_all_but thrust
    want=sound ;;
  *) e2e_fail "unknown row '$row'" ;;
esac

BAD_SOUND=record
e2e_start_xvfb 800 600
bad_start_game
e2e_wait_status_line 800 600
bad_fire_and_steer
e2e_hold Up 400
sleep 0.2
e2e_game_running || e2e_fail "the game ended after firing and steering"
bad_quit
heard=$(bad_recording_silent)
e2e_log "recording: $heard ($(stat -c %s "$BAD_RECORDING") bytes)"
[ "$heard" = "$want" ] || e2e_fail "the recording holds $heard, want $want"
e2e_pass
