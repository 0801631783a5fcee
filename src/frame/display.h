// display.h -- composing a frame: the world's layers and the status display

#ifndef STARDRIFT_FRAME_DISPLAY_H
#define STARDRIFT_FRAME_DISPLAY_H

constexpr int STATUS_COLOR = 215;   // the status and FPS lines
constexpr int DEATH_COLOR = 50;     // the death message

// Longest status line: "Level: " and " Score: " with two full 32-bit numbers.
extern char text_line[48];

// Draws the death message while the player is dead, and one life icon per life.
void draw_status();

// Composes one frame into back_buffer, back to front: stars, hazards, aliens,
// the player, the status display, the FPS and status lines; counts the frame.
void compose_frame();

#endif
