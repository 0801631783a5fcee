// make_sprites: turns the ASCII art in assets/sprites/*.txt into the game's
// 8-bit BMPs in graphics/, every one saved with the shared palette from
// assets/palette.txt.
//
//   usage: make_sprites [REPO_ROOT]      (REPO_ROOT defaults to ".")
//
// It runs without a display: Allegro is brought up with SYSTEM_NONE, which is
// enough for memory bitmaps and for save_bitmap/load_bitmap.
//
// Sprite file format (see assets/README.md):
//   frame W H            size of one frame; frames are laid side by side
//   key C INDEX [note]   art character C paints palette INDEX
//   art [label]          the next H lines are one frame, each exactly W wide
// Outside art blocks, blank lines and lines starting with '#' are ignored.
// Inside an art block every line is a row of pixels.
//
// Everything that can go wrong with the art (ragged rows, unknown characters,
// a colour outside the sprite's palette range, a wrong overall size) stops the
// run with a message naming the file and line. All sources are read and
// checked before any BMP is written, and each BMP is read back after saving
// and compared with what was drawn.

#include <allegro.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What the game expects of each sprite: the whole BMP's size, how many frames
// sit side by side in it, and the palette indexes it may use (besides 0,
// which is transparent). The ranges are disjoint so that a screenshot's
// colours tell which sprite is where.
struct SpriteTarget {
    const char *name;  // assets/sprites/<name>.txt -> graphics/<name>.bmp
    int width;
    int height;
    int frames;
    int first;
    int last;
};

constexpr SpriteTarget kTargets[] = {
    // level, moving right, moving left, moving up, moving down
    {"spaceship", 320, 33, 5, 100, 109},
    {"enemy", 48, 30, 1, 110, 119},
    {"asteroid", 44, 36, 1, 120, 127},
    {"rocket", 16, 5, 1, 140, 144},
    {"alienrocket", 16, 5, 1, 145, 149},
    {"life", 20, 9, 1, 150, 154},
};

// Palette entries the game draws with directly. No sprite may paint with
// them, and they must stand out clearly on the black background.
struct Reserved {
    int index;
    const char *use;
};

constexpr Reserved kReserved[] = {
    {14, "alien ship burst"},
    {50, "death message"},
    {86, "burst on the player's ship"},
    {129, "asteroid burst"},
    {210, "stars"},
    {215, "status and FPS text"},
};

// Frames of one sprite must differ by at least this many pixels, so that the
// ship's movement frames are visibly different.
constexpr int kMinFrameDifference = 20;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string where(const std::string &file, int line) {
    return file + ":" + std::to_string(line) + ": ";
}

std::string strip_cr(std::string s) {
    if (!s.empty() && s.back() == '\r') s.pop_back();
    return s;
}

bool is_blank_or_comment(const std::string &s) {
    const auto pos = s.find_first_not_of(" \t");
    return pos == std::string::npos || s[pos] == '#';
}

struct Colour {
    int r = 0, g = 0, b = 0;
    bool operator==(const Colour &o) const { return r == o.r && g == o.g && b == o.b; }
};

struct Palette {
    std::array<Colour, 256> rgb{};
    std::array<bool, 256> listed{};
};

std::string describe(const Colour &c) {
    return "(" + std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + ")";
}

Palette read_palette(const std::string &file) {
    std::ifstream in(file);
    if (!in) throw Failure("cannot open " + file);

    Palette pal;
    std::string line;
    int lineno = 0;
    while (std::getline(in, line)) {
        ++lineno;
        line = strip_cr(line);
        if (is_blank_or_comment(line)) continue;
        std::istringstream fields(line);
        int index = -1;
        Colour c;
        if (!(fields >> index >> c.r >> c.g >> c.b))
            throw Failure(where(file, lineno) + "expected 'INDEX R G B [note]'");
        if (index < 0 || index > 255)
            throw Failure(where(file, lineno) + "index " + std::to_string(index) + " is outside 0..255");
        for (int v : {c.r, c.g, c.b})
            if (v < 0 || v > 63)
                throw Failure(where(file, lineno) + "channel value " + std::to_string(v) +
                              " is outside 0..63 (Allegro palettes are 6-bit)");
        if (pal.listed[index])
            throw Failure(where(file, lineno) + "index " + std::to_string(index) + " is listed twice");
        pal.listed[index] = true;
        pal.rgb[index] = c;
    }

    // Unlisted entries get a near-black colour unique to their index.
    for (int i = 0; i < 256; ++i)
        if (!pal.listed[i]) pal.rgb[i] = Colour{i & 7, (i >> 3) & 7, (i >> 6) & 3};

    if (!pal.listed[0] || !(pal.rgb[0] == Colour{}))
        throw Failure(file + ": index 0 must be listed and black (it is the transparent colour)");

    for (const Reserved &r : kReserved) {
        if (!pal.listed[r.index])
            throw Failure(file + ": index " + std::to_string(r.index) + " (" + r.use + ") is not listed");
        const Colour &c = pal.rgb[r.index];
        if (std::max({c.r, c.g, c.b}) < 56)
            throw Failure(file + ": index " + std::to_string(r.index) + " (" + r.use + ") " + describe(c) +
                          " is too dark to read on black; give it a channel of 56 or more");
    }
    for (const Reserved &a : kReserved)
        for (const Reserved &b : kReserved) {
            if (a.index >= b.index) continue;
            const Colour &x = pal.rgb[a.index];
            const Colour &y = pal.rgb[b.index];
            const int distance = std::abs(x.r - y.r) + std::abs(x.g - y.g) + std::abs(x.b - y.b);
            if (distance < 24)
                throw Failure(file + ": indexes " + std::to_string(a.index) + " (" + a.use + ") and " +
                              std::to_string(b.index) + " (" + b.use + ") are too alike to tell apart");
        }

    for (int i = 0; i < 256; ++i)
        for (int j = i + 1; j < 256; ++j)
            if (pal.rgb[i] == pal.rgb[j])
                throw Failure(file + ": indexes " + std::to_string(i) + " and " + std::to_string(j) +
                              " have the same colour " + describe(pal.rgb[i]) +
                              "; every entry must be distinct");
    return pal;
}

// One sprite's art: all frames already laid side by side.
struct Art {
    int width = 0;
    int height = 0;
    int frame_width = 0;
    int frames = 0;
    std::vector<int> pixels;  // palette indexes, row-major, width * height
};

Art read_art(const std::string &file, const SpriteTarget &target, const Palette &pal) {
    std::ifstream in(file);
    if (!in) throw Failure("cannot open " + file);

    int fw = 0, fh = 0;
    std::map<char, int> glyphs;
    std::vector<std::vector<int>> frames;  // each frame row-major, fw * fh

    std::string line;
    int lineno = 0;
    while (std::getline(in, line)) {
        ++lineno;
        line = strip_cr(line);
        if (is_blank_or_comment(line)) continue;
        std::istringstream fields(line);
        std::string word;
        fields >> word;

        if (word == "frame") {
            if (fw != 0) throw Failure(where(file, lineno) + "'frame' given twice");
            if (!(fields >> fw >> fh) || fw <= 0 || fh <= 0)
                throw Failure(where(file, lineno) + "expected 'frame WIDTH HEIGHT' with positive sizes");
        } else if (word == "key") {
            std::string glyph;
            int index = -1;
            if (!(fields >> glyph >> index) || glyph.size() != 1)
                throw Failure(where(file, lineno) + "expected 'key CHARACTER INDEX [note]'");
            const char c = glyph[0];
            if (glyphs.count(c))
                throw Failure(where(file, lineno) + "character '" + glyph + "' is given a colour twice");
            if (index != 0 && (index < target.first || index > target.last))
                throw Failure(where(file, lineno) + "index " + std::to_string(index) + " is outside " +
                              target.name + "'s palette range " + std::to_string(target.first) + ".." +
                              std::to_string(target.last) + " (or 0 for transparent)");
            if (!pal.listed[index])
                throw Failure(where(file, lineno) + "index " + std::to_string(index) +
                              " has no colour in assets/palette.txt");
            glyphs[c] = index;
        } else if (word == "art") {
            if (fw == 0) throw Failure(where(file, lineno) + "'art' before 'frame WIDTH HEIGHT'");
            std::vector<int> frame;
            frame.reserve(static_cast<size_t>(fw) * fh);
            const int art_line = lineno;
            for (int row = 0; row < fh; ++row) {
                if (!std::getline(in, line))
                    throw Failure(where(file, art_line) + "art block has only " + std::to_string(row) +
                                  " rows, expected " + std::to_string(fh));
                ++lineno;
                line = strip_cr(line);
                if (static_cast<int>(line.size()) != fw)
                    throw Failure(where(file, lineno) + "row is " + std::to_string(line.size()) +
                                  " characters wide, expected " + std::to_string(fw));
                for (int x = 0; x < fw; ++x) {
                    const auto found = glyphs.find(line[x]);
                    if (found == glyphs.end())
                        throw Failure(where(file, lineno) + "column " + std::to_string(x + 1) +
                                      ": character '" + std::string(1, line[x]) + "' has no 'key' line");
                    frame.push_back(found->second);
                }
            }
            frames.push_back(std::move(frame));
        } else {
            throw Failure(where(file, lineno) + "unknown directive '" + word + "'");
        }
    }

    const int count = static_cast<int>(frames.size());
    if (count != target.frames)
        throw Failure(file + ": has " + std::to_string(count) + " art blocks, " + target.name + " needs " +
                      std::to_string(target.frames));
    if (fw * count != target.width || fh != target.height)
        throw Failure(file + ": frames of " + std::to_string(fw) + "x" + std::to_string(fh) + " make a " +
                      std::to_string(fw * count) + "x" + std::to_string(fh) + " bitmap, the game expects " +
                      std::to_string(target.width) + "x" + std::to_string(target.height));

    for (int f = 0; f < count; ++f) {
        bool painted = false;
        for (int v : frames[f]) painted = painted || v != 0;
        if (!painted) throw Failure(file + ": frame " + std::to_string(f + 1) + " is empty");
        for (int g = 0; g < f; ++g) {
            int differ = 0;
            for (size_t i = 0; i < frames[f].size(); ++i) differ += frames[f][i] != frames[g][i];
            if (differ < kMinFrameDifference)
                throw Failure(file + ": frames " + std::to_string(g + 1) + " and " + std::to_string(f + 1) +
                              " differ in only " + std::to_string(differ) + " pixels");
        }
    }

    Art art;
    art.width = target.width;
    art.height = target.height;
    art.frame_width = fw;
    art.frames = count;
    art.pixels.assign(static_cast<size_t>(art.width) * art.height, 0);
    for (int f = 0; f < count; ++f)
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x)
                art.pixels[static_cast<size_t>(y) * art.width + f * fw + x] = frames[f][y * fw + x];
    return art;
}

void write_bmp(const std::string &file, const Art &art, const Palette &pal) {
    PALETTE out_pal;
    for (int i = 0; i < 256; ++i) {
        out_pal[i].r = static_cast<unsigned char>(pal.rgb[i].r);
        out_pal[i].g = static_cast<unsigned char>(pal.rgb[i].g);
        out_pal[i].b = static_cast<unsigned char>(pal.rgb[i].b);
        out_pal[i].filler = 0;
    }

    BITMAP *bmp = create_bitmap_ex(8, art.width, art.height);
    if (!bmp) throw Failure("cannot create a " + std::to_string(art.width) + "x" + std::to_string(art.height) + " bitmap");
    for (int y = 0; y < art.height; ++y)
        for (int x = 0; x < art.width; ++x) putpixel(bmp, x, y, art.pixels[static_cast<size_t>(y) * art.width + x]);
    const int saved = save_bitmap(file.c_str(), bmp, out_pal);
    destroy_bitmap(bmp);
    if (saved != 0) throw Failure("cannot write " + file);

    // Read it back the way the game will and make sure it is what we drew.
    PALETTE back_pal;
    BITMAP *back = load_bitmap(file.c_str(), back_pal);
    if (!back) throw Failure(file + ": written, but load_bitmap cannot read it back");
    std::string problem;
    if (bitmap_color_depth(back) != 8)
        problem = "reads back as " + std::to_string(bitmap_color_depth(back)) + "-bit, not 8-bit";
    else if (back->w != art.width || back->h != art.height)
        problem = "reads back as " + std::to_string(back->w) + "x" + std::to_string(back->h);
    for (int y = 0; problem.empty() && y < art.height; ++y)
        for (int x = 0; problem.empty() && x < art.width; ++x)
            if (getpixel(back, x, y) != art.pixels[static_cast<size_t>(y) * art.width + x])
                problem = "pixel " + std::to_string(x) + "," + std::to_string(y) + " reads back wrong";
    for (int i = 0; problem.empty() && i < 256; ++i)
        if (back_pal[i].r != out_pal[i].r || back_pal[i].g != out_pal[i].g || back_pal[i].b != out_pal[i].b)
            problem = "palette entry " + std::to_string(i) + " reads back wrong";
    destroy_bitmap(back);
    if (!problem.empty()) throw Failure(file + ": " + problem);
}

}  // namespace

int main(int argc, char *argv[]) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [REPO_ROOT]\n", argv[0]);
        return 2;
    }
    const std::string root = argc == 2 ? argv[1] : ".";

    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "make_sprites: cannot start Allegro: %s\n", allegro_error);
        return 1;
    }
    set_color_depth(8);
    set_color_conversion(COLORCONV_NONE);

    try {
        const Palette pal = read_palette(root + "/assets/palette.txt");
        std::vector<Art> arts;
        for (const SpriteTarget &target : kTargets)
            arts.push_back(read_art(root + "/assets/sprites/" + target.name + ".txt", target, pal));
        for (size_t i = 0; i < arts.size(); ++i) {
            const SpriteTarget &target = kTargets[i];
            const Art &art = arts[i];
            write_bmp(root + "/graphics/" + target.name + ".bmp", art, pal);
            std::printf("make_sprites: wrote graphics/%s.bmp (%dx%d, %d frame%s)\n", target.name, art.width,
                        art.height, art.frames, art.frames == 1 ? "" : "s");
        }
    } catch (const Failure &e) {
        std::fprintf(stderr, "make_sprites: %s\n", e.what());
        return 1;
    }
    return 0;
}
END_OF_MAIN()
