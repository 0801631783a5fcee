# A fresh start at the default 800x600 with no configuration file: level 1,
# score 0 and four lives on screen; holding ESC ends the game at once.
. "$(dirname "$0")/lib.sh"

e2e_start_xvfb 800 600
e2e_start_game

e2e_wait_status_line 800 600
e2e_log "status line \"Level: 1 Score: 0\" at ($sx, $sy)"

# The same frame shows one life icon per life, and no fifth one.
for x in 10 30 50 70; do
  e2e_probe sprite "$E2E_SHOT" graphics/life.bmp 0 0 20 9 "$x" 10 || e2e_fail "no life icon at ($x, 10)"
done
if e2e_probe sprite "$E2E_SHOT" graphics/life.bmp 0 0 20 9 90 10 2>/dev/null; then
  e2e_fail "a fifth life icon at (90, 10)"
fi
e2e_log "four life icons at x = 10, 30, 50, 70"

e2e_quit 1
e2e_pass
