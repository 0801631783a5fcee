// display_test.cpp -- the status line, the FPS line, life icons and the death message

#include <gtest/gtest.h>

#include "frame/display.h"
#include "frame/tasks.h"
#include "harness.h"
#include "world/state.h"

// True when `text`, centred on cx with its top at y, is in back_buffer in
// `color` exactly: every pixel of the text, and no other pixel of its box.
static bool text_shown(const char *text, int cx, int y, int color)
{
    BITMAP *expected = create_bitmap(back_buffer->w, back_buffer->h);
    clear_bitmap(expected);
    textout_centre_ex(expected, font, text, cx, y, color, -1);
    int w = text_length(font, text);
    int h = text_height(font);
    int left = cx - w / 2;
    bool same = true;
    for (int py = y; py < y + h; py++)
        for (int px = left; px < left + w; px++)
            if ((getpixel(expected, px, py) == color) != (getpixel(back_buffer, px, py) == color))
                same = false;
    bool drawn = count_color(expected, color, left, y, w, h) > 0;
    destroy_bitmap(expected);
    return same && drawn;
}

static const char *const death_message =
    "You have DIED. Press ESC to quit the game or ENTER to try again.";

TEST(StatusDisplay, TheFirstFrameShowsLevelOneScoreZeroAndFourLives)
{
    reset_world();
    compose_frame();
    EXPECT_TRUE(text_shown("Level: 1 Score: 0", 370, 9, 215));
    for (int x : {10, 30, 50, 70})
        EXPECT_TRUE(sprite_shown(life_bmp, x, 10)) << "icon at x " << x;
    EXPECT_FALSE(sprite_shown(life_bmp, 90, 10));
    EXPECT_FALSE(text_shown(death_message, 400, 300, 50));
    EXPECT_EQ(frame_count, 1);
}

TEST(StatusDisplay, TheStatusLineFollowsLevelScoreAndTheScreenSize)
{
    reset_world(1024, 768);
    level = 12;
    score = 2147483647;
    compose_frame();
    EXPECT_TRUE(text_shown("Level: 12 Score: 2147483647", 473, 12, 215));
    reset_world();
}

TEST(StatusDisplay, TheFpsLineShowsOnlyWhileSwitchedOn)
{
    reset_world();
    fps = 48;
    compose_frame();
    EXPECT_FALSE(text_shown("FPS: 48", 610, 9, 215));
    EXPECT_EQ(count_color(back_buffer, 215, 560, 9, 100, 8), 0);

    show_fps = 1;
    clear_bitmap(back_buffer);
    compose_frame();
    EXPECT_TRUE(text_shown("FPS: 48", 610, 9, 215));

    show_fps = 0;
    clear_bitmap(back_buffer);
    compose_frame();
    EXPECT_EQ(count_color(back_buffer, 215, 560, 9, 100, 8), 0);
}

TEST(StatusDisplay, AtZeroOrNegativeLivesTheDeathMessageShowsAndNoIcon)
{
    for (int dead : {0, -3}) {
        reset_world();
        lives = dead;
        draw_status();
        EXPECT_TRUE(text_shown(death_message, 400, 300, 50)) << "lives " << dead;
        EXPECT_FALSE(sprite_shown(life_bmp, 10, 10)) << "lives " << dead;
    }
}

TEST(StatusDisplay, OneIconPerRemainingLife)
{
    reset_world();
    lives = 2;
    draw_status();
    EXPECT_TRUE(sprite_shown(life_bmp, 10, 10));
    EXPECT_TRUE(sprite_shown(life_bmp, 30, 10));
    EXPECT_FALSE(sprite_shown(life_bmp, 50, 10));
    EXPECT_FALSE(text_shown(death_message, 400, 300, 50));
}
