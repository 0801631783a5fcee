// state.h -- the world's records, its program-wide variables, and level setup

#ifndef STARDRIFT_WORLD_STATE_H
#define STARDRIFT_WORLD_STATE_H

#include <allegro.h>

constexpr int ROCKET_SLOTS = 4;
constexpr int PLAYER_W = 64;        // one frame of the ship strip, and the ship's box
constexpr int PLAYER_H = 33;

struct Rocket {
    int active;                     // 1 while the rocket flies
    float x, y;                     // top-left of the rocket sprite
    float speed;                    // pixels per physics tick, positive to the right
};

// The player's ship and every alien are Ships; the player is told apart
// only by being the `player` record itself.
struct Ship {
    int active;                     // 1 while alive; the player's stays 1
    int reload;                     // +20 per physics tick, 0 when firing
    int reload_time;                // reload needed before the next shot
    float x, y;                     // top-left of the ship's sprite
    float target_x, target_y;       // an alien's current waypoint
    float rocket_speed;             // launch speed of the next rocket
    float rocket_accel;             // added to each flying rocket per tick
    float step_x, step_y;           // the player's move per input tick
    Rocket rockets[ROCKET_SLOTS];
    BITMAP *rocket_sprite;          // drawn for, and the box of, this ship's rockets
};

extern int res_x, res_y;            // screen and back buffer size
extern BITMAP *back_buffer;         // every frame is composed here
extern PALETTE game_palette;        // the palette of the last sprite loaded

extern BITMAP *spaceship_bmp;       // five 64 x 33 frames side by side
extern BITMAP *enemy_bmp;
extern BITMAP *asteroid_bmp;
extern BITMAP *rocket_bmp;
extern BITMAP *alienrocket_bmp;
extern BITMAP *life_bmp;

extern Ship player;

extern float asteroid_speed;        // leftward drift of asteroids and bursts, (0, 15]
extern float star_speed;            // leftward drift of stars, [0, 10]; also the score rate
extern int level;
extern int score;
extern int lives;                   // the player is dead while lives < 1

// Puts the world into the state of level n (n >= 1): speeds, the player's
// place, a new asteroid field, star field and squadron; four lives at level 1.
// Called at start-up, by the restart after death, and when the last alien dies.
void start_level(int n);

#endif
