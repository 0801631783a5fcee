// state_test.cpp -- what a level start sets, and what it leaves alone

#include <gtest/gtest.h>

#include "frame/tasks.h"
#include "harness.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/explosions.h"
#include "world/state.h"

TEST(StartLevel, LevelOneAt800x600PutsTheShipAt50x300WithFourLives)
{
    reset_world();
    EXPECT_EQ(level, 1);
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(asteroid_count, 2);
    EXPECT_EQ(alien_count, 2);
    EXPECT_EQ(aliens_alive, 2);
    EXPECT_FLOAT_EQ(player.x, 50);
    EXPECT_FLOAT_EQ(player.y, 300);
    expect_start_speeds();
    EXPECT_FLOAT_EQ(player.step_x, 0.5f);
    EXPECT_FLOAT_EQ(player.step_y, 5.0f);
    EXPECT_FLOAT_EQ(player.rocket_accel, 0.1f);
    EXPECT_EQ(player.reload_time, 400);
    EXPECT_EQ(player.active, 1);
    EXPECT_EQ(player.rocket_sprite, rocket_bmp);
}

TEST(StartLevel, TheStartPlaceIsTruncatedFromTheScreenSize)
{
    reset_world(1000, 601);
    EXPECT_FLOAT_EQ(player.x, 62);
    EXPECT_FLOAT_EQ(player.y, 300);
    reset_world(1024, 768);
    EXPECT_FLOAT_EQ(player.x, 64);
    EXPECT_FLOAT_EQ(player.y, 384);
    reset_world();
}

TEST(StartLevel, ALaterLevelKeepsLivesScoreRocketsAndBursts)
{
    reset_world();
    lives = 2;
    score = 1234;
    player.x = 300;
    player.y = 40;
    star_speed = 7.5f;
    asteroid_speed = 12;
    player.rocket_speed = 3;
    player.reload = 260;
    player.rockets[2] = {1, 400.0f, 100.0f, 2.5f};
    spawn_explosion(100, 100, 10, 600, 129);
    show_fps = 1;
    thrust_clock = 1500;

    start_level(3);

    EXPECT_EQ(level, 3);
    EXPECT_EQ(lives, 2);
    EXPECT_EQ(score, 1234);
    EXPECT_EQ(asteroid_count, 6);
    EXPECT_EQ(alien_count, 4);
    EXPECT_FLOAT_EQ(player.x, 50);
    EXPECT_FLOAT_EQ(player.y, 300);
    expect_start_speeds();
    EXPECT_EQ(player.reload, 260);
    EXPECT_EQ(player.rockets[2].active, 1);
    EXPECT_FLOAT_EQ(player.rockets[2].x, 400);
    EXPECT_EQ(explosions[0].active, 1);
    EXPECT_EQ(show_fps, 1);
    EXPECT_FLOAT_EQ(thrust_clock, 1500);
}

TEST(StartLevel, LevelOneAfterDeathGivesBackFourLivesAndTheStartSpeeds)
{
    reset_world();
    lives = -2;
    star_speed = 7.5f;
    asteroid_speed = 12;
    player.rocket_speed = 3;
    start_level(1);
    EXPECT_EQ(lives, 4);
    expect_start_speeds();
}
