# Steering at 800x600. UP takes the ship to the top edge, where it stops five
# pixels beyond it, and leaves the stars alone; RIGHT then moves the ship
# slowly to the right and sets the stars scrolling, which from then on earns
# points every second.
#
# The ship flies right along the top edge: there the alien rockets cannot
# reach it and few asteroids cross its path, so it is unlikely to lose all
# its lives (which would stop the score) while the asteroids fly fast.
. "$(dirname "$0")/lib.sh"

SHIP=graphics/spaceship.bmp
START_X=50
START_Y=300

# ship_box SHOT: prints "x0 y0 x1 y1 n" of the ship's colours.
ship_box() { e2e_probe box "$1" 100 109; }

# ship_top_box SHOT: the same for screen rows 0 to 9, which the ship at the
# top edge shares with nothing (the life icons start at row 10).
ship_top_box() { e2e_probe box "$1" 100 109 0 0 800 10; }

# ship_at_top SHOT X: the resting ship at (X, -5): its frame's rows 5 to 14
# on screen rows 0 to 9.
ship_at_top() { e2e_probe sprite "$1" "$SHIP" 0 5 64 10 "$2" 0; }

# star_overlap A B: prints "a b both" for the star pixels of two shots.
star_overlap() { e2e_probe common "$1" "$2" 210; }

# stars_still A B / stars_moved A B: nearly all star pixels of B are where
# they were in A (asteroids and aliens may hide a few), or hardly any.
stars_still() {
  local probed a b both
  probed=$(star_overlap "$1" "$2") || e2e_fail "screen_probe common failed"
  read -r a b both <<<"$probed"
  e2e_log "stars: $a and $b pixels, $both in the same place"
  [ "$a" -ge 150 ] && [ "$b" -ge 150 ] || e2e_fail "too few stars on screen ($a, $b pixels; the game has 200)"
  [ $((both * 10)) -ge $((a * 9)) ] || e2e_fail "the stars moved $3: only $both of $a star pixels stayed"
}
stars_moved() {
  local probed a b both
  probed=$(star_overlap "$1" "$2") || e2e_fail "screen_probe common failed"
  read -r a b both <<<"$probed"
  e2e_log "stars: $a and $b pixels, $both in the same place"
  [ "$b" -ge 100 ] || e2e_fail "only $b star pixels $3"
  [ $((both * 10)) -le "$b" ] || e2e_fail "the stars did not move $3: $both of $b star pixels stayed"
}

e2e_start_xvfb 800 600
e2e_start_game
e2e_wait_status_line 800 600
shot_start=$E2E_SHOT
e2e_probe sprite "$shot_start" "$SHIP" 0 0 64 33 "$START_X" "$START_Y" ||
  e2e_fail "the resting ship is not at ($START_X, $START_Y) at the start"
probed=$(ship_box "$shot_start") || e2e_fail "no ship on screen at the start"
read -r bx0 by0 bx1 by1 bn <<<"$probed"
e2e_log "ship at ($START_X, $START_Y): colours in x $bx0..$bx1, y $by0..$by1"

# With no key held the stars stand still.
sleep 0.5
e2e_shot still
stars_still "$shot_start" "$E2E_SHOT" "before any key was pressed"

# Hold UP for 2 s: 250 pixels a second reach the top from 300 in 1.2 s; the
# ship stops at y = -5, so the top five rows of its frame are cut off.
e2e_hold Up 2000
sleep 0.2
e2e_shot top
shot_top=$E2E_SHOT
probed=$(ship_box "$shot_top") || e2e_fail "no ship on screen after holding UP"
read -r bx0 by0 bx1 by1 bn <<<"$probed"
e2e_log "after UP the ship's colours lie in x $bx0..$bx1, y $by0..$by1"
[ "$by0" = 0 ] || e2e_fail "the ship's top is at y $by0, want 0"
[ "$by1" -le 27 ] || e2e_fail "ship colours reach down to y $by1, below a ship at y -5"
ship_at_top "$shot_top" "$START_X" || e2e_fail "the ship is not at ($START_X, -5)"
stars_still "$shot_start" "$shot_top" "while the ship only climbed"
probed=$(ship_top_box "$shot_top") || e2e_fail "no ship in the top rows"
read -r tx0 _ <<<"$probed"
offset=$((tx0 - START_X))

# Hold RIGHT for 1.5 s: 25 pixels a second, so about 37 pixels.
t0=$(e2e_now_ms)
e2e_hold Right 1500
held=$(( $(e2e_now_ms) - t0 ))
e2e_log "RIGHT held for $held ms"
e2e_shot after_right
shot_right=$E2E_SHOT
stars_moved "$shot_top" "$shot_right" "while the ship flew right"

sleep 2
e2e_shot later
shot_later=$E2E_SHOT
t_later=$(e2e_now_ms)
probed=$(ship_top_box "$shot_later") || e2e_fail "no ship in the top rows after steering"
read -r tx0 ty0 tx1 ty1 tn <<<"$probed"
ship_x=$((tx0 - offset))
moved=$((ship_x - START_X))
# At most one 0.5 pixel step per 20 ms while RIGHT was held, with a margin
# for the key's way through the X server.
most=$(( (held + 300) / 40 + 1 ))
e2e_log "2 s after release the ship's top rows lie in x $tx0..$tx1: moved $moved px (at most $most)"
[ "$moved" -ge 15 ] || e2e_fail "the ship moved $moved px to the right, want at least 15"
[ "$moved" -le "$most" ] || e2e_fail "the ship moved $moved px to the right in $held ms, more than $most"
ship_at_top "$shot_later" "$ship_x" || e2e_fail "the resting ship is not at ($ship_x, -5)"
# The stars keep their speed after RIGHT is released.
stars_moved "$shot_right" "$shot_later" "after RIGHT was released"

# At full star speed the score grows by 50 a second.
score=$(e2e_score "$shot_later" "$sx" "$sy" 5000) ||
  e2e_fail "no \"Level: 1 Score: N\" on screen after steering"
e2e_log "score $score"
[ "$score" -gt 0 ] || e2e_fail "the score is still 0 after flying right"
sleep 1.5
e2e_shot score_again
gap=$(( $(e2e_now_ms) - t_later ))
score2=$(e2e_score "$E2E_SHOT" "$sx" "$sy" 5000) ||
  e2e_fail "no \"Level: 1 Score: N\" on screen 1.5 s later"
e2e_log "score 1.5 s later: $score2"
[ "$score2" -gt "$score" ] || e2e_fail "the score did not grow in 1.5 s at full star speed ($score, then $score2)"
[ $(( (score2 - score) % 50 )) = 0 ] || e2e_fail "the score grew by $((score2 - score)), not a multiple of 50"
# One step of 50 per second: a gap of G ms holds at most G / 1000 + 1 of them.
steps=$(( (score2 - score) / 50 ))
[ "$steps" -le $(( gap / 1000 + 1 )) ] ||
  e2e_fail "the score grew by $steps steps of 50 in $gap ms, more than one a second"
# With no key held the ship stays where it is.
ship_at_top "$E2E_SHOT" "$ship_x" || e2e_fail "the ship left ($ship_x, -5) with no key held"

e2e_quit 5
e2e_pass
