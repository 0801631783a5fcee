// harness.h -- the headless world every unit test starts from

#ifndef STARDRIFT_TESTS_HARNESS_H
#define STARDRIFT_TESTS_HARNESS_H

#include <allegro.h>

// Puts the game into the state of a fresh start at res_x x res_y: no keys
// held, counters and bursts cleared, rand() seeded with 1, level 1 set up,
// a clear back buffer of that size, and an empty sound log.
void reset_world(int width = 800, int height = 600);

// Releases every key.
void release_keys();

// How many pixels of the rectangle have the palette index.
int count_color(BITMAP *bitmap, int color, int x, int y, int w, int h);

// Moves every asteroid far below the screen, out of reach of any box, and
// where hundreds of ticks of drift do not bring it back.
void park_asteroids();

// True when the sprite has opaque pixels and every one of them is in
// back_buffer at (x, y).
bool sprite_shown(BITMAP *sprite, int x, int y);

// Expects the speeds every level starts with: stars still, asteroids at 1,
// the player's rockets launched at rest.
void expect_start_speeds();

// How many sounds of the event were started since the last reset_world.
int sounds_of(int event);

#endif
