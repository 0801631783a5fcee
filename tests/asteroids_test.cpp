// asteroids_test.cpp -- the asteroid field: placing, drifting, wrapping, struck, and the hazard step

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "harness.h"
#include "sound/sound.h"
#include "world/asteroids.h"
#include "world/explosions.h"
#include "world/state.h"

// How many of the sprite's pixels drawn at (x, y) show as they should:
// opaque ones in their colour, transparent ones still `under`.
static int sprite_pixels_shown(int x, int y, int under)
{
    int n = 0;
    for (int py = 0; py < asteroid_bmp->h; py++)
        for (int px = 0; px < asteroid_bmp->w; px++) {
            int want = getpixel(asteroid_bmp, px, py);
            n += getpixel(back_buffer, x + px, y + py) == (want == 0 ? under : want);
        }
    return n;
}

TEST(AsteroidSpawn, ANewFieldHasWholeNumberedAsteroidsInTheRightAndLowerHalves)
{
    reset_world();
    EXPECT_EQ(asteroid_count, 2);
    start_level(3);
    EXPECT_EQ(asteroid_count, 6);

    struct Row {
        int w, h, min_x, min_y;
    };
    for (Row r : {Row{800, 600, 400, 300}, Row{1001, 601, 500, 300}}) {
        reset_world(r.w, r.h);
        init_asteroids(4000);   // enough to reach both ends of every range
        float lo_x = 1e9f, hi_x = -1e9f, lo_y = 1e9f, hi_y = -1e9f;
        for (int i = 0; i < asteroid_count; i++) {
            const Asteroid &a = asteroids[i];
            ASSERT_EQ(a.x, std::floor(a.x));
            ASSERT_EQ(a.y, std::floor(a.y));
            lo_x = std::min(lo_x, a.x);
            hi_x = std::max(hi_x, a.x);
            lo_y = std::min(lo_y, a.y);
            hi_y = std::max(hi_y, a.y);
        }
        EXPECT_EQ(lo_x, r.min_x) << r.w << " x " << r.h;
        EXPECT_EQ(hi_x, r.w) << r.w << " x " << r.h;
        EXPECT_EQ(lo_y, r.min_y) << r.w << " x " << r.h;
        EXPECT_EQ(hi_y, r.h) << r.w << " x " << r.h;
    }
    reset_world();
}

TEST(AsteroidDrift, AnAsteroidAtZeroIsStillOnScreenAndWrapsOnlyAtTheNextTick)
{
    for (float speed : {1.0f, 2.5f}) {
        reset_world();
        park_asteroids();
        asteroid_speed = speed;
        asteroids[0] = {0.0f, 450.0f};
        update_asteroids();
        EXPECT_FLOAT_EQ(asteroids[0].x, -speed);
        EXPECT_FLOAT_EQ(asteroids[0].y, 450.0f);
        update_asteroids();
        EXPECT_FLOAT_EQ(asteroids[0].x, 800 - speed);
    }
}

TEST(AsteroidDrift, AWrapDrawsAWholeNumberedRowFromTheWholeHeight)
{
    reset_world();
    park_asteroids();
    float lo = 1e9f, hi = -1e9f;
    for (int i = 0; i < 6000; i++) {
        asteroids[0].x = -0.5f;
        update_asteroids();
        float y = asteroids[0].y;
        ASSERT_EQ(y, std::floor(y));
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 600);
}

TEST(AsteroidStrike, OnlyTheLowestNumberedOfTwoOverlappingAsteroidsIsStruckPerCall)
{
    reset_world();
    asteroids[0] = {300.0f, 200.0f};
    asteroids[1] = {305.0f, 205.0f};
    float parked = static_cast<float>(-asteroid_bmp->w);

    EXPECT_EQ(asteroid_hit(310, 210, 16, 5), 1);
    EXPECT_FLOAT_EQ(asteroids[0].x, parked);
    EXPECT_FLOAT_EQ(asteroids[0].y, 200.0f);
    EXPECT_FLOAT_EQ(asteroids[1].x, 305.0f);
    EXPECT_EQ(sounds_started, 1);
    EXPECT_EQ(last_sound()->event, SOUND_ASTEROID);
    EXPECT_EQ(explosions[1].active, 0);

    EXPECT_EQ(asteroid_hit(310, 210, 16, 5), 1);
    EXPECT_FLOAT_EQ(asteroids[1].x, parked);
    EXPECT_EQ(sounds_of(SOUND_ASTEROID), 2);
    EXPECT_EQ(explosions[1].active, 1);

    EXPECT_EQ(asteroid_hit(310, 210, 16, 5), 0);
    EXPECT_EQ(sounds_started, 2);

    // Parked beyond the left edge, it wraps at the next tick.
    update_asteroids();
    EXPECT_FLOAT_EQ(asteroids[0].x, 799.0f);
}

TEST(AsteroidStrike, TheBurstOfFiftyParticlesStartsAtTheStruckSpritesCentre)
{
    reset_world();
    int half_w = asteroid_bmp->w / 2;
    int half_h = asteroid_bmp->h / 2;
    ASSERT_GT(half_w, 11);

    asteroids[0] = {300.7f, 200.2f};
    ASSERT_EQ(asteroid_hit(310, 210, 16, 5), 1);
    EXPECT_EQ(explosions[0].count, 50);
    EXPECT_EQ(explosions[0].color, 129);
    EXPECT_EQ(explosions[0].lifetime, 600);
    EXPECT_FLOAT_EQ(explosions[0].particles[0].x, static_cast<float>(300 + half_w));
    EXPECT_FLOAT_EQ(explosions[0].particles[0].y, static_cast<float>(200 + half_h));

    // Partly past the left edge: w/2 - 10.7 truncates to w/2 - 11, not to
    // the w/2 - 10 that truncating the position first would give.
    asteroids[1] = {-10.7f, 100.0f};
    ASSERT_EQ(asteroid_hit(0, 110, 16, 5), 1);
    EXPECT_FLOAT_EQ(explosions[1].particles[0].x, static_cast<float>(half_w - 11));
}

TEST(HazardStep, AContactCostsOneLifeWhileTheAsteroidIsStillDrawnWhereItWas)
{
    reset_world();
    clear_to_color(back_buffer, 7);
    asteroids[0] = {90.5f, 310.5f};     // on the ship at (50, 300)
    asteroids[1] = {400.9f, 100.9f};
    int whole_sprite = asteroid_bmp->w * asteroid_bmp->h;

    draw_hazards();

    EXPECT_EQ(lives, 3);
    EXPECT_EQ(sounds_of(SOUND_ASTEROID), 1);
    EXPECT_FLOAT_EQ(asteroids[0].x, static_cast<float>(-asteroid_bmp->w));
    EXPECT_FLOAT_EQ(asteroids[1].x, 400.9f);
    EXPECT_EQ(sprite_pixels_shown(400, 100, 7), whole_sprite);
    // The burst, drawn in the same frame, covers one pixel of the sprite.
    EXPECT_EQ(sprite_pixels_shown(90, 310, 7), whole_sprite - 1);
    EXPECT_EQ(getpixel(back_buffer, 90 + asteroid_bmp->w / 2, 310 + asteroid_bmp->h / 2), 129);
}

TEST(HazardStep, TwoAsteroidsOnTheShipCostOneLifeInEachOfTwoFrames)
{
    reset_world();
    asteroids[0] = {90.0f, 310.0f};
    asteroids[1] = {95.0f, 305.0f};
    draw_hazards();
    EXPECT_EQ(lives, 3);
    draw_hazards();
    EXPECT_EQ(lives, 2);
    draw_hazards();
    EXPECT_EQ(lives, 2);
}

TEST(HazardStep, ContactsGoOnCostingLivesBelowZero)
{
    reset_world();
    park_asteroids();
    lives = 1;
    for (int expected : {0, -1, -2}) {
        asteroids[0] = {90.0f, 310.0f};
        draw_hazards();
        EXPECT_EQ(lives, expected);
    }
}

TEST(HazardStep, TheShipsBoxIs64By33AtItsTruncatedPlaceAndTouchingCostsNothing)
{
    reset_world();
    park_asteroids();
    player.x = 50.9f;
    player.y = 300.9f;
    asteroids[0] = {114.0f, 310.0f};    // against the right side, 50 + 64
    draw_hazards();
    asteroids[0] = {60.0f, 333.0f};     // against the bottom, 300 + 33
    draw_hazards();
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(sounds_started, 0);

    asteroids[0] = {113.0f, 310.0f};
    draw_hazards();
    asteroids[0] = {60.0f, 332.0f};
    draw_hazards();
    EXPECT_EQ(lives, 2);
}
