// main.cpp -- Stardrift: start-up, the frame loop, shutdown

#include <allegro.h>

#include "frame/display.h"
#include "frame/startup.h"
#include "frame/tasks.h"
#include "world/state.h"

int main()
{
    init_game();
    // ESC is looked at only here, so the frame in progress is always shown.
    while (!key[KEY_ESC]) {
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
