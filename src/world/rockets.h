// rockets.h -- the rocket slots every ship carries, the player's and each alien's

#ifndef STARDRIFT_WORLD_ROCKETS_H
#define STARDRIFT_WORLD_ROCKETS_H

#include "world/state.h"

// Reload counts stop growing here: above every reload_time, so the firing
// rules are unchanged, and far below the integer's limit.
constexpr int RELOAD_CAP = 1000000;

// Launches one rocket from the ship if it has reloaded and has a free slot,
// with the launch sound. Called by the input task for the player while SPACE
// is held, and by update_aliens for an alien level with the player.
void fire_rocket(Ship *ship);

// Draws the ship's flying rockets. Called by draw_player and draw_aliens.
void draw_rockets(Ship *ship);

// Advances the ship's reload count and moves its rockets one physics tick,
// after testing each against the asteroids, the aliens and (unless the
// ship is the player's) the player's ship. Called by the physics task for
// the player and by update_aliens for every alien.
void update_rockets(Ship *ship);

#endif
