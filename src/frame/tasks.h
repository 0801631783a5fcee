// tasks.h -- the four periodic tasks that advance the game, and their counters

#ifndef STARDRIFT_FRAME_TASKS_H
#define STARDRIFT_FRAME_TASKS_H

// The tasks in the order they are installed, which is also the order the
// dispatcher runs them in within one round.
enum Task { TASK_INPUT, TASK_TICK, TASK_SECOND, TASK_PHYSICS, TASKS };

extern const int task_period_ms[TASKS];     // 20, 100, 1000, 25

extern int show_fps;            // 1 while the FPS line is shown
extern int frame_count;         // frames composed since the last second task
extern int fps;                 // frames composed during the last second
extern float thrust_clock;      // milliseconds counted by the thrust pacing, never reset
extern float thrust_flag;       // 1.0 after the player steered, 0.0 once the pacing saw it

// Every 100 ms: thrust pacing, explosion ageing, emptying the typed-key
// buffer, and the F toggle of the FPS line.
void tick_task();

// Every second: the score credit, then the frame rate.
void second_task();

// Every 25 ms, the physics tick: stars, asteroids, explosions, aliens with
// their rockets, and last the player's rockets.
void physics_task();

// Counts ms toward the thrust pacing; past the first 870 ms, starts the
// thrust sound if the player steered since the last call.
void thrust_sound(float ms);

// While alive, adds five times the star speed (integer part) to the score.
void add_speed_score();

// Installs one Allegro timer per task. The timers only count owed runs;
// the task bodies run on the main thread in run_owed_tasks.
void install_tasks();

// Removes the timers; no owed run is counted after it returns.
void remove_tasks();

// Counts one owed run of the task: the whole work of a timer callback.
void owe_task_run(Task task);

// Runs the task bodies owed since the last call, round by round in install
// order, at most one second's worth of each (a long stall is not replayed).
// Called by the frame loop before it composes each frame.
void run_owed_tasks();

#endif
