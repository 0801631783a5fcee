# ESC at awkward moments: the game ends with status 0, without a crash or a
# sanitizer report (in the ASan build, a use of anything released at
# shutdown is reported).
#   bash closing.sh GAME PROBE ROW
# esc_at_start:      ESC is already held when the game starts, so it is seen
#                    at the first frame.
# esc_while_dead:    at 320 x 200 the ship speeds up the asteroids and sits
#                    in their way until no life is left; ESC while the death
#                    message shows.
# esc_while_firing:  ESC while SPACE and an arrow key are held.
# esc_after_level_change: firing at the aliens until level 2 shows (at most
#                    30 s; skipped, status 77, when it does not come), then
#                    ESC at once: at the first frames of the new level.
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/common.sh"

row=${1:-}
case $row in
  esc_at_start)
    e2e_start_xvfb 800 600
    e2e_key_down Escape
    t0=$(e2e_now_ms)
    bad_start_game
    e2e_wait_exit 10 || e2e_fail "the game still runs 10 s after it started with ESC held"
    e2e_key_up Escape
    e2e_check_no_crash
    [ "$E2E_GAME_STATUS" = 0 ] || e2e_fail "exit status $E2E_GAME_STATUS, want 0"
    e2e_log "ended $(( $(e2e_now_ms) - t0 )) ms after start, status 0" ;;

  esc_while_dead)
    e2e_start_xvfb 320 200
    bad_start_game $'[Settings]\nres_x = 320\nres_y = 200'
    e2e_wait_status_line 320 200
    t0=$(e2e_now_ms)
    e2e_hold Right 800
    # Out of the death message's line (y 100..107).
    e2e_hold Down 1000
    e2e_wait_screen 30 text "You have DIED. Press ESC to quit the game or ENTER to try again." 160 100 50
    e2e_log "no life left $(( $(e2e_now_ms) - t0 )) ms after steering began"
    if e2e_probe sprite "$E2E_SHOT" "$E2E_PALETTE" 0 0 20 9 10 10 2>/dev/null; then
      e2e_fail "a life icon shows beside the death message"
    fi
    bad_quit ;;

  esc_while_firing)
    e2e_start_xvfb 800 600
    bad_start_game
    e2e_wait_status_line 800 600
    e2e_key_down space
    e2e_key_down Up
    sleep 0.6
    e2e_key_down Escape
    e2e_wait_exit 10 || e2e_fail "the game still runs 10 s after ESC went down"
    e2e_key_up Escape
    e2e_key_up Up
    e2e_key_up space
    e2e_check_no_crash
    [ "$E2E_GAME_STATUS" = 0 ] || e2e_fail "exit status $E2E_GAME_STATUS after ESC, want 0"
    e2e_log "ESC with SPACE and UP held: status 0" ;;

  esc_after_level_change)
    # At 1024 x 200 the aliens start on the screen. The ship (palette
    # indexes 100..109) is steered so that its rockets leave at the height
    # of the topmost alien (indexes 110..119).
    e2e_start_xvfb 1024 200
    bad_start_game $'[Settings]\nres_x = 1024\nres_y = 200'
    e2e_wait_status_line 1024 200
    read -r sx sy <<<"$(e2e_status_pos 1024 200)"
    t0=$(e2e_now_ms)
    e2e_key_down space
    e2e_hold Right 600  # faster rockets
    until score=$(e2e_probe number "$E2E_SHOT" "Level: 2 Score: " "$sx" "$sy" 215 0 5000 2>/dev/null); do
      e2e_game_running || e2e_fail "the game ended while firing"
      if [ $(( $(e2e_now_ms) - t0 )) -ge 30000 ]; then
        e2e_key_up space
        bad_quit
        e2e_log "SKIP: level 2 did not come within 30 s"
        exit 77
      fi
      ship_y='' alien_y=''
      read -r _ ship_y _ <<<"$(e2e_probe box "$E2E_SHOT" 100 109 0 0 300 200 2>/dev/null)"
      read -r _ alien_y _ <<<"$(e2e_probe box "$E2E_SHOT" 110 119 300 0 724 200 2>/dev/null)"
      if [ -n "$ship_y" ] && [ -n "$alien_y" ]; then
        # Rockets leave 28 px below the ship's top; an alien is 30 px tall.
        d=$(( alien_y + 14 - ship_y - 28 ))
        if [ "$d" -gt 6 ]; then e2e_hold Down $(( d * 4 ));
        elif [ "$d" -lt -6 ]; then e2e_hold Up $(( -d * 4 )); fi
      fi
      e2e_shot level
    done
    e2e_key_down Escape
    e2e_log "\"Level: 2 Score: $score\" $(( $(e2e_now_ms) - t0 )) ms after firing began; ESC"
    e2e_wait_exit 10 || e2e_fail "the game still runs 10 s after ESC went down"
    e2e_key_up Escape
    e2e_key_up space
    e2e_check_no_crash
    [ "$E2E_GAME_STATUS" = 0 ] || e2e_fail "exit status $E2E_GAME_STATUS after ESC, want 0"
    e2e_log "ESC just after the level change: status 0" ;;

  *) e2e_fail "unknown row '$row'" ;;
esac
e2e_pass
