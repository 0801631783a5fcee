// aliens.h -- the alien squadron of a level

#ifndef STARDRIFT_WORLD_ALIENS_H
#define STARDRIFT_WORLD_ALIENS_H

#include "world/state.h"

extern Ship *aliens;            // level + 1 of them, replaced at every level start
extern int alien_count;
extern int aliens_alive;        // always the number of aliens whose active is 1

// Replaces the squadron with n aliens flying in from the right, each with a
// random row and first waypoint. Called by start_level as its last step.
void init_aliens(int n);

// Draws every live alien, and every alien's rockets, live or not.
// Called once per frame, after the hazards.
void draw_aliens();

// For each alien in turn: moves its rockets, then, if it is alive, fires when
// level with the player and steps one pixel toward its waypoint.
// Called by the physics task.
void update_aliens();

// Files every alien by block, so that until forget_aliens() a rocket is
// tested only against the aliens near it. Called by the physics task before
// the aliens move; a new squadron is not filed.
void file_aliens();
void forget_aliens();

// 1 when the shooter's rocket box (x, y, w, h) destroyed an alien: the
// lowest-numbered live alien other than a live shooter. Destroying the last
// one starts the next level before returning. Else 0. Called by update_rockets.
int alien_hit(Ship *shooter, int x, int y, int w, int h);

// Releases the squadron. Called at shutdown, after the tasks are removed.
void free_aliens();

#endif
