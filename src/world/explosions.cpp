// explosions.cpp -- the five burst slots: spawned by hits, spread, aged, drawn

#include "world/explosions.h"

#include <cmath>
#include <cstdlib>

#include "frame/startup.h"
#include "world/state.h"

Explosion explosions[EXPLOSION_SLOTS];

void spawn_explosion(int x, int y, int count, int lifetime, int color)
{
    // 6.283 is a little short of a full turn, so the ring does not quite close.
    double step = 6.283 / count;

    int slot = 0;
    while (slot < EXPLOSION_SLOTS && explosions[slot].active == 1)
        slot++;
    if (slot == EXPLOSION_SLOTS)
        return;

    Explosion &e = explosions[slot];
    e.active = 1;
    e.age = 0;
    e.color = color;
    e.lifetime = lifetime;
    e.count = count;
    std::free(e.particles);
    e.particles = static_cast<Particle *>(std::malloc(sizeof(Particle) * static_cast<size_t>(count)));
    if (!e.particles)
        fatal_error("out of memory for an explosion of %d particles", count);

    for (int j = 0; j < count; j++) {
        Particle &p = e.particles[j];
        double angle = j * step;
        p.x = static_cast<float>(x);
        p.y = static_cast<float>(y);
        p.vx = static_cast<float>(std::cos(angle));
        p.vy = static_cast<float>(std::sin(angle));
    }
}

void update_explosions()
{
    for (int i = 0; i < EXPLOSION_SLOTS; i++) {
        Explosion &e = explosions[i];
        if (e.active != 1)
            continue;
        for (int j = 0; j < e.count; j++) {
            Particle &p = e.particles[j];
            p.x = p.x + p.vx - asteroid_speed;
            p.y = p.y + p.vy;
        }
    }
}

void age_explosions(float ms)
{
    for (int i = 0; i < EXPLOSION_SLOTS; i++) {
        Explosion &e = explosions[i];
        if (e.active == 1 && e.age >= e.lifetime)
            e.active = 0;
        else if (e.active == 1)
            e.age = static_cast<int>(e.age + static_cast<double>(ms));
    }
}

void draw_explosions()
{
    for (int i = 0; i < EXPLOSION_SLOTS; i++) {
        const Explosion &e = explosions[i];
        if (e.active != 1)
            continue;
        for (int j = 0; j < e.count; j++)
            putpixel(back_buffer, static_cast<int>(e.particles[j].x),
                     static_cast<int>(e.particles[j].y), e.color);
    }
}

void free_explosions()
{
    for (int i = 0; i < EXPLOSION_SLOTS; i++) {
        std::free(explosions[i].particles);
        explosions[i].particles = nullptr;
        explosions[i].active = 0;
    }
}
