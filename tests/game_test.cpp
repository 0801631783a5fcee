// game_test.cpp -- minutes of play with an autopilot at the keys, the world checked throughout

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include <gtest/gtest.h>

#include "frame/display.h"
#include "frame/tasks.h"
#include "harness.h"
#include "sound/sound.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/explosions.h"
#include "world/rockets.h"
#include "world/stars.h"
#include "world/state.h"

namespace {

// What the checks compare a run of the tasks or a frame against.
struct Before {
    int level;
    int lives;
    int score;
    int aliens_alive;
    int sounds;
};

Before now()
{
    return {level, lives, score, aliens_alive, sounds_started};
}

int sounds_since(const Before &b, SoundEvent event)
{
    int n = 0;
    for (int i = b.sounds; i < sounds_started; i++)
        n += sound_log[i % SOUND_LOG_SIZE].event == event;
    return n;
}

bool arrow_held()
{
    return key[KEY_UP] || key[KEY_DOWN] || key[KEY_LEFT] || key[KEY_RIGHT];
}

// The autopilot: lines the ship up so that its rockets meet the nearest live
// alien where it will be when they arrive, with the alien's own rockets
// passing just below the ship; holds SPACE; speeds its rockets up with a few
// RIGHT steps, and now and then takes a random arrow step or flips the FPS
// line; after a death keeps flying for two seconds, then restarts.
struct Pilot {
    std::mt19937 dice{2024};
    int died_at = -1;
    int restarts = 0;

    void keys(int ms)
    {
        release_keys();
        if (lives < 1) {
            if (died_at < 0)
                died_at = ms;
            if (ms - died_at >= 2000) {
                key[KEY_ENTER] = 1;
                died_at = -1;
                restarts++;
                return;
            }
        }
        key[KEY_SPACE] = 1;
        if (ms % 7000 < 20)
            key[KEY_F] = 1;
        if (dice() % 25 == 0) {
            const int arrows[] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT};
            key[arrows[dice() % 4]] = 1;
            return;
        }

        float best_row = 0;
        float best_gap = 1e9f;
        for (int i = 0; i < alien_count; i++) {
            const Ship &a = aliens[i];
            if (a.active != 1 || a.x + enemy_bmp->w > res_x)
                continue;
            // Ticks until a rocket launched now reaches the alien's column.
            float distance = a.x - player.x;
            float speed = player.rocket_speed;
            int ticks = 0;
            for (float flown = 0; flown < distance && ticks < 200; ticks++) {
                flown += speed;
                speed += player.rocket_accel;
            }
            float ahead = std::fmin(std::fabs(a.target_y - a.y), static_cast<float>(ticks));
            float y_then = a.y + (a.target_y > a.y ? ahead : -ahead);
            float row = y_then - 19;
            if (std::fabs(row - player.y) < best_gap) {
                best_gap = std::fabs(row - player.y);
                best_row = row;
            }
        }
        if (best_gap < 1e9f && player.y > best_row + 2.5f)
            key[KEY_UP] = 1;
        else if (best_gap < 1e9f && player.y < best_row - 2.5f)
            key[KEY_DOWN] = 1;
        else if (player.rocket_speed < 4)
            key[KEY_RIGHT] = 1;
    }
};

bool finite(float v)
{
    return std::isfinite(v);
}

// What must hold at every moment of the game, whatever happened.
void check_world(int ms)
{
    SCOPED_TRACE(testing::Message() << "at " << ms << " ms of game time, level " << level);

    ASSERT_EQ(alien_count, level + 1);
    ASSERT_EQ(asteroid_count, level * 2);
    int alive = 0;
    float waypoint_left = static_cast<float>(static_cast<int>(res_x * 0.25));
    for (int i = 0; i < alien_count; i++) {
        const Ship &a = aliens[i];
        ASSERT_TRUE(a.active == 0 || a.active == 1) << "alien " << i;
        alive += a.active == 1;
        for (float v : {a.x, a.y, a.target_x, a.target_y})
            ASSERT_EQ(v, std::floor(v)) << "alien " << i << " off the whole-pixel grid";
        ASSERT_GE(a.x, waypoint_left) << "alien " << i;
        ASSERT_LE(a.x, static_cast<float>(enemy_bmp->w + 800)) << "alien " << i;
        ASSERT_GE(a.y, 0) << "alien " << i;
        ASSERT_LE(a.y, res_y) << "alien " << i;
        ASSERT_GE(a.target_x, waypoint_left) << "alien " << i;
        ASSERT_LE(a.target_x, res_x) << "alien " << i;
        ASSERT_GE(a.target_y, 0) << "alien " << i;
        ASSERT_LE(a.target_y, res_y) << "alien " << i;
        ASSERT_GE(a.reload, 0);
        ASSERT_LE(a.reload, RELOAD_CAP);
        for (const Rocket &r : a.rockets) {
            ASSERT_TRUE(r.active == 0 || r.active == 1) << "alien " << i;
            ASSERT_TRUE(finite(r.x) && finite(r.y) && finite(r.speed)) << "alien " << i;
        }
    }
    ASSERT_EQ(aliens_alive, alive);

    ASSERT_GE(star_speed, 0);
    ASSERT_LE(star_speed, 10);
    ASSERT_GT(asteroid_speed, 0);
    ASSERT_LE(asteroid_speed, 15);
    ASSERT_GE(player.rocket_speed, 0);

    ASSERT_TRUE(finite(player.x) && finite(player.y));
    ASSERT_GE(player.x, -player.step_x);
    ASSERT_LE(player.x, res_x - PLAYER_W + player.step_x);
    ASSERT_GE(player.y, -player.step_y);
    ASSERT_LE(player.y, res_y - PLAYER_H + player.step_y);
    ASSERT_GE(player.reload, 0);
    ASSERT_LE(player.reload, RELOAD_CAP);
    for (const Rocket &r : player.rockets) {
        ASSERT_TRUE(r.active == 0 || r.active == 1);
        ASSERT_TRUE(finite(r.x) && finite(r.y) && finite(r.speed));
    }

    for (int i = 0; i < asteroid_count; i++)
        ASSERT_TRUE(finite(asteroids[i].x) && finite(asteroids[i].y)) << "asteroid " << i;
    for (const Star &s : stars)
        ASSERT_TRUE(finite(s.x) && finite(s.y));

    for (const Explosion &e : explosions) {
        ASSERT_TRUE(e.active == 0 || e.active == 1);
        if (e.active != 1)
            continue;
        ASSERT_NE(e.particles, nullptr);
        ASSERT_GT(e.count, 0);
        for (int j = 0; j < e.count; j++)
            ASSERT_TRUE(finite(e.particles[j].x) && finite(e.particles[j].y));
    }
}

} // namespace

TEST(WholeGame, MinutesOfAutopilotPlayReachLevelThreeWithTheWorldIntactThroughout)
{
    run_owed_tasks();       // nothing left owed by earlier tests
    reset_world();
    Pilot pilot;

    const int play_ms = 600000;
    int highest = level;
    int level_ups = 0;
    int lives_lost = 0;
    int aliens_destroyed = 0;

    // Game time advances 5 ms per step, so no task falls due twice between
    // two checks; keys change and a frame is composed every 20 ms.
    for (int ms = 5; ms <= play_ms; ms += 5) {
        bool input_due = ms % task_period_ms[TASK_INPUT] == 0;
        bool second_due = ms % task_period_ms[TASK_SECOND] == 0;
        for (int t = 0; t < TASKS; t++)
            if (ms % task_period_ms[t] == 0)
                owe_task_run(static_cast<Task>(t));
        if (input_due)
            pilot.keys(ms);

        Before b = now();
        bool restart = input_due && key[KEY_ENTER] && !arrow_held() && b.lives < 1;
        run_owed_tasks();
        ASSERT_NO_FATAL_FAILURE(check_world(ms));
        ASSERT_LE(sounds_started - b.sounds, SOUND_LOG_SIZE);

        // Input runs first in its round, so a restart comes before any hit.
        int from_level = restart ? 1 : b.level;
        int from_lives = restart ? 4 : b.lives;
        int from_score = restart ? 0 : b.score;
        int hits = sounds_since(b, SOUND_SPACESHIP);
        ASSERT_EQ(lives, from_lives - hits) << "at " << ms << " ms: one life per alien rocket on the ship";
        ASSERT_TRUE(level == from_level || level == from_level + 1)
            << "at " << ms << " ms: level " << b.level << " became " << level;
        if (level == from_level + 1) {
            ASSERT_GE(sounds_since(b, SOUND_ALIEN), 1) << "at " << ms << " ms: a level ended with no alien destroyed";
            level_ups++;
        }
        // The second task runs before the physics tick of its round, so
        // only the lives after input decide whether it credits the score.
        if (second_due && from_lives > 0) {
            ASSERT_GE(score, from_score);
            ASSERT_LE(score, from_score + 50);
        } else {
            ASSERT_EQ(score, from_score) << "at " << ms << " ms";
        }
        aliens_destroyed += sounds_since(b, SOUND_ALIEN);
        lives_lost += hits;

        if (ms % 20 == 0) {
            b = now();
            clear_bitmap(back_buffer);
            compose_frame();
            ASSERT_NO_FATAL_FAILURE(check_world(ms));
            // The frame's one change to the world: the ship meeting an asteroid.
            int struck = sounds_since(b, SOUND_ASTEROID);
            ASSERT_LE(struck, 1);
            ASSERT_EQ(lives, b.lives - struck) << "at " << ms << " ms";
            ASSERT_EQ(level, b.level);
            ASSERT_EQ(aliens_alive, b.aliens_alive);
            ASSERT_EQ(score, b.score);
            lives_lost += struck;
        }
        highest = std::max(highest, level);
    }

    std::printf("level reached %d (now %d), %d level ups, %d aliens destroyed, %d lives lost, %d restarts\n",
                highest, level, level_ups, aliens_destroyed, lives_lost, pilot.restarts);
    EXPECT_GE(highest, 3);
    reset_world();
}
