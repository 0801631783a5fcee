// rockets.cpp -- firing, drawing and flying a ship's rockets, and what they hit

#include "world/rockets.h"

#include "sound/sound.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/chance.h"
#include "world/explosions.h"

void fire_rocket(Ship *ship)
{
    if (ship->reload < ship->reload_time)
        return;

    int slot = 0;
    while (slot < ROCKET_SLOTS && ship->rockets[slot].active != 0)
        slot++;
    if (slot == ROCKET_SLOTS)
        return;

    play_sound(SOUND_ROCKET);
    ship->reload = 0;
    Rocket &r = ship->rockets[slot];
    r.active = 1;
    r.x = ship->x;
    // Every ship's rockets leave at the height of the player's sprite strip.
    r.y = static_cast<float>(static_cast<double>(ship->y) + spaceship_bmp->h - 5);
    r.speed = ship->rocket_speed;
}

void draw_rockets(Ship *ship)
{
    BITMAP *sprite = ship->rocket_sprite;
    for (int i = 0; i < ROCKET_SLOTS; i++) {
        const Rocket &r = ship->rockets[i];
        if (r.active == 1)
            masked_blit(sprite, back_buffer, 0, 0, static_cast<int>(r.x), static_cast<int>(r.y),
                        sprite->w, sprite->h);
    }
}

// The player's ship is hit by another ship's rocket: one life, a sound, a burst.
static void hit_player(Rocket &r)
{
    play_sound(SOUND_SPACESHIP);
    spawn_explosion(static_cast<int>(player.x + 32), static_cast<int>(player.y + 16), 150, 600, 86);
    r.active = 0;
    lives = lives - 1;
}

void update_rockets(Ship *ship)
{
    if (ship->reload < RELOAD_CAP)
        ship->reload = ship->reload + 20;

    for (int i = 0; i < ROCKET_SLOTS; i++) {
        Rocket &r = ship->rockets[i];
        if (r.x > static_cast<float>(res_x) || r.x < 0.0f) {
            r.active = 0;
            continue;
        }
        if (r.active != 1)
            continue;

        int x = static_cast<int>(r.x);
        int y = static_cast<int>(r.y);
        int w = ship->rocket_sprite->w;
        int h = ship->rocket_sprite->h;
        if (asteroid_hit(x, y, w, h) == 1)
            r.active = 0;
        else if (alien_hit(ship, x, y, w, h) == 1)
            r.active = 0;
        else if (ship != &player
                 && check_collision(static_cast<int>(player.x), static_cast<int>(player.y),
                                    PLAYER_W, PLAYER_H, x, y, w, h) == 1)
            hit_player(r);

        r.x = r.x + r.speed;
        r.speed = r.speed + ship->rocket_accel;
    }
}
