// input_test.cpp -- steering within the screen, the speeds it sets, restart, firing,
// and the ship's frame on screen

#include <gtest/gtest.h>

#include "frame/tasks.h"
#include "harness.h"
#include "player/input.h"
#include "sound/sound.h"
#include "world/state.h"

static void hold_for(int key_code, int calls)
{
    release_keys();
    key[key_code] = 1;
    for (int i = 0; i < calls; i++)
        input_task();
}

// True when back_buffer holds exactly the strip's frame at source x `frame`,
// drawn at (x, y) and clipped by the buffer, and nothing else. The buffer is
// cleared beforehand, so the sprite's transparent pixels read back as 0 too.
static bool only_frame_drawn_at(int frame, int x, int y)
{
    int inside = 0;
    for (int py = 0; py < PLAYER_H; py++)
        for (int px = 0; px < PLAYER_W; px++) {
            int bx = x + px;
            int by = y + py;
            if (bx < 0 || by < 0 || bx >= back_buffer->w || by >= back_buffer->h)
                continue;
            int want = getpixel(spaceship_bmp, frame + px, py);
            if (getpixel(back_buffer, bx, by) != want)
                return false;
            inside += want != 0;
        }
    int w = back_buffer->w;
    int h = back_buffer->h;
    return w * h - count_color(back_buffer, 0, 0, 0, w, h) == inside;
}

// ---- The edges of the screen ----

TEST(ScreenEdges, EachArrowStopsTheShipAtMostOneStepPastItsEdge)
{
    struct Run {
        int w, h;
        int key_code;
        int calls;      // steps from the start place to the resting place
        float x, y;     // where the ship comes to rest
    };
    // Right from 736 and down from 565 are taken: 736 + 64 and 565 + 33 are not past the edge.
    for (Run r : {Run{800, 600, KEY_LEFT, 101, -0.5f, 300}, Run{800, 600, KEY_RIGHT, 1373, 736.5f, 300},
                  Run{800, 600, KEY_UP, 61, 50, -5}, Run{800, 600, KEY_DOWN, 54, 50, 570},
                  Run{640, 480, KEY_RIGHT, 1073, 576.5f, 240}, Run{640, 480, KEY_DOWN, 42, 40, 450}}) {
        SCOPED_TRACE(testing::Message() << r.w << "x" << r.h << " heading for (" << r.x << ", " << r.y << ")");
        reset_world(r.w, r.h);
        hold_for(r.key_code, r.calls);
        EXPECT_FLOAT_EQ(player.x, r.x);
        EXPECT_FLOAT_EQ(player.y, r.y);
        hold_for(r.key_code, 20);
        EXPECT_FLOAT_EQ(player.x, r.x);
        EXPECT_FLOAT_EQ(player.y, r.y);
    }
    reset_world();
}

TEST(ScreenEdges, AShipPastTheLeftOrTopEdgeIsDrawnTruncatedTowardZero)
{
    reset_world();
    hold_for(KEY_LEFT, 200);
    ASSERT_FLOAT_EQ(player.x, -0.5f);
    draw_player();
    EXPECT_TRUE(only_frame_drawn_at(128, 0, 300)) << "-0.5 is drawn in column 0";

    reset_world();
    hold_for(KEY_UP, 100);
    ASSERT_FLOAT_EQ(player.y, -5);
    draw_player();
    EXPECT_TRUE(only_frame_drawn_at(192, 50, -5)) << "the top five rows are cut off";
}

TEST(ScreenEdges, PushingAgainstAnEdgeStillCountsAsThrustButChangesNoSpeed)
{
    struct Push {
        int key_code;
        float x, y;
    };
    for (Push p : {Push{KEY_LEFT, -0.5f, 300}, Push{KEY_RIGHT, 736.5f, 300}, Push{KEY_UP, 50, -5},
                   Push{KEY_DOWN, 50, 570}}) {
        SCOPED_TRACE(testing::Message() << "pushing from (" << p.x << ", " << p.y << ")");
        reset_world();
        player.x = p.x;
        player.y = p.y;
        star_speed = 3.5f;
        asteroid_speed = 0.5f;
        player.rocket_speed = 2;
        thrust_flag = 0;

        hold_for(p.key_code, 1);

        EXPECT_FLOAT_EQ(thrust_flag, 1.0f);
        EXPECT_FLOAT_EQ(player.x, p.x);
        EXPECT_FLOAT_EQ(player.y, p.y);
        EXPECT_FLOAT_EQ(star_speed, 3.5f);
        EXPECT_FLOAT_EQ(asteroid_speed, 0.5f);
        EXPECT_FLOAT_EQ(player.rocket_speed, 2);
    }
}

TEST(ScreenEdges, WithoutAnArrowKeyThereIsNoThrust)
{
    reset_world();
    key[KEY_SPACE] = 1;
    key[KEY_ENTER] = 1;
    for (int i = 0; i < 5; i++)
        input_task();
    EXPECT_FLOAT_EQ(thrust_flag, 0);
    EXPECT_FLOAT_EQ(player.x, 50);
    EXPECT_FLOAT_EQ(player.y, 300);
}

// ---- Steering and the scrolling speeds ----

TEST(SpeedRamp, HoldingRightSpeedsUpStarsAsteroidsAndTheNextRocket)
{
    reset_world();
    hold_for(KEY_RIGHT, 19);
    EXPECT_FLOAT_EQ(star_speed, 9.5f);
    hold_for(KEY_RIGHT, 1);
    EXPECT_FLOAT_EQ(star_speed, 10) << "after 20 steps";
    EXPECT_FLOAT_EQ(asteroid_speed, 11);
    hold_for(KEY_RIGHT, 7);
    EXPECT_FLOAT_EQ(asteroid_speed, 14.5f);
    hold_for(KEY_RIGHT, 1);
    EXPECT_FLOAT_EQ(asteroid_speed, 15) << "after 28 steps";
    EXPECT_FLOAT_EQ(player.rocket_speed, 14);

    hold_for(KEY_RIGHT, 172);
    EXPECT_FLOAT_EQ(star_speed, 10);
    EXPECT_FLOAT_EQ(asteroid_speed, 15);
    EXPECT_FLOAT_EQ(player.rocket_speed, 100) << "the rocket's speed has no ceiling";
}

TEST(SpeedRamp, HoldingLeftStopsStarsAndRocketsButNeverTheAsteroids)
{
    reset_world();
    hold_for(KEY_LEFT, 1);
    EXPECT_FLOAT_EQ(star_speed, 0);
    EXPECT_FLOAT_EQ(player.rocket_speed, 0);
    EXPECT_FLOAT_EQ(asteroid_speed, 0.5f);
    for (int i = 2; i <= 9; i++) {
        hold_for(KEY_LEFT, 1);
        ASSERT_FLOAT_EQ(asteroid_speed, i % 2 == 0 ? 1.0f : 0.5f) << "after " << i << " steps";
        ASSERT_FLOAT_EQ(star_speed, 0);
        ASSERT_FLOAT_EQ(player.rocket_speed, 0);
    }
}

// ---- One movement step per call ----

TEST(MovementPriority, OnlyTheFirstHeldArrowOfUpDownLeftRightMoves)
{
    struct Keys {
        const char *held;
        int first, second;
        float x, y;
    };
    for (Keys k : {Keys{"UP+DOWN", KEY_DOWN, KEY_UP, 50, 295},
                   Keys{"DOWN+LEFT", KEY_LEFT, KEY_DOWN, 50, 305},
                   Keys{"UP+LEFT", KEY_LEFT, KEY_UP, 50, 295},
                   Keys{"DOWN+RIGHT", KEY_RIGHT, KEY_DOWN, 50, 305},
                   Keys{"LEFT+RIGHT", KEY_RIGHT, KEY_LEFT, 49.5f, 300}}) {
        SCOPED_TRACE(k.held);
        reset_world();
        key[k.first] = 1;
        key[k.second] = 1;
        input_task();
        EXPECT_FLOAT_EQ(player.x, k.x);
        EXPECT_FLOAT_EQ(player.y, k.y);
    }

    reset_world();
    key[KEY_UP] = key[KEY_DOWN] = key[KEY_LEFT] = key[KEY_RIGHT] = 1;
    input_task();
    EXPECT_FLOAT_EQ(player.x, 50);
    EXPECT_FLOAT_EQ(player.y, 295);
}

TEST(MovementPriority, UpWithRightClimbsWithoutChangingAnySpeed)
{
    reset_world();
    key[KEY_UP] = 1;
    key[KEY_RIGHT] = 1;
    for (int i = 0; i < 3; i++)
        input_task();
    EXPECT_FLOAT_EQ(player.x, 50);
    EXPECT_FLOAT_EQ(player.y, 285);
    expect_start_speeds();
    EXPECT_FLOAT_EQ(thrust_flag, 1.0f);
}

// ---- The ship on screen ----

TEST(ShipFrame, TheFiveFramesOfTheStripAreTellableApart)
{
    ASSERT_GE(spaceship_bmp->w, 5 * PLAYER_W);
    ASSERT_GE(spaceship_bmp->h, PLAYER_H);
    for (int a = 0; a < 5; a++)
        for (int b = a + 1; b < 5; b++) {
            int differ = 0;
            for (int py = 0; py < PLAYER_H; py++)
                for (int px = 0; px < PLAYER_W; px++)
                    differ += getpixel(spaceship_bmp, a * PLAYER_W + px, py)
                              != getpixel(spaceship_bmp, b * PLAYER_W + px, py);
            EXPECT_GT(differ, 0) << "frames " << a << " and " << b;
        }
}

TEST(ShipFrame, TheFrameFollowsTheKeysHeldRightLeftUpDownFirst)
{
    struct Shown {
        const char *held;
        int keys[2];
        int frame;
    };
    for (Shown s : {Shown{"nothing", {0, 0}, 0},
                    Shown{"RIGHT", {KEY_RIGHT, 0}, 64},
                    Shown{"LEFT", {KEY_LEFT, 0}, 128},
                    Shown{"UP", {KEY_UP, 0}, 192},
                    Shown{"DOWN", {KEY_DOWN, 0}, 256},
                    Shown{"UP+RIGHT", {KEY_UP, KEY_RIGHT}, 64},
                    Shown{"LEFT+RIGHT", {KEY_LEFT, KEY_RIGHT}, 64},
                    Shown{"DOWN+LEFT", {KEY_DOWN, KEY_LEFT}, 128},
                    Shown{"UP+DOWN", {KEY_DOWN, KEY_UP}, 192},
                    Shown{"SPACE", {KEY_SPACE, 0}, 0}}) {
        SCOPED_TRACE(s.held);
        reset_world();
        player.x = 200.75f;
        player.y = 100.5f;
        for (int k : s.keys)
            if (k)
                key[k] = 1;
        draw_player();
        EXPECT_TRUE(only_frame_drawn_at(s.frame, 200, 100));
    }
}

TEST(ShipFrame, ThePlayersRocketsAreDrawnOverTheShip)
{
    reset_world();
    player.x = 200;
    player.y = 100;
    player.rockets[1] = {1, 210.0f, 110.0f, 0.0f};
    draw_player();
    int covered = 0;    // rocket pixels the ship would hide if drawn last
    for (int py = 0; py < rocket_bmp->h; py++)
        for (int px = 0; px < rocket_bmp->w; px++) {
            int c = getpixel(rocket_bmp, px, py);
            if (c == 0)
                continue;
            ASSERT_EQ(getpixel(back_buffer, 210 + px, 110 + py), c) << px << ", " << py;
            int under = getpixel(spaceship_bmp, 10 + px, 10 + py);
            covered += under != 0 && under != c;
        }
    EXPECT_GT(covered, 0) << "the rocket must lie on the ship's own pixels for this to show the order";
}

// ---- Restart ----

TEST(Restart, EnterDoesNothingWhileAliveOrWhileAnArrowIsHeld)
{
    for (int dead : {0, 1}) {
        SCOPED_TRACE(dead ? "dead, DOWN held" : "alive");
        reset_world();
        start_level(3);
        lives = dead ? 0 : 1;
        score = 420;
        key[KEY_ENTER] = 1;
        key[KEY_DOWN] = dead;
        input_task();
        EXPECT_EQ(level, 3);
        EXPECT_EQ(lives, dead ? 0 : 1);
        EXPECT_EQ(score, 420);
        EXPECT_FLOAT_EQ(player.y, dead ? 305 : 300);
    }
}

TEST(Restart, EnterWhileDeadStartsLevelOneWithScoreZeroAndFourLives)
{
    for (int dead : {0, -3}) {
        SCOPED_TRACE(testing::Message() << "lives " << dead);
        reset_world();
        start_level(4);
        hold_for(KEY_RIGHT, 30);
        hold_for(KEY_UP, 3);
        lives = dead;
        score = 987;

        hold_for(KEY_ENTER, 1);

        EXPECT_EQ(level, 1);
        EXPECT_EQ(score, 0);
        EXPECT_EQ(lives, 4);
        EXPECT_FLOAT_EQ(player.x, 50);
        EXPECT_FLOAT_EQ(player.y, 300);
        expect_start_speeds();
    }
}

// ---- Firing ----

TEST(Firing, SpaceWithAnArrowHeldStepsFirstThenFiresInTheSameCall)
{
    reset_world();
    player.reload = player.reload_time;
    key[KEY_RIGHT] = 1;
    key[KEY_SPACE] = 1;
    input_task();
    EXPECT_FLOAT_EQ(player.x, 50.5f);
    EXPECT_EQ(sounds_of(SOUND_ROCKET), 1);
    ASSERT_EQ(player.rockets[0].active, 1);
    EXPECT_FLOAT_EQ(player.rockets[0].x, 50.5f) << "the rocket leaves from where the step took the ship";
    EXPECT_FLOAT_EQ(player.rockets[0].speed, 0.5f) << "and with the speed that step gave it";
}

TEST(Firing, AfterDeathTheArrowsStillSteerAndSpaceStillFires)
{
    reset_world();
    lives = 0;
    hold_for(KEY_RIGHT, 4);
    EXPECT_FLOAT_EQ(player.x, 52);
    EXPECT_FLOAT_EQ(star_speed, 2);
    EXPECT_FLOAT_EQ(asteroid_speed, 3);
    EXPECT_FLOAT_EQ(player.rocket_speed, 2);
    hold_for(KEY_UP, 2);
    EXPECT_FLOAT_EQ(player.y, 290);

    player.reload = player.reload_time;
    hold_for(KEY_SPACE, 1);
    EXPECT_EQ(sounds_of(SOUND_ROCKET), 1);
    EXPECT_EQ(player.rockets[0].active, 1);
    EXPECT_EQ(lives, 0);
}
