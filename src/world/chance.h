// chance.h -- random ranges and the one overlap test of the game

#ifndef STARDRIFT_WORLD_CHANCE_H
#define STARDRIFT_WORLD_CHANCE_H

// A uniform integer in lo..hi inclusive, drawn from rand() by masking to the
// next power of two and drawing again until it fits; lo itself, without a
// draw, when hi <= lo. Used for asteroid and alien positions and waypoints.
int rand_range(int lo, int hi);

// 1 when a corner of either rectangle lies strictly inside the other, else 0.
// Rectangles that only touch, or cross without a corner inside, do not collide.
int check_collision(int left1, int top1, int width1, int height1,
                    int left2, int top2, int width2, int height2);

#endif
