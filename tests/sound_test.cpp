// sound_test.cpp -- every sound event with its fixed volume, pan and rate

#include <gtest/gtest.h>

#include "harness.h"
#include "sound/sound.h"

TEST(SoundEvents, EachEventStartsOnceWithItsOwnVolumePanAndRateFromItsShippedSample)
{
    reset_world();
    struct Row {
        SoundEvent event;
        int volume, pan, frequency;
    };
    const Row rows[] = {
        {SOUND_ROCKET, 75, 128, 1000},
        {SOUND_ASTEROID, 200, 205, 1000},
        {SOUND_ALIEN, 200, 205, 1000},
        {SOUND_SPACESHIP, 255, 127, 1000},
        {SOUND_THRUST, 50, 128, 3000},
    };
    for (const Row &r : rows) {
        int before = sounds_started;
        play_sound(r.event);
        ASSERT_EQ(sounds_started, before + 1);
        const SoundPlay *p = last_sound();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->event, r.event);
        EXPECT_EQ(p->volume, r.volume);
        EXPECT_EQ(p->pan, r.pan);
        EXPECT_EQ(p->frequency, r.frequency);
        EXPECT_EQ(p->loop, 0);
        EXPECT_TRUE(sound_loaded(r.event)) << "event " << r.event << " has no sample: a wrong file name?";
    }
}
