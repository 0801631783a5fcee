// tasks_test.cpp -- the tick, second and physics tasks, and their dispatch

#include <gtest/gtest.h>

#include "frame/tasks.h"
#include "harness.h"
#include "sound/sound.h"
#include "world/explosions.h"
#include "world/stars.h"
#include "world/state.h"

TEST(FpsToggle, FFlipsTheReadOutOnEveryTickWhileHeld)
{
    reset_world();
    tick_task();
    EXPECT_EQ(show_fps, 0);
    key[KEY_F] = 1;
    tick_task();
    EXPECT_EQ(show_fps, 1);
    tick_task();
    EXPECT_EQ(show_fps, 0);
    tick_task();
    EXPECT_EQ(show_fps, 1);
    key[KEY_F] = 0;
    tick_task();
    EXPECT_EQ(show_fps, 1);
}

TEST(ThrustPacing, TheFirstEightTicksAreSilentAndKeepTheFlag)
{
    reset_world();
    thrust_flag = 1.0f;
    for (int i = 0; i < 8; i++)
        tick_task();
    EXPECT_EQ(sounds_of(SOUND_THRUST), 0);
    EXPECT_FLOAT_EQ(thrust_flag, 1.0f);
    EXPECT_FLOAT_EQ(thrust_clock, 800);
    tick_task();
    EXPECT_EQ(sounds_of(SOUND_THRUST), 1);
    EXPECT_EQ(last_sound()->frequency, 3000);
    EXPECT_FLOAT_EQ(thrust_flag, 0.0f);
}

TEST(ThrustPacing, AfterTheSilentStartEachTickWithSteeringSoundsOnce)
{
    reset_world();
    for (int i = 0; i < 9; i++)
        tick_task();
    ASSERT_EQ(sounds_of(SOUND_THRUST), 0);
    for (int i = 0; i < 5; i++) {
        thrust_flag = 1.0f;     // as every steering step of the input task does
        tick_task();
    }
    EXPECT_EQ(sounds_of(SOUND_THRUST), 5);
    tick_task();
    tick_task();
    EXPECT_EQ(sounds_of(SOUND_THRUST), 5);
}

TEST(ThrustPacing, ARestartDoesNotBringBackTheSilentStart)
{
    reset_world();
    for (int i = 0; i < 9; i++)
        tick_task();
    start_level(1);
    thrust_flag = 1.0f;
    tick_task();
    EXPECT_EQ(sounds_of(SOUND_THRUST), 1);
}

TEST(ScoreCredit, EachSecondAddsFiveTimesTheStarSpeed)
{
    struct Row {
        float speed;
        int added;
    };
    for (Row r : {Row{0, 0}, Row{0.5f, 2}, Row{1.0f, 5}, Row{1.5f, 7}, Row{10, 50}}) {
        reset_world();
        score = 100;
        star_speed = r.speed;
        second_task();
        EXPECT_EQ(score, 100 + r.added) << "star speed " << r.speed;
    }
}

TEST(ScoreCredit, NothingIsCreditedWhileDead)
{
    for (int dead : {0, -1}) {
        reset_world();
        lives = dead;
        star_speed = 10;
        score = 70;
        second_task();
        EXPECT_EQ(score, 70);
    }
}

TEST(SecondTask, TakesTheFrameCountAsFpsAndStartsCountingAgain)
{
    reset_world();
    fps = 99;
    frame_count = 47;
    second_task();
    EXPECT_EQ(fps, 47);
    EXPECT_EQ(frame_count, 0);
}

TEST(TickTask, AgesTheBurstsByOneHundredMilliseconds)
{
    reset_world();
    spawn_explosion(400, 300, 8, 600, 129);
    tick_task();
    EXPECT_EQ(explosions[0].age, 100);
}

TEST(Dispatcher, RunsOwedTasksRoundByRoundInInstallOrder)
{
    reset_world();
    for (Star &s : stars)
        s.x = 400;
    key[KEY_RIGHT] = 1;
    // Input first in each round, and one run of each per round: the stars
    // move 0.5 at the speed of the first steering, then 1.0 at the second's
    // (all input first would move them 1.0 twice).
    owe_task_run(TASK_PHYSICS);
    owe_task_run(TASK_PHYSICS);
    owe_task_run(TASK_INPUT);
    owe_task_run(TASK_INPUT);
    run_owed_tasks();
    EXPECT_FLOAT_EQ(star_speed, 1.0f);
    EXPECT_FLOAT_EQ(stars[0].x, 398.5f);

    run_owed_tasks();
    EXPECT_FLOAT_EQ(stars[0].x, 398.5f) << "nothing owed, nothing runs";
}

TEST(Dispatcher, ALongStallIsCaughtUpByAtMostOneSecond)
{
    reset_world();
    for (int i = 0; i < 150; i++)
        owe_task_run(TASK_TICK);
    for (int i = 0; i < 3; i++)
        owe_task_run(TASK_SECOND);
    frame_count = 30;
    run_owed_tasks();
    EXPECT_FLOAT_EQ(thrust_clock, 1000);
    EXPECT_EQ(fps, 30) << "the second task is caught up once, not three times";
    run_owed_tasks();
    EXPECT_FLOAT_EQ(thrust_clock, 1000);
}
