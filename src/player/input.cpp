// input.cpp -- steering, firing and restarting, and drawing the player's ship

#include "player/input.h"

#include <allegro.h>

#include "frame/tasks.h"
#include "world/rockets.h"
#include "world/state.h"

void input_task()
{
    if (key[KEY_UP])
        move_player(0, -player.step_y);
    else if (key[KEY_DOWN])
        move_player(0, player.step_y);
    else if (key[KEY_LEFT])
        move_player(-player.step_x, 0);
    else if (key[KEY_RIGHT])
        move_player(player.step_x, 0);
    else if (key[KEY_ENTER] && lives < 1) {
        score = 0;
        start_level(1);
    }

    if (key[KEY_SPACE])
        fire_rocket(&player);
}

void move_player(float dx, float dy)
{
    thrust_flag = 1.0f;

    // The edge tests look at the place before the step, so the ship may
    // come to rest up to one step past an edge.
    if (dx > 0 && player.x + PLAYER_W > res_x)
        dx = 0;
    if (dx < 0 && player.x < 0)
        dx = 0;
    if (dy > 0 && player.y + PLAYER_H > res_y)
        dy = 0;
    if (dy < 0 && player.y < 0)
        dy = 0;

    player.y = player.y + dy;
    player.x = player.x + dx;

    player.rocket_speed = player.rocket_speed + dx;
    if (player.rocket_speed < 0)
        player.rocket_speed = 0;

    star_speed = star_speed + dx;
    if (star_speed > 10)
        star_speed = 10;
    if (star_speed < 0)
        star_speed = 0;

    // Asteroids never stop: a step that would halt them sets them to 1.0.
    asteroid_speed = asteroid_speed + dx;
    if (asteroid_speed > 15)
        asteroid_speed = 15;
    if (asteroid_speed <= 0)
        asteroid_speed = 1.0f;
}

// Source x of the strip's frame for the arrow key held; RIGHT shows first.
static int ship_frame()
{
    if (key[KEY_RIGHT])
        return 64;
    if (key[KEY_LEFT])
        return 128;
    if (key[KEY_UP])
        return 192;
    if (key[KEY_DOWN])
        return 256;
    return 0;
}

void draw_player()
{
    masked_blit(spaceship_bmp, back_buffer, ship_frame(), 0, static_cast<int>(player.x),
                static_cast<int>(player.y), PLAYER_W, PLAYER_H);
    draw_rockets(&player);
}
