// blockmap.cpp -- filing things by block, and finding the blocks near a box

#include "world/blockmap.h"

#include <algorithm>
#include <cstdlib>

#include "frame/startup.h"
#include "world/state.h"

// Grows *array to hold n ints; the old contents are not kept.
static void make_room(int **array, int n, const char *what)
{
    std::free(*array);
    *array = static_cast<int *>(std::malloc(sizeof(int) * static_cast<size_t>(n)));
    if (!*array)
        fatal_error("out of memory for %d %s", n, what);
}

void start_filing(Blockmap *map, int count, int w, int h, int reach)
{
    map->cols = res_x / BLOCK_SIZE + 1;
    map->rows = res_y / BLOCK_SIZE + 1;
    map->w = w;
    map->h = h;
    map->reach = reach;

    int blocks = map->cols * map->rows;
    if (blocks > map->block_room) {
        make_room(&map->first, blocks, "block lists");
        map->block_room = blocks;
    }
    if (count > map->thing_room) {
        make_room(&map->next, count, "block links");
        make_room(&map->prev, count, "block links");
        make_room(&map->block, count, "block links");
        map->thing_room = count;
    }
    std::fill(map->first, map->first + blocks, -1);
    std::fill(map->block, map->block + count, -1);
    map->filed = 1;
}

static int clamp_block(int pixel, int blocks)
{
    if (pixel < 0)
        return 0;
    return std::min(pixel / BLOCK_SIZE, blocks - 1);
}

void file_thing(Blockmap *map, int i, int x, int y)
{
    if (map->filed != 1)
        return;

    int old = map->block[i];
    if (old >= 0) {
        if (map->prev[i] >= 0)
            map->next[map->prev[i]] = map->next[i];
        else
            map->first[old] = map->next[i];
        if (map->next[i] >= 0)
            map->prev[map->next[i]] = map->prev[i];
    }

    int b = clamp_block(y, map->rows) * map->cols + clamp_block(x, map->cols);
    map->block[i] = b;
    map->prev[i] = -1;
    map->next[i] = map->first[b];
    if (map->first[b] >= 0)
        map->prev[map->first[b]] = i;
    map->first[b] = i;
}

void forget_things(Blockmap *map)
{
    map->filed = 0;
}

void free_blockmap(Blockmap *map)
{
    std::free(map->first);
    std::free(map->next);
    std::free(map->prev);
    std::free(map->block);
    *map = Blockmap{};
}

BlockRange blocks_near(const Blockmap &map, int x, int y, int w, int h)
{
    // A box of negative size is not a box; look everywhere.
    if (w < 0 || h < 0 || map.w < 0 || map.h < 0)
        return {0, map.cols - 1, 0, map.rows - 1};

    // Two boxes overlap only if the thing's corner lies within w + map.w
    // across and h + map.h down of this one's, and the thing may have
    // strayed `reach` further since it was filed.
    int left = x - map.w - map.reach;
    int top = y - map.h - map.reach;
    int right = x + w + map.reach;
    int bottom = y + h + map.reach;
    return {clamp_block(left, map.cols), clamp_block(right, map.cols),
            clamp_block(top, map.rows), clamp_block(bottom, map.rows)};
}
