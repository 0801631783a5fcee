// screen_probe: answers questions about a screenshot of the running game.
//
// The game draws in 8-bit colour with one shared palette. A screenshot of the
// X screen is 24-bit, so a palette index is recognised by its RGB value. The
// palette is read from graphics/life.bmp, the same way the game gets it.
//
//   screen_probe [--palette FILE] text   SHOT.ppm STRING CX Y INDEX
//       STRING, drawn with Allegro's built-in font centred on CX with its top
//       at Y, is on screen in colour INDEX: every pixel of the glyphs has the
//       colour, and no other pixel of the text's box has it.
//   screen_probe [--palette FILE] number SHOT.ppm PREFIX CX Y INDEX LO HI
//       Like text, for the strings PREFIX+N with N = LO..HI; prints the N that
//       is on screen.
//   screen_probe [--palette FILE] count  SHOT.ppm INDEX [X Y W H]
//       Prints how many pixels of the rectangle (default: whole shot) have
//       the colour of INDEX.
//   screen_probe [--palette FILE] box    SHOT.ppm LO HI [X Y W H]
//       Prints "x0 y0 x1 y1 n": the bounding box and number of pixels whose
//       colour is that of any index LO..HI. Fails when there is none.
//   screen_probe [--palette FILE] sprite SHOT.ppm IMAGE.bmp SX SY W H X Y
//       The W x H part of IMAGE at (SX, SY), drawn at (X, Y) with index 0
//       transparent, is on screen: every opaque pixel has its colour.
//   screen_probe [--palette FILE] common SHOT.ppm OTHER.ppm INDEX [X Y W H]
//       Prints "a b both": how many pixels of the rectangle (default: whole
//       shot) have the colour of INDEX in SHOT, in OTHER, and in both at the
//       same place. The two shots must be of the same size.
//
// Exit status: 0 when the check holds, 1 with a one-line reason on stderr
// when it does not, 2 on bad usage or unreadable input.

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Rgb {
  int r, g, b;
};

struct Shot {
  int w = 0, h = 0;
  std::vector<unsigned char> data;  // RGB triples, row by row
  Rgb at(int x, int y) const {
    const unsigned char* p = &data[(static_cast<size_t>(y) * w + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

PALETTE g_pal;
const int kTolerance = 3;

[[noreturn]] void die(const std::string& msg) {
  std::fprintf(stderr, "screen_probe: %s\n", msg.c_str());
  std::exit(2);
}

int fail(const std::string& msg) {
  std::fprintf(stderr, "screen_probe: %s\n", msg.c_str());
  return 1;
}

int to_int(const char* s) {
  char* end = nullptr;
  long v = std::strtol(s, &end, 10);
  if (end == s || *end != '\0') die(std::string("not a number: ") + s);
  return static_cast<int>(v);
}

int to_index(const char* s) {
  int v = to_int(s);
  if (v < 0 || v > 255) die(std::string("palette index out of range: ") + s);
  return v;
}

// A 6-bit palette value shows as 8 bits on the X screen.
Rgb colour_of(int index) {
  const RGB& c = g_pal[index];
  return {c.r * 255 / 63, c.g * 255 / 63, c.b * 255 / 63};
}

bool same(Rgb a, Rgb b) {
  return std::abs(a.r - b.r) <= kTolerance && std::abs(a.g - b.g) <= kTolerance &&
         std::abs(a.b - b.b) <= kTolerance;
}

std::string rgb_text(Rgb c) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "(%d,%d,%d)", c.r, c.g, c.b);
  return buf;
}

// Reads the next header token of a PPM file, skipping blanks and comments.
int ppm_number(FILE* f) {
  int c = std::fgetc(f);
  while (c == '#' || (c != EOF && std::strchr(" \t\r\n", c))) {
    if (c == '#')
      while (c != EOF && c != '\n') c = std::fgetc(f);
    c = std::fgetc(f);
  }
  int v = 0, digits = 0;
  while (c >= '0' && c <= '9') {
    v = v * 10 + (c - '0');
    ++digits;
    c = std::fgetc(f);
  }
  if (digits == 0) return -1;
  return v;  // the single blank after the number has been consumed
}

Shot read_ppm(const char* path) {
  FILE* f = std::fopen(path, "rb");
  if (!f) die(std::string("cannot open ") + path + ": " + std::strerror(errno));
  Shot s;
  if (std::fgetc(f) != 'P' || std::fgetc(f) != '6') die(std::string(path) + " is not a P6 PPM");
  s.w = ppm_number(f);
  s.h = ppm_number(f);
  int maxval = ppm_number(f);
  if (s.w <= 0 || s.h <= 0 || maxval != 255) die(std::string(path) + ": unsupported PPM header");
  s.data.resize(static_cast<size_t>(s.w) * s.h * 3);
  size_t got = std::fread(s.data.data(), 1, s.data.size(), f);
  std::fclose(f);
  if (got != s.data.size()) die(std::string(path) + ": truncated PPM");
  return s;
}

void clip_rect(const Shot& s, int& x, int& y, int& w, int& h) {
  if (x < 0) { w += x; x = 0; }
  if (y < 0) { h += y; y = 0; }
  if (x + w > s.w) w = s.w - x;
  if (y + h > s.h) h = s.h - y;
  if (w < 0) w = 0;
  if (h < 0) h = 0;
}

// Compares STRING drawn at (cx, y) with the shot. Empty result: it matches.
std::string check_text(const Shot& s, const std::string& str, int cx, int y, int index) {
  BITMAP* bmp = create_bitmap_ex(8, s.w, s.h);
  if (!bmp) die("out of memory");
  clear_to_color(bmp, 0);
  textout_centre_ex(bmp, font, str.c_str(), cx, y, 1, -1);
  const int len = text_length(font, str.c_str());
  const int x0 = cx - len / 2;
  const int th = text_height(font);
  const Rgb want = colour_of(index);

  int glyph = 0, missing = 0, stray = 0;
  std::string first;
  for (int py = y; py < y + th; ++py) {
    for (int px = x0; px < x0 + len; ++px) {
      if (px < 0 || py < 0 || px >= s.w || py >= s.h) continue;
      const bool ink = getpixel(bmp, px, py) == 1;
      const Rgb got = s.at(px, py);
      if (ink) ++glyph;
      if (ink != same(got, want)) {
        ink ? ++missing : ++stray;
        if (first.empty())
          first = "first at (" + std::to_string(px) + "," + std::to_string(py) + ") shows " +
                  rgb_text(got);
      }
    }
  }
  destroy_bitmap(bmp);
  if (glyph == 0) return "the text \"" + str + "\" lies off the screen";
  if (missing == 0 && stray == 0) return "";
  return "\"" + str + "\" at (" + std::to_string(cx) + "," + std::to_string(y) + ") in index " +
         std::to_string(index) + " " + rgb_text(want) + ": " + std::to_string(missing) + " of " +
         std::to_string(glyph) + " glyph pixels lack the colour, " + std::to_string(stray) +
         " other pixels of the box have it; " + first;
}

int cmd_text(const Shot& s, char** a) {
  std::string why = check_text(s, a[0], to_int(a[1]), to_int(a[2]), to_index(a[3]));
  return why.empty() ? 0 : fail(why);
}

int cmd_number(const Shot& s, char** a) {
  const std::string prefix = a[0];
  const int cx = to_int(a[1]), y = to_int(a[2]), index = to_index(a[3]);
  const int lo = to_int(a[4]), hi = to_int(a[5]);
  for (int n = lo; n <= hi; ++n) {
    if (check_text(s, prefix + std::to_string(n), cx, y, index).empty()) {
      std::printf("%d\n", n);
      return 0;
    }
  }
  return fail("no \"" + prefix + "N\" with N in " + std::to_string(lo) + ".." + std::to_string(hi) +
              " at (" + std::to_string(cx) + "," + std::to_string(y) + ")");
}

int cmd_count(const Shot& s, int argc, char** a) {
  const Rgb want = colour_of(to_index(a[0]));
  int x = 0, y = 0, w = s.w, h = s.h;
  if (argc == 5) {
    x = to_int(a[1]); y = to_int(a[2]); w = to_int(a[3]); h = to_int(a[4]);
  }
  clip_rect(s, x, y, w, h);
  long n = 0;
  for (int py = y; py < y + h; ++py)
    for (int px = x; px < x + w; ++px) n += same(s.at(px, py), want);
  std::printf("%ld\n", n);
  return 0;
}

int cmd_box(const Shot& s, int argc, char** a) {
  const int lo = to_index(a[0]), hi = to_index(a[1]);
  std::vector<Rgb> wanted;
  for (int i = lo; i <= hi; ++i) wanted.push_back(colour_of(i));
  int x = 0, y = 0, w = s.w, h = s.h;
  if (argc == 6) {
    x = to_int(a[2]); y = to_int(a[3]); w = to_int(a[4]); h = to_int(a[5]);
  }
  clip_rect(s, x, y, w, h);
  int x0 = s.w, y0 = s.h, x1 = -1, y1 = -1;
  long n = 0;
  for (int py = y; py < y + h; ++py) {
    for (int px = x; px < x + w; ++px) {
      const Rgb got = s.at(px, py);
      bool hit = false;
      for (const Rgb& c : wanted) hit = hit || same(got, c);
      if (!hit) continue;
      ++n;
      if (px < x0) x0 = px;
      if (py < y0) y0 = py;
      if (px > x1) x1 = px;
      if (py > y1) y1 = py;
    }
  }
  if (n == 0) return fail("no pixel with a colour of indexes " + std::to_string(lo) + ".." + std::to_string(hi));
  std::printf("%d %d %d %d %ld\n", x0, y0, x1, y1, n);
  return 0;
}

int cmd_sprite(const Shot& s, char** a) {
  PALETTE unused;
  BITMAP* img = load_bitmap(a[0], unused);
  if (!img) die(std::string("cannot load ") + a[0]);
  const int sx = to_int(a[1]), sy = to_int(a[2]), w = to_int(a[3]), h = to_int(a[4]);
  const int x = to_int(a[5]), y = to_int(a[6]);
  if (bitmap_color_depth(img) != 8) die(std::string(a[0]) + " is not an 8-bit image");
  if (sx < 0 || sy < 0 || sx + w > img->w || sy + h > img->h) die("sprite part lies outside the image");
  int opaque = 0, wrong = 0;
  std::string first;
  for (int py = 0; py < h; ++py) {
    for (int px = 0; px < w; ++px) {
      const int index = getpixel(img, sx + px, sy + py);
      if (index == 0) continue;
      ++opaque;
      const int qx = x + px, qy = y + py;
      const bool inside = qx >= 0 && qy >= 0 && qx < s.w && qy < s.h;
      if (inside && same(s.at(qx, qy), colour_of(index))) continue;
      ++wrong;
      if (first.empty())
        first = "first at (" + std::to_string(qx) + "," + std::to_string(qy) + ") wants index " +
                std::to_string(index) + " " + rgb_text(colour_of(index)) + ", shows " +
                (inside ? rgb_text(s.at(qx, qy)) : std::string("nothing"));
    }
  }
  destroy_bitmap(img);
  if (opaque == 0) die("the sprite part has no opaque pixel");
  if (wrong == 0) return 0;
  return fail("sprite at (" + std::to_string(x) + "," + std::to_string(y) + "): " +
              std::to_string(wrong) + " of " + std::to_string(opaque) + " pixels differ; " + first);
}

int cmd_common(const Shot& s, int argc, char** a) {
  const Shot other = read_ppm(a[0]);
  if (other.w != s.w || other.h != s.h) die(std::string(a[0]) + " is not the size of the first shot");
  const Rgb want = colour_of(to_index(a[1]));
  int x = 0, y = 0, w = s.w, h = s.h;
  if (argc == 6) {
    x = to_int(a[2]); y = to_int(a[3]); w = to_int(a[4]); h = to_int(a[5]);
  }
  clip_rect(s, x, y, w, h);
  long in_shot = 0, in_other = 0, both = 0;
  for (int py = y; py < y + h; ++py) {
    for (int px = x; px < x + w; ++px) {
      const bool here = same(s.at(px, py), want), there = same(other.at(px, py), want);
      in_shot += here;
      in_other += there;
      both += here && there;
    }
  }
  std::printf("%ld %ld %ld\n", in_shot, in_other, both);
  return 0;
}

[[noreturn]] void usage() {
  die("usage: screen_probe [--palette FILE] text SHOT STRING CX Y INDEX | number SHOT PREFIX CX Y INDEX LO HI"
      " | count SHOT INDEX [X Y W H] | box SHOT LO HI [X Y W H]"
      " | sprite SHOT IMAGE SX SY W H X Y | common SHOT OTHER INDEX [X Y W H]");
}

}  // namespace

int main(int argc, char** argv) {
  std::string palette_file = "graphics/life.bmp";
  int i = 1;
  if (argc > 2 && std::strcmp(argv[1], "--palette") == 0) {
    palette_file = argv[2];
    i = 3;
  }
  if (argc - i < 2) usage();
  const std::string cmd = argv[i];
  const char* shot_path = argv[i + 1];
  char** a = argv + i + 2;
  const int n = argc - i - 2;

  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) die("cannot start Allegro");
  set_color_depth(8);
  BITMAP* pal_img = load_bitmap(palette_file.c_str(), g_pal);
  if (!pal_img) die("cannot read the palette from " + palette_file);
  destroy_bitmap(pal_img);

  const Shot shot = read_ppm(shot_path);
  if (cmd == "text" && n == 4) return cmd_text(shot, a);
  if (cmd == "number" && n == 6) return cmd_number(shot, a);
  if (cmd == "count" && (n == 1 || n == 5)) return cmd_count(shot, n, a);
  if (cmd == "box" && (n == 2 || n == 6)) return cmd_box(shot, n, a);
  if (cmd == "sprite" && n == 7) return cmd_sprite(shot, a);
  if (cmd == "common" && (n == 2 || n == 6)) return cmd_common(shot, n, a);
  usage();
}
