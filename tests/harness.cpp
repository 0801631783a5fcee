// harness.cpp -- brings Allegro up without a display and resets the world

#include "harness.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "frame/startup.h"
#include "frame/tasks.h"
#include "sound/sound.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/explosions.h"
#include "world/state.h"

namespace {

// Allegro without a display serves memory bitmaps, sprites, samples and text;
// timers and the screen are not available, so tests call task bodies directly.
class HeadlessAllegro : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, std::atexit), 0);
        set_color_depth(8);
        res_x = 800;
        res_y = 600;
        back_buffer = create_bitmap(res_x, res_y);
        load_graphics();
        load_sounds();
    }
};

const ::testing::Environment *const headless = ::testing::AddGlobalTestEnvironment(new HeadlessAllegro);

} // namespace

void release_keys()
{
    for (int i = 0; i < KEY_MAX; i++)
        key[i] = 0;
}

void reset_world(int width, int height)
{
    release_keys();
    if (!back_buffer || back_buffer->w != width || back_buffer->h != height) {
        destroy_bitmap(back_buffer);
        back_buffer = create_bitmap(width, height);
    }
    clear_bitmap(back_buffer);
    res_x = width;
    res_y = height;

    std::memset(&player, 0, sizeof player);
    free_explosions();
    show_fps = 0;
    frame_count = 0;
    fps = 0;
    thrust_clock = 0;
    thrust_flag = 0;
    score = 0;
    lives = 0;

    std::srand(1);
    start_level(1);
    sounds_started = 0;
}

void park_asteroids()
{
    for (int i = 0; i < asteroid_count; i++)
        asteroids[i] = {static_cast<float>(res_x), 10000.0f};
}

bool sprite_shown(BITMAP *sprite, int x, int y)
{
    int opaque = 0;
    for (int py = 0; py < sprite->h; py++)
        for (int px = 0; px < sprite->w; px++) {
            int want = getpixel(sprite, px, py);
            if (want == 0)
                continue;
            opaque++;
            if (getpixel(back_buffer, x + px, y + py) != want)
                return false;
        }
    return opaque > 0;
}

void expect_start_speeds()
{
    EXPECT_FLOAT_EQ(star_speed, 0);
    EXPECT_FLOAT_EQ(asteroid_speed, 1.0f);
    EXPECT_FLOAT_EQ(player.rocket_speed, 0);
}

int count_color(BITMAP *bitmap, int color, int x, int y, int w, int h)
{
    int n = 0;
    for (int py = y; py < y + h; py++)
        for (int px = x; px < x + w; px++)
            if (getpixel(bitmap, px, py) == color)
                n++;
    return n;
}

int sounds_of(int event)
{
    int n = 0;
    int kept = sounds_started < SOUND_LOG_SIZE ? sounds_started : SOUND_LOG_SIZE;
    for (int i = 0; i < kept; i++)
        if (sound_log[i].event == event)
            n++;
    return n;
}
