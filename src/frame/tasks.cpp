// tasks.cpp -- the periodic tasks, the timers that pace them, and their dispatch

#include "frame/tasks.h"

#include <algorithm>
#include <atomic>

#include <allegro.h>

#include "player/input.h"
#include "sound/sound.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/explosions.h"
#include "world/rockets.h"
#include "world/stars.h"
#include "world/state.h"

const int task_period_ms[TASKS] = {20, 100, 1000, 25};

int show_fps;
int frame_count;
int fps;
float thrust_clock;
float thrust_flag;

// Allegro calls the timers on a thread of its own; all they touch is these
// counters, so the world itself is only ever changed on the main thread.
static std::atomic<int> owed_runs[TASKS];

void tick_task()
{
    thrust_sound(100.0f);
    age_explosions(100.0f);
    clear_keybuf();
    if (key[KEY_F])
        show_fps = show_fps == 1 ? 0 : 1;
}

void second_task()
{
    add_speed_score();
    fps = frame_count;
    frame_count = 0;
}

void physics_task()
{
    update_stars();
    update_asteroids();
    update_explosions();
    // For this tick's rockets, the asteroids and aliens are found by block.
    file_asteroids();
    file_aliens();
    update_aliens();
    update_rockets(&player);
    forget_aliens();
    forget_asteroids();
}

void thrust_sound(float ms)
{
    thrust_clock = thrust_clock + ms;
    if (thrust_clock > 870) {
        if (thrust_flag == 1.0f)
            play_sound(SOUND_THRUST);
        thrust_flag = 0.0f;
    }
}

void add_speed_score()
{
    if (lives <= 0)
        return;
    score = static_cast<int>(static_cast<double>(score) + static_cast<double>(star_speed) / 2 * 10);
}

void owe_task_run(Task task)
{
    owed_runs[task]++;
}

static void owe_input() { owe_task_run(TASK_INPUT); }
static void owe_tick() { owe_task_run(TASK_TICK); }
static void owe_second() { owe_task_run(TASK_SECOND); }
static void owe_physics() { owe_task_run(TASK_PHYSICS); }

static void (*const timer_callbacks[TASKS])() = {owe_input, owe_tick, owe_second, owe_physics};
static void (*const task_bodies[TASKS])() = {input_task, tick_task, second_task, physics_task};

void install_tasks()
{
    for (int t = 0; t < TASKS; t++)
        install_int(timer_callbacks[t], task_period_ms[t]);
}

void remove_tasks()
{
    for (int t = 0; t < TASKS; t++)
        remove_int(timer_callbacks[t]);
}

void run_owed_tasks()
{
    int due[TASKS];
    for (int t = 0; t < TASKS; t++)
        due[t] = std::min(owed_runs[t].exchange(0), 1000 / task_period_ms[t]);

    // Round by round, so that after a slow frame input and physics still
    // alternate as they would have in real time.
    bool ran = true;
    while (ran) {
        ran = false;
        for (int t = 0; t < TASKS; t++) {
            if (due[t] > 0) {
                due[t]--;
                task_bodies[t]();
                ran = true;
            }
        }
    }
}
