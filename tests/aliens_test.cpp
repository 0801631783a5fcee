// aliens_test.cpp -- the squadron: how it comes in, roams, fires, dies and ends a level

#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "frame/display.h"
#include "frame/tasks.h"
#include "harness.h"
#include "sound/sound.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/chance.h"
#include "world/explosions.h"
#include "world/rockets.h"
#include "world/stars.h"
#include "world/state.h"

static void place(Ship &alien, float x, float y, float target_x, float target_y)
{
    alien.x = x;
    alien.y = y;
    alien.target_x = target_x;
    alien.target_y = target_y;
}

static bool area_blank(int x, int y, int w, int h)
{
    return count_color(back_buffer, 0, x, y, w, h) == w * h;
}

TEST(Squadron, EachLevelHasOneAlienMoreThanItsNumberAllAlive)
{
    reset_world();
    EXPECT_EQ(alien_count, 2);
    EXPECT_EQ(aliens_alive, 2);
    start_level(2);
    EXPECT_EQ(alien_count, 3);
    EXPECT_EQ(aliens_alive, 3);
    start_level(7);
    ASSERT_EQ(alien_count, 8);
    EXPECT_EQ(aliens_alive, 8);
    for (int i = 0; i < alien_count; i++)
        EXPECT_EQ(aliens[i].active, 1) << "alien " << i;
}

TEST(Squadron, AliensStartJustBeyondAn800WideScreenWhateverTheWidth)
{
    for (int width : {800, 1023, 640}) {
        reset_world(width, 600);
        for (int i = 0; i < alien_count; i++)
            EXPECT_FLOAT_EQ(aliens[i].x, enemy_bmp->w + 800) << "width " << width;
    }
    reset_world();
}

TEST(Squadron, EachAlienDrawsItsRowThenItsWaypointFromTheRandomStream)
{
    struct Screen {
        int w, h;
        int waypoint_left;      // a quarter of the width, truncated
    };
    for (Screen s : {Screen{800, 600, 200}, Screen{1023, 600, 255}}) {
        reset_world(s.w, s.h);
        std::srand(4242);
        init_aliens(40);
        std::srand(4242);
        for (int i = 0; i < 40; i++) {
            int y = rand_range(0, s.h);
            int target_x = rand_range(s.waypoint_left, s.w);
            int target_y = rand_range(0, s.h);
            EXPECT_EQ(aliens[i].y, y) << "alien " << i << " at width " << s.w;
            EXPECT_EQ(aliens[i].target_x, target_x) << "alien " << i << " at width " << s.w;
            EXPECT_EQ(aliens[i].target_y, target_y) << "alien " << i << " at width " << s.w;
        }
    }
    reset_world();
}

TEST(AlienFiring, OnlyAnAlienWithin33RowsOfTheShipFires)
{
    struct Row {
        float y;
        float heading_y;        // every alien steps across the band's edge this tick
        bool fires;
    };
    const Row rows[] = {
        {267, 600, false}, {268, 0, true}, {300, 0, true}, {332, 600, true}, {333, 0, false},
    };
    for (Row r : rows) {
        reset_world();
        park_asteroids();
        player.y = 300;
        Ship &a = aliens[0];
        place(a, 500, r.y, 500, r.heading_y);
        a.reload = 780;

        update_aliens();

        EXPECT_EQ(sounds_of(SOUND_ROCKET), r.fires ? 1 : 0) << "alien at y " << r.y;
        EXPECT_EQ(a.rockets[0].active, r.fires ? 1 : 0) << "alien at y " << r.y;
        EXPECT_EQ(a.reload, r.fires ? 0 : 800) << "alien at y " << r.y;
        if (r.fires) {
            // The launch offset is the player's sprite height, not the alien's.
            EXPECT_FLOAT_EQ(a.rockets[0].x, 500);
            EXPECT_FLOAT_EQ(a.rockets[0].y, r.y + spaceship_bmp->h - 5);
            EXPECT_FLOAT_EQ(a.rockets[0].speed, -1.0f);
        }
    }
}

TEST(AlienFiring, ANewAlienFiresFirstAtItsFortiethTickThenEveryFortieth)
{
    reset_world();
    park_asteroids();
    init_aliens(1);
    Ship &a = aliens[0];
    place(a, 300, 300, 600, 300);       // stays level with the ship
    player.x = 700;                     // behind the alien, out of its rockets' way
    player.y = 300;

    std::vector<int> shots;
    for (int tick = 1; tick <= 120; tick++) {
        int before = sounds_of(SOUND_ROCKET);
        update_aliens();
        if (sounds_of(SOUND_ROCKET) > before)
            shots.push_back(tick);
    }
    EXPECT_EQ(shots, (std::vector<int>{40, 80, 120}));
}

TEST(UpdateAliens, ADestroyedAlienStaysStillAndSilentWhileItsRocketsFlyOn)
{
    reset_world();
    park_asteroids();
    player.y = 300;
    Ship &a = aliens[0];
    place(a, 500, 300, 600, 400);
    a.active = 0;
    aliens_alive = 1;
    a.reload = 780;
    a.rockets[1] = {1, 400.0f, 100.0f, -2.0f};

    update_aliens();

    EXPECT_FLOAT_EQ(a.x, 500);
    EXPECT_FLOAT_EQ(a.y, 300);
    EXPECT_EQ(sounds_of(SOUND_ROCKET), 0);
    EXPECT_EQ(a.rockets[0].active, 0);
    EXPECT_EQ(a.reload, 800);
    EXPECT_EQ(a.rockets[1].active, 1);
    EXPECT_FLOAT_EQ(a.rockets[1].x, 398);
    EXPECT_FLOAT_EQ(a.rockets[1].speed, -2.3f);
}

TEST(UpdateAliens, EachAlienFiresAndStepsBeforeTheNextAliensRocketsMove)
{
    reset_world();
    park_asteroids();
    player.y = 300;
    Ship &first = aliens[0];
    Ship &second = aliens[1];
    place(first, 500, 300, 499, 300);
    first.reload = 780;
    place(second, 700, 50, 700, 40);
    // Touches the first alien only once it has stepped left to 499.
    second.rockets[0] = {1, 484.0f, 310.0f, -1.0f};
    ASSERT_EQ(check_collision(484, 310, alienrocket_bmp->w, alienrocket_bmp->h, 500, 300, enemy_bmp->w, enemy_bmp->h), 0);

    update_aliens();

    EXPECT_EQ(first.rockets[0].active, 1) << "the first alien fired before it was hit";
    EXPECT_EQ(sounds_of(SOUND_ROCKET), 1);
    EXPECT_FLOAT_EQ(first.x, 499);
    EXPECT_EQ(first.active, 0);
    EXPECT_EQ(second.rockets[0].active, 0);
    EXPECT_EQ(sounds_of(SOUND_ALIEN), 1);
    EXPECT_EQ(aliens_alive, 1);
    EXPECT_EQ(level, 1) << "an alien's rocket never ends a level";
}

TEST(Waypoints, AnAlienWalksOnePixelPerAxisAndPicksItsNextWaypointOnArrival)
{
    reset_world();
    init_aliens(1);
    Ship &a = aliens[0];
    place(a, 500, 300, 503, 298);

    const float walk[3][2] = {{501, 299}, {502, 298}, {503, 298}};
    for (const auto &at : walk) {
        update_aliens();
        EXPECT_FLOAT_EQ(a.x, at[0]);
        EXPECT_FLOAT_EQ(a.y, at[1]);
    }
    EXPECT_FLOAT_EQ(a.target_x, 503);
    EXPECT_FLOAT_EQ(a.target_y, 298);

    std::srand(99);
    float next_x = static_cast<float>(rand_range(200, 800));
    float next_y = static_cast<float>(rand_range(0, 600));
    ASSERT_NE(next_x, 503);
    ASSERT_NE(next_y, 298);
    std::srand(99);
    update_aliens();
    EXPECT_FLOAT_EQ(a.target_x, next_x);
    EXPECT_FLOAT_EQ(a.target_y, next_y);
    EXPECT_FLOAT_EQ(a.x, next_x > 503 ? 504 : 502);
    EXPECT_FLOAT_EQ(a.y, next_y > 298 ? 299 : 297);
}

TEST(AlienHit, OfTwoLiveAliensUnderOneRocketOnlyTheLowerNumberedDies)
{
    reset_world();
    park_asteroids();
    place(aliens[0], 400, 200, 400, 200);
    place(aliens[1], 400, 200, 400, 200);
    player.rockets[0] = {1, 410.0f, 210.0f, 0.0f};

    update_rockets(&player);

    EXPECT_EQ(aliens[0].active, 0);
    EXPECT_EQ(aliens[1].active, 1);
    EXPECT_EQ(aliens_alive, 1);
    EXPECT_EQ(player.rockets[0].active, 0);
    EXPECT_EQ(sounds_of(SOUND_ALIEN), 1);
    EXPECT_EQ(level, 1);

    const Explosion &e = explosions[0];
    ASSERT_EQ(e.active, 1);
    EXPECT_EQ(e.count, 100);
    EXPECT_EQ(e.lifetime, 2000);
    EXPECT_EQ(e.color, 14);
    EXPECT_FLOAT_EQ(e.particles[0].x, 400 + enemy_bmp->w / 2);
    EXPECT_FLOAT_EQ(e.particles[0].y, 200 + enemy_bmp->h / 2);
    EXPECT_EQ(explosions[1].active, 0) << "one rocket, one burst";
}

TEST(AlienHit, AnAlienIsNeverHitByItsOwnRocketButTheAlienBehindItIs)
{
    reset_world();
    int w = alienrocket_bmp->w;
    int h = alienrocket_bmp->h;
    place(aliens[0], 400, 200, 400, 200);
    place(aliens[1], 600, 400, 600, 400);

    EXPECT_EQ(alien_hit(&aliens[0], 410, 210, w, h), 0);
    EXPECT_EQ(aliens[0].active, 1);
    EXPECT_EQ(sounds_of(SOUND_ALIEN), 0);

    aliens[1].x = 400;
    aliens[1].y = 200;
    EXPECT_EQ(alien_hit(&aliens[0], 410, 210, w, h), 1);
    EXPECT_EQ(aliens[0].active, 1);
    EXPECT_EQ(aliens[1].active, 0);
    EXPECT_EQ(aliens_alive, 1);
    EXPECT_EQ(level, 1);
}

TEST(AlienHit, ADestroyedAliensRocketPassesThroughALiveAlien)
{
    reset_world();
    aliens[0].active = 0;
    aliens_alive = 1;
    place(aliens[1], 400, 200, 400, 200);

    EXPECT_EQ(alien_hit(&aliens[0], 410, 210, alienrocket_bmp->w, alienrocket_bmp->h), 0);
    EXPECT_EQ(aliens[1].active, 1);
    EXPECT_EQ(aliens_alive, 1);
    EXPECT_EQ(sounds_of(SOUND_ALIEN), 0);
    EXPECT_EQ(explosions[0].active, 0);
}

TEST(AlienHit, ARocketPassesThroughTheWrecksOfDestroyedAliens)
{
    reset_world();
    init_aliens(3);
    for (int i : {0, 1}) {
        place(aliens[i], 400, 200, 400, 200);
        aliens[i].active = 0;
    }
    aliens_alive = 1;
    place(aliens[2], 600, 400, 600, 400);

    EXPECT_EQ(alien_hit(&aliens[2], 410, 210, alienrocket_bmp->w, alienrocket_bmp->h), 0);
    EXPECT_EQ(alien_hit(&player, 410, 210, rocket_bmp->w, rocket_bmp->h), 0);
    EXPECT_EQ(aliens_alive, 1);
    EXPECT_EQ(aliens[2].active, 1);
    EXPECT_EQ(sounds_of(SOUND_ALIEN), 0);
}

// Level one at 1024 x 768 down to its last alien at (400, 200), a wreck whose
// rocket is still flying, the player's rocket on the last alien in slot 0 and
// another rocket in slot 1 at (x1, y1); then one physics tick.
static void shoot_last_alien(float x1, float y1)
{
    reset_world(1024, 768);
    park_asteroids();
    aliens[0].active = 0;
    aliens_alive = 1;
    aliens[0].rockets[0] = {1, 600.0f, 50.0f, -1.0f};
    place(aliens[1], 400, 200, 401, 200);

    player.x = 300;
    player.y = 600;
    player.rockets[0] = {1, 410.0f, 210.0f, 0.0f};
    player.rockets[1] = {1, x1, y1, 2.0f};
    lives = 3;
    score = 777;
    star_speed = 2;
    asteroid_speed = 9;
    player.rocket_speed = 2.5f;
    for (Star &s : stars)
        s = {500.0f, 7.0f};

    physics_task();
}

TEST(LevelEnd, ThePlayersRocketOnTheLastAlienStartsTheNextLevelWithinTheTick)
{
    shoot_last_alien(900, 20);

    EXPECT_EQ(sounds_of(SOUND_ALIEN), 1);
    const Explosion &e = explosions[0];
    ASSERT_EQ(e.active, 1);
    EXPECT_EQ(e.count, 100);
    EXPECT_EQ(e.lifetime, 2000);
    EXPECT_EQ(e.color, 14);
    // The alien had stepped to 401 before the player's rockets moved.
    EXPECT_FLOAT_EQ(e.particles[0].x, 401 + enemy_bmp->w / 2);
    EXPECT_FLOAT_EQ(e.particles[0].y, 200 + enemy_bmp->h / 2);

    EXPECT_EQ(level, 2);
    ASSERT_EQ(alien_count, 3);
    EXPECT_EQ(aliens_alive, 3);
    for (int i = 0; i < alien_count; i++) {
        EXPECT_EQ(aliens[i].active, 1);
        EXPECT_FLOAT_EQ(aliens[i].x, enemy_bmp->w + 800);
        for (const Rocket &r : aliens[i].rockets)
            EXPECT_EQ(r.active, 0) << "the old squadron's rockets end with it";
    }
    ASSERT_EQ(asteroid_count, 4);
    for (int i = 0; i < asteroid_count; i++)
        EXPECT_LE(asteroids[i].y, 768) << "a new field, not the parked one";
    int stars_left = 0;
    for (const Star &s : stars)
        stars_left += s.x == 498 && s.y == 7;
    EXPECT_EQ(stars_left, 0);

    EXPECT_FLOAT_EQ(player.x, 64);
    EXPECT_FLOAT_EQ(player.y, 384);
    expect_start_speeds();
    EXPECT_EQ(lives, 3);
    EXPECT_EQ(score, 777);

    EXPECT_EQ(player.rockets[0].active, 0);
    EXPECT_EQ(player.rockets[1].active, 1) << "the player's rockets fly on into the new level";
    EXPECT_FLOAT_EQ(player.rockets[1].x, 902);
    reset_world();
}

TEST(LevelEnd, ThePlayersNextRocketInTheSameTickMeetsTheNewSquadron)
{
    // The new level is the same whatever slot 1 holds, since slot 1 is
    // tested only after slot 0 has ended the old one.
    shoot_last_alien(900, 20);
    float new_x = aliens[0].x;
    float new_y = aliens[0].y;
    int bx = static_cast<int>(new_x) + 10;
    int by = static_cast<int>(new_y) + 10;
    for (int i = 0; i < asteroid_count; i++)
        ASSERT_EQ(check_collision(bx, by, rocket_bmp->w, rocket_bmp->h, static_cast<int>(asteroids[i].x),
                                  static_cast<int>(asteroids[i].y), asteroid_bmp->w, asteroid_bmp->h), 0)
            << "pick another seed: a new asteroid is in the way";

    shoot_last_alien(static_cast<float>(bx), static_cast<float>(by));

    EXPECT_EQ(level, 2);
    EXPECT_FLOAT_EQ(aliens[0].x, new_x);
    EXPECT_FLOAT_EQ(aliens[0].y, new_y);
    EXPECT_EQ(aliens[0].active, 0);
    EXPECT_EQ(aliens_alive, 2);
    EXPECT_EQ(player.rockets[1].active, 0);
    EXPECT_EQ(sounds_of(SOUND_ALIEN), 2);
    reset_world();
}

TEST(DrawAliens, ADestroyedAlienVanishesWhileItsRocketsAreStillDrawn)
{
    reset_world();
    place(aliens[0], 300, 100, 300, 100);
    aliens[0].active = 0;
    aliens_alive = 1;
    aliens[0].rockets[3] = {1, 250.0f, 400.0f, -1.0f};
    place(aliens[1], 500, 100, 500, 100);
    aliens[1].rockets[0] = {1, 450.0f, 450.0f, -1.0f};

    draw_aliens();

    EXPECT_TRUE(area_blank(300, 100, enemy_bmp->w, enemy_bmp->h));
    EXPECT_TRUE(sprite_shown(enemy_bmp, 500, 100));
    EXPECT_TRUE(sprite_shown(alienrocket_bmp, 250, 400));
    EXPECT_TRUE(sprite_shown(alienrocket_bmp, 450, 450));
}

TEST(AlienBody, AnAlienOverlappingThePlayersShipCostsNothing)
{
    reset_world();
    park_asteroids();
    place(aliens[0], player.x, player.y, player.x, player.y);
    for (int tick = 0; tick < 10; tick++) {
        physics_task();
        compose_frame();
    }
    ASSERT_EQ(check_collision(static_cast<int>(player.x), static_cast<int>(player.y), PLAYER_W, PLAYER_H,
                              static_cast<int>(aliens[0].x), static_cast<int>(aliens[0].y), enemy_bmp->w,
                              enemy_bmp->h), 1) << "the alien is still over the ship";
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(sounds_of(SOUND_SPACESHIP), 0);
    EXPECT_EQ(aliens[0].active, 1);
    EXPECT_EQ(aliens_alive, 2);
}
