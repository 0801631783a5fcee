# SPACE fires the ship's rockets at 800x600: a rocket starts over the ship,
# 28 rows below its top, and flies off to the right. (How fast it speeds up
# is the unit tests' to check.)
. "$(dirname "$0")/lib.sh"

SHIP_X=50
SHIP_Y=300
ROCKET_Y=$((SHIP_Y + 28))

# rocket_box SHOT: prints "x0 y0 x1 y1 n" of the player's rocket colours.
rocket_box() { e2e_probe box "$1" 140 144; }

e2e_start_xvfb 800 600
e2e_start_game
e2e_wait_status_line 800 600
if rocket_box "$E2E_SHOT" >/dev/null 2>&1; then
  e2e_fail "rocket colours on screen before SPACE was pressed: $(rocket_box "$E2E_SHOT")"
fi
e2e_probe sprite "$E2E_SHOT" graphics/spaceship.bmp 0 0 64 33 "$SHIP_X" "$SHIP_Y" ||
  e2e_fail "the ship is not at ($SHIP_X, $SHIP_Y)"

e2e_hold space 1000
e2e_shot fired
first=$E2E_SHOT
# Rockets speed up by 0.1 pixels per 25 ms tick: 0.3 s later they have
# flown on to the right. (Both shots are taken before the slow checks, so
# that the rockets are still on screen for the second.)
t_first=$(e2e_now_ms)
sleep 0.3
e2e_shot flown
flown=$E2E_SHOT
gap=$(( $(e2e_now_ms) - t_first ))

probed=$(rocket_box "$first") || e2e_fail "no rocket on screen after SPACE was held for 1 s"
read -r x0 y0 x1 y1 n <<<"$probed"
e2e_log "rocket colours in x $x0..$x1, y $y0..$y1 ($n pixels)"
[ "$x0" -ge "$SHIP_X" ] || e2e_fail "a rocket lies left of the ship's left edge (x $x0 < $SHIP_X)"
[ "$y0" -ge "$ROCKET_Y" ] && [ "$y1" -le $((ROCKET_Y + 4)) ] ||
  e2e_fail "rocket colours in rows $y0..$y1, want them within $ROCKET_Y..$((ROCKET_Y + 4))"

# The left-most rocket is the whole rocket sprite, standing in row ROCKET_Y.
found=
for x in $(seq "$((x0 - 15))" "$x0"); do
  if e2e_probe sprite "$first" graphics/rocket.bmp 0 0 16 5 "$x" "$ROCKET_Y" 2>/dev/null; then
    found=$x
    break
  fi
done
[ -n "$found" ] || e2e_fail "no whole rocket sprite in row $ROCKET_Y near x $x0"
e2e_log "a rocket at ($found, $ROCKET_Y)"

probed=$(rocket_box "$flown") || e2e_fail "the rockets vanished within $gap ms after firing"
read -r fx0 fy0 fx1 fy1 fn <<<"$probed"
e2e_log "$gap ms later: rocket colours in x $fx0..$fx1, y $fy0..$fy1"
# The rear rocket has flown on, unless a late SPACE fired another one; the
# front one too, unless it has left the screen meanwhile: one of them shows.
[ "$fx0" -gt "$x0" ] || [ "$fx1" -gt "$x1" ] ||
  e2e_fail "the rockets did not fly right (left edge $x0, then $fx0; right edge $x1, then $fx1)"
[ "$fy0" -ge "$ROCKET_Y" ] && [ "$fy1" -le $((ROCKET_Y + 4)) ] || e2e_fail "a rocket left its row"

e2e_quit 5
e2e_pass
