// soak.cpp -- hours of headless play: a scripted pilot flies the real game
// through its own tasks and frames while every step of the world is checked.
//
// Game time is a simulated millisecond clock. Each millisecond the tasks that
// fall due are owed to the game's dispatcher one at a time, in install order
// (input every 20 ms, tick every 100 ms, second every 1000 ms, physics every
// 25 ms), and run by run_owed_tasks, as the frame loop runs them; every
// frame_ms a frame is composed into the back buffer and the buffer cleared.
// The pilot only ever presses keys in key[]: before each input task it picks
// the keys from the world it sees and from a seeded generator, so a run
// repeats exactly.
//
// After every physics tick and every frame the whole world is checked; after
// every task the level and lives are checked against what the task may do.
// At the end the figures are printed and the world is torn down as the game's
// shutdown does, so that a leak checker sees none of the game's memory left.
//
// Resident memory (VmRSS) is read at a baseline tick and after the last
// tick; growing more than rss_slack percent fails the run. glibc's per-thread
// cache of freed blocks fills slowly with blocks of every size the game's
// arrays have had and adds some tens of kB before it levels off; the CTest
// registration and scripts/soak turn it off (GLIBC_TUNABLES=
// glibc.malloc.tcache_count=0) so that resident memory follows the game's
// own. Under AddressSanitizer or valgrind the checker's memory (freed blocks
// held back to catch late uses, allocator caches, the checker itself) is most
// of what is resident and grows as the game frees memory, so the figures are
// printed but not judged; the checker's leak check judges the game's memory
// at exit instead.
//
// Exit status: 0 when every check held and the targets were met, 1 when a
// check broke or a target was missed, 2 on a bad command line.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <allegro.h>

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#define SOAK_KNOWS_VALGRIND 1
#endif

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

struct Options {
    long ticks = 100000;        // physics ticks to soak
    unsigned seed = 1;          // for rand() and for the pilot
    int frame_ms = 20;          // game time between composed frames
    int min_level = 25;         // highest level the pilot must reach
    int min_restarts = 3;       // restarts with ENTER the run must see
    long rss_tick = 10000;      // physics tick of the memory baseline
    double rss_slack = 1.0;     // allowed growth after it, in percent
    int short_games = 3;        // the first lives the pilot gives up early,
    int give_up_lo = 2;         // at a level drawn from give_up_lo..give_up_hi;
    int give_up_hi = 6;         // later ones it plays as long as it can
};

// ---------------------------------------------------------------- checks

long failures;
const int PRINTED_FAILURES = 20;

// The step being checked, for the messages: "after physics tick 123".
const char *step_name = "start";
long step_tick;

void fail(const char *format, ...) __attribute__((format(printf, 1, 2)));
void fail(const char *format, ...)
{
    failures++;
    if (failures > PRINTED_FAILURES)
        return;
    std::fprintf(stderr, "soak: FAIL after %s (physics tick %ld): ", step_name, step_tick);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}

bool finite(float v)
{
    return std::isfinite(v);
}

void check_ship(const Ship &s, const char *who, int index)
{
    if (s.active != 0 && s.active != 1)
        fail("%s %d: active is %d", who, index, s.active);
    if (s.reload < 0 || s.reload > RELOAD_CAP)
        fail("%s %d: reload %d outside 0..%d", who, index, s.reload, RELOAD_CAP);
    if (!finite(s.x) || !finite(s.y) || !finite(s.target_x) || !finite(s.target_y)
        || !finite(s.rocket_speed) || !finite(s.rocket_accel))
        fail("%s %d: a position or speed is not finite (%g, %g)", who, index, s.x, s.y);
    for (int r = 0; r < ROCKET_SLOTS; r++) {
        const Rocket &k = s.rockets[r];
        if (k.active != 0 && k.active != 1)
            fail("%s %d: rocket slot %d active is %d", who, index, r, k.active);
        if (!finite(k.x) || !finite(k.y) || !finite(k.speed))
            fail("%s %d: rocket slot %d at (%g, %g) speed %g is not finite", who, index, r,
                 k.x, k.y, k.speed);
    }
}

// Everything that must hold between any two steps of the game.
void check_world()
{
    if (level < 1)
        fail("level is %d", level);
    if (lives > 4)
        fail("lives is %d, above the four of a fresh game", lives);

    if (!aliens || alien_count != level + 1)
        fail("%d aliens at level %d (array %p)", alien_count, level, static_cast<void *>(aliens));
    int live = 0;
    for (int i = 0; aliens && i < alien_count; i++) {
        check_ship(aliens[i], "alien", i);
        if (aliens[i].active == 1)
            live++;
    }
    if (aliens_alive != live)
        fail("aliens_alive is %d but %d aliens are active", aliens_alive, live);

    if (!asteroids || asteroid_count != level * 2)
        fail("%d asteroids at level %d (array %p)", asteroid_count, level,
             static_cast<void *>(asteroids));
    for (int i = 0; asteroids && i < asteroid_count; i++)
        if (!finite(asteroids[i].x) || !finite(asteroids[i].y))
            fail("asteroid %d at (%g, %g)", i, asteroids[i].x, asteroids[i].y);
    for (int i = 0; i < STAR_COUNT; i++)
        if (!finite(stars[i].x) || !finite(stars[i].y))
            fail("star %d at (%g, %g)", i, stars[i].x, stars[i].y);

    if (!(star_speed >= 0 && star_speed <= 10))
        fail("star_speed is %g, outside 0..10", star_speed);
    if (!(asteroid_speed > 0 && asteroid_speed <= 15))
        fail("asteroid_speed is %g, outside (0, 15]", asteroid_speed);
    if (!(player.rocket_speed >= 0))
        fail("player.rocket_speed is %g, below 0", player.rocket_speed);
    if (player.active != 1)
        fail("player.active is %d", player.active);
    check_ship(player, "player", 0);

    for (int i = 0; i < EXPLOSION_SLOTS; i++) {
        const Explosion &e = explosions[i];
        if (e.active != 0 && e.active != 1)
            fail("explosion slot %d: active is %d", i, e.active);
        if (e.active != 1)
            continue;
        if (!e.particles || e.count <= 0)
            fail("explosion slot %d is busy with %d particles at %p", i, e.count,
                 static_cast<void *>(e.particles));
        // Retired at the first tick that finds it at its lifetime.
        if (e.age < 0 || e.age > e.lifetime + 100)
            fail("explosion slot %d: age %d with lifetime %d", i, e.age, e.lifetime);
        for (int j = 0; e.particles && j < e.count; j++)
            if (!finite(e.particles[j].x) || !finite(e.particles[j].y)
                || !finite(e.particles[j].vx) || !finite(e.particles[j].vy)) {
                fail("explosion slot %d: particle %d is not finite", i, j);
                break;
            }
    }
}

// The world's counters before a step, to judge what the step did.
struct Before {
    int level, lives, sounds;
};

Before before()
{
    return {level, lives, sounds_started};
}

// How many sounds of the event the step started; -1 when more sounds were
// started than the log keeps.
int started_during(const Before &b, SoundEvent event)
{
    int n = sounds_started - b.sounds;
    if (n > SOUND_LOG_SIZE)
        return -1;
    int count = 0;
    for (int i = b.sounds; i < sounds_started; i++)
        if (sound_log[i % SOUND_LOG_SIZE].event == event)
            count++;
    return count;
}

bool arrow_held()
{
    return key[KEY_UP] || key[KEY_DOWN] || key[KEY_LEFT] || key[KEY_RIGHT];
}

// ---------------------------------------------------------------- the figures

struct Figures {
    long ticks = 0;
    long frames = 0;
    int highest_level = 0;
    int highest_level_alive = 0;
    long level_ups_dead = 0;        // the dead ship still fires and clears levels
    long level_ups = 0;
    long deaths = 0;
    long restarts = 0;
    long rss_baseline_kb = -1, anon_baseline_kb = -1;
    long rss_final_kb = -1, anon_final_kb = -1;
};

Figures figures;

void note_lives(const Before &b)
{
    if (b.lives >= 1 && lives < 1)
        figures.deaths++;
}

// The input task may steer, fire and, while dead with ENTER and no arrow held,
// restart at level 1 with four lives and no score; nothing else of the level.
void judge_input(const Before &b)
{
    bool may_restart = b.lives < 1 && key[KEY_ENTER] && !arrow_held();
    if (may_restart) {
        if (level != 1 || lives != 4 || score != 0)
            fail("ENTER while dead left level %d, lives %d, score %d", level, lives, score);
        else
            figures.restarts++;
        return;
    }
    if (level != b.level || lives != b.lives)
        fail("the input task changed level %d -> %d, lives %d -> %d without a restart", b.level,
             level, b.lives, lives);
}

// The tick and second tasks never touch the level or the lives.
void judge_timekeeping(const Before &b)
{
    if (level != b.level || lives != b.lives)
        fail("level %d -> %d, lives %d -> %d", b.level, level, b.lives, lives);
}

// Physics: the level rises by one when a player's rocket destroys the last
// alien, and each alien rocket that strikes the ship costs one life.
void judge_physics(const Before &b)
{
    if (level == b.level + 1) {
        figures.level_ups++;
        if (lives < 1)
            figures.level_ups_dead++;
        if (started_during(b, SOUND_ALIEN) == 0)
            fail("level %d -> %d without an alien destroyed", b.level, level);
        // The new squadron is still beyond the right edge, out of reach.
        if (aliens_alive != alien_count)
            fail("level %d started with %d of %d aliens alive", level, aliens_alive, alien_count);
        if (star_speed != 0 || asteroid_speed != 1.0f)
            fail("level %d started with star_speed %g, asteroid_speed %g", level, star_speed,
                 asteroid_speed);
    } else if (level != b.level) {
        fail("level %d -> %d in a physics tick", b.level, level);
    }

    int hits = started_during(b, SOUND_SPACESHIP);
    if (lives > b.lives)
        fail("lives %d -> %d in a physics tick", b.lives, lives);
    else if (hits >= 0 && b.lives - lives != hits)
        fail("lives %d -> %d with %d hits on the ship", b.lives, lives, hits);
    note_lives(b);
}

// A frame changes the game only where the ship touches an asteroid: one
// life, and that asteroid bursts.
void judge_frame(const Before &b)
{
    if (level != b.level)
        fail("level %d -> %d while composing a frame", b.level, level);
    if (lives != b.lives && lives != b.lives - 1)
        fail("lives %d -> %d while composing a frame", b.lives, lives);
    if (lives == b.lives - 1 && started_during(b, SOUND_ASTEROID) != 1)
        fail("a life lost in a frame without an asteroid struck");
    note_lives(b);
}

// ---------------------------------------------------------------- the pilot

// Plays to win: steers for the row that sends its rockets through the alien
// it can hit soonest, holds SPACE most of the time (always when on target),
// keeps out of the way of asteroids and alien rockets, steers the speeds up
// and down, and mixes in random keys (arrows, ENTER while alive, F). In its
// first few games it gives up at a low level drawn at the restart and flies
// into the asteroids until it is dead; later games it plays as long as it
// can. After death it flies on (the dead ship still fires and may clear
// levels), mostly for seconds, sometimes for a minute, then presses ENTER,
// sometimes with an arrow still held, which must not restart.
//
// The pilot looks at the world and only ever writes key[]; its scratch
// arrays are kept from one input task to the next, so that the soak's own
// heap use stays flat while the game's is measured.
class Pilot {
public:
    Pilot(unsigned seed, int short_games, int give_up_lo, int give_up_hi)
        : rng_(seed), short_games_(short_games), give_up_lo_(give_up_lo), give_up_hi_(give_up_hi)
    {
        threats_.reserve(1024);
        costs_.reserve(1024);
        now_boxes_.reserve(1024);
        tick_boxes_.reserve(1024);
        starts_.resize(2 * (STEPS + 1) + 1);
        next_.resize(starts_.size());
        new_life();
    }

    // Sets key[] for the input task about to run at game time now_ms.
    void choose_keys(long now_ms)
    {
        for (int k : ARROWS)
            key[k] = 0;
        key[KEY_SPACE] = key[KEY_ENTER] = key[KEY_F] = 0;

        if (f_left_ == 0 && chance(1.0 / 3000))
            f_left_ = between(1, 8);
        if (f_left_ > 0) {
            key[KEY_F] = 1;
            f_left_--;
        }

        if (lives < 1) {
            // Mostly a few seconds; now and then the pilot plays on for
            // minutes, which the game allows: the dead ship flies, fires and
            // clears levels.
            if (dead_wait_ < 0)
                dead_wait_ = chance(0.15) ? between(500, 2500) : between(10, 400);
            if (dead_wait_ == 0) {
                key[KEY_ENTER] = 1;
                if (chance(0.2))
                    key[ARROWS[between(0, 3)]] = 1;
                else
                    new_life();
                return;
            }
            dead_wait_--;
        } else {
            if (chance(1.0 / 500))
                key[KEY_ENTER] = 1;
        }

        if (lives >= 1 && level >= give_up_) {
            press(fly_into_trouble());
            key[KEY_SPACE] = chance(0.3);
            return;
        }

        int wanted;
        if (noise_left_ == 0 && chance(1.0 / 60)) {
            noise_left_ = between(1, 12);
            noise_key_ = ARROWS[between(0, 3)];
        }
        if (noise_left_ > 0) {
            noise_left_--;
            wanted = noise_key_;
        } else {
            wanted = hunt();
        }
        int chosen = keep_clear(wanted, now_ms);
        if (chosen != wanted)
            noise_left_ = 0;
        press(chosen);
        key[KEY_SPACE] = on_target() || chance(0.9);
    }

private:
    static constexpr int ARROWS[4] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT};
    static constexpr int NO_KEY = -1;                     // no arrow key this time
    static constexpr int STEPS = 30;                      // input tasks looked ahead
    static constexpr int HORIZON = STEPS * 20 / 25 + 1;   // and physics ticks

    // Something that may strike the ship soon: a box at (x, y) moving left,
    // by speed, then speed + accel, ... per physics tick.
    struct Threat {
        float x, y, speed, accel;
        int w, h;
        bool wraps;     // an asteroid already past the left edge: gone next tick
        bool rocket;    // tested against the ship before it moves in a tick
        int born;       // physics ticks before it flies: a rocket yet to be fired
    };

    struct Box {
        int x, y, w, h;
    };

    // For how many input tasks (STEPS: all) the ship can keep clear, and
    // after each first move (UP, neither, DOWN) at how many heights it can
    // then be.
    struct Starts {
        int lasting;
        int room[3];
    };

    // Where a rocket fired now should be aimed: the ship's height, the
    // physics ticks until it meets the alien, and whether the alien will
    // still be on its way to its waypoint by then (else it may be anywhere).
    struct Aim {
        float y;
        float ticks;
        bool sure;
    };

    std::mt19937 rng_;
    int short_games_, give_up_lo_, give_up_hi_;
    int lives_begun_ = 0;
    int give_up_ = 0;           // the level at which this game is given up
    int dead_wait_ = -1;
    int noise_left_ = 0;
    int noise_key_ = KEY_UP;
    int f_left_ = 0;
    float wanted_speed_ = 2;
    std::vector<Threat> threats_;
    std::vector<Box> now_boxes_, tick_boxes_;
    std::vector<int> starts_, next_;
    std::vector<float> costs_;

    static void press(int k)
    {
        if (k != NO_KEY)
            key[k] = 1;
    }

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    void new_life()
    {
        dead_wait_ = -1;
        lives_begun_++;
        give_up_ = lives_begun_ <= short_games_ ? between(give_up_lo_, give_up_hi_) : INT_MAX;
    }

    // Where an alien will be after `ticks` physics ticks, if it keeps to its
    // waypoint: one pixel per tick on each axis.
    static float ahead(float pos, float target, float ticks)
    {
        if (std::fabs(target - pos) <= ticks)
            return target;
        return target > pos ? pos + ticks : pos - ticks;
    }

    // Physics ticks a rocket fired now needs to fly dx pixels.
    static float flight_ticks(float dx)
    {
        float speed = player.rocket_speed;
        float travelled = 0;
        int t = 0;
        while (travelled < dx && t < 400) {
            travelled += speed;
            speed += player.rocket_accel;
            t++;
        }
        return static_cast<float>(t);
    }

    static Aim aim_at(const Ship &a)
    {
        float t = flight_ticks(a.x - player.x);
        t = flight_ticks(ahead(a.x, a.target_x, t) - player.x);
        float y = ahead(a.y, a.target_y, t);
        // The rocket leaves 28 pixels below the ship's top and is 5 high:
        // through the alien's middle, which keeps the ship clear of that
        // alien's own rockets.
        float ship_y = y + enemy_bmp->h / 2.0f - static_cast<float>(spaceship_bmp->h - 5) - 2;
        bool sure = std::max(std::fabs(a.target_x - a.x), std::fabs(a.target_y - a.y)) >= t;
        return {ship_y, t, sure};
    }

    // Whether a rocket fired from the ship at height y flies `ticks` physics
    // ticks without running into an asteroid.
    static bool path_clear(float y, float ticks)
    {
        int rw = rocket_bmp->w, rh = rocket_bmp->h;
        int aw = asteroid_bmp->w, ah = asteroid_bmp->h;
        float ry = y + static_cast<float>(spaceship_bmp->h - 5);
        for (int i = 0; i < asteroid_count; i++) {
            const Asteroid &a = asteroids[i];
            if (a.y + static_cast<float>(ah) < ry || a.y > ry + static_cast<float>(rh))
                continue;
            float rx = player.x, speed = player.rocket_speed;
            for (int t = 0; t <= ticks; t++) {
                float ax = a.x - asteroid_speed * static_cast<float>(t);
                if (check_collision(static_cast<int>(rx), static_cast<int>(ry), rw, rh,
                                    static_cast<int>(ax), static_cast<int>(a.y), aw, ah))
                    return false;
                rx += speed;
                speed += player.rocket_accel;
            }
        }
        return true;
    }

    // The live alien the ship can hit soonest: rocket flight plus the steering
    // to its row; those whose course is uncertain, or still off screen, or
    // behind an asteroid, later. Null when none is alive.
    const Ship *best_target()
    {
        costs_.clear();
        for (int i = 0; i < alien_count; i++) {
            const Ship &a = aliens[i];
            Aim aim = aim_at(a);
            float cost = aim.ticks + std::fabs(aim.y - player.y) / 4;
            if (!aim.sure)
                cost += 60;
            if (a.x > static_cast<float>(res_x - enemy_bmp->w))
                cost += 1000;
            costs_.push_back(a.active == 1 ? cost : -1);
        }
        int best = -1;
        for (int tries = 0; tries < 3; tries++) {
            best = -1;
            for (int i = 0; i < alien_count; i++)
                if (costs_[i] >= 0 && (best < 0 || costs_[i] < costs_[best]))
                    best = i;
            if (best < 0)
                return nullptr;
            Aim aim = aim_at(aliens[best]);
            if (path_clear(aim.y, aim.ticks))
                break;
            costs_[best] += 80;
        }
        return &aliens[best];
    }

    // Whether a rocket fired now goes through the target's middle.
    bool on_target()
    {
        const Ship *a = best_target();
        if (!a)
            return false;
        Aim aim = aim_at(*a);
        return std::fabs(aim.y - player.y) <= 4 && path_clear(player.y, aim.ticks);
    }

    // The key that brings the ship to the row of its target; once there, the
    // key that steers the asteroid speed toward the one the pilot fancies,
    // which moves the star and rocket speeds with it.
    int hunt()
    {
        if (chance(0.005))
            wanted_speed_ = static_cast<float>(between(1, 4));
        if (asteroid_speed > wanted_speed_ + 3)
            return KEY_LEFT;
        if (const Ship *a = best_target()) {
            float want_y = aim_at(*a).y;
            if (player.y < want_y - 3)
                return KEY_DOWN;
            if (player.y > want_y + 3)
                return KEY_UP;
        }
        if (asteroid_speed < wanted_speed_ - 0.5f && chance(0.5))
            return KEY_RIGHT;
        if (asteroid_speed > wanted_speed_ + 0.5f && chance(0.5))
            return KEY_LEFT;
        return NO_KEY;
    }

    // The key that puts the ship in the path of the nearest oncoming
    // asteroid, rushing right once there.
    int fly_into_trouble()
    {
        float best = 1e9f, want_y = player.y;
        for (int i = 0; i < asteroid_count; i++) {
            float dx = asteroids[i].x - player.x;
            if (dx > 0 && dx < best) {
                best = dx;
                want_y = asteroids[i].y;
            }
        }
        if (player.y < want_y - 3)
            return KEY_DOWN;
        if (player.y > want_y + 3)
            return KEY_UP;
        return chance(0.3) ? KEY_RIGHT : NO_KEY;
    }

    // Fills threats_ with the asteroids and alien rockets that may come near
    // the ship within the horizon, the asteroids as if `faster` were added to
    // their speed.
    void find_threats(float faster)
    {
        threats_.clear();
        float reach = player.x + PLAYER_W + 8;
        float speed = asteroid_speed + faster;
        for (int i = 0; i < asteroid_count; i++) {
            const Asteroid &a = asteroids[i];
            if (a.x - speed * HORIZON < reach && a.x + asteroid_bmp->w > player.x - 8)
                threats_.push_back({a.x, a.y, -speed, 0, asteroid_bmp->w, asteroid_bmp->h,
                                    a.x < 0, false, 0});
        }
        for (int i = 0; i < alien_count; i++) {
            const Ship &a = aliens[i];
            for (const Rocket &r : a.rockets)
                if (r.active == 1 && r.x + alienrocket_bmp->w > player.x - 8)
                    threats_.push_back({r.x, r.y, r.speed, a.rocket_accel, alienrocket_bmp->w,
                                        alienrocket_bmp->h, false, true, 0});
            // The rocket a live alien fires once it has reloaded: it is only
            // fired if the ship is then level with the alien, which is just
            // where it would strike.
            if (a.active != 1)
                continue;
            int born = std::max(1, (a.reload_time - a.reload + 19) / 20);
            if (born > HORIZON)
                continue;
            float t = static_cast<float>(born);
            threats_.push_back({ahead(a.x, a.target_x, t),
                                ahead(a.y, a.target_y, t) + static_cast<float>(spaceship_bmp->h - 5),
                                a.rocket_speed, a.rocket_accel, alienrocket_bmp->w,
                                alienrocket_bmp->h, false, true, born});
        }
    }

    // Fills boxes with where the threats are `ticks` physics ticks from now,
    // those of them that overlap the ship's columns widened by `spare`.
    void boxes_at(std::vector<Box> &boxes, int ticks, int spare) const
    {
        boxes.clear();
        float left = player.x - static_cast<float>(spare);
        float right = player.x + PLAYER_W + static_cast<float>(spare);
        for (const Threat &k : threats_) {
            if (k.wraps && ticks > 0)
                continue;
            // A rocket is tested at the start of a physics tick, before it
            // moves, and only from the tick after its launch.
            int moves = k.rocket ? ticks - 1 - k.born : ticks;
            if (moves < 0 || (k.rocket && ticks == 0))
                continue;
            float t = static_cast<float>(moves);
            float x = k.x + k.speed * t + k.accel * t * (t - 1) / 2;
            if (x < right && x + static_cast<float>(k.w) > left)
                boxes.push_back({static_cast<int>(x), static_cast<int>(k.y), k.w, k.h});
        }
    }

    static bool struck(const std::vector<Box> &boxes, float y, int spare)
    {
        int px = static_cast<int>(player.x) - spare;
        int py = static_cast<int>(y) - spare;
        for (const Box &b : boxes)
            if (check_collision(px, py, PLAYER_W + 2 * spare, PLAYER_H + 2 * spare, b.x, b.y, b.w,
                                b.h))
                return true;
        return false;
    }

    // Follows every height the ship can reach over the next STEPS input tasks
    // from game time now_ms (five pixels a task, none past an edge), its box
    // widened by `spare`, and tells which first moves keep it clear longest.
    Starts clear_starts(long now_ms, int spare)
    {
        const float step = player.step_y;
        const int span = STEPS + 1;     // index n: height player.y + step * (n - span)
        const int heights = static_cast<int>(starts_.size());
        std::fill(starts_.begin(), starts_.end(), 0);
        starts_[span] = 7;
        long ms = now_ms;
        int ticks = 0;
        for (int k = 0; k < STEPS; k++, ms += 20) {
            // The checks this step must pass: after its move, and after the
            // physics tick that may follow before the next input task.
            boxes_at(now_boxes_, ticks, spare);
            bool tick = false;
            for (long m = ms; m < ms + 20; m++)
                tick = tick || m % 25 == 0;
            if (tick)
                boxes_at(tick_boxes_, ticks + 1, spare);

            std::fill(next_.begin(), next_.end(), 0);
            int open = 0;
            for (int n = 0; n < heights; n++) {
                if (!starts_[n])
                    continue;
                float y = player.y + step * static_cast<float>(n - span);
                for (int dir = -1; dir <= 1; dir++) {
                    int m = n;
                    if ((dir < 0 && y >= 0) || (dir > 0 && y + PLAYER_H <= res_y))
                        m += dir;
                    float ny = player.y + step * static_cast<float>(m - span);
                    if (m < 0 || m >= heights || struck(now_boxes_, ny, spare)
                        || (tick && struck(tick_boxes_, ny, spare)))
                        continue;
                    next_[m] |= k == 0 ? 1 << (dir + 1) : starts_[n];
                    open |= next_[m];
                }
            }
            if (!open)
                return room_after(k);
            starts_.swap(next_);
            if (tick)
                ticks++;
        }
        return room_after(STEPS);
    }

    // The outcome of clear_starts, from the last heights it reached.
    Starts room_after(int lasting) const
    {
        Starts s{lasting, {0, 0, 0}};
        for (int v : starts_)
            for (int b = 0; b < 3; b++)
                if (v & (1 << b))
                    s.room[b]++;
        return s;
    }

    // The wanted key if the ship can still keep clear after it; else holding
    // still, UP or DOWN, whichever keeps it clear.
    int keep_clear(int wanted, long now_ms)
    {
        // A step right speeds the asteroids up by half a pixel a tick, which
        // the look ahead does not follow: only with room to spare.
        if (wanted == KEY_RIGHT) {
            find_threats(3);
            if (!threats_.empty() && clear_starts(now_ms, 3).lasting < STEPS)
                wanted = NO_KEY;
        }
        find_threats(0);
        if (threats_.empty())
            return wanted;
        Starts starts = clear_starts(now_ms, 3);
        if (starts.lasting < STEPS)
            starts = clear_starts(now_ms, 0);
        // The wanted move while it leaves the ship at least half the room
        // of the roomiest, else the roomiest: away from narrowing gaps.
        int best = 1;
        for (int b : {0, 2})
            if (starts.room[b] > starts.room[best])
                best = b;
        int dir = wanted == KEY_UP ? -1 : wanted == KEY_DOWN ? 1 : 0;
        if (starts.room[dir + 1] > 0 && 2 * starts.room[dir + 1] >= starts.room[best])
            return wanted;
        return best == 1 ? NO_KEY : best == 0 ? KEY_UP : KEY_DOWN;
    }
};

constexpr int Pilot::ARROWS[4];

// ---------------------------------------------------------------- the run

// A figure of /proc/self/status in kB, such as "VmRSS:" (all resident
// memory) or "RssAnon:" (its anonymous part: heap, stacks); -1 when unread.
long status_kb(const char *field)
{
    std::FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0)
            kb = std::strtol(line + n, nullptr, 10);
    std::fclose(f);
    return kb;
}

bool parse_number(const char *text, double lo, double hi, double &out)
{
    char *end;
    errno = 0;
    double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno == ERANGE || !(v >= lo && v <= hi))
        return false;
    out = v;
    return true;
}

// "LO-HI", two levels with 1 <= LO <= HI.
bool parse_range(const char *text, int &lo, int &hi)
{
    char *end;
    long a = std::strtol(text, &end, 10);
    if (end == text || *end != '-')
        return false;
    const char *rest = end + 1;
    long b = std::strtol(rest, &end, 10);
    if (end == rest || *end != '\0' || a < 1 || b < a || b > 1000000)
        return false;
    lo = static_cast<int>(a);
    hi = static_cast<int>(b);
    return true;
}

[[noreturn]] void usage(const char *message)
{
    std::fprintf(stderr,
                 "soak: %s\n"
                 "usage: soak [--ticks N] [--seed S] [--frame-ms M] [--min-level L]\n"
                 "            [--min-restarts R] [--rss-tick T] [--rss-slack PERCENT]\n"
                 "            [--short-games N] [--give-up LO-HI]\n",
                 message);
    std::exit(2);
}

Options parse_options(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; i++) {
        std::string name = argv[i];
        if (i + 1 >= argc)
            usage(("missing value after " + name).c_str());
        double v;
        const char *text = argv[++i];
        if (name == "--ticks" && parse_number(text, 1, 1e9, v))
            o.ticks = static_cast<long>(v);
        else if (name == "--seed" && parse_number(text, 0, 4294967295.0, v))
            o.seed = static_cast<unsigned>(v);
        else if (name == "--frame-ms" && parse_number(text, 1, 1000, v))
            o.frame_ms = static_cast<int>(v);
        else if (name == "--min-level" && parse_number(text, 1, 1e6, v))
            o.min_level = static_cast<int>(v);
        else if (name == "--min-restarts" && parse_number(text, 0, 1e6, v))
            o.min_restarts = static_cast<int>(v);
        else if (name == "--rss-tick" && parse_number(text, 1, 1e9, v))
            o.rss_tick = static_cast<long>(v);
        else if (name == "--rss-slack" && parse_number(text, 0, 1000, v))
            o.rss_slack = v;
        else if (name == "--short-games" && parse_number(text, 0, 1e6, v))
            o.short_games = static_cast<int>(v);
        else if (name == "--give-up" && parse_range(text, o.give_up_lo, o.give_up_hi))
            ;
        else
            usage(("bad option or value: " + name + " " + text).c_str());
    }
    if (o.rss_tick >= o.ticks)
        usage("--rss-tick must come before the last tick");
    return o;
}

// Owes one run of the task to the dispatcher and lets it run it, as the frame
// loop would after the task's timer fired.
void run_task(Task task)
{
    owe_task_run(task);
    run_owed_tasks();
}

// The memory checker this process runs under, whose own memory makes
// resident memory say little about the game's; null when none.
const char *memory_checker()
{
#if defined(__SANITIZE_ADDRESS__)
    return "AddressSanitizer";
#elif defined(__SANITIZE_THREAD__)
    return "ThreadSanitizer";
#else
#ifdef SOAK_KNOWS_VALGRIND
    if (RUNNING_ON_VALGRIND)
        return "valgrind";
#endif
    // Without valgrind's header: its tools preload their own malloc.
    const char *preload = std::getenv("LD_PRELOAD");
    if (preload && std::strstr(preload, "vgpreload"))
        return "valgrind";
    return nullptr;
#endif
}

} // namespace

int main(int argc, char **argv)
{
    Options opt = parse_options(argc, argv);

    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
        std::fprintf(stderr, "soak: cannot start Allegro\n");
        return 1;
    }
    set_color_depth(8);
    res_x = 800;
    res_y = 600;
    back_buffer = create_bitmap(res_x, res_y);
    load_graphics();        // from graphics/: run from the repository root
    load_sounds();
    clear_buffer(back_buffer);
    std::srand(opt.seed);
    start_level(1);
    figures.highest_level = figures.highest_level_alive = level;
    auto started = std::chrono::steady_clock::now();

    Pilot pilot(opt.seed, opt.short_games, opt.give_up_lo, opt.give_up_hi);
    check_world();

    for (long ms = 1; figures.ticks < opt.ticks; ms++) {
        for (int t = 0; t < TASKS; t++) {
            if (ms % task_period_ms[t] != 0)
                continue;
            Task task = static_cast<Task>(t);
            if (task == TASK_INPUT)
                pilot.choose_keys(ms);
            Before b = before();
            run_task(task);
            switch (task) {
            case TASK_INPUT:
                step_name = "an input task";
                judge_input(b);
                break;
            case TASK_PHYSICS:
                figures.ticks++;
                step_tick = figures.ticks;
                step_name = "a physics tick";
                judge_physics(b);
                check_world();
                if (figures.ticks == opt.rss_tick) {
                    figures.rss_baseline_kb = status_kb("VmRSS:");
                    figures.anon_baseline_kb = status_kb("RssAnon:");
                }
                break;
            default:
                step_name = task == TASK_TICK ? "a tick task" : "a second task";
                judge_timekeeping(b);
                break;
            }
            if (level > figures.highest_level)
                figures.highest_level = level;
            if (lives >= 1 && level > figures.highest_level_alive)
                figures.highest_level_alive = level;
        }
        if (ms % opt.frame_ms == 0) {
            Before b = before();
            compose_frame();
            figures.frames++;
            step_name = "a frame";
            judge_frame(b);
            check_world();
            clear_buffer(back_buffer);
        }
    }
    figures.rss_final_kb = status_kb("VmRSS:");
    figures.anon_final_kb = status_kb("RssAnon:");
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    shutdown_game();     // its timers were never installed; removing them is harmless

    const char *checker = memory_checker();
    double growth = 100.0 * static_cast<double>(figures.rss_final_kb - figures.rss_baseline_kb)
                    / static_cast<double>(figures.rss_baseline_kb);
    std::printf("soak: seed %u, %ld physics ticks soaked (%.0f s of game time), %ld frames, "
                "in %.1f s\n",
                opt.seed, figures.ticks, static_cast<double>(figures.ticks) * 0.025,
                figures.frames, seconds);
    std::printf("soak: highest level %d (%d alive), %ld level-ups by kills (%ld while dead), "
                "%ld deaths, %ld restarts\n",
                figures.highest_level, figures.highest_level_alive, figures.level_ups,
                figures.level_ups_dead, figures.deaths, figures.restarts);
    std::printf("soak: VmRSS %ld kB at tick %ld, %ld kB after the last tick (%+.2f %%)%s%s\n",
                figures.rss_baseline_kb, opt.rss_tick, figures.rss_final_kb, growth,
                checker ? ", not judged under " : "", checker ? checker : "");
    std::printf("soak: of which anonymous (heap, stacks) %ld kB and %ld kB\n",
                figures.anon_baseline_kb, figures.anon_final_kb);
    std::printf("soak: %ld broken checks\n", failures);

    bool ok = failures == 0;
    if (figures.highest_level < opt.min_level) {
        std::printf("soak: FAIL: highest level %d, below %d\n", figures.highest_level,
                    opt.min_level);
        ok = false;
    }
    if (figures.restarts < opt.min_restarts) {
        std::printf("soak: FAIL: %ld restarts, fewer than %d\n", figures.restarts,
                    opt.min_restarts);
        ok = false;
    }
    if (figures.rss_baseline_kb <= 0 || figures.rss_final_kb <= 0) {
        std::printf("soak: FAIL: VmRSS could not be read from /proc/self/status\n");
        ok = false;
    } else if (!checker && growth > opt.rss_slack) {
        std::printf("soak: FAIL: resident memory grew %.2f %% after tick %ld, more than %.2f %%\n",
                    growth, opt.rss_tick, opt.rss_slack);
        ok = false;
    }
    std::printf("soak: %s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
END_OF_MAIN()
