// aliens.cpp -- the squadron: flies in, roams between waypoints, fires, dies

#include "world/aliens.h"

#include <cstdlib>

#include "frame/startup.h"
#include "sound/sound.h"
#include "world/blockmap.h"
#include "world/chance.h"
#include "world/explosions.h"
#include "world/rockets.h"

Ship *aliens;
int alien_count;
int aliens_alive;

static Blockmap alien_blocks;

// Waypoints lie in the right three quarters of the screen.
static void new_waypoint(Ship &a)
{
    a.target_x = static_cast<float>(rand_range(static_cast<int>(res_x * 0.25), res_x));
    a.target_y = static_cast<float>(rand_range(0, res_y));
}

void init_aliens(int n)
{
    forget_things(&alien_blocks);
    alien_count = n;
    aliens_alive = n;
    std::free(aliens);
    aliens = static_cast<Ship *>(std::calloc(static_cast<size_t>(n), sizeof(Ship)));
    if (!aliens)
        fatal_error("out of memory for %d aliens", n);

    for (int i = 0; i < n; i++) {
        Ship &a = aliens[i];
        // 800, not res_x: on a wider screen the squadron starts inside it.
        a.x = static_cast<float>(enemy_bmp->w + 800);
        a.y = static_cast<float>(rand_range(0, res_y));
        new_waypoint(a);
        a.active = 1;
        a.rocket_speed = -1.0f;
        a.rocket_accel = -0.3f;
        a.reload_time = 800;
        a.rocket_sprite = alienrocket_bmp;
    }
}

void draw_aliens()
{
    for (int i = 0; i < alien_count; i++) {
        Ship &a = aliens[i];
        if (a.active == 1)
            masked_blit(enemy_bmp, back_buffer, 0, 0, static_cast<int>(a.x), static_cast<int>(a.y),
                        enemy_bmp->w, enemy_bmp->h);
        draw_rockets(&a);
    }
}

static void step_toward(float &pos, float target)
{
    if (pos < target)
        pos = pos + 1;
    else if (pos > target)
        pos = pos - 1;
}

void update_aliens()
{
    // An alien's rocket never destroys the last alien (its shooter is alive),
    // so no level change can replace the array during this walk.
    for (int i = 0; i < alien_count; i++) {
        Ship &a = aliens[i];
        update_rockets(&a);
        if (a.active != 1)
            continue;

        double py = player.y;
        if (py - 33 < a.y && a.y < py + 33)
            fire_rocket(&a);

        if (a.x == a.target_x && a.y == a.target_y)
            new_waypoint(a);

        step_toward(a.x, a.target_x);
        step_toward(a.y, a.target_y);
    }
}

void file_aliens()
{
    // An alien steps at most one pixel each way per tick: a reach of one
    // pixel finds it wherever it stands during the tick.
    start_filing(&alien_blocks, alien_count, enemy_bmp->w, enemy_bmp->h, 1);
    for (int i = 0; i < alien_count; i++)
        file_thing(&alien_blocks, i, static_cast<int>(aliens[i].x), static_cast<int>(aliens[i].y));
}

void forget_aliens()
{
    forget_things(&alien_blocks);
}

int alien_hit(Ship *shooter, int x, int y, int w, int h)
{
    int ew = enemy_bmp->w;
    int eh = enemy_bmp->h;
    int i = lowest_hit(alien_blocks, alien_count, x, y, w, h, [&](int k) {
        const Ship &a = aliens[k];
        return check_collision(x, y, w, h, static_cast<int>(a.x), static_cast<int>(a.y), ew, eh) == 1
            && a.active == 1 && shooter->active == 1 && shooter != &a;
    });
    if (i < 0)
        return 0;

    Ship &a = aliens[i];
    play_sound(SOUND_ALIEN);
    spawn_explosion(static_cast<int>(a.x + ew / 2), static_cast<int>(a.y + eh / 2), 100, 2000, 14);
    a.active = 0;
    aliens_alive = aliens_alive - 1;
    // Only a player's rocket gets here with the last alien; the next level
    // replaces this array, so nothing may touch `a` after it.
    if (aliens_alive < 1)
        start_level(level + 1);
    return 1;
}

void free_aliens()
{
    std::free(aliens);
    aliens = nullptr;
    alien_count = 0;
    aliens_alive = 0;
    free_blockmap(&alien_blocks);
}
