# res_x = 1024 and res_y = 768 in the configuration file give a 1024x768
# screen: the status line moves to its place for that size, and the game
# draws beyond the 800x600 corner.
. "$(dirname "$0")/lib.sh"

e2e_start_xvfb 1024 768
e2e_start_game "[Settings]
res_x = 1024
res_y = 768"

# An 800x600 picture would sit centred on this screen, its status line at
# (482, 93); at 1024x768 the line is at (473, 12).
e2e_wait_status_line 1024 768
e2e_four_lives_shown

# Stars lie all over the screen, also in the strips right of x = 912 and
# below y = 684, which an 800x600 picture covers neither at (0, 0) nor centred.
deadline=$(( $(e2e_now_ms) + 5000 ))
while :; do
  right=$(e2e_probe count "$E2E_SHOT" 210 912 0 112 768) || e2e_fail "screen_probe count failed"
  below=$(e2e_probe count "$E2E_SHOT" 210 0 684 1024 84) || e2e_fail "screen_probe count failed"
  [ "$right" -gt 0 ] && [ "$below" -gt 0 ] && break
  [ "$(e2e_now_ms)" -lt "$deadline" ] ||
    e2e_fail "no stars in the screen's right or bottom strip (x >= 912: $right, y >= 684: $below pixels)"
  sleep 0.2
  e2e_shot more
done
e2e_log "star pixels at x >= 912: $right, at y >= 684: $below"

e2e_quit 2
e2e_pass
