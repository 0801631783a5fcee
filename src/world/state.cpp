// state.cpp -- the world's program-wide variables and level setup

#include "world/state.h"

#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/stars.h"

int res_x, res_y;
BITMAP *back_buffer;
PALETTE game_palette;

BITMAP *spaceship_bmp;
BITMAP *enemy_bmp;
BITMAP *asteroid_bmp;
BITMAP *rocket_bmp;
BITMAP *alienrocket_bmp;
BITMAP *life_bmp;

Ship player;

float asteroid_speed;
float star_speed;
int level;
int score;
int lives;

void start_level(int n)
{
    level = n;
    asteroid_speed = 1.0f;
    star_speed = 0.0f;

    player.x = static_cast<float>(static_cast<int>(res_x * 0.0625));
    player.y = static_cast<float>(static_cast<int>(res_y * 0.5));
    player.step_x = 0.5f;
    player.step_y = 5.0f;
    player.rocket_accel = 0.1f;
    player.reload_time = 400;
    player.active = 1;
    player.rocket_sprite = rocket_bmp;
    player.rocket_speed = 0.0f;

    if (n == 1)
        lives = 4;

    init_asteroids(n * 2);
    init_stars();
    init_aliens(n + 1);
}
