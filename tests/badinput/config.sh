# The screen size from Allegro's configuration file: keys res_x and res_y of
# section [Settings], whole decimal numbers in 320..8192 and 200..8192, by
# default 800 and 600. Anything else ends the game before it draws, naming
# the key, the text found and the accepted range.
#   bash config.sh GAME PROBE ROW
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/common.sh"

row=${1:-}
cfg="unset"      # the text of allegro.cfg; "unset": no file at all
screen="800 600" # the Xvfb screen
play=            # "W H": the game must run at this size
refusal=         # or: the message it must end with
either=          # or, where both are sound: "W H|MESSAGE"

s='[Settings]'
range_x='in [Settings] is outside the accepted range 320 to 8192'
range_y='in [Settings] is outside the accepted range 200 to 8192'
whole_x='in [Settings] is not a whole number; accepted: 320 to 8192'
whole_y='in [Settings] is not a whole number; accepted: 200 to 8192'

case $row in
  # The defaults.
  no_file)         play="800 600" ;;
  empty_file)      cfg=''; play="800 600" ;;
  # Keys before any section, and in another section, are not the settings.
  no_section)      cfg=$'res_x = 640\nres_y = 480\n[Display]\nres_x = 1024\nres_y = 768'; play="800 600" ;;
  only_res_x)      cfg="$s"$'\nres_x = 1024'; screen="1024 600"; play="1024 600" ;;
  only_res_y)      cfg="$s"$'\nres_y = 768'; screen="800 768"; play="800 768" ;;
  # A leading zero is still decimal (not octal 0800).
  # Allegro gives an empty value as no value: the default.
  x_empty)         cfg="$s"$'\nres_x =\nres_y = 600'; play="800 600" ;;
  leading_zero)    cfg="$s"$'\nres_x = 0800\nres_y = 0600'; play="800 600" ;;
  # Just inside the accepted range, on a screen of that size.
  smallest)        cfg="$s"$'\nres_x = 320\nres_y = 200'; screen="320 200"; play="320 200" ;;
  widest)          cfg="$s"$'\nres_x = 8192\nres_y = 200'; screen="8192 200"; play="8192 200" ;;
  tallest)         cfg="$s"$'\nres_x = 320\nres_y = 8192'; screen="320 8192"; play="320 8192" ;;
  largest)         cfg="$s"$'\nres_x = 8192\nres_y = 8192'; screen="8192 8192"; play="8192 8192" ;;
  # The largest size on a screen too small for it: Allegro's X11 driver
  # opens a picture larger than the screen, centred; refusing with "cannot
  # set a mode" would be as sound. Never a crash.
  largest_small_screen)
                   cfg="$s"$'\nres_x = 8192\nres_y = 8192'
                   either="8192 8192|cannot set a 8192 x 8192 8-bit graphics mode: *" ;;
  # Not whole decimal numbers (Allegro itself would read "abc" as 0 and
  # "0x400" as 1024).
  x_text)          cfg="$s"$'\nres_x = abc'; refusal="res_x = \"abc\" $whole_x" ;;
  y_text)          cfg="$s"$'\nres_y = 6O0'; refusal="res_y = \"6O0\" $whole_y" ;;
  x_hex)           cfg="$s"$'\nres_x = 0x400'; refusal="res_x = \"0x400\" $whole_x" ;;
  x_fraction)      cfg="$s"$'\nres_x = 800.5'; refusal="res_x = \"800.5\" $whole_x" ;;
  x_unit)          cfg="$s"$'\nres_x = 1024 px'; refusal="res_x = \"1024 px\" $whole_x" ;;
  # Out of range.
  x_zero)          cfg="$s"$'\nres_x = 0'; refusal="res_x = 0 $range_x" ;;
  y_zero)          cfg="$s"$'\nres_y = 0'; refusal="res_y = 0 $range_y" ;;
  x_negative)      cfg="$s"$'\nres_x = -800'; refusal="res_x = -800 $range_x" ;;
  y_negative)      cfg="$s"$'\nres_y = -1'; refusal="res_y = -1 $range_y" ;;
  x_huge)          cfg="$s"$'\nres_x = 99999'; refusal="res_x = 99999 $range_x" ;;
  y_huge)          cfg="$s"$'\nres_y = 99999'; refusal="res_y = 99999 $range_y" ;;
  # 2^31 wraps to a negative int, 2^32 + 600 to 600, in 32-bit arithmetic.
  x_2pow31)        cfg="$s"$'\nres_x = 2147483648'; refusal="res_x = 2147483648 $range_x" ;;
  y_wraps_to_600)  cfg="$s"$'\nres_y = 4294967896'; refusal="res_y = 4294967896 $range_y" ;;
  x_beyond_long)   cfg="$s"$'\nres_x = 99999999999999999999999'; refusal="res_x = 99999999999999999999999 $range_x" ;;
  # Just outside.
  x_319)           cfg="$s"$'\nres_x = 319\nres_y = 200'; refusal="res_x = 319 $range_x" ;;
  y_199)           cfg="$s"$'\nres_x = 320\nres_y = 199'; refusal="res_y = 199 $range_y" ;;
  x_8193)          cfg="$s"$'\nres_x = 8193'; refusal="res_x = 8193 $range_x" ;;
  y_8193)          cfg="$s"$'\nres_y = 8193'; refusal="res_y = 8193 $range_y" ;;
  # Both wrong: res_x is read, and reported, first.
  both_wrong)      cfg="$s"$'\nres_x = 0\nres_y = abc'; refusal="res_x = 0 $range_x" ;;
  *) e2e_fail "unknown row '$row'" ;;
esac

read -r sw sh <<<"$screen"
e2e_start_xvfb "$sw" "$sh"
if [ "$cfg" = unset ]; then bad_start_game; else bad_start_game "$cfg"; fi

if [ -n "$refusal" ]; then
  bad_expect_refusal "$refusal"
elif [ -n "$play" ]; then
  read -r w h <<<"$play"
  if [ "$w" -gt 4096 ] && [ "$h" -gt 4096 ]; then
    # A screenshot of 8192 x 8192 takes ten seconds and more; the picture's
    # size and place, and a game that keeps running, are checked instead.
    bad_wait_picture "$w" "$h" || e2e_fail "the game ended at start"
    [ "$(bad_picture_size)" = "${w}x${h}+0+0" ] || e2e_fail "the picture is not at (0, 0)"
    sleep 1
    e2e_game_running || e2e_fail "the game ended while running at ${w}x${h}"
    bad_quit
  else
    bad_expect_play "$w" "$h"
  fi
else
  # Either the game refuses with the message, or it runs at the size.
  read -r w h <<<"${either%%|*}"
  pattern="stardrift: ${either#*|}"
  if bad_wait_picture "$w" "$h"; then
    sleep 1
    e2e_game_running || e2e_fail "the game ended while running at ${w}x${h}"
    e2e_log "runs at ${w}x${h} on a ${sw}x${sh} screen"
    bad_quit
  else
    e2e_wait_exit 1
    e2e_check_no_crash
    [ "$E2E_GAME_STATUS" = 1 ] || e2e_fail "the game ended with status $E2E_GAME_STATUS, want 1 with a message"
    got=$(grep '^stardrift: ' "$E2E_TMP/game.err") || e2e_fail "the game ended without a \"stardrift: \" message"
    # shellcheck disable=SC2053
    [[ $got == $pattern ]] || e2e_fail "the message is '$got', want '$pattern'"
    e2e_log "refused, status 1: $got"
  fi
fi
e2e_pass
