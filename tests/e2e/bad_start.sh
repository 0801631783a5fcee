# Bad start-up input stops the game before it draws anything, with a message
# on stderr that starts with "stardrift: " and names the problem, and a
# non-zero exit status (an orderly exit, not a crash).
#   bash bad_start.sh GAME PROBE missing_enemy_sprite | res_x_zero
. "$(dirname "$0")/lib.sh"

case ${1:-} in
  missing_enemy_sprite)
    # Run from a scratch copy of the data files lacking the enemy sprite.
    e2e_copy_game_dir
    rm "$E2E_GAME_DIR/graphics/enemy.bmp"
    config=
    words=("graphics/enemy.bmp")
    ;;
  res_x_zero)
    config="[Settings]
res_x = 0"
    words=("res_x")
    ;;
  *) e2e_fail "unknown case '${1:-}'" ;;
esac

# A screen is there, so only the bad input can stop the game.
e2e_start_xvfb 800 600
if [ -n "$config" ]; then e2e_start_game "$config"; else e2e_start_game; fi
e2e_wait_exit 10 || e2e_fail "the game still runs 10 s after start"
e2e_log "exit status $E2E_GAME_STATUS"
e2e_check_no_crash
[ "$E2E_GAME_STATUS" != 0 ] || e2e_fail "exit status 0, want non-zero"

message=$(grep '^stardrift: ' "$E2E_TMP/game.err") || e2e_fail "no line starting with \"stardrift: \" on stderr"
e2e_log "message: $message"
for w in "${words[@]}"; do
  grep -q -F -- "$w" <<<"$message" || e2e_fail "the message does not name $w"
done
if [ "$1" = res_x_zero ]; then
  # The message names the value given and the range accepted: 0 and two
  # more numbers.
  numbers=$(grep -o -E '(^|[^0-9A-Za-z_])-?[0-9]+' <<<"$message" | grep -o -E -- '-?[0-9]+')
  grep -q -x 0 <<<"$numbers" || e2e_fail "the message does not name the value 0"
  others=$(grep -c -v -x 0 <<<"$numbers")
  [ "$others" -ge 2 ] || e2e_fail "the message does not name the accepted range (numbers in it: $(tr "\n" " " <<<"$numbers"))"
fi
e2e_pass
