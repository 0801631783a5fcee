// main.cpp -- Stardrift: start-up, the frame loop, shutdown

#include <atomic>

#include <allegro.h>

#include "frame/display.h"
#include "frame/startup.h"
#include "frame/tasks.h"
#include "world/state.h"

// Set from Allegro's window thread when the window's close button is pressed.
static std::atomic<bool> close_pressed{false};

static void press_close()
{
    close_pressed = true;
}

int main()
{
    init_game();
    // A window's close button ends the game just as ESC does.
    set_close_button_callback(press_close);

    // ESC is looked at only here, so the frame in progress is always shown.
    while (!key[KEY_ESC] && !close_pressed) {
        run_owed_tasks();
        compose_frame();
        vsync();
        blit(back_buffer, screen, 0, 0, 0, 0, res_x, res_y);
        clear_buffer(back_buffer);
    }
    shutdown_game();
    return 0;
}
END_OF_MAIN()
