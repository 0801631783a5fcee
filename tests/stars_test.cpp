// stars_test.cpp -- scattering, scrolling, wrapping and drawing the star field

#include <cstdlib>

#include <gtest/gtest.h>

#include "frame/tasks.h"
#include "harness.h"
#include "player/input.h"
#include "world/stars.h"
#include "world/state.h"

// Lines every star up in column x, star i on row i, so each one is watched.
static void line_up_stars(float x)
{
    for (int i = 0; i < STAR_COUNT; i++)
        stars[i] = {x, static_cast<float>(i)};
}

static int star_pixels()
{
    return count_color(back_buffer, STAR_COLOR, 0, 0, back_buffer->w, back_buffer->h);
}

// ---- Scattering ----

TEST(StarScatter, EachStarTakesTwoDrawsColumnFirstAndLandsOnAWholePixelOfTheScreen)
{
    struct Size {
        int w, h;
    };
    for (Size s : {Size{800, 600}, Size{320, 200}}) {
        reset_world(s.w, s.h);
        std::srand(77);
        init_stars();
        std::srand(77);
        for (int i = 0; i < STAR_COUNT; i++) {
            int x = std::rand() % s.w;
            int y = std::rand() % s.h;
            ASSERT_EQ(stars[i].x, static_cast<float>(x)) << s.w << "x" << s.h << " star " << i;
            ASSERT_EQ(stars[i].y, static_cast<float>(y)) << s.w << "x" << s.h << " star " << i;
        }
    }
    reset_world();
}

TEST(StarScatter, EveryLevelStartScattersAllTheStarsAnew)
{
    reset_world();
    line_up_stars(-50);
    start_level(2);
    for (int i = 0; i < STAR_COUNT; i++)
        ASSERT_GE(stars[i].x, 0) << "star " << i << " was left where the last level had it";

    // The restart after death, through the keys.
    line_up_stars(-50);
    lives = 0;
    key[KEY_ENTER] = 1;
    input_task();
    ASSERT_EQ(level, 1);
    for (int i = 0; i < STAR_COUNT; i++)
        ASSERT_GE(stars[i].x, 0) << "star " << i << " was left where it was before the restart";
}

// ---- Scrolling and wrapping ----

TEST(StarScroll, AStarAtTheLeftEdgeFirstMovesOffThenComesBackAtTheRight)
{
    reset_world();
    star_speed = 0.5f;
    line_up_stars(0.0f);

    update_stars();
    for (int i = 0; i < STAR_COUNT; i++) {
        ASSERT_FLOAT_EQ(stars[i].x, -0.5f) << "a star at 0.0 is still on screen and must not wrap";
        ASSERT_FLOAT_EQ(stars[i].y, static_cast<float>(i));
    }
    draw_stars();
    EXPECT_EQ(count_color(back_buffer, STAR_COLOR, 0, 0, 1, 600), STAR_COUNT)
        << "a star at -0.5 is drawn in column 0";
    EXPECT_EQ(star_pixels(), STAR_COUNT);

    clear_bitmap(back_buffer);
    std::srand(9);
    update_stars();
    std::srand(9);
    for (int i = 0; i < STAR_COUNT; i++) {
        ASSERT_FLOAT_EQ(stars[i].x, 799.5f) << "star " << i;
        ASSERT_EQ(stars[i].y, static_cast<float>(std::rand() % 600)) << "star " << i << " row";
    }
    draw_stars();
    int right_column = count_color(back_buffer, STAR_COLOR, 799, 0, 1, 600);
    EXPECT_GT(right_column, 0);
    EXPECT_EQ(star_pixels(), right_column) << "wrapped stars are drawn in column 799 only";
}

TEST(StarScroll, AtFullSpeedAStarJumpsOffScreenUndrawnAndReturnsAtTheSpeedFromTheRight)
{
    reset_world();
    star_speed = 10;
    line_up_stars(5);

    update_stars();
    EXPECT_FLOAT_EQ(stars[0].x, -5);
    EXPECT_FLOAT_EQ(stars[STAR_COUNT - 1].x, -5);
    draw_stars();
    EXPECT_EQ(star_pixels(), 0);

    update_stars();
    for (int i = 0; i < STAR_COUNT; i++)
        ASSERT_FLOAT_EQ(stars[i].x, 790) << "star " << i;
}

TEST(StarScroll, AWrappedStarComesInAtTheRightEdgeOfASmallerScreen)
{
    reset_world(320, 200);
    star_speed = 1.5f;
    line_up_stars(-1);
    update_stars();
    for (int i = 0; i < STAR_COUNT; i++) {
        ASSERT_FLOAT_EQ(stars[i].x, 318.5f) << "star " << i;
        ASSERT_LT(stars[i].y, 200) << "star " << i;
    }
    reset_world();
}

TEST(StarScroll, AtSpeedZeroTheFieldStandsStill)
{
    reset_world();
    stars[0] = {0.0f, 10.0f};
    Star before[STAR_COUNT];
    for (int i = 0; i < STAR_COUNT; i++)
        before[i] = stars[i];
    for (int t = 0; t < 1000; t++)
        update_stars();
    for (int i = 0; i < STAR_COUNT; i++) {
        ASSERT_EQ(stars[i].x, before[i].x) << "star " << i;
        ASSERT_EQ(stars[i].y, before[i].y) << "star " << i;
    }
}

TEST(StarScroll, TheFieldKeepsScrollingWhileThePlayerIsDead)
{
    reset_world();
    lives = 0;
    star_speed = 2.5f;
    line_up_stars(400);
    physics_task();
    EXPECT_FLOAT_EQ(stars[0].x, 397.5f);
    EXPECT_FLOAT_EQ(stars[STAR_COUNT - 1].x, 397.5f);
}

// ---- Drawing ----

TEST(StarDrawing, EachStarIsOnePixelOfColor210AtItsTruncatedPlace)
{
    reset_world();
    for (int i = 0; i < STAR_COUNT; i++)
        stars[i] = {3 * i + 0.75f, 2 * i + 0.9f};
    draw_stars();
    for (int i = 0; i < STAR_COUNT; i++)
        ASSERT_EQ(getpixel(back_buffer, 3 * i, 2 * i), 210) << "star " << i;
    EXPECT_EQ(star_pixels(), STAR_COUNT) << "nothing but the stars is drawn";
}
