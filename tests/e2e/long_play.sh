# A minute of play at 800x600 with a varied stream of keys: steering in all
# four directions, firing, ENTER (which restarts after death) and F, alone and
# together, each held from 60 to 400 ms. The game keeps drawing its status
# line, the aliens fly onto the screen, and at the end ESC closes the game
# with status 0, with no crash and no sanitizer report.
#   bash long_play.sh GAME PROBE [SECONDS [SEED]]
. "$(dirname "$0")/lib.sh"

PLAY_SECS=${1:-60}
SEED=${2:-4242}
E2E_GAME_SECS=$((PLAY_SECS + 40))
E2E_XVFB_SECS=$((PLAY_SECS + 50))

KEYS=(Up Down Left Right space Return f)

e2e_start_xvfb 800 600
e2e_start_game
e2e_wait_status_line 800 600

RANDOM=$SEED
e2e_log "playing for $PLAY_SECS s, key sequence seed $SEED"
start=$(e2e_now_ms)
next_shot=$start
presses=0
shots=0
alien_shots=0
while [ $(( $(e2e_now_ms) - start )) -lt $((PLAY_SECS * 1000)) ]; do
  e2e_game_running || e2e_fail "the game ended after $presses key presses"
  # One key, or an arrow key together with SPACE.
  key=${KEYS[RANDOM % ${#KEYS[@]}]}
  ms=$((60 + RANDOM % 341))
  if [ $((RANDOM % 4)) = 0 ] && [ "$key" != space ]; then
    e2e_key_down space
    e2e_hold "$key" "$ms"
    e2e_key_up space
  else
    e2e_hold "$key" "$ms"
  fi
  presses=$((presses + 1))

  now=$(e2e_now_ms)
  if [ "$now" -ge "$next_shot" ]; then
    next_shot=$((now + 2000))
    shots=$((shots + 1))
    e2e_shot "play$shots"
    # The status line is drawn in every frame, whatever the level and score.
    n=$(e2e_probe count "$E2E_SHOT" 215 $((sx - 100)) "$sy" 200 8) || e2e_fail "screen_probe count failed"
    [ "$n" -gt 0 ] || e2e_fail "no status line on screen after $(( (now - start) / 1000 )) s of play"
    if e2e_probe box "$E2E_SHOT" 110 119 >"$E2E_TMP/alien" 2>/dev/null; then
      alien_shots=$((alien_shots + 1))
      [ "$alien_shots" = 1 ] && e2e_log "an alien on screen after $(( (now - start) / 1000 )) s: colours in $(cut -d' ' -f1-4 "$E2E_TMP/alien")"
    fi
    rm -f "$E2E_SHOT"
  fi
done
e2e_log "$presses key presses in $(( ($(e2e_now_ms) - start) / 1000 )) s; aliens in $alien_shots of $shots screenshots"
[ "$alien_shots" -gt 0 ] || e2e_fail "no alien on screen in any of $shots screenshots"

e2e_game_running || e2e_fail "the game ended during play"
e2e_quit 10
e2e_pass
