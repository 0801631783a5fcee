// asteroids.h -- the asteroid field, and the frame's hazard step

#ifndef STARDRIFT_WORLD_ASTEROIDS_H
#define STARDRIFT_WORLD_ASTEROIDS_H

struct Asteroid {
    float x, y;         // top-left of asteroid_bmp
};

extern Asteroid *asteroids;     // level * 2 of them, replaced at every level start
extern int asteroid_count;

// Replaces the field with n asteroids in the right and lower halves of the
// screen. Called by start_level.
void init_asteroids(int n);

// Moves every asteroid left by asteroid_speed; one already past the left edge
// first comes back at the right edge on a new row. Called by the physics task.
void update_asteroids();

// Files every asteroid by block, so that until forget_asteroids() a box is
// tested only against the asteroids near it. Called by the physics task after
// the asteroids move; a new field is not filed.
void file_asteroids();
void forget_asteroids();

// Draws every asteroid. Called by draw_hazards.
void draw_asteroids();

// 1 when the box (x, y, w, h) strikes an asteroid: the lowest-numbered one hit
// bursts with its sound and is parked beyond the left edge. Else 0.
// Called with the player's box by draw_hazards and with rocket boxes by
// update_rockets.
int asteroid_hit(int x, int y, int w, int h);

// Draws the asteroids, costs the player a life for each one touched, and draws
// the explosions. Called once per frame, after the stars.
void draw_hazards();

// Releases the field. Called at shutdown.
void free_asteroids();

#endif
