// display.cpp -- the frame's layers and the status texts over them

#include "frame/display.h"

#include <cstdio>

#include <allegro.h>

#include "frame/tasks.h"
#include "player/input.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/stars.h"
#include "world/state.h"

char text_line[48];

// Text is drawn without a background, centred on x with its top at y.
static void draw_text(const char *text, double x, double y, int color)
{
    textout_centre_ex(back_buffer, font, text, static_cast<int>(x), static_cast<int>(y), color, -1);
}

void draw_status()
{
    if (lives < 1)
        draw_text("You have DIED. Press ESC to quit the game or ENTER to try again.",
                  res_x * 0.5, res_y * 0.5, DEATH_COLOR);
    for (int i = 0; i < lives; i++)
        masked_blit(life_bmp, back_buffer, 0, 0, 10 + 20 * i, 10, 20, 9);
}

void compose_frame()
{
    draw_stars();
    draw_hazards();
    draw_aliens();
    draw_player();
    draw_status();
    if (show_fps == 1) {
        std::snprintf(text_line, sizeof text_line, "FPS: %d", fps);
        draw_text(text_line, res_x * 0.7625, res_y * 0.0166, STATUS_COLOR);
    }
    std::snprintf(text_line, sizeof text_line, "Level: %d Score: %d", level, score);
    draw_text(text_line, res_x * 0.4625, res_y * 0.0166, STATUS_COLOR);
    frame_count += 1;
}
