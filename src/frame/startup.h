// startup.h -- bringing the game up, and taking it down

#ifndef STARDRIFT_FRAME_STARTUP_H
#define STARDRIFT_FRAME_STARTUP_H

#include <allegro.h>

// Accepted screen sizes; anything else in the configuration is refused
// before a graphics mode is tried.
constexpr int MIN_RES_X = 320, MAX_RES_X = 8192;
constexpr int MIN_RES_Y = 200, MAX_RES_Y = 8192;

// Brings up Allegro, keyboard, timer and sound, reads the screen size, opens
// the 8-bit mode, loads sprites and sounds, starts level 1 and, last of all,
// installs the periodic tasks. Any failure ends the program with a message.
void init_game();

// Removes the tasks, then releases sprites, back buffer, sounds and the
// world's arrays. Called by main after its loop.
void shutdown_game();

// Reads res_x and res_y from section "Settings" (800 x 600 by default),
// ending the program with a message when either is not a whole number
// within the accepted range.
void read_settings();

// Loads the six sprites, each receiving game_palette, and sets the palette.
// A missing or unreadable sprite, one that is not 8-bit, or one too small or
// too large ends the program with a message.
void load_graphics();

// Destroys the six sprites and the back buffer.
void unload_graphics();

// Clears a bitmap to colour 0.
void clear_buffer(BITMAP *bitmap);

// Leaves any graphics mode, prints "stardrift: <message>" on stderr and
// exits with status 1.
[[noreturn]] void fatal_error(const char *format, ...)
    __attribute__((format(printf, 1, 2)));

#endif
