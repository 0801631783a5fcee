// chance_test.cpp -- random ranges and the corner collision rule

#include <cstdlib>

#include <gtest/gtest.h>

#include "world/chance.h"

TEST(RandRange, AnEmptyOrReversedRangeGivesItsLowEndWithoutDrawing)
{
    std::srand(7);
    int next = std::rand();
    std::srand(7);
    EXPECT_EQ(rand_range(5, 5), 5);
    EXPECT_EQ(rand_range(7, 3), 7);
    EXPECT_EQ(rand_range(0, 0), 0);
    EXPECT_EQ(std::rand(), next);
}

TEST(RandRange, EveryValueOfARangeAcrossZeroComesUpAboutEquallyOften)
{
    std::srand(1);
    int seen[11] = {};
    const int draws = 110000;
    for (int i = 0; i < draws; i++) {
        int v = rand_range(-5, 5);
        ASSERT_GE(v, -5);
        ASSERT_LE(v, 5);
        seen[v + 5]++;
    }
    for (int n : seen) {
        EXPECT_GT(n, 9400);
        EXPECT_LT(n, 10600);
    }
}

TEST(RandRange, TheEndsOfAScreenRangeAreAsLikelyAsTheMiddle)
{
    std::srand(3);
    int low = 0, high = 0, middle = 0;
    for (int i = 0; i < 601 * 400; i++) {
        int v = rand_range(0, 600);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 600);
        low += v == 0;
        high += v == 600;
        middle += v == 300;
    }
    EXPECT_NEAR(low, 400, 80);
    EXPECT_NEAR(high, 400, 80);
    EXPECT_NEAR(middle, 400, 80);
}

TEST(RandRange, DrawsOnlyTheLowBitsNeededAndRejectsWhatDoesNotFit)
{
    // rand_range(400, 800) masks each draw to 9 bits and keeps the first below 401.
    std::srand(11);
    int expected = -1;
    while (expected < 0) {
        int r = std::rand() & 511;
        if (r <= 400)
            expected = 400 + r;
    }
    std::srand(11);
    EXPECT_EQ(rand_range(400, 800), expected);

    std::srand(11);
    int bit = std::rand() & 1;
    std::srand(11);
    EXPECT_EQ(rand_range(0, 1), bit);
}

struct Box {
    int x, y, w, h;
};

struct CollisionCase {
    Box first, second;
    int expected;
    const char *why;
};

TEST(CheckCollision, FollowsTheCornerRuleWhicheverRectangleComesFirst)
{
    const CollisionCase cases[] = {
        {{0, 0, 10, 10}, {5, 5, 10, 10}, 1, "a corner inside"},
        {{0, 0, 10, 10}, {9, 9, 10, 10}, 1, "one pixel of overlap"},
        {{0, 0, 10, 10}, {10, 0, 10, 10}, 0, "edges touch side by side"},
        {{0, 0, 10, 10}, {0, 10, 10, 10}, 0, "edges touch one above the other"},
        {{0, 0, 10, 10}, {10, 10, 5, 5}, 0, "corners touch"},
        {{0, 0, 10, 10}, {0, 0, 10, 10}, 0, "identical rectangles"},
        {{2, 2, 4, 4}, {0, 0, 10, 10}, 1, "one strictly inside the other"},
        {{0, 2, 10, 4}, {0, 0, 10, 10}, 0, "same left edge and width"},
        {{0, 0, 10, 10}, {5, 0, 10, 10}, 0, "same top edge and height"},
        {{0, 0, 10, 10}, {5, 0, 10, 20}, 1, "a far corner inside a taller one"},
        {{0, 4, 20, 2}, {9, 0, 2, 10}, 0, "crossing bars"},
        {{5, 5, 0, 0}, {0, 0, 10, 10}, 1, "a point strictly inside"},
        {{0, 5, 0, 0}, {0, 0, 10, 10}, 0, "a point on the left edge"},
        {{100, 300, 64, 33}, {150, 320, 50, 40}, 1, "the ship's box on an asteroid"},
    };
    for (const CollisionCase &c : cases) {
        const Box &a = c.first;
        const Box &b = c.second;
        EXPECT_EQ(check_collision(a.x, a.y, a.w, a.h, b.x, b.y, b.w, b.h), c.expected) << c.why;
        EXPECT_EQ(check_collision(b.x, b.y, b.w, b.h, a.x, a.y, a.w, a.h), c.expected)
            << c.why << " (swapped)";
    }
}

// The corner rule spelled out point by point, to hold the fast test to it.
static bool corner_strictly_inside(const Box &a, const Box &b)
{
    const int xs[] = {a.x, a.x + a.w};
    const int ys[] = {a.y, a.y + a.h};
    for (int py : ys)
        for (int px : xs)
            if (b.x < px && px < b.x + b.w && b.y < py && py < b.y + b.h)
                return true;
    return false;
}

TEST(CheckCollision, TheQuickTestForBoxesApartNeverChangesTheAnswer)
{
    std::srand(5);
    for (int i = 0; i < 200000; i++) {
        Box a = {std::rand() % 24, std::rand() % 24, std::rand() % 12 - 2, std::rand() % 12 - 2};
        Box b = {std::rand() % 24, std::rand() % 24, std::rand() % 12 - 2, std::rand() % 12 - 2};
        int expected = corner_strictly_inside(a, b) || corner_strictly_inside(b, a);
        ASSERT_EQ(check_collision(a.x, a.y, a.w, a.h, b.x, b.y, b.w, b.h), expected)
            << a.x << "," << a.y << "," << a.w << "," << a.h << " vs "
            << b.x << "," << b.y << "," << b.w << "," << b.h;
    }
}
