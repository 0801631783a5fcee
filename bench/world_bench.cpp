// world_bench.cpp -- what one physics tick, one frame's composition and the
// frame's copy-and-clear cost, at levels 1, 10, 50 and 200.
//
// Run from the repository root (graphics/ and sounds/ are loaded from there).
// Allegro runs without a display: every bitmap is a memory bitmap, and
// back_buffer is 800 x 600 at 8 bits, as in the game.
//
// The world is put into its heaviest steady state for a level: every rocket
// slot of the player and of every alien is flying, and all five explosion
// slots hold a burst of 150 particles (the largest burst the game makes).
// No rocket hits anything, so every one is looked up in full and the state
// stays the same from tick to tick. The rockets fly either in lanes above
// the field of asteroids and aliens (BM_physics_tick), or among the field
// wherever a rocket's box keeps clear of everything
// (BM_physics_tick_among_field): there the blocks a rocket looks in hold
// asteroids and aliens, and more of them the higher the level. The player
// stands clear of the asteroids, so the frame's hazard test also scans the
// whole field without a hit.
//
// Each iteration restores that state (and rand()'s seed) outside the timed
// region and then times exactly one physics_task() or compose_frame() with
// the steady clock, so every iteration measures the same tick or frame.
// After the loop the state is checked: if anything was hit, the benchmark
// reports an error instead of a figure and the program exits with status 1.
//
// Besides the mean time of an iteration (Google Benchmark's "Time"), each
// benchmark reports the median of its single iterations as the counter
// "median_us". A process that shares its core with others is descheduled for
// whole milliseconds at a time; that lands in a few iterations and lifts the
// mean, while the median stays the cost of the work itself.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <allegro.h>

#include "frame/display.h"
#include "frame/startup.h"
#include "frame/tasks.h"
#include "sound/sound.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/chance.h"
#include "world/explosions.h"
#include "world/rockets.h"
#include "world/stars.h"
#include "world/state.h"

namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr int BURST_PARTICLES = 150;
constexpr unsigned SEED = 12345;
// The worst case's lives and speeds, set up and restored alike.
constexpr int LIVES = 4;
constexpr float STAR_SPEED = 5.0f;
constexpr float ASTEROID_SPEED = 3.0f;

bool worst_case_broken = false;

// Where the rockets fly: in lanes above the field, or among it.
enum RocketPlaces { IN_LANES, AMONG_FIELD };

// The world of one level in its worst case, and a copy to restore it from.
class WorstCase {
public:
    WorstCase(int n, RocketPlaces places)
    {
        res_x = WIDTH;
        res_y = HEIGHT;
        std::srand(SEED);
        std::memset(&player, 0, sizeof player);
        free_explosions();
        start_level(n);
        lives = LIVES;
        score = 123450;
        show_fps = 1;
        fps = 50;
        star_speed = STAR_SPEED;
        asteroid_speed = ASTEROID_SPEED;

        // Player: left, between the rocket lanes and the field.
        player.x = 10;
        player.y = 110;
        player.reload = RELOAD_CAP;

        // Asteroids and aliens: spread over x 100..740, y 150..560, on screen.
        for (int i = 0; i < asteroid_count; i++) {
            asteroids[i].x = static_cast<float>(100 + (i * 37) % (WIDTH - 100 - asteroid_bmp->w));
            asteroids[i].y = static_cast<float>(150 + (i * 53) % (HEIGHT - 150 - asteroid_bmp->h));
        }
        for (int i = 0; i < alien_count; i++) {
            Ship &a = aliens[i];
            a.x = static_cast<float>(100 + (i * 41) % (WIDTH - 100 - enemy_bmp->w));
            a.y = static_cast<float>(150 + (i * 29) % (HEIGHT - 150 - enemy_bmp->h));
            // A waypoint a long way off: one step per tick, no new waypoint.
            a.target_x = a.x < WIDTH / 2 ? a.x + 200 : a.x - 200;
            a.target_y = a.y < HEIGHT / 2 ? a.y + 100 : a.y - 100;
            a.reload = RELOAD_CAP;
        }

        // Rockets: every slot flying, in lanes y 30..95, x 100..700, or
        // among the field where there is room.
        arm_rockets(player, 2.0f, 0, places);
        for (int i = 0; i < alien_count; i++)
            arm_rockets(aliens[i], -2.0f, i + 1, places);

        for (int e = 0; e < EXPLOSION_SLOTS; e++)
            spawn_explosion(150 + 120 * e, 200 + 60 * e, BURST_PARTICLES, 600, 86);

        // The copy to restore from.
        saved_player = player;
        saved_asteroids.assign(asteroids, asteroids + asteroid_count);
        saved_aliens.assign(aliens, aliens + alien_count);
        std::memcpy(saved_stars, stars, sizeof stars);
        for (int e = 0; e < EXPLOSION_SLOTS; e++) {
            saved_explosions[e] = explosions[e];
            saved_particles[e].assign(explosions[e].particles,
                                      explosions[e].particles + explosions[e].count);
        }
        saved_aliens_alive = aliens_alive;
        saved_level = level;
    }

    // Puts the world back as it was set up; not timed.
    void restore()
    {
        std::srand(SEED);
        player = saved_player;
        std::memcpy(asteroids, saved_asteroids.data(), sizeof(Asteroid) * saved_asteroids.size());
        std::memcpy(aliens, saved_aliens.data(), sizeof(Ship) * saved_aliens.size());
        std::memcpy(stars, saved_stars, sizeof stars);
        for (int e = 0; e < EXPLOSION_SLOTS; e++) {
            Particle *own = explosions[e].particles;
            explosions[e] = saved_explosions[e];
            explosions[e].particles = own;
            std::memcpy(own, saved_particles[e].data(), sizeof(Particle) * saved_particles[e].size());
        }
        aliens_alive = saved_aliens_alive;
        lives = LIVES;
        star_speed = STAR_SPEED;
        asteroid_speed = ASTEROID_SPEED;
    }

    // True while nothing was hit and no level changed: the state is still
    // the worst case that was set up.
    bool intact() const
    {
        if (level != saved_level || alien_count != static_cast<int>(saved_aliens.size())
            || aliens_alive != alien_count || lives != LIVES)
            return false;
        for (int e = 0; e < EXPLOSION_SLOTS; e++)
            if (explosions[e].active != 1 || explosions[e].count != BURST_PARTICLES)
                return false;
        if (!all_flying(player))
            return false;
        for (int i = 0; i < alien_count; i++)
            if (aliens[i].active != 1 || !all_flying(aliens[i]))
                return false;
        return true;
    }

    int rockets() const { return ROCKET_SLOTS * (1 + alien_count); }
    int rockets_among_field() const { return among_field; }

private:
    void arm_rockets(Ship &ship, float speed, int lane, RocketPlaces places)
    {
        for (int r = 0; r < ROCKET_SLOTS; r++) {
            Rocket &k = ship.rockets[r];
            int slot = lane * ROCKET_SLOTS + r;
            k.active = 1;
            k.x = static_cast<float>(100 + (slot * 47) % 600);
            k.y = static_cast<float>(30 + (slot * 7) % 60);
            k.speed = speed;
            if (places == AMONG_FIELD && place_among_field(k, ship.rocket_sprite, slot))
                among_field++;
        }
    }

    // Tries a fixed sequence of places over the field (x 100..740, y
    // 150..560) for the rocket, taking the first where its box stays 3 pixels
    // clear of every asteroid and alien (which step a pixel before some
    // rockets are tested) and of the player's ship.
    static bool place_among_field(Rocket &k, const BITMAP *sprite, int slot)
    {
        constexpr int TRIES = 300;
        constexpr int CLEAR = 3;
        for (int t = 0; t < TRIES; t++) {
            int seq = slot * TRIES + t;
            int x = 100 + (seq * 97) % 640;
            int y = 150 + (seq * 61) % 410;
            auto apart = [&](float ox, float oy, int ow, int oh) {
                return check_collision(x - CLEAR, y - CLEAR, sprite->w + 2 * CLEAR, sprite->h + 2 * CLEAR,
                                       static_cast<int>(ox), static_cast<int>(oy), ow, oh) != 1;
            };
            bool clear = apart(player.x, player.y, PLAYER_W, PLAYER_H);
            for (int i = 0; clear && i < asteroid_count; i++)
                clear = apart(asteroids[i].x, asteroids[i].y, asteroid_bmp->w, asteroid_bmp->h);
            for (int i = 0; clear && i < alien_count; i++)
                clear = apart(aliens[i].x, aliens[i].y, enemy_bmp->w, enemy_bmp->h);
            if (clear) {
                k.x = static_cast<float>(x);
                k.y = static_cast<float>(y);
                return true;
            }
        }
        return false;
    }

    static bool all_flying(const Ship &ship)
    {
        for (const Rocket &r : ship.rockets)
            if (r.active != 1)
                return false;
        return true;
    }

    Ship saved_player;
    std::vector<Asteroid> saved_asteroids;
    std::vector<Ship> saved_aliens;
    Star saved_stars[STAR_COUNT];
    Explosion saved_explosions[EXPLOSION_SLOTS];
    std::vector<Particle> saved_particles[EXPLOSION_SLOTS];
    int saved_aliens_alive;
    int saved_level;
    int among_field = 0;
};

void describe(benchmark::State &state, const WorstCase &world)
{
    state.counters["level"] = static_cast<double>(level);
    state.counters["asteroids"] = asteroid_count;
    state.counters["aliens"] = alien_count;
    state.counters["rockets"] = world.rockets();
    state.counters["rockets_among_field"] = world.rockets_among_field();
    state.counters["particles"] = EXPLOSION_SLOTS * BURST_PARTICLES;
}

void check(benchmark::State &state, const WorstCase &world)
{
    if (!world.intact()) {
        worst_case_broken = true;
        state.SkipWithError("the worst case did not hold: something was hit");
    }
}

using Clock = std::chrono::steady_clock;

// The times of single iterations: each is handed to Google Benchmark, and
// their median is reported as the counter "median_us".
class IterationTimes {
public:
    void record(benchmark::State &state, Clock::time_point from, Clock::time_point to)
    {
        double seconds = std::chrono::duration<double>(to - from).count();
        state.SetIterationTime(seconds);
        samples.push_back(seconds);
    }

    void report(benchmark::State &state)
    {
        if (samples.empty())
            return;
        size_t middle = samples.size() / 2;
        std::nth_element(samples.begin(), samples.begin() + static_cast<long>(middle), samples.end());
        state.counters["median_us"] = samples[middle] * 1e6;
    }

private:
    std::vector<double> samples;
};

// Times one call of `step` per iteration, from the same worst case each time.
// The back buffer is cleared outside the timing, as the frame loop clears it
// after the copy.
void time_step(benchmark::State &state, RocketPlaces places, void (*step)())
{
    WorstCase world(static_cast<int>(state.range(0)), places);
    IterationTimes times;
    for (auto _ : state) {
        world.restore();
        clear_buffer(back_buffer);
        Clock::time_point start = Clock::now();
        step();
        Clock::time_point end = Clock::now();
        times.record(state, start, end);
    }
    times.report(state);
    check(state, world);
    describe(state, world);
}

// One physics tick: stars, asteroids, bursts, aliens with their rockets, the
// player's rockets.
void BM_physics_tick(benchmark::State &state)
{
    time_step(state, IN_LANES, physics_task);
}

void BM_physics_tick_among_field(benchmark::State &state)
{
    time_step(state, AMONG_FIELD, physics_task);
}

// One frame composed into back_buffer: stars, asteroids and the hazard test,
// bursts, aliens and their rockets, the player and its rockets, life icons,
// the FPS line and the status line.
void BM_compose_frame(benchmark::State &state)
{
    time_step(state, IN_LANES, compose_frame);
}

// The floor under every frame: back_buffer copied whole into another 800 x
// 600 8-bit memory bitmap (standing in for the screen), then cleared.
void BM_copy_and_clear(benchmark::State &state)
{
    BITMAP *target = create_bitmap(WIDTH, HEIGHT);
    clear_bitmap(target);
    IterationTimes times;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        blit(back_buffer, target, 0, 0, 0, 0, res_x, res_y);
        clear_buffer(back_buffer);
        benchmark::ClobberMemory();
        Clock::time_point end = Clock::now();
        times.record(state, start, end);
    }
    times.report(state);
    destroy_bitmap(target);
}

BENCHMARK(BM_physics_tick)->Arg(1)->Arg(10)->Arg(50)->Arg(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_physics_tick_among_field)->Arg(1)->Arg(10)->Arg(50)->Arg(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_compose_frame)->Arg(1)->Arg(10)->Arg(50)->Arg(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_copy_and_clear)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
        std::fprintf(stderr, "world_bench: cannot start Allegro without a display\n");
        return 1;
    }
    set_color_depth(8);
    res_x = WIDTH;
    res_y = HEIGHT;
    back_buffer = create_bitmap(res_x, res_y);
    if (!back_buffer) {
        std::fprintf(stderr, "world_bench: cannot create the back buffer\n");
        return 1;
    }
    clear_buffer(back_buffer);
    load_graphics();        // ends the program with a message when graphics/ is not here
    load_sounds();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    free_aliens();
    free_asteroids();
    free_explosions();
    unload_sounds();
    unload_graphics();
    return worst_case_broken ? 1 : 0;
}
