// startup.cpp -- start-up, configuration, sprite loading and shutdown

#include "frame/startup.h"

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "frame/tasks.h"
#include "sound/sound.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/explosions.h"
#include "world/state.h"

void fatal_error(const char *format, ...)
{
    if (screen)
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    std::fputs("stardrift: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::exit(EXIT_FAILURE);
}

// One screen dimension from the configuration, read as a decimal number.
// Allegro's get_config_int would take "abc" as 0, "0800" as octal and wrap
// huge numbers, and such sizes crash the graphics driver, so the text is
// checked here.
static int read_dimension(const char *name, int fallback, int lo, int hi)
{
    const char *text = get_config_string("Settings", name, nullptr);
    if (!text)
        return fallback;
    char *end;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    while (*end == ' ' || *end == '\t')
        end++;
    if (end == text || *end != '\0')
        fatal_error("%s = \"%s\" in [Settings] is not a whole number; accepted: %d to %d",
                    name, text, lo, hi);
    if (errno == ERANGE || value < lo || value > hi)
        fatal_error("%s = %s in [Settings] is outside the accepted range %d to %d",
                    name, text, lo, hi);
    return static_cast<int>(value);
}

void read_settings()
{
    res_x = read_dimension("res_x", 800, MIN_RES_X, MAX_RES_X);
    res_y = read_dimension("res_y", 600, MIN_RES_Y, MAX_RES_Y);
}

struct SpriteFile {
    const char *file;
    BITMAP **sprite;
    int min_w, min_h;       // the part of the picture the game draws
};

static const SpriteFile sprite_files[] = {
    {"graphics/spaceship.bmp", &spaceship_bmp, 5 * PLAYER_W, PLAYER_H},
    {"graphics/enemy.bmp", &enemy_bmp, 1, 1},
    {"graphics/asteroid.bmp", &asteroid_bmp, 1, 1},
    {"graphics/rocket.bmp", &rocket_bmp, 1, 1},
    {"graphics/alienrocket.bmp", &alienrocket_bmp, 1, 1},
    {"graphics/life.bmp", &life_bmp, 20, 9},
};

// No sprite may be larger than the largest screen.
static const int MAX_SPRITE_SIDE = 8192;

// What the header of a BMP file says: its size and bits per pixel. False when
// the file cannot be read or does not begin like a BMP picture; load_bitmap
// then reports it.
struct BmpHeader {
    long w, h;
    int bits;
};

static bool read_bmp_header(const char *file, BmpHeader &header)
{
    unsigned char b[30];
    FILE *f = std::fopen(file, "rb");
    if (!f)
        return false;
    size_t n = std::fread(b, 1, sizeof b, f);
    std::fclose(f);
    if (n < 26 || b[0] != 'B' || b[1] != 'M')
        return false;
    auto u16 = [&b](int i) { return static_cast<unsigned long>(b[i] | b[i + 1] << 8); };
    auto u32 = [&u16](int i) { return u16(i) | u16(i + 2) << 16; };
    auto s32 = [&u32](int i) { return static_cast<long>(static_cast<int32_t>(u32(i))); };
    if (u32(14) == 12) {    // OS/2 header: 16-bit sizes
        header = {static_cast<long>(u16(18)), static_cast<long>(u16(20)), static_cast<int>(u16(24))};
        return true;
    }
    if (n < 30)
        return false;
    header = {s32(18), s32(22), static_cast<int>(u16(28))};
    return true;
}

void load_graphics()
{
    for (const SpriteFile &s : sprite_files) {
        // Allegro's loader believes the header: it converts other depths
        // (and so hands the game a palette that is not the sprites'), and it
        // allocates whatever size is claimed, overflowing at some billions of
        // pixels. So the header is looked at first.
        BmpHeader header;
        if (read_bmp_header(s.file, header)) {
            if (header.bits != 8)
                fatal_error("%s has %d bits per pixel; the sprites must be 8-bit pictures", s.file,
                            header.bits);
            if (std::labs(header.w) > MAX_SPRITE_SIDE || std::labs(header.h) > MAX_SPRITE_SIDE)
                fatal_error("%s is %ld x %ld; it must be at most %d x %d", s.file, std::labs(header.w),
                            std::labs(header.h), MAX_SPRITE_SIDE, MAX_SPRITE_SIDE);
        }
        BITMAP *bmp = load_bitmap(s.file, game_palette);
        if (!bmp)
            fatal_error("cannot load %s: missing, or not a BMP picture", s.file);
        if (bmp->w < s.min_w || bmp->h < s.min_h) {
            const int w = bmp->w, h = bmp->h;
            destroy_bitmap(bmp);
            fatal_error("%s is %d x %d; it must be at least %d x %d", s.file, w, h, s.min_w, s.min_h);
        }
        *s.sprite = bmp;
    }
    set_palette_range(game_palette, 0, 255, 0);
    set_palette(game_palette);
}

void unload_graphics()
{
    for (const SpriteFile &s : sprite_files) {
        destroy_bitmap(*s.sprite);
        *s.sprite = nullptr;
    }
    destroy_bitmap(back_buffer);
    back_buffer = nullptr;
}

void clear_buffer(BITMAP *bitmap)
{
    clear_bitmap(bitmap);
}

void init_game()
{
    if (allegro_init() != 0)
        fatal_error("cannot start Allegro (is there a display?)%s%s", allegro_error[0] ? ": " : "",
                    allegro_error);
    if (install_timer() != 0)
        fatal_error("cannot start the timer: %s", allegro_error);
    if (install_keyboard() != 0)
        fatal_error("cannot read the keyboard: %s", allegro_error);
    // Without a sound driver every sound event is simply silent.
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr);
    set_color_depth(8);
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    read_settings();
    if (set_gfx_mode(GFX_AUTODETECT, res_x, res_y, 0, 0) != 0)
        fatal_error("cannot set a %d x %d 8-bit graphics mode: %s", res_x, res_y, allegro_error);
    back_buffer = create_bitmap(res_x, res_y);
    if (!back_buffer)
        fatal_error("cannot create a %d x %d back buffer", res_x, res_y);
    clear_buffer(back_buffer);

    load_graphics();
    load_sounds();
    start_level(1);
    install_tasks();
}

void shutdown_game()
{
    remove_tasks();
    unload_graphics();
    free_aliens();
    free_asteroids();
    free_explosions();
    unload_sounds();
}
