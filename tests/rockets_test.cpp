// rockets_test.cpp -- firing, flying, hitting and drawing the rockets of every ship

#include <vector>

#include <gtest/gtest.h>

#include "harness.h"
#include "sound/sound.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/explosions.h"
#include "world/rockets.h"
#include "world/state.h"

// A level-one world with every asteroid and alien far above the screen, the
// player at (50, 300): only what a test puts in place can be hit.
static void quiet_sky(int width = 800)
{
    reset_world(width, 600);
    park_asteroids();
    for (int i = 0; i < alien_count; i++)
        aliens[i].y = -3000.0f;
}

static Rocket &first_rocket_of(Ship &ship, float x, float y, float speed)
{
    ship.rockets[0] = {1, x, y, speed};
    return ship.rockets[0];
}

TEST(RocketLaunch, AShipFiresWhenItsReloadReachesItsReloadTime)
{
    quiet_sky();
    for (Ship *ship : {&player, &aliens[0]}) {
        ship->reload = ship->reload_time - 1;
        fire_rocket(ship);
        EXPECT_EQ(ship->rockets[0].active, 0);
        EXPECT_EQ(ship->reload, ship->reload_time - 1);
        ship->reload = ship->reload_time;
        fire_rocket(ship);
        EXPECT_EQ(ship->rockets[0].active, 1);
        EXPECT_EQ(ship->reload, 0);
        EXPECT_EQ(ship->rockets[1].active, 0) << "one rocket per call";
    }
    EXPECT_EQ(sounds_of(SOUND_ROCKET), 2);
    EXPECT_EQ(sounds_started, 2);
}

TEST(RocketLaunch, WithFourRocketsFlyingTheShipWaitsAndFiresAtOnceIntoTheFirstFreedSlot)
{
    quiet_sky();
    for (int i = 0; i < ROCKET_SLOTS; i++) {
        player.reload = 400;
        fire_rocket(&player);
    }
    player.reload = 400;
    fire_rocket(&player);
    EXPECT_EQ(sounds_started, 4);
    EXPECT_EQ(player.reload, 400);

    player.rockets[1].active = 0;
    player.rockets[3].active = 0;
    fire_rocket(&player);
    EXPECT_EQ(sounds_started, 5);
    EXPECT_EQ(player.rockets[1].active, 1);
    EXPECT_EQ(player.rockets[3].active, 0);
}

TEST(RocketLaunch, EveryShipsRocketLeavesItsLeftEdgeAtThePlayerSpritesHeightLessFive)
{
    quiet_sky();
    ASSERT_NE(spaceship_bmp->h, enemy_bmp->h);
    float drop = static_cast<float>(spaceship_bmp->h - 5);
    player.rocket_speed = 2.5f;
    player.reload = 400;
    fire_rocket(&player);
    EXPECT_FLOAT_EQ(player.rockets[0].x, 50.0f);
    EXPECT_FLOAT_EQ(player.rockets[0].y, 300.0f + drop);
    EXPECT_FLOAT_EQ(player.rockets[0].speed, 2.5f);

    Ship &alien = aliens[0];
    alien.x = 600.5f;
    alien.y = 123.25f;
    alien.reload = 800;
    fire_rocket(&alien);
    EXPECT_FLOAT_EQ(alien.rockets[0].x, 600.5f);
    EXPECT_FLOAT_EQ(alien.rockets[0].y, 123.25f + drop);
    EXPECT_FLOAT_EQ(alien.rockets[0].speed, -1.0f);
}

TEST(RocketLaunch, HoldingFireLaunchesEveryTwentyTicksAndTheFifthWaitsForAFreeSlot)
{
    quiet_sky();
    std::vector<int> launches;
    int freed_at = 0;
    for (int tick = 1; launches.size() < 5 && tick < 1000; tick++) {
        int flying = 0;
        update_rockets(&player);
        for (const Rocket &r : player.rockets)
            flying += r.active;
        if (flying < static_cast<int>(launches.size()) && freed_at == 0)
            freed_at = tick;
        int before = sounds_started;
        fire_rocket(&player);
        if (sounds_started > before)
            launches.push_back(tick);
    }
    ASSERT_EQ(launches.size(), 5u);
    EXPECT_EQ(launches[0], 20);
    EXPECT_EQ(launches[1], 40);
    EXPECT_EQ(launches[2], 60);
    EXPECT_EQ(launches[3], 80);
    EXPECT_GT(freed_at, 100);
    EXPECT_EQ(launches[4], freed_at);
}

TEST(RocketScreen, ARocketExactlyAtEitherEdgeIsHitTestedAndMoved)
{
    for (int width : {800, 1024}) {
        for (float edge : {0.0f, static_cast<float>(width)}) {
            quiet_sky(width);
            Rocket &r = first_rocket_of(player, edge, 300.0f, 0.5f);
            update_rockets(&player);
            EXPECT_EQ(r.active, 1) << "at " << edge;
            EXPECT_FLOAT_EQ(r.x, edge + 0.5f);

            r = {1, edge, 300.0f, 0.5f};
            asteroids[0] = {edge - 10, 290.0f};
            update_rockets(&player);
            EXPECT_EQ(r.active, 0) << "at " << edge;
            EXPECT_EQ(sounds_of(SOUND_ASTEROID), 1) << "at " << edge;
        }
    }
    reset_world();
}

TEST(RocketScreen, ARocketJustPastEitherEdgeIsFreedWithoutAHitTest)
{
    for (int width : {800, 1024}) {
        for (float x : {-0.1f, width + 0.1f}) {
            quiet_sky(width);
            Rocket &r = first_rocket_of(aliens[0], x, 300.0f, -1.0f);
            asteroids[0] = {static_cast<float>(static_cast<int>(x)) - 10, 290.0f};
            player.x = static_cast<float>(static_cast<int>(x)) - 10;
            update_rockets(&aliens[0]);
            EXPECT_EQ(r.active, 0) << "at " << x;
            EXPECT_EQ(sounds_started, 0) << "at " << x;
            EXPECT_EQ(lives, 4) << "at " << x;
            EXPECT_EQ(explosions[0].active, 0) << "at " << x;
        }
    }
    reset_world();
}

TEST(RocketScreen, ARocketLeavingDuringAnUpdateFliesUntilTheNext)
{
    quiet_sky();
    Rocket &r = first_rocket_of(player, 799.5f, 100.0f, 1.0f);
    update_rockets(&player);
    EXPECT_EQ(r.active, 1);
    update_rockets(&player);
    EXPECT_EQ(r.active, 0);

    // An alien flying in beyond the right edge still fires, and loses the
    // rocket at its next update.
    Ship &alien = aliens[0];
    alien.x = 850;
    alien.y = 100;
    alien.reload = 800;
    fire_rocket(&alien);
    EXPECT_EQ(alien.reload, 0);
    EXPECT_EQ(sounds_of(SOUND_ROCKET), 1);
    update_rockets(&alien);
    EXPECT_EQ(alien.rockets[0].active, 0);
}

TEST(RocketFlight, EachTickMovesByTheSpeedThenAddsTheAcceleration)
{
    quiet_sky();
    player.x = 300;
    player.y = 100;
    player.reload = 400;
    fire_rocket(&player);
    Ship &alien = aliens[0];
    alien.x = 500;
    alien.y = 100;
    alien.reload = 800;
    fire_rocket(&alien);

    const float player_moved[] = {0, 0.1f, 0.3f, 0.6f};
    const float alien_moved[] = {-1, -2.3f, -3.9f, -5.8f};
    for (int tick = 0; tick < 4; tick++) {
        update_rockets(&player);
        update_rockets(&alien);
        EXPECT_NEAR(player.rockets[0].x - 300, player_moved[tick], 1e-4) << "tick " << tick + 1;
        EXPECT_NEAR(alien.rockets[0].x - 500, alien_moved[tick], 1e-4) << "tick " << tick + 1;
    }
    EXPECT_FLOAT_EQ(player.rockets[0].y, 100.0f + spaceship_bmp->h - 5);
    EXPECT_EQ(player.reload, 80);
}

TEST(RocketFlight, HitsAreTestedWhereTheRocketStandsBeforeItMoves)
{
    quiet_sky();
    asteroids[0] = {300.0f, 200.0f};
    Rocket &r = first_rocket_of(player, 284.0f, 210.0f, 5.0f);     // touching its left side
    update_rockets(&player);
    EXPECT_EQ(r.active, 1);
    EXPECT_FLOAT_EQ(asteroids[0].x, 300.0f);
    update_rockets(&player);
    EXPECT_EQ(r.active, 0);
    EXPECT_EQ(sounds_of(SOUND_ASTEROID), 1);
}

TEST(RocketFlight, TheRocketsBoxIsItsTruncatedPlaceWithItsShipsRocketSize)
{
    quiet_sky();
    asteroids[0] = {300.0f, 200.0f};
    Rocket &r = first_rocket_of(player, 284.9f, 210.0f, 0.0f);
    update_rockets(&player);
    EXPECT_EQ(r.active, 1) << "a box truncated to 284 only touches";

    BITMAP *long_rocket = create_bitmap(40, 5);
    player.rocket_sprite = long_rocket;
    r = {1, 270.0f, 210.0f, 0.0f};
    update_rockets(&player);
    EXPECT_EQ(r.active, 0) << "40 pixels from 270 reach into the asteroid";
    player.rocket_sprite = rocket_bmp;
    destroy_bitmap(long_rocket);
}

TEST(RocketHits, ARocketOnAnAsteroidAndAnAlienStrikesOnlyTheAsteroid)
{
    quiet_sky();
    asteroids[0] = {300.0f, 200.0f};
    aliens[1].x = 305;
    aliens[1].y = 205;
    Rocket &r = first_rocket_of(player, 310.0f, 210.0f, 0.0f);
    update_rockets(&player);
    EXPECT_EQ(r.active, 0);
    EXPECT_FLOAT_EQ(asteroids[0].x, static_cast<float>(-asteroid_bmp->w));
    EXPECT_EQ(aliens[1].active, 1);
    EXPECT_EQ(sounds_started, 1);
    EXPECT_EQ(sounds_of(SOUND_ASTEROID), 1);
}

TEST(RocketHits, AnAliensRocketOnAnotherAlienAndThePlayerDestroysOnlyTheAlien)
{
    quiet_sky();
    aliens[1].x = 55;
    aliens[1].y = 305;
    Rocket &r = first_rocket_of(aliens[0], 60.0f, 310.0f, -1.0f);
    update_rockets(&aliens[0]);
    EXPECT_EQ(r.active, 0);
    EXPECT_EQ(aliens[1].active, 0);
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(sounds_started, 1);
    EXPECT_EQ(sounds_of(SOUND_ALIEN), 1);
}

TEST(RocketHits, AnAliensRocketOnAnAsteroidAndThePlayerStrikesOnlyTheAsteroid)
{
    quiet_sky();
    asteroids[1] = {55.0f, 305.0f};
    Rocket &r = first_rocket_of(aliens[0], 60.0f, 310.0f, -1.0f);
    update_rockets(&aliens[0]);
    EXPECT_EQ(r.active, 0);
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(sounds_started, 1);
    EXPECT_EQ(sounds_of(SOUND_ASTEROID), 1);
}

TEST(RocketHits, EachAlienRocketOnTheShipCostsOneLifeAlsoBelowZero)
{
    quiet_sky();
    player.x = -0.5f;       // one step past the left edge, where the ship may rest
    player.y = 200.9f;
    lives = 1;
    // The last shot comes from an alien already destroyed.
    aliens[1].active = 0;
    aliens_alive = 1;
    Ship *shooters[] = {&aliens[0], &aliens[0], &aliens[1]};
    for (int shot = 0; shot < 3; shot++) {
        Rocket &r = first_rocket_of(*shooters[shot], 5.0f, 210.0f, -1.0f);
        update_rockets(shooters[shot]);
        EXPECT_EQ(r.active, 0) << "shot " << shot;
        EXPECT_EQ(lives, -shot) << "shot " << shot;
        EXPECT_EQ(sounds_of(SOUND_SPACESHIP), shot + 1);
        EXPECT_EQ(sounds_started, shot + 1);
    }
    const Explosion &e = explosions[0];
    EXPECT_EQ(e.count, 150);
    EXPECT_EQ(e.color, 86);
    EXPECT_EQ(e.lifetime, 600);
    EXPECT_FLOAT_EQ(e.particles[0].x, 31.0f);      // -0.5 + 32, truncated
    EXPECT_FLOAT_EQ(e.particles[0].y, 216.0f);     // 200.9 + 16, truncated
}

TEST(RocketHits, TheShipsBoxIs64By33AndARocketTouchingItCostsNothing)
{
    quiet_sky();
    struct Row {
        float x, y;
        int lives_after;
    };
    // The ship at (50, 300): its right side is column 114, its bottom row 333.
    for (Row r : {Row{114, 310, 4}, Row{60, 333, 4}, Row{113, 310, 3}, Row{60, 332, 2}}) {
        first_rocket_of(aliens[0], r.x, r.y, -1.0f);
        update_rockets(&aliens[0]);
        EXPECT_EQ(lives, r.lives_after) << "rocket at " << r.x << ", " << r.y;
    }
}

TEST(RocketHits, ThePlayersOwnRocketsNeverHitThePlayersShip)
{
    quiet_sky();
    player.reload = 400;
    fire_rocket(&player);
    for (int tick = 0; tick < 30; tick++)
        update_rockets(&player);
    EXPECT_EQ(player.rockets[0].active, 1);
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(sounds_started, 1);

    // The same launch from an alien sitting on the ship does hit it.
    aliens[0].x = player.x;
    aliens[0].y = player.y;
    aliens[0].reload = 800;
    fire_rocket(&aliens[0]);
    update_rockets(&aliens[0]);
    EXPECT_EQ(lives, 3);
}

TEST(RocketReload, AShipThatNeverFiresKeepsABoundedReloadAndStillFires)
{
    quiet_sky();
    aliens[1].active = 0;
    aliens_alive = 1;
    // 60000 ticks would bring an unbounded count to 1.2 million.
    for (Ship *ship : {&player, &aliens[1]}) {
        for (int tick = 0; tick < 60000; tick++)
            update_rockets(ship);
        EXPECT_LE(ship->reload, RELOAD_CAP);
        fire_rocket(ship);
        EXPECT_EQ(ship->rockets[0].active, 1);
    }
}

TEST(RocketDrawing, FlyingRocketsAreDrawnMaskedWithTheirShipsSpriteAtTheTruncatedPlace)
{
    quiet_sky();
    clear_to_color(back_buffer, 7);
    player.rockets[0] = {1, 200.9f, 100.9f, 0};
    player.rockets[1] = {0, 400.0f, 400.0f, 0};
    aliens[0].rockets[2] = {1, 300.5f, 150.5f, 0};
    draw_rockets(&player);
    draw_rockets(&aliens[0]);

    struct Row {
        BITMAP *sprite;
        int x, y;
    };
    for (Row r : {Row{rocket_bmp, 200, 100}, Row{alienrocket_bmp, 300, 150}}) {
        ASSERT_GT(count_color(r.sprite, 0, 0, 0, r.sprite->w, r.sprite->h), 0);
        ASSERT_LT(count_color(r.sprite, 0, 0, 0, r.sprite->w, r.sprite->h), r.sprite->w * r.sprite->h);
        int wrong = 0;
        for (int py = 0; py < r.sprite->h; py++)
            for (int px = 0; px < r.sprite->w; px++) {
                int want = getpixel(r.sprite, px, py);
                wrong += getpixel(back_buffer, r.x + px, r.y + py) != (want == 0 ? 7 : want);
            }
        EXPECT_EQ(wrong, 0) << "at " << r.x;
    }
    EXPECT_EQ(count_color(back_buffer, 7, 390, 390, 40, 40), 1600) << "a free slot is not drawn";
}

TEST(RocketDrawing, ARocketPartlyPastTheLeftEdgeIsDrawnFromItsTruncatedColumn)
{
    struct Row {
        float x;
        int column;     // where the sprite's left edge lands, truncated toward zero
    };
    for (Row r : {Row{-0.3f, 0}, Row{-2.3f, -2}}) {
        quiet_sky();
        player.rockets[0] = {1, r.x, 100.0f, 0};
        draw_rockets(&player);
        int wrong = 0;
        for (int px = -r.column; px < rocket_bmp->w; px++)
            for (int py = 0; py < rocket_bmp->h; py++)
                wrong += getpixel(back_buffer, r.column + px, 100 + py) != getpixel(rocket_bmp, px, py);
        EXPECT_EQ(wrong, 0) << "at " << r.x;
    }
}
