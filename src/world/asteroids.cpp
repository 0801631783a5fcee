// asteroids.cpp -- asteroids drift left, wrap to the right, and burst when struck

#include "world/asteroids.h"

#include <cstdlib>

#include "frame/startup.h"
#include "sound/sound.h"
#include "world/chance.h"
#include "world/explosions.h"
#include "world/state.h"

Asteroid *asteroids;
int asteroid_count;

void init_asteroids(int n)
{
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

int asteroid_hit(int x, int y, int w, int h)
{
    int aw = asteroid_bmp->w;
    int ah = asteroid_bmp->h;
    for (int i = 0; i < asteroid_count; i++) {
        Asteroid &a = asteroids[i];
        if (check_collision(x, y, w, h, static_cast<int>(a.x), static_cast<int>(a.y), aw, ah) != 1)
            continue;
        play_sound(SOUND_ASTEROID);
        spawn_explosion(static_cast<int>(aw / 2 + a.x), static_cast<int>(ah / 2 + a.y), 50, 600, 129);
        a.x = static_cast<float>(-aw);
        return 1;
    }
    return 0;
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
}
