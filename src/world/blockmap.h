// blockmap.h -- the screen cut into square blocks, each listing the things
// standing in it, so that a rocket is tested only against what is near it

#ifndef STARDRIFT_WORLD_BLOCKMAP_H
#define STARDRIFT_WORLD_BLOCKMAP_H

constexpr int BLOCK_SIZE = 32;      // pixels on a side; about a sprite

// Things of one kind (the asteroids, or the aliens), numbered from 0, each
// filed in the block of its top-left corner. Corners off the screen are filed
// in the nearest edge block. Each block's list is doubly linked through the
// per-thing arrays, so a thing that moves is refiled at once.
struct Blockmap {
    int filed;              // 1 while the lists say where the things stand
    int cols, rows;
    int w, h;               // the box of every thing: its sprite's size
    int reach;              // how far a thing may stray from where it was filed
    int *first;             // per block: its first thing, -1 if none
    int *next, *prev;       // per thing: its neighbours in its block's list
    int *block;             // per thing: the block it is filed in
    int block_room, thing_room;     // allocated lengths of the arrays above
};

// The blocks a box must look in: those that may hold the corner of a thing
// whose box overlaps it.
struct BlockRange {
    int col0, col1, row0, row1;
};

// Empties the map and sizes it for `count` things of box w x h on the current
// screen, each allowed to stray `reach` pixels per axis from where it is filed
// before it must be refiled. Marks the map filed; file every thing next.
void start_filing(Blockmap *map, int count, int w, int h, int reach);

// Files thing i with its top-left corner at (x, y), taking it out of the
// block it was in. Does nothing while the map is not filed.
void file_thing(Blockmap *map, int i, int x, int y);

// The map no longer says where things stand; lookups test every thing.
void forget_things(Blockmap *map);

// Releases the map's arrays.
void free_blockmap(Blockmap *map);

// The blocks to look in for things overlapping the box (x, y, w, h): all of
// them when either box has a negative size.
BlockRange blocks_near(const Blockmap &map, int x, int y, int w, int h);

// The lowest-numbered of things 0 .. count - 1 for which hits(i) holds, or
// -1. `hits` must only hold for a thing whose box overlaps the box (x, y, w,
// h); on a filed map only the things near that box are asked.
template <typename Hits>
int lowest_hit(const Blockmap &map, int count, int x, int y, int w, int h, Hits hits)
{
    if (map.filed != 1) {
        for (int i = 0; i < count; i++)
            if (hits(i))
                return i;
        return -1;
    }
    BlockRange r = blocks_near(map, x, y, w, h);
    int lowest = -1;
    for (int row = r.row0; row <= r.row1; row++)
        for (int col = r.col0; col <= r.col1; col++)
            for (int i = map.first[row * map.cols + col]; i >= 0; i = map.next[i])
                if ((lowest < 0 || i < lowest) && hits(i))
                    lowest = i;
    return lowest;
}

#endif
