#!/usr/bin/env bash
# Builds Stardrift's sound effects with sox.
#
#   usage: assets/make_sounds.sh [OUT_DIR]      (OUT_DIR defaults to sounds/)
#
# Every effect is 16-bit PCM mono WAV at 22050 Hz, the format Allegro's
# load_sample reads. sox runs with -R (repeatable mode), which seeds its noise
# generators with a fixed number, so regenerating gives byte-identical files.
#
# Each effect is made from one or two layers, mixed, then normalised.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/sounds}"
mkdir -p "$out"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

FORMAT=(-r 22050 -b 16 -c 1)

# layer NAME SECONDS SYNTH-AND-EFFECTS...   -> $work/NAME.wav
layer() {
    local name="$1" seconds="$2"
    shift 2
    sox -R "${FORMAT[@]}" -n "${FORMAT[@]}" "$work/$name.wav" synth "$seconds" "$@"
}

# mixdown OUTPUT PEAK_DB LAYER LAYER...   -> $out/OUTPUT.wav, its loudest
# sample (positive or negative) brought to PEAK_DB
mixdown() {
    local name="$1" peak="$2"
    shift 2
    local inputs=()
    for l in "$@"; do inputs+=("$work/$l.wav"); done
    sox -R -m "${inputs[@]}" "${FORMAT[@]}" "$out/$name.wav" norm "$peak"
}

# rocket: a short whoosh of hissing noise over a falling whistle.
layer rocket_hiss 0.25 whitenoise gain -6 highpass 1200 band -n 3000 2000 fade q 0.015 0.25 0.2
layer rocket_whistle 0.25 sine 2200-500 fade h 0.005 0.25 0.22 vol 0.35
mixdown rocket -3 rocket_hiss rocket_whistle

# asteroid: rock shattering; a crunchy, overdriven noise burst that dies away.
layer rock_crunch 0.5 whitenoise gain -6 lowpass 2500 lowpass 2500 overdrive 12 fade l 0.004 0.5 0.47
layer rock_thud 0.5 brownnoise lowpass 400 fade l 0.002 0.5 0.4 vol 0.8
mixdown asteroid -2 rock_crunch rock_thud

# alien: the alien ship's warbling tone sliding down while its hull crackles.
layer alien_tone 0.7 square 1100-110 tremolo 22 70 fade l 0.005 0.7 0.6 vol 0.45
layer alien_crackle 0.7 whitenoise gain -6 highpass 1800 tremolo 37 95 fade l 0.01 0.7 0.65 vol 0.6
mixdown alien -3 alien_tone alien_crackle

# spaceship: the player's ship blowing up; a deep rumble with a sub-bass thump.
layer ship_rumble 0.9 brownnoise lowpass 700 overdrive 18 gain -4 lowpass 900 fade l 0.01 0.9 0.85
layer ship_thump 0.9 sine 95-28 fade l 0.003 0.9 0.8 vol 0.9
mixdown spaceship -1 ship_rumble ship_thump

# thrust: the engine's low roar. The game plays it at three times the rate
# (and so an octave and a half higher), hence the dark, muffled noise here.
layer thrust_roar 0.3 brownnoise lowpass 1000 fade q 0.02 0.3 0.03
layer thrust_hiss 0.3 pinknoise lowpass 2500 fade q 0.02 0.3 0.03 vol 0.35
mixdown thrust -6 thrust_roar thrust_hiss

# Check what came out: format and length of every effect.
check() {
    local name="$1" want="$2" file="$out/$1.wav"
    local rate channels bits seconds
    rate="$(soxi -r "$file")"
    channels="$(soxi -c "$file")"
    bits="$(soxi -b "$file")"
    seconds="$(soxi -D "$file")"
    if [ "$rate" != 22050 ] || [ "$channels" != 1 ] || [ "$bits" != 16 ]; then
        echo "make_sounds: $file is ${rate} Hz, ${channels} channel(s), ${bits}-bit; want 22050 Hz mono 16-bit" >&2
        exit 1
    fi
    if ! awk -v s="$seconds" -v w="$want" 'BEGIN { exit !(s > w - 0.01 && s < w + 0.01) }'; then
        echo "make_sounds: $file lasts ${seconds}s; want ${want}s" >&2
        exit 1
    fi
    echo "make_sounds: wrote ${file#"$root"/} (${seconds}s)"
}
check rocket 0.25
check asteroid 0.5
check alien 0.7
check spaceship 0.9
check thrust 0.3
