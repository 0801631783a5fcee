// Finding rockets' hits by block: the lists stay whole as things move, and a
// physics tick that finds hits by block plays exactly like one that tests
// every asteroid and alien in turn.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "frame/tasks.h"
#include "harness.h"
#include "sound/sound.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/blockmap.h"
#include "world/chance.h"
#include "world/explosions.h"
#include "world/rockets.h"
#include "world/stars.h"
#include "world/state.h"

namespace {

constexpr int THING_W = 44;
constexpr int THING_H = 36;

struct Place {
    int x, y;
};

// Every thing the map offers for the box, whether or not it is hit.
std::vector<int> offered(const Blockmap &map, const std::vector<Place> &things, int x, int y, int w, int h)
{
    std::vector<int> seen;
    lowest_hit(map, static_cast<int>(things.size()), x, y, w, h, [&](int i) {
        seen.push_back(i);
        return false;
    });
    return seen;
}

bool contains(const std::vector<int> &v, int i)
{
    for (int k : v)
        if (k == i)
            return true;
    return false;
}

// Files the things on an 800 x 600 screen.
Blockmap filed(const std::vector<Place> &things, int reach)
{
    res_x = 800;
    res_y = 600;
    Blockmap map{};
    start_filing(&map, static_cast<int>(things.size()), THING_W, THING_H, reach);
    for (int i = 0; i < static_cast<int>(things.size()); i++)
        file_thing(&map, i, things[i].x, things[i].y);
    return map;
}

// Whether the 16 x 5 box at (x, y) overlaps thing i where it stands now.
auto overlapping(const std::vector<Place> &things, int x, int y)
{
    return [&things, x, y](int i) {
        return check_collision(x, y, 16, 5, things[i].x, things[i].y, THING_W, THING_H) == 1;
    };
}

TEST(BlockmapLookup, TheLowestNumberedHitWinsWhicheverBlockItIsFiledIn)
{
    // Both overlap the box, which crosses the corner of four blocks; thing 1
    // is filed in the first block walked, thing 0 in the last.
    std::vector<Place> things = {{70, 64}, {30, 40}, {500, 500}};
    Blockmap map = filed(things, 0);
    EXPECT_EQ(lowest_hit(map, 3, 56, 60, 16, 5, overlapping(things, 56, 60)), 0);
    things[0] = {600, 100};
    EXPECT_EQ(lowest_hit(map, 3, 56, 60, 16, 5, overlapping(things, 56, 60)), 1);
    free_blockmap(&map);
}

TEST(BlockmapLookup, OnlyThingsNearTheBoxAreOfferedAndThoseOffTheScreenAtItsEdge)
{
    std::vector<Place> things = {{-44, 300}, {900, -80}, {400, 300}, {10, 10}};
    Blockmap map = filed(things, 0);
    std::vector<int> near_left = offered(map, things, 0, 310, 16, 5);
    EXPECT_TRUE(contains(near_left, 0));
    EXPECT_FALSE(contains(near_left, 2));
    EXPECT_FALSE(contains(near_left, 3));
    std::vector<int> near_corner = offered(map, things, 790, 0, 16, 5);
    EXPECT_TRUE(contains(near_corner, 1));
    EXPECT_EQ(near_corner.size(), 1u);
    free_blockmap(&map);
}

TEST(BlockmapLookup, ARefiledThingLeavesItsOldBlockAndTheOthersThereStayListed)
{
    std::vector<Place> things = {{200, 200}, {202, 201}, {204, 202}, {206, 203}};
    Blockmap map = filed(things, 0);
    for (int moved : {1, 3, 2, 0}) {
        std::vector<Place> now = things;
        now[moved] = {700, 50};
        file_thing(&map, moved, 700, 50);
        std::vector<int> old_place = offered(map, now, 210, 210, 16, 5);
        std::vector<int> new_place = offered(map, now, 705, 55, 16, 5);
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(contains(old_place, i), i != moved) << "moved " << moved << ", thing " << i;
            EXPECT_EQ(contains(new_place, i), i == moved) << "moved " << moved << ", thing " << i;
        }
        file_thing(&map, moved, things[moved].x, things[moved].y);
    }
    free_blockmap(&map);
}

TEST(BlockmapLookup, AThingThatStraysWithinItsReachIsStillFound)
{
    // Filed next to a block edge, the thing strays 3 pixels across it, where
    // it overlaps a box whose own blocks end at that edge. Without the reach
    // it would be missed; each way of straying is tried.
    const int edge = 2 * BLOCK_SIZE;
    struct Stray {
        const char *way;
        Place filed, now, box;
    };
    const Stray strays[] = {
        {"left", {edge, 300}, {edge - 3, 300}, {edge - 17, 300}},
        {"right", {edge - 1, 300}, {edge + 2, 300}, {edge + THING_W, 305}},
        {"up", {300, edge}, {300, edge - 3}, {310, edge - 6}},
        {"down", {300, edge - 1}, {300, edge + 2}, {310, edge + THING_H}},
    };
    for (const Stray &st : strays) {
        std::vector<Place> things = {st.filed};
        Blockmap reaching = filed(things, 3);
        Blockmap tight = filed(things, 0);
        things[0] = st.now;
        int x = st.box.x, y = st.box.y;
        EXPECT_EQ(lowest_hit(reaching, 1, x, y, 16, 5, overlapping(things, x, y)), 0) << st.way;
        EXPECT_EQ(lowest_hit(tight, 1, x, y, 16, 5, overlapping(things, x, y)), -1) << st.way;
        free_blockmap(&reaching);
        free_blockmap(&tight);
    }
}

TEST(BlockmapLookup, AnUnfiledMapOffersEveryThingInTurn)
{
    std::vector<Place> things = {{200, 200}, {600, 500}, {20, 30}};
    Blockmap map = filed(things, 0);
    forget_things(&map);
    EXPECT_EQ(offered(map, things, 0, 0, 16, 5), (std::vector<int>{0, 1, 2}));
    free_blockmap(&map);
}

// Everything a tick can change, in one list of numbers.
std::vector<double> world_now()
{
    std::vector<double> w = {static_cast<double>(level), static_cast<double>(lives),
                             static_cast<double>(aliens_alive), static_cast<double>(score),
                             static_cast<double>(sounds_started)};
    auto ship = [&w](const Ship &s) {
        w.insert(w.end(), {static_cast<double>(s.active), static_cast<double>(s.reload), s.x, s.y,
                           s.target_x, s.target_y});
        for (const Rocket &r : s.rockets)
            w.insert(w.end(), {static_cast<double>(r.active), r.x, r.y, r.speed});
    };
    ship(player);
    for (int i = 0; i < alien_count; i++)
        ship(aliens[i]);
    for (int i = 0; i < asteroid_count; i++)
        w.insert(w.end(), {asteroids[i].x, asteroids[i].y});
    for (const Explosion &e : explosions) {
        w.push_back(e.active);
        if (e.active == 1)
            w.insert(w.end(), {static_cast<double>(e.count), e.particles[0].x, e.particles[e.count - 1].y});
    }
    for (const Star &s : stars)
        w.insert(w.end(), {s.x, s.y});
    w.push_back(std::rand());
    return w;
}

// The physics tick with every rocket tested against every asteroid and alien.
void tick_testing_everything()
{
    update_stars();
    update_asteroids();
    update_explosions();
    update_aliens();
    update_rockets(&player);
}

struct Tally {
    int asteroid_hits = 0;
    int alien_hits = 0;
    int level_ups = 0;
};

// A crowded field at `start` on a width x height screen, played for `ticks`
// ticks: asteroids and aliens anywhere (some beyond the edges), the player
// firing every tick while it sweeps up and down. Returns the world after
// every tick.
std::vector<std::vector<double>> play(void (*tick)(), int start, int width, int height, int ticks,
                                      unsigned seed, Tally *tally)
{
    reset_world(width, height);
    std::srand(seed);
    start_level(start);
    lives = 4;
    for (int i = 0; i < asteroid_count; i++) {
        asteroids[i].x = static_cast<float>(rand_range(-60, width + 60));
        asteroids[i].y = static_cast<float>(rand_range(-40, height + 40));
    }
    for (int i = 0; i < alien_count; i++) {
        aliens[i].x = static_cast<float>(rand_range(-50, width + 50));
        aliens[i].y = static_cast<float>(rand_range(-30, height + 30));
        aliens[i].reload_time = 100;
    }
    player.reload_time = 20;

    std::vector<std::vector<double>> trace;
    for (int t = 0; t < ticks; t++) {
        player.x = static_cast<float>((t * 7) % (width / 2));
        player.y = static_cast<float>((t * 13) % height);
        fire_rocket(&player);
        int level_before = level;
        int sounds_before = sounds_started;
        tick();
        for (int s = sounds_before; s < sounds_started; s++) {
            SoundEvent e = sound_log[s % SOUND_LOG_SIZE].event;
            tally->asteroid_hits += e == SOUND_ASTEROID;
            tally->alien_hits += e == SOUND_ALIEN;
        }
        tally->level_ups += level - level_before;
        trace.push_back(world_now());
    }
    return trace;
}

TEST(PhysicsByBlock, EveryTickPlaysExactlyAsTestingEveryAsteroidAndAlienInTurn)
{
    struct Case {
        int level, width, height;
    };
    Tally total;
    for (Case c : {Case{1, 800, 600}, Case{2, 320, 200}, Case{12, 800, 600}, Case{40, 1000, 700},
                   Case{60, 320, 200}})
        for (unsigned seed = 1; seed <= 3; seed++) {
            Tally by_block, everything;
            auto expected = play(tick_testing_everything, c.level, c.width, c.height, 300, seed, &everything);
            auto got = play(physics_task, c.level, c.width, c.height, 300, seed, &by_block);
            ASSERT_EQ(got.size(), expected.size());
            for (size_t t = 0; t < got.size(); t++)
                ASSERT_EQ(got[t], expected[t]) << "level " << c.level << ", " << c.width << " x "
                                               << c.height << ", seed " << seed << ", tick " << t;
            total.asteroid_hits += by_block.asteroid_hits;
            total.alien_hits += by_block.alien_hits;
            total.level_ups += by_block.level_ups;
        }
    // The comparison meant something: rockets struck both kinds, and some
    // squadron's last alien fell mid-tick.
    EXPECT_GT(total.asteroid_hits, 100);
    EXPECT_GT(total.alien_hits, 20);
    EXPECT_GT(total.level_ups, 0);
}

// The player's first rocket destroys the last alien of level 1 on a 320 x 200
// screen; its other three rockets fly on, within that tick, into level 2's
// field in the lower right. Returns the world after that tick and whether a
// later rocket struck an asteroid of the new field.
std::vector<double> last_alien_falls(void (*tick)(), unsigned seed, bool *new_field_struck)
{
    reset_world(320, 200);
    std::srand(seed);
    start_level(1);
    lives = 4;
    player.y = 150;
    asteroids[0] = {250, 0};
    asteroids[1] = {200, 0};
    aliens[1].active = 0;
    aliens_alive = 1;
    aliens[0].x = aliens[0].target_x = 100;
    aliens[0].y = aliens[0].target_y = 40;
    Rocket *r = player.rockets;
    r[0] = {1, 110, 50, 0};
    for (int k = 1; k < ROCKET_SLOTS; k++)
        r[k] = {1, static_cast<float>(rand_range(150, 300)), static_cast<float>(rand_range(90, 195)), 0};

    int sounds_before = sounds_started;
    tick();
    *new_field_struck = false;
    bool alien_fell = false;
    for (int s = sounds_before; s < sounds_started; s++) {
        SoundEvent e = sound_log[s % SOUND_LOG_SIZE].event;
        alien_fell = alien_fell || e == SOUND_ALIEN;
        *new_field_struck = *new_field_struck || (alien_fell && e == SOUND_ASTEROID);
    }
    return world_now();
}

TEST(PhysicsByBlock, RocketsFlyingOnIntoTheNextLevelMeetItsNewField)
{
    int struck = 0;
    for (unsigned seed = 1; seed <= 40; seed++) {
        bool by_block, everything;
        std::vector<double> expected = last_alien_falls(tick_testing_everything, seed, &everything);
        ASSERT_EQ(level, 2) << "seed " << seed;
        std::vector<double> got = last_alien_falls(physics_task, seed, &by_block);
        ASSERT_EQ(got, expected) << "seed " << seed;
        struck += everything;
    }
    EXPECT_GT(struck, 10);
}

TEST(PhysicsByBlock, ANewLevelIsNeverLookedUpInTheFilesOfTheOldOne)
{
    reset_world(1000, 700);
    std::srand(7);
    start_level(3);
    file_asteroids();
    file_aliens();
    start_level(9);
    for (int i = 0; i < asteroid_count; i++)
        asteroids[i] = {static_cast<float>(20 + 50 * i), 600};
    for (int i = 0; i < alien_count; i++) {
        aliens[i].x = static_cast<float>(20 + 90 * i);
        aliens[i].y = 100;
    }
    for (int i = 0; i < asteroid_count; i++)
        EXPECT_EQ(asteroid_hit(static_cast<int>(asteroids[i].x) + 10, 610, 16, 5), 1) << "asteroid " << i;
    // The last of the ten starts level 10 (whose aliens the loop leaves alone).
    for (int i = 0, n = alien_count; i < n; i++)
        EXPECT_EQ(alien_hit(&player, static_cast<int>(aliens[i].x) + 10, 110, 16, 5), 1) << "alien " << i;
    EXPECT_EQ(level, 10);
    forget_asteroids();
    forget_aliens();
}

} // namespace
