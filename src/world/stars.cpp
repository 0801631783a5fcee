// stars.cpp -- the star field: scattered at each level, scrolled at star_speed

#include "world/stars.h"

#include <cstdlib>

#include "world/state.h"

Star stars[STAR_COUNT];

void init_stars()
{
    for (int i = 0; i < STAR_COUNT; i++) {
        stars[i].x = static_cast<float>(std::rand() % res_x);
        stars[i].y = static_cast<float>(std::rand() % res_y);
    }
}

void update_stars()
{
    for (int i = 0; i < STAR_COUNT; i++) {
        Star &s = stars[i];
        if (s.x < 0.0f) {
            s.x = static_cast<float>(res_x);
            s.y = static_cast<float>(std::rand() % res_y);
        }
        s.x = s.x - star_speed;
    }
}

void draw_stars()
{
    for (int i = 0; i < STAR_COUNT; i++)
        putpixel(back_buffer, static_cast<int>(stars[i].x), static_cast<int>(stars[i].y), STAR_COLOR);
}
