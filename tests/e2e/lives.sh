# Losing lives and starting again. On a small 560x200 screen the asteroids,
# once sped up by a short push to the right, sweep past the ship about once a
# second and often hit it. Each hit takes a life icon away; with the last one
# the death message shows; ENTER then starts level 1 again with four lives
# and score 0.
. "$(dirname "$0")/lib.sh"

W=560
H=200
DEATH="You have DIED. Press ESC to quit the game or ENTER to try again."
DEATH_X=$((W / 2))
DEATH_Y=$((H / 2))
DEADLINE_SECS=40

death_shown() { e2e_probe text "$1" "$DEATH" "$DEATH_X" "$DEATH_Y" 50 2>/dev/null; }

e2e_start_xvfb "$W" "$H"
e2e_start_game "[Settings]
res_x = $W
res_y = $H"
e2e_wait_status_line "$W" "$H"
n=$(e2e_lives_shown "$E2E_SHOT") || e2e_fail "the life icons are not in a row at the start"
[ "$n" = 4 ] || e2e_fail "$n life icons at the start, want 4"
death_shown "$E2E_SHOT" && e2e_fail "the death message shows at the start"
e2e_log "level 1, score 0, four life icons"

# Up at the top edge, out of the way of the asteroids that start in the
# lower half, push right for 0.7 s: the asteroids reach their top speed of
# 15 pixels per 25 ms tick, and the stars theirs, which earns points every
# second. Once the score has grown, go back down into the field.
e2e_hold Up 800
e2e_hold Right 700
e2e_wait_screen 5 number "Level: 1 Score: " "$sx" "$sy" 215 1 1000
e2e_log "score $(cat "$E2E_TMP/probe.out") after speeding up"
e2e_hold Down 400

# A shot taken while the game copies a frame to the screen may show the top
# of one frame and the rest of the next, so a new number of icons counts
# once two shots running show it, and a mismatch between icons and death
# message must show in two shots running to fail the test.
seen=4
history=4
pending=
mismatch=no
start=$(e2e_now_ms)
while :; do
  e2e_game_running || e2e_fail "the game ended while losing lives (icons seen: $history)"
  elapsed=$(( $(e2e_now_ms) - start ))
  [ "$elapsed" -lt $((DEADLINE_SECS * 1000)) ] ||
    e2e_fail "still alive after $DEADLINE_SECS s among the asteroids (icons seen: $history)"
  e2e_shot field
  n=$(e2e_lives_shown "$E2E_SHOT") || e2e_fail "the life icons are not in a row (icons seen: $history)"
  [ "$n" -le "$seen" ] || e2e_fail "$n life icons after $seen were shown, with no restart (icons seen: $history)"
  if [ "$n" -lt "$seen" ]; then
    if [ "$pending" = "$n" ]; then
      history="$history $n"
      e2e_log "$n life icons after $elapsed ms"
      seen=$n
      pending=
    else
      pending=$n
    fi
  else
    pending=
  fi
  dead=no
  death_shown "$E2E_SHOT" && dead=yes
  if [ "$dead" = yes ] && [ "$n" = 0 ]; then
    [ "$seen" = 0 ] || history="$history 0"
    break
  fi
  if [ "$dead" = yes ] || [ "$n" = 0 ]; then
    [ "$mismatch" = no ] ||
      e2e_fail "$n life icons and the death message $([ "$dead" = yes ] && echo shown || echo missing) in two shots running"
    mismatch=yes
  else
    mismatch=no
  fi
  sleep 0.1
done
e2e_log "death message at ($DEATH_X, $DEATH_Y) after $elapsed ms; life icons seen: $history"

# The score stands still while the player is dead.
score=$(e2e_score "$E2E_SHOT" "$sx" "$sy" 10000) ||
  e2e_fail "no \"Level: 1 Score: N\" on the death screen"
e2e_log "score at death: $score"
[ "$score" -gt 0 ] || e2e_fail "the score is 0 at death, so a restart could not show it reset"
sleep 1.2
e2e_shot still_dead
death_shown "$E2E_SHOT" || e2e_fail "the death message went away without ENTER"
e2e_probe text "$E2E_SHOT" "Level: 1 Score: $score" "$sx" "$sy" 215 ||
  e2e_fail "the score changed while the player was dead"

# ENTER does nothing while an arrow key is held.
e2e_key_down Down
e2e_hold Return 300
e2e_key_up Down
sleep 0.2
e2e_shot enter_with_arrow
death_shown "$E2E_SHOT" || e2e_fail "ENTER with DOWN held took the death message away"
e2e_probe text "$E2E_SHOT" "Level: 1 Score: $score" "$sx" "$sy" 215 ||
  e2e_fail "ENTER with DOWN held changed the status line"

# ENTER with no arrow key held: level 1 again, four lives, score 0, the
# ship at its start and no death message, all in one shot.
e2e_hold Return 150
deadline=$(( $(e2e_now_ms) + 5000 ))
while :; do
  e2e_game_running || e2e_fail "the game ended after ENTER"
  e2e_shot restarted
  why=
  e2e_probe text "$E2E_SHOT" "Level: 1 Score: 0" "$sx" "$sy" 215 2>/dev/null || why="no \"Level: 1 Score: 0\""
  n=$(e2e_lives_shown "$E2E_SHOT" 2>/dev/null) || n="?"
  [ "$n" = 4 ] || why="$why; $n life icons, want 4"
  death_shown "$E2E_SHOT" && why="$why; the death message still shows"
  e2e_probe sprite "$E2E_SHOT" graphics/spaceship.bmp 0 0 64 33 $((W / 16)) $((H / 2)) 2>/dev/null ||
    why="$why; the ship is not back at its start ($((W / 16)), $((H / 2)))"
  [ -z "$why" ] && break
  [ "$(e2e_now_ms)" -lt "$deadline" ] || e2e_fail "5 s after ENTER: ${why#; }"
  sleep 0.1
done
e2e_log "after ENTER: \"Level: 1 Score: 0\", four life icons, the ship at its start"

e2e_quit 5
e2e_pass
