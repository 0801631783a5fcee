// explosions.h -- particle bursts that show every hit

#ifndef STARDRIFT_WORLD_EXPLOSIONS_H
#define STARDRIFT_WORLD_EXPLOSIONS_H

constexpr int EXPLOSION_SLOTS = 5;

struct Particle {
    float x, y;         // position
    float vx, vy;       // step per physics tick, before the drift
};

struct Explosion {
    int active;         // 1 while the burst is shown
    int color;          // palette index of every particle
    int age;            // milliseconds since the burst started
    int lifetime;       // age at which the burst is retired
    int count;          // number of particles
    Particle *particles; // owned by the slot until it is reused
};

extern Explosion explosions[EXPLOSION_SLOTS];

// Starts a ring of `count` particles at (x, y) in the first free slot, or
// drops the burst when all five are busy.
void spawn_explosion(int x, int y, int count, int lifetime, int color);

// Spreads every busy burst by one physics tick, drifting it left with the
// asteroid field. Called by the physics task.
void update_explosions();

// Ages every busy burst by ms, or retires it once it has reached its lifetime.
// Called by the tick task with 100.0.
void age_explosions(float ms);

// Draws the particles of every busy burst. Called by draw_hazards.
void draw_explosions();

// Releases every slot's particle array. Called at shutdown.
void free_explosions();

#endif
