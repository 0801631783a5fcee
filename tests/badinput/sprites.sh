# The six sprites under graphics/: 8-bit BMP pictures, the ship strip at
# least 320 x 33 (five 64 x 33 frames), the life icon at least 20 x 9, the
# others at least 1 x 1 and none larger than 8192 x 8192. A sprite that is
# missing, unreadable, of the wrong kind or size ends the game before it
# draws, with a message naming the file (and the sizes); nothing is drawn
# with a missing picture. The game runs from a scratch copy of the data.
#   bash sprites.sh GAME PROBE ROW
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/common.sh"

CONVERT=/usr/bin/convert  # ImageMagick's; another convert may come first on PATH
row=${1:-}
e2e_copy_game_dir
g=$E2E_GAME_DIR/graphics
cannot_load() { echo "cannot load graphics/$1.bmp: missing, or not a BMP picture"; }

# put_le32 FILE OFFSET VALUE: writes VALUE as 4 little-endian bytes.
put_le32() {
  local hex
  hex=$(printf '%08x' "$3")
  printf "\\x${hex:6:2}\\x${hex:4:2}\\x${hex:2:2}\\x${hex:0:2}" |
    dd of="$1" bs=1 seek="$2" conv=notrunc status=none || e2e_fail "cannot patch $1"
}
# crop NAME WxH: the sprite cut down to its top-left WxH, still 8-bit.
crop() {
  "$CONVERT" "$E2E_REPO/graphics/$1.bmp" -crop "$2+0+0" +repage -compress None "BMP3:$g/$1.bmp" ||
    e2e_fail "convert failed"
}

refusal=
runs=
case $row in
  missing_spaceship | missing_enemy | missing_asteroid | missing_rocket | missing_alienrocket | missing_life)
    name=${row#missing_}
    rm "$g/$name.bmp"
    refusal=$(cannot_load "$name") ;;
  no_folder)
    rm -r "$g"
    refusal=$(cannot_load spaceship) ;;
  empty_file)
    : >"$g/enemy.bmp"
    refusal=$(cannot_load enemy) ;;
  text_file)
    printf 'This is not a picture.\n' >"$g/asteroid.bmp"
    refusal=$(cannot_load asteroid) ;;
  png_file)
    "$CONVERT" "$E2E_REPO/graphics/rocket.bmp" "PNG:$g/rocket.bmp" || e2e_fail "convert failed"
    refusal=$(cannot_load rocket) ;;
  header_only)
    head -c 30 "$E2E_REPO/graphics/alienrocket.bmp" >"$g/alienrocket.bmp"
    refusal=$(cannot_load alienrocket) ;;
  folder_not_file)
    rm "$g/life.bmp"
    mkdir "$g/life.bmp"
    refusal=$(cannot_load life) ;;
  spaceship_narrow)
    crop spaceship 319x33
    refusal="graphics/spaceship.bmp is 319 x 33; it must be at least 320 x 33" ;;
  spaceship_short)
    crop spaceship 320x32
    refusal="graphics/spaceship.bmp is 320 x 32; it must be at least 320 x 33" ;;
  life_narrow)
    crop life 19x9
    refusal="graphics/life.bmp is 19 x 9; it must be at least 20 x 9" ;;
  life_short)
    crop life 20x8
    refusal="graphics/life.bmp is 20 x 8; it must be at least 20 x 9" ;;
  no_pixels)
    # The header says 0 x 0.
    put_le32 "$g/enemy.bmp" 18 0
    put_le32 "$g/enemy.bmp" 22 0
    refusal="graphics/enemy.bmp is 0 x 0; it must be at least 1 x 1" ;;
  huge_header)
    # The header says 99999 x 99999 (the file holds a 48 x 30 picture):
    # Allegro's loader would allocate, and overrun, a bitmap of that size.
    put_le32 "$g/enemy.bmp" 18 99999
    put_le32 "$g/enemy.bmp" 22 99999
    refusal="graphics/enemy.bmp is 99999 x 99999; it must be at most 8192 x 8192" ;;
  wide_header)
    put_le32 "$g/asteroid.bmp" 18 8193
    refusal="graphics/asteroid.bmp is 8193 x 36; it must be at most 8192 x 8192" ;;
  truecolour)
    # A 24-bit picture would be converted, and would leave the game a
    # palette that is not the sprites' one.
    "$CONVERT" "$E2E_REPO/graphics/life.bmp" -type TrueColor "BMP3:$g/life.bmp" || e2e_fail "convert failed"
    refusal="graphics/life.bmp has 24 bits per pixel; the sprites must be 8-bit pictures" ;;
  truncated)
    # Cut in the middle of the pixels: Allegro reads what is there; the
    # rest of the picture is filled in. The game runs.
    head -c 1800 "$E2E_REPO/graphics/asteroid.bmp" >"$g/asteroid.bmp"
    runs=1 ;;
  *) e2e_fail "unknown row '$row'" ;;
esac

e2e_start_xvfb 800 600
bad_start_game
if [ -n "$runs" ]; then
  bad_expect_play 800 600
else
  bad_expect_refusal "$refusal"
fi
e2e_pass
