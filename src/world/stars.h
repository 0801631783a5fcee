// stars.h -- the scrolling star field behind everything

#ifndef STARDRIFT_WORLD_STARS_H
#define STARDRIFT_WORLD_STARS_H

constexpr int STAR_COUNT = 200;
constexpr int STAR_COLOR = 210;

struct Star {
    float x, y;
};

extern Star stars[STAR_COUNT];

// Scatters every star on a whole pixel of the screen. Called by start_level.
void init_stars();

// Moves every star left by star_speed; a star already left of the screen
// first comes back at the right edge on a new row. Called by the physics task.
void update_stars();

// Draws every star as one pixel into back_buffer. Called first in each frame.
void draw_stars();

#endif
