// sound.cpp -- plays the five sound events through Allegro's mixer

#include "sound/sound.h"

#include <allegro.h>

struct SoundEffect {
    const char *file;
    int volume, pan, frequency, loop;
};

static const SoundEffect effects[SOUND_EVENTS] = {
    {"sounds/rocket.wav",    75,  128, 1000, 0},
    {"sounds/asteroid.wav",  200, 205, 1000, 0},
    {"sounds/alien.wav",     200, 205, 1000, 0},
    {"sounds/spaceship.wav", 255, 127, 1000, 0},
    {"sounds/thrust.wav",    50,  128, 3000, 0},  // three times the recorded rate
};

static SAMPLE *samples[SOUND_EVENTS];

SoundPlay sound_log[SOUND_LOG_SIZE];
int sounds_started;

// A file Allegro cannot read leaves its event silent. So does one it reads as
// holding no sound at all (a data chunk whose length is given as 0xFFFFFFFF
// comes out so): the mixer would read past the end of an empty sample.
static SAMPLE *load_playable_sample(const char *file)
{
    SAMPLE *sample = load_sample(file);
    if (sample && sample->len == 0) {
        destroy_sample(sample);
        sample = nullptr;
    }
    return sample;
}

void load_sounds()
{
    for (int i = 0; i < SOUND_EVENTS; i++) {
        if (!samples[i])
            samples[i] = load_playable_sample(effects[i].file);
    }
}

void unload_sounds()
{
    for (int i = 0; i < SOUND_EVENTS; i++) {
        if (samples[i])
            destroy_sample(samples[i]);
        samples[i] = nullptr;
    }
}

void play_sound(SoundEvent event)
{
    const SoundEffect &e = effects[event];
    sound_log[sounds_started % SOUND_LOG_SIZE] = {event, e.volume, e.pan, e.frequency, e.loop};
    sounds_started++;
    if (samples[event])
        play_sample(samples[event], e.volume, e.pan, e.frequency, e.loop);
}

bool sound_loaded(SoundEvent event)
{
    return samples[event] != nullptr;
}

const SoundPlay *last_sound()
{
    if (sounds_started == 0)
        return nullptr;
    return &sound_log[(sounds_started - 1) % SOUND_LOG_SIZE];
}
