# What the game needs around it. Without an X display it cannot start: it
# says so and ends with status 1. Without a sound device it runs silently:
# it starts, fires and steers, and ESC ends it with status 0.
#   bash environment.sh GAME PROBE ROW
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/common.sh"

row=${1:-}
no_display="cannot start Allegro (is there a display?)"

case $row in
  no_display)
    BAD_DISPLAY="unset"
    bad_start_game
    bad_expect_refusal "$no_display" ;;
  dead_display)
    # A display name no X server answers to.
    n=4000
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    BAD_DISPLAY=:$n
    bad_start_game
    bad_expect_refusal "$no_display" ;;
  no_sound_device | broken_sound_device)
    # ALSA's configuration names no device at all (ALSA says so on stderr),
    # or a sound card that is not there (Allegro's ALSA driver then fails
    # with "Can not open card/pcm device", silently).
    if [ "$row" = no_sound_device ]; then BAD_SOUND=none; else BAD_SOUND=broken; fi
    e2e_start_xvfb 800 600
    bad_start_game
    e2e_wait_status_line 800 600
    if [ "$row" = no_sound_device ]; then
      grep -q -F 'Unknown PCM default' "$E2E_TMP/game.err" ||
        e2e_fail "ALSA did not report a missing default device; does the game have sound after all?"
    fi
    bad_fire_and_steer
    e2e_game_running || e2e_fail "the game ended after firing and steering without a sound device"
    bad_quit ;;
  *) e2e_fail "unknown row '$row'" ;;
esac
e2e_pass
