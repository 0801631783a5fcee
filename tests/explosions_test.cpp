// explosions_test.cpp -- burst slots, the particle ring, drift, ageing and drawing

#include <gtest/gtest.h>

#include "harness.h"
#include "world/explosions.h"
#include "world/state.h"

TEST(BurstSlots, ANewBurstTakesTheFirstFreeSlot)
{
    reset_world();
    for (int i = 0; i < EXPLOSION_SLOTS; i++)
        spawn_explosion(100 * i, 100, 8, 600, 10 + i);
    explosions[0].active = 0;
    explosions[2].active = 0;

    spawn_explosion(400, 300, 20, 600, 129);
    EXPECT_EQ(explosions[0].color, 129);
    EXPECT_EQ(explosions[2].active, 0);
    spawn_explosion(400, 300, 150, 600, 86);
    EXPECT_EQ(explosions[2].active, 1);
    EXPECT_EQ(explosions[2].color, 86);
    // The reused slot holds all 150 particles, not its old 8. Writing 150
    // into an array of 8 would still read back here; the AddressSanitizer
    // build of this test is what stops that.
    EXPECT_FLOAT_EQ(explosions[2].particles[149].x, 400);
}

TEST(BurstSlots, TheSixthBurstWithinItsLifetimeIsDropped)
{
    reset_world();
    for (int i = 0; i < EXPLOSION_SLOTS; i++) {
        spawn_explosion(100 * i, 100, 8, 600, 10 + i);
        age_explosions(100.0f);
    }
    spawn_explosion(700, 500, 50, 600, 129);
    for (int i = 0; i < EXPLOSION_SLOTS; i++) {
        EXPECT_EQ(explosions[i].color, 10 + i) << "slot " << i;
        EXPECT_EQ(explosions[i].count, 8) << "slot " << i;
        EXPECT_EQ(explosions[i].age, 100 * (EXPLOSION_SLOTS - i)) << "slot " << i;
    }
}

TEST(BurstRing, FourParticlesStartTogetherHeadingRightDownLeftAndUp)
{
    reset_world();
    spawn_explosion(400, 300, 4, 600, 129);
    const Explosion &e = explosions[0];
    EXPECT_EQ(e.active, 1);
    EXPECT_EQ(e.age, 0);
    EXPECT_EQ(e.lifetime, 600);
    const float heading[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (int j = 0; j < 4; j++) {
        EXPECT_FLOAT_EQ(e.particles[j].x, 400) << "particle " << j;
        EXPECT_FLOAT_EQ(e.particles[j].y, 300) << "particle " << j;
        EXPECT_NEAR(e.particles[j].vx, heading[j][0], 1e-3) << "particle " << j;
        EXPECT_NEAR(e.particles[j].vy, heading[j][1], 1e-3) << "particle " << j;
    }
    // Three steps of 6.283 / 4 fall about 0.00014 short of straight up, so the
    // last particle leans a little left, where a full turn of 2 pi would not.
    EXPECT_NEAR(e.particles[3].vx, -1.39e-4, 1e-5);
}

TEST(BurstDrift, BurstsSpreadWhileDriftingLeftAtTheAsteroidSpeed)
{
    reset_world();
    spawn_explosion(400, 300, 4, 600, 129);
    const Particle *p = explosions[0].particles;
    for (int tick = 0; tick < 3; tick++)
        update_explosions();
    EXPECT_NEAR(p[0].x, 400, 1e-4);     // heading right against a drift of 1
    EXPECT_NEAR(p[2].x, 394, 1e-4);     // heading left: 2 pixels a tick
    EXPECT_NEAR(p[1].x, 397, 1e-3);
    EXPECT_NEAR(p[1].y, 303, 1e-4);
    EXPECT_NEAR(p[3].y, 297, 1e-4);

    asteroid_speed = 15.0f;
    spawn_explosion(400, 300, 4, 600, 129);
    update_explosions();
    p = explosions[1].particles;
    for (int j = 0; j < 4; j++)
        EXPECT_LE(p[j].x, 386.0f) << "particle " << j;
}

TEST(BurstAgeing, ABurstIsAgedUntilACallFindsItsLifetimeReachedAndRetiresIt)
{
    struct Row {
        int lifetime, retiring_call;
    };
    for (Row r : {Row{600, 7}, Row{2000, 21}, Row{0, 1}}) {
        reset_world();
        spawn_explosion(400, 300, 8, r.lifetime, 129);
        for (int call = 1; call < r.retiring_call; call++)
            age_explosions(100.0f);
        EXPECT_EQ(explosions[0].active, 1) << "lifetime " << r.lifetime;
        EXPECT_EQ(explosions[0].age, r.lifetime) << "lifetime " << r.lifetime;
        age_explosions(100.0f);
        EXPECT_EQ(explosions[0].active, 0) << "lifetime " << r.lifetime;
        EXPECT_EQ(explosions[0].age, r.lifetime) << "retiring does not age";
    }
}

TEST(BurstAgeing, AnAgeJustShortOfTheLifetimeOvershootsOnceBeforeRetiring)
{
    reset_world();
    spawn_explosion(400, 300, 8, 600, 129);
    explosions[0].age = 550;
    age_explosions(100.0f);
    EXPECT_EQ(explosions[0].active, 1);
    EXPECT_EQ(explosions[0].age, 650);
    age_explosions(100.0f);
    EXPECT_EQ(explosions[0].active, 0);
}

TEST(BurstAgeing, ANewLevelLeavesARunningBurstAsItWas)
{
    reset_world();
    spawn_explosion(400, 300, 4, 600, 129);
    update_explosions();
    age_explosions(100.0f);
    start_level(2);
    EXPECT_EQ(explosions[0].active, 1);
    EXPECT_EQ(explosions[0].age, 100);
    EXPECT_NEAR(explosions[0].particles[2].x, 398, 1e-4);
}

TEST(BurstDrawing, EveryParticleIsAPixelInItsSlotsColourAtItsTruncatedPlace)
{
    reset_world();
    spawn_explosion(400, 300, 4, 600, 129);
    spawn_explosion(200, 100, 4, 600, 86);
    for (int tick = 0; tick < 5; tick++)
        update_explosions();    // spreads each ring to four distinct pixels
    spawn_explosion(0, 0, 1, 600, 15);
    explosions[2].particles[0] = {-0.5f, 40.9f, 0, 0};     // truncates to column 0

    draw_explosions();

    EXPECT_EQ(count_color(back_buffer, 129, 0, 0, 800, 600), 4);
    EXPECT_EQ(getpixel(back_buffer, 400, 300), 129);
    EXPECT_EQ(getpixel(back_buffer, 390, 300), 129);
    EXPECT_EQ(count_color(back_buffer, 86, 0, 0, 800, 600), 4);
    EXPECT_EQ(getpixel(back_buffer, 195, 105), 86);
    EXPECT_EQ(getpixel(back_buffer, 0, 40), 15);
}

TEST(BurstDrawing, ARetiredBurstIsNeitherMovedNorDrawn)
{
    reset_world();
    spawn_explosion(400, 300, 4, 0, 129);
    age_explosions(100.0f);
    ASSERT_EQ(explosions[0].active, 0);
    update_explosions();
    draw_explosions();
    EXPECT_FLOAT_EQ(explosions[0].particles[2].x, 400);
    EXPECT_EQ(count_color(back_buffer, 129, 0, 0, 800, 600), 0);
}
