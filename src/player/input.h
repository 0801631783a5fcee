// input.h -- the player's keys, the ship's movement, and the ship on screen

#ifndef STARDRIFT_PLAYER_INPUT_H
#define STARDRIFT_PLAYER_INPUT_H

// Reads the held keys: one movement step (UP, DOWN, LEFT, RIGHT, first held
// wins), or the restart with ENTER while dead and no arrow is held; then
// fires while SPACE is held. Run every 20 ms by the task dispatcher.
void input_task();

// Steps the ship by (dx, dy) unless it is already past that edge, and ties
// a horizontal step to the star, asteroid and rocket speeds.
// Called only by input_task.
void move_player(float dx, float dy);

// Draws the ship's frame for the arrow key held, then its rockets.
// Called once per frame, after the aliens.
void draw_player();

#endif
