# Sound at 800x600.
#   bash sound.sh GAME PROBE thrust | no_device
# thrust:    ALSA's default device writes everything the game plays into a
#            WAV file. Steering starts the thrust sound once per 100 ms
#            tick, at three times its recorded rate: each play in the
#            recording is a third as long as sounds/thrust.wav and has the
#            shape of the file sped up three times.
# no_device: ALSA has no device at all; the game runs silently, steers,
#            fires and ends with ESC as usual.
. "$(dirname "$0")/lib.sh"

THRUST=sounds/thrust.wav

# sound_runs WAV: prints "start end" (seconds) of every stretch of the
# recording with sound in it; a stretch ends at 5 ms of zeros on every
# channel (Allegro mixes silence as exact zeros). A stretch still sounding at
# the end of the recording, cut off when the game closed, gets a third word,
# "cut".
sound_runs() {
  sox "$1" -t dat - | awk '
    /^;/ { next }
    {
      sub(/\r$/, "")  # the lines end in CR LF
      t = $1; loud = 0
      for (i = 2; i <= NF; i++) if ($i != 0) loud = 1
      if (loud) { if (!on) { start = t; on = 1 } last = t }
      else if (on && t - last > 0.005) { printf "%.5f %.5f\n", start, last; on = 0 }
    }
    END { if (on) printf "%.5f %.5f cut\n", start, last }'
}

# best_correlation REF.dat WAV RATE "START ..." LAG: for each start time,
# prints the highest correlation (Pearson) between the reference and the
# recording's first channel from that time on, shifted by up to LAG samples.
best_correlation() {
  sox "$2" -t dat - | awk -v starts="$4" -v rate="$3" -v lag="$5" '
    FNR == NR { if ($1 !~ /^;/) ref[nr++] = $2; next }
    $1 ~ /^;/ { next }
    { rec[nrec++] = $2 }
    END {
      n = split(starts, s, " ")
      for (k = 1; k <= n; k++) {
        at = int(s[k] * rate + 0.5); best = -2
        for (d = -lag; d <= lag; d++) {
          m = 0; sx = sy = sxx = syy = sxy = 0
          for (i = 0; i < nr; i++) {
            j = at + i + d
            if (j < 0 || j >= nrec) continue
            x = ref[i]; y = rec[j]; m++
            sx += x; sy += y; sxx += x * x; syy += y * y; sxy += x * y
          }
          if (m < nr / 2) continue
          vx = sxx - sx * sx / m; vy = syy - sy * sy / m
          if (vx <= 0 || vy <= 0) continue
          c = (sxy - sx * sy / m) / sqrt(vx * vy)
          if (c > best) best = c
        }
        printf "%.4f\n", best
      }
    }' "$1" -
}

case ${1:-} in
  thrust | no_device) ;;
  *) e2e_fail "unknown case '${1:-}'" ;;
esac
command -v sox >/dev/null || e2e_fail "sox is not installed"

if [ "$1" = thrust ]; then
  # The plug turns Allegro's unsigned samples into signed ones, so that
  # silence is zero; the file plugin writes them to a WAV file and passes
  # them on to a device that discards them.
  WAV=$E2E_TMP/played.wav
  E2E_ALSA_CONF=$E2E_TMP/capture.conf
  cat >"$E2E_ALSA_CONF" <<EOF
pcm.!default {
  type plug
  slave {
    pcm {
      type file
      file "$WAV"
      format "wav"
      slave.pcm { type null }
    }
    format S16_LE
  }
}
ctl.!default { type hw card 0 }
EOF
else
  E2E_ALSA_CONF=$E2E_TMP/empty.conf
  : >"$E2E_ALSA_CONF"
fi

e2e_start_xvfb 800 600
e2e_start_game
e2e_wait_status_line 800 600
# The thrust sound is never started in the first 800 ms of a run.
sleep 1

if [ "$1" = no_device ]; then
  grep -q -F 'Unknown PCM default' "$E2E_TMP/game.err" ||
    e2e_fail "ALSA did not report a missing default device; is the game really without sound?"
  # Steering and firing start sound events with nothing to play them on.
  e2e_hold Up 1500
  e2e_hold space 600
  sleep 0.2
  e2e_game_running || e2e_fail "the game ended while steering and firing without a sound device"
  e2e_shot silent
  e2e_probe text "$E2E_SHOT" "Level: 1 Score: 0" "$sx" "$sy" 215 || e2e_fail "no status line"
  probed=$(e2e_probe box "$E2E_SHOT" 100 109) || e2e_fail "no ship on screen"
  read -r x0 y0 x1 y1 n <<<"$probed"
  [ "$y0" = 0 ] || e2e_fail "the ship did not reach the top edge (its top at y $y0)"
  e2e_probe box "$E2E_SHOT" 140 144 >/dev/null || e2e_fail "no rocket on screen after SPACE"
  e2e_log "without a sound device: the ship steered to the top and fired"
  e2e_quit 5
  e2e_pass
fi

# Steer up and down for about 2.5 s, one key at a time.
t0=$(e2e_now_ms)
for _ in 1 2 3 4 5; do
  e2e_hold Up 250
  e2e_hold Down 250
done
steered=$(( $(e2e_now_ms) - t0 ))
sleep 0.3
e2e_quit 5
e2e_log "steered for $steered ms"

[ -s "$WAV" ] || e2e_fail "the game played nothing into the recording device ($WAV missing or empty)"
rate=$(soxi -r "$WAV") && channels=$(soxi -c "$WAV") && length=$(soxi -D "$WAV") ||
  e2e_fail "sox cannot read the recording"
e2e_log "recording: $rate Hz, $channels channels, $length s"

file_length=$(soxi -D "$THRUST") || e2e_fail "sox cannot read $THRUST"
want=$(awk -v l="$file_length" 'BEGIN { printf "%.4f", l / 3 }')
lo=$(awk -v w="$want" 'BEGIN { printf "%.4f", w * 0.8 }')
hi=$(awk -v w="$want" 'BEGIN { printf "%.4f", w * 1.2 }')

sound_runs "$WAV" >"$E2E_TMP/runs" || e2e_fail "cannot read the samples of the recording"
e2e_log "$(wc -l <"$E2E_TMP/runs") stretches of sound; lengths: $(awk '{ printf "%.3f%s ", $2 - $1, (NF > 2 ? " (cut)" : "") }' "$E2E_TMP/runs")"
# Other sounds (aliens firing rockets, a hit) are longer, or merge with a
# thrust play into a longer stretch; every whole stretch of about a third of
# the file's length is one play of the thrust sound.
awk -v lo="$lo" -v hi="$hi" 'NF == 2 && $2 - $1 >= lo && $2 - $1 <= hi { print $1 }' "$E2E_TMP/runs" >"$E2E_TMP/thrusts"
plays=$(wc -l <"$E2E_TMP/thrusts")
most=$(( steered / 100 + 3 ))
e2e_log "$plays plays $lo..$hi s long (a third of $file_length s), at most $most allowed"
# Steering plays it every 100 ms tick; plays that merge with other sounds
# are not counted, and runs have seen from half to nearly all of them.
least=$(( (steered / 100 + 2) / 3 ))
[ "$plays" -ge "$least" ] ||
  e2e_fail "$plays thrust plays of $lo..$hi s in $steered ms of steering, want at least $least (a third of the ticks)"
[ "$plays" -le "$most" ] || e2e_fail "$plays thrust plays in $steered ms of steering, more than one per 100 ms tick"

# The shape: each play matches the file sped up three times (volume, pan
# and any offset aside).
sox "$THRUST" -r "$rate" -c 1 -t dat "$E2E_TMP/thrust3.dat" speed 3 || e2e_fail "sox cannot speed up $THRUST"
best_correlation "$E2E_TMP/thrust3.dat" "$WAV" "$rate" "$(tr '\n' ' ' <"$E2E_TMP/thrusts")" 10 >"$E2E_TMP/corr" ||
  e2e_fail "cannot correlate the recording with $THRUST"
e2e_log "correlation of each play with the file at three times its rate: $(tr '\n' ' ' <"$E2E_TMP/corr")"
poor=$(awk '$1 < 0.95' "$E2E_TMP/corr" | wc -l)
[ "$poor" = 0 ] || e2e_fail "$poor of $plays thrust plays do not have the shape of $THRUST at three times its rate"
e2e_pass
