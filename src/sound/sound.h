// sound.h -- the game's sound events

#ifndef STARDRIFT_SOUND_SOUND_H
#define STARDRIFT_SOUND_SOUND_H

enum SoundEvent {
    SOUND_ROCKET,       // a ship fires a rocket
    SOUND_ASTEROID,     // an asteroid is struck
    SOUND_ALIEN,        // an alien is destroyed
    SOUND_SPACESHIP,    // an alien rocket hits the player
    SOUND_THRUST,       // the player steers (paced by the tick task)
    SOUND_EVENTS
};

// One started sound, as handed to the mixer.
struct SoundPlay {
    SoundEvent event;
    int volume;         // 0..255
    int pan;            // 0 left, 128 centre, 255 right
    int frequency;      // thousandths of the recorded rate
    int loop;           // 0 = play once
};

// The last SOUND_LOG_SIZE sounds started, oldest overwritten first, and how
// many were started in all: the record tests read instead of a sound card.
constexpr int SOUND_LOG_SIZE = 64;
extern SoundPlay sound_log[SOUND_LOG_SIZE];
extern int sounds_started;

// Loads every event's sample once; a missing or unreadable file leaves that
// event silent. Called by start-up after the sound driver is installed.
void load_sounds();

// Releases the samples. Called at shutdown, after the tasks are removed.
void unload_sounds();

// Starts the event's sample once, at its fixed volume, pan and rate, and
// returns at once. Silent when the sample could not be loaded.
void play_sound(SoundEvent event);

// Whether the event's sample was loaded; without one the event is silent.
bool sound_loaded(SoundEvent event);

// The most recent sound started, for tests; nullptr before the first.
const SoundPlay *last_sound();

#endif
