// asteroids.cpp -- asteroids drift left, wrap to the right, and burst when struck

#include "world/asteroids.h"

#include <cstdlib>

#include "frame/startup.h"
#include "sound/sound.h"
#include "world/blockmap.h"
#include "world/chance.h"
#include "world/explosions.h"
#include "world/state.h"

Asteroid *asteroids;
int asteroid_count;

static Blockmap asteroid_blocks;

void init_asteroids(int n)
{
    forget_things(&asteroid_blocks);
    asteroid_count = n;
    std::free(asteroids);
    asteroids = static_cast<Asteroid *>(std::malloc(sizeof(Asteroid) * static_cast<size_t>(n)));
    if (!asteroids)
        fatal_error("out of memory for %d asteroids", n);

    for (int i = 0; i < n; i++) {
        asteroids[i].x = static_cast<float>(rand_range(static_cast<int>(res_x * 0.5), res_x));
        asteroids[i].y = static_cast<float>(rand_range(static_cast<int>(res_y * 0.5), res_y));
    }
}

void update_asteroids()
{
    for (int i = 0; i < asteroid_count; i++) {
        Asteroid &a = asteroids[i];
        if (a.x < 0.0f) {
            a.x = static_cast<float>(res_x);
            a.y = static_cast<float>(rand_range(0, res_y));
        }
        a.x = a.x - asteroid_speed;
    }
}

void draw_asteroids()
{
    for (int i = 0; i < asteroid_count; i++)
        masked_blit(asteroid_bmp, back_buffer, 0, 0, static_cast<int>(asteroids[i].x),
                    static_cast<int>(asteroids[i].y), asteroid_bmp->w, asteroid_bmp->h);
}

void file_asteroids()
{
    start_filing(&asteroid_blocks, asteroid_count, asteroid_bmp->w, asteroid_bmp->h, 0);
    for (int i = 0; i < asteroid_count; i++)
        file_thing(&asteroid_blocks, i, static_cast<int>(asteroids[i].x),
                   static_cast<int>(asteroids[i].y));
}

void forget_asteroids()
{
    forget_things(&asteroid_blocks);
}

int asteroid_hit(int x, int y, int w, int h)
{
    int aw = asteroid_bmp->w;
    int ah = asteroid_bmp->h;
    int i = lowest_hit(asteroid_blocks, asteroid_count, x, y, w, h, [&](int k) {
        const Asteroid &a = asteroids[k];
        return check_collision(x, y, w, h, static_cast<int>(a.x), static_cast<int>(a.y), aw, ah) == 1;
    });
    if (i < 0)
        return 0;

    Asteroid &a = asteroids[i];
    play_sound(SOUND_ASTEROID);
    spawn_explosion(static_cast<int>(aw / 2 + a.x), static_cast<int>(ah / 2 + a.y), 50, 600, 129);
    a.x = static_cast<float>(-aw);
    file_thing(&asteroid_blocks, i, static_cast<int>(a.x), static_cast<int>(a.y));
    return 1;
}

void draw_hazards()
{
    draw_asteroids();
    if (asteroid_hit(static_cast<int>(player.x), static_cast<int>(player.y), PLAYER_W, PLAYER_H) == 1)
        lives = lives - 1;
    draw_explosions();
}

void free_asteroids()
{
    std::free(asteroids);
    asteroids = nullptr;
    asteroid_count = 0;
    free_blockmap(&asteroid_blocks);
}
