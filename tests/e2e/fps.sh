# F toggles the frame-rate read-out "FPS: N" beside the status line. The game
# looks at F every 100 ms and flips the read-out on each look while F is held,
# so short taps are repeated until the wanted state shows.
. "$(dirname "$0")/lib.sh"

TAP_MS=75
e2e_start_xvfb 800 600
e2e_start_game
e2e_wait_status_line 800 600
fx=$(awk 'BEGIN { printf "%d", int(800 * 0.7625) }')

# The read-out starts hidden: nothing in its colour around its place.
# (Its widest form, "FPS: NNN", is 64 pixels wide.)
fps_area_pixels() { e2e_probe count "$E2E_SHOT" 215 $((fx - 40)) "$sy" 80 8; }
n=$(fps_area_pixels) || e2e_fail "screen_probe count failed"
[ "$n" = 0 ] || e2e_fail "the FPS read-out area has $n pixels in its colour before F was pressed"

# tap_f_until WHAT CHECK...: taps F, then takes a screenshot, until CHECK
# holds for it (at most 10 s); the tick task looks at F only every 100 ms and
# flips the read-out on every look, so one tap may count once or not at all.
tap_f_until() {
  local what=$1 deadline
  shift
  taps=0
  deadline=$(( $(e2e_now_ms) + 10000 ))
  while :; do
    [ "$(e2e_now_ms)" -lt "$deadline" ] || e2e_fail "$what not seen after $taps taps of F"
    e2e_hold f "$TAP_MS"
    taps=$((taps + 1))
    sleep 0.25
    e2e_game_running || e2e_fail "the game ended after F was tapped"
    e2e_shot "fps_tap_$taps"
    "$@" && return 0
  done
}
fps_shown() { fps=$(e2e_probe number "$E2E_SHOT" "FPS: " "$fx" "$sy" 215 0 999 2>/dev/null); }
fps_hidden() {
  n=$(fps_area_pixels) || e2e_fail "screen_probe count failed"
  [ "$n" = 0 ]
}

tap_f_until "\"FPS: N\" at ($fx, $sy)" fps_shown
e2e_log "\"FPS: $fps\" at ($fx, $sy) after $taps taps of F"

# Frames are counted per second, so the first second may show 0; without
# further key presses the read-out stays and soon counts frames.
deadline=$(( $(e2e_now_ms) + 3000 ))
while [ "$fps" -eq 0 ]; do
  [ "$(e2e_now_ms)" -lt "$deadline" ] || e2e_fail "the read-out still shows \"FPS: 0\" after 3 s"
  sleep 0.2
  e2e_shot fps_later
  fps=$(e2e_probe number "$E2E_SHOT" "FPS: " "$fx" "$sy" 215 0 999) ||
    e2e_fail "the FPS read-out vanished without a key press"
done
e2e_log "\"FPS: $fps\" shown"
e2e_probe text "$E2E_SHOT" "Level: 1 Score: 0" "$sx" "$sy" 215 ||
  e2e_fail "the status line is not intact beside the FPS read-out"

tap_f_until "the FPS read-out hidden again" fps_hidden
e2e_log "read-out hidden again after $taps taps of F"
e2e_probe text "$E2E_SHOT" "Level: 1 Score: 0" "$sx" "$sy" 215 ||
  e2e_fail "the status line is not intact after the FPS read-out went"

e2e_quit 2
e2e_pass
