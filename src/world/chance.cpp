// chance.cpp -- random ranges and the corner collision test

#include "world/chance.h"

#include <cstdlib>

int rand_range(int lo, int hi)
{
    if (hi <= lo)
        return lo;
    int span = hi - lo + 1;
    int mask = 2;
    while (mask < span)
        mask *= 2;
    int r;
    do {
        r = std::rand() & (mask - 1);
    } while (r >= span);
    return lo + r;
}

static bool point_inside(int px, int py, int x, int y, int w, int h)
{
    return x < px && px < x + w && y < py && py < y + h;
}

static bool corner_inside(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2)
{
    return point_inside(x1, y1, x2, y2, w2, h2)
        || point_inside(x1 + w1, y1, x2, y2, w2, h2)
        || point_inside(x1, y1 + h1, x2, y2, w2, h2)
        || point_inside(x1 + w1, y1 + h1, x2, y2, w2, h2);
}

int check_collision(int left1, int top1, int width1, int height1,
                    int left2, int top2, int width2, int height2)
{
    // Boxes that lie apart cannot have a corner of one inside the other; this
    // cheap test spares the corner tests for almost every pair a rocket meets.
    bool sized = width1 >= 0 && height1 >= 0 && width2 >= 0 && height2 >= 0;
    if (sized && (left1 >= left2 + width2 || left2 >= left1 + width1
                  || top1 >= top2 + height2 || top2 >= top1 + height1))
        return 0;
    if (corner_inside(left1, top1, width1, height1, left2, top2, width2, height2))
        return 1;
    if (corner_inside(left2, top2, width2, height2, left1, top1, width1, height1))
        return 1;
    return 0;
}
