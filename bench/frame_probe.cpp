// frame_probe.cpp -- times the game's real frame loop with its real timers.
//
//   frame_probe [--level N] [--warmup W] [--seconds S] [--bare] [--out FILE]
//
// Starts the game as it starts itself (init_game: screen, keyboard, timers,
// sound, level 1), optionally moves to level N, then runs the frame loop of
// the game for W seconds of warm-up (default 10) and S measured seconds
// (default 60), or until ESC is held, shuts the game down and prints the
// figures of the measured seconds as "key value" lines, to FILE when given.
//
// The warm-up lets the first hits, bursts and deaths happen before the
// readings start: the first burst calls sin and cos, and the kernel then maps
// a few hundred KiB of the maths library's code into the process. Those pages
// are read from the library file, not allocated by the game; the resident
// size at the very start is reported too.
//
// With --bare the loop neither runs the tasks nor composes a frame: it only
// waits for vsync, copies the back buffer to the screen and clears it, with
// the game's timers, sound and screen as they are. What that costs is the
// floor under the game's own CPU figure on this machine.
// Needs a display (an X server such as Xvfb) and graphics/ and sounds/ in the
// working directory.
//
// Physics ticks are counted from the player's reload count, which grows by
// 20 on every physics tick and is reset only when the player fires; no key is
// pressed here, and the count stops only after 50,000 ticks (over 20 minutes).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <allegro.h>

#include "frame/display.h"
#include "frame/startup.h"
#include "frame/tasks.h"
#include "world/aliens.h"
#include "world/asteroids.h"
#include "world/state.h"

static long physics_ticks()
{
    return player.reload / 20;
}

namespace {

using Clock = std::chrono::steady_clock;

double seconds_between(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

double cpu_seconds(int who)
{
    rusage usage;
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Resident set size of the process in bytes, from /proc/self/statm: all of
// it, and the part backed by files or shared memory (code of the program and
// its libraries, the X server's shared image). The rest is the process's own
// heap and stacks.
struct Resident {
    long total = -1;
    long shared = -1;
    long own() const { return total - shared; }
};

Resident resident_now()
{
    long pages_total = 0;
    Resident r;
    FILE *f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return r;
    long resident = 0, shared = 0;
    if (std::fscanf(f, "%ld %ld %ld", &pages_total, &resident, &shared) == 3) {
        long page = sysconf(_SC_PAGESIZE);
        r.total = resident * page;
        r.shared = shared * page;
    }
    std::fclose(f);
    return r;
}

// Resident KiB of each mapping of the process by what backs it (a file's
// path, "[heap]", "[stack]", or "[anon]"), from /proc/self/smaps.
std::map<std::string, long> resident_by_mapping()
{
    std::map<std::string, long> kib;
    FILE *f = std::fopen("/proc/self/smaps", "r");
    if (!f)
        return kib;
    char line[4096];
    std::string name = "[anon]";
    while (std::fgets(line, sizeof line, f)) {
        long value = 0;
        if (std::sscanf(line, "Rss: %ld kB", &value) == 1) {
            kib[name] += value;
            continue;
        }
        // A mapping's first line: "start-end perms offset dev inode [path]".
        char range[64], path[4096] = "";
        unsigned long inode = 0;
        if (std::strchr(line, '-') && std::sscanf(line, "%63s %*s %*s %*s %lu %4095[^\n]", range, &inode, path) >= 2
            && std::strchr(range, '-') && !std::strchr(range, ':')) {
            const char *p = path;
            while (*p == ' ')
                p++;
            name = *p ? p : "[anon]";
        }
    }
    std::fclose(f);
    return kib;
}

// CPU seconds of each thread of the process, by thread id, from
// /proc/self/task/<tid>/stat (user + system, in clock ticks of 10 ms).
std::vector<std::pair<long, double>> thread_cpu_seconds()
{
    std::vector<std::pair<long, double>> threads;
    DIR *dir = opendir("/proc/self/task");
    if (!dir)
        return threads;
    double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    while (dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        std::string path = std::string("/proc/self/task/") + entry->d_name + "/stat";
        FILE *f = std::fopen(path.c_str(), "r");
        if (!f)
            continue;
        char line[1024];
        size_t n = std::fread(line, 1, sizeof line - 1, f);
        std::fclose(f);
        line[n] = '\0';
        // After the ")" that ends the thread's name: state, then fields 4..
        // of which utime and stime are the 14th and 15th.
        const char *p = std::strrchr(line, ')');
        unsigned long utime = 0, stime = 0;
        if (p && std::sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
                             &utime, &stime) == 2)
            threads.emplace_back(std::atol(entry->d_name), static_cast<double>(utime + stime) / tick);
    }
    closedir(dir);
    std::sort(threads.begin(), threads.end());
    return threads;
}

// The value below which the fraction p of the sorted values lie (nearest rank).
double percentile(std::vector<double> sorted, double p)
{
    if (sorted.empty())
        return 0;
    std::sort(sorted.begin(), sorted.end());
    size_t rank = static_cast<size_t>(p * static_cast<double>(sorted.size()) + 0.999999);
    rank = std::min(std::max<size_t>(rank, 1), sorted.size());
    return sorted[rank - 1];
}

// One pass of the game's frame loop, with clock readings between its steps.
struct Pass {
    Clock::time_point top, composed, retrace, done;
    long ticks_run;
};

void run_pass(Pass *pass, bool bare)
{
    pass->top = Clock::now();
    long ticks_before = physics_ticks();
    if (!bare) {
        run_owed_tasks();
        compose_frame();
    }
    pass->ticks_run = physics_ticks() - ticks_before;
    pass->composed = Clock::now();
    vsync();
    pass->retrace = Clock::now();
    blit(back_buffer, screen, 0, 0, 0, 0, res_x, res_y);
    clear_buffer(back_buffer);
    pass->done = Clock::now();
}

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: frame_probe [--level N] [--warmup W] [--seconds S] [--bare] [--out FILE]\n");
    std::exit(2);
}

} // namespace

int main(int argc, char **argv)
{
    int start_at = 1;
    double warmup_seconds = 10;
    double run_seconds = 60;
    const char *out_path = nullptr;
    bool bare = false;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "--bare") {
            bare = true;
            continue;
        }
        if (i + 1 >= argc)
            usage();
        if (arg == "--level")
            start_at = std::atoi(argv[++i]);
        else if (arg == "--warmup")
            warmup_seconds = std::atof(argv[++i]);
        else if (arg == "--seconds")
            run_seconds = std::atof(argv[++i]);
        else if (arg == "--out")
            out_path = argv[++i];
        else
            usage();
    }
    if (start_at < 1 || run_seconds <= 0 || warmup_seconds < 0)
        usage();

    init_game();
    if (start_at != 1)
        start_level(start_at);

    // Room for every frame of the run, taken and touched before the resident
    // size is read, so the probe's own records do not show as growth.
    size_t room = static_cast<size_t>(run_seconds * 1000) + 16;
    std::vector<double> frame_start(room), work_ms(room), wait_ms(room), copy_ms(room);
    std::vector<long> ticks_at(room);
    std::vector<Resident> resident_each_second(static_cast<size_t>(run_seconds) + 2);

    Resident resident_first = resident_now();
    Clock::time_point warmup_end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                     std::chrono::duration<double>(warmup_seconds));
    while (!key[KEY_ESC] && Clock::now() < warmup_end) {
        Pass pass;
        run_pass(&pass, bare);
    }

    std::map<std::string, long> mappings_start = resident_by_mapping();
    Resident resident_start = resident_now();
    double cpu_start = cpu_seconds(RUSAGE_SELF);
    double main_cpu_start = cpu_seconds(RUSAGE_THREAD);
    std::vector<std::pair<long, double>> threads_start = thread_cpu_seconds();
    Clock::time_point run_start = Clock::now();
    Clock::time_point run_end = run_start + std::chrono::duration_cast<Clock::duration>(
                                                std::chrono::duration<double>(run_seconds));
    size_t frames = 0;
    size_t seconds_seen = 0;
    long max_ticks_per_frame = 0;

    while (!key[KEY_ESC] && Clock::now() < run_end) {
        Pass pass;
        run_pass(&pass, bare);
        max_ticks_per_frame = std::max(max_ticks_per_frame, pass.ticks_run);
        if (seconds_between(run_start, pass.done) >= static_cast<double>(seconds_seen + 1)
            && seconds_seen < resident_each_second.size()) {
            resident_each_second[seconds_seen] = resident_now();
            seconds_seen++;
        }
        if (frames < room) {
            frame_start[frames] = seconds_between(run_start, pass.top);
            ticks_at[frames] = physics_ticks();
            work_ms[frames] = seconds_between(pass.top, pass.composed) * 1e3;
            wait_ms[frames] = seconds_between(pass.composed, pass.retrace) * 1e3;
            copy_ms[frames] = seconds_between(pass.retrace, pass.done) * 1e3;
            frames++;
        }
    }

    double wall = seconds_between(run_start, Clock::now());
    double cpu = cpu_seconds(RUSAGE_SELF) - cpu_start;
    double main_cpu = cpu_seconds(RUSAGE_THREAD) - main_cpu_start;
    std::vector<std::pair<long, double>> threads_end = thread_cpu_seconds();
    Resident resident_end = resident_now();
    std::map<std::string, long> mappings_end = resident_by_mapping();
    int level_at_end = level;
    int lives_at_end = lives;
    int aliens_at_end = aliens_alive;
    long ticks_total = physics_ticks();
    shutdown_game();

    if (frames < 3) {
        std::fprintf(stderr, "frame_probe: only %zu frames in %.1f s\n", frames, wall);
        return 1;
    }
    frame_start.resize(frames);
    ticks_at.resize(frames);
    work_ms.resize(frames);
    wait_ms.resize(frames);
    copy_ms.resize(frames);

    // Frame interval: from the top of one pass of the loop to the next.
    std::vector<double> interval_ms;
    for (size_t i = 1; i < frames; i++)
        interval_ms.push_back((frame_start[i] - frame_start[i - 1]) * 1e3);

    // Physics rate. The ticks run at the top of pass i are the timer's
    // firings up to that moment, so the ticks counted between the first and
    // the last pass are those the timer fired between the two moments.
    double span = frame_start[frames - 1] - frame_start[0];
    long ticks_in_span = ticks_at[frames - 1] - ticks_at[0];
    // Least-squares slope of the tick count against time, over every pass:
    // the same rate, less sensitive to where the ends fall between ticks.
    double mean_t = 0, mean_n = 0;
    for (size_t i = 0; i < frames; i++) {
        mean_t += frame_start[i];
        mean_n += static_cast<double>(ticks_at[i]);
    }
    mean_t /= static_cast<double>(frames);
    mean_n /= static_cast<double>(frames);
    double stt = 0, stn = 0;
    for (size_t i = 0; i < frames; i++) {
        stt += (frame_start[i] - mean_t) * (frame_start[i] - mean_t);
        stn += (frame_start[i] - mean_t) * (static_cast<double>(ticks_at[i]) - mean_n);
    }

    FILE *out = out_path ? std::fopen(out_path, "w") : stdout;
    if (!out) {
        std::fprintf(stderr, "frame_probe: cannot write %s\n", out_path);
        return 1;
    }
    std::fprintf(out, "bare %d\n", bare ? 1 : 0);
    std::fprintf(out, "level_start %d\n", start_at);
    std::fprintf(out, "level_end %d\n", level_at_end);
    std::fprintf(out, "lives_end %d\n", lives_at_end);
    std::fprintf(out, "aliens_alive_end %d\n", aliens_at_end);
    std::fprintf(out, "seconds %.3f\n", wall);
    std::fprintf(out, "frames %zu\n", frames);
    std::fprintf(out, "fps %.3f\n", static_cast<double>(frames - 1) / span);
    std::fprintf(out, "frame_interval_median_ms %.3f\n", percentile(interval_ms, 0.5));
    std::fprintf(out, "frame_interval_p99_ms %.3f\n", percentile(interval_ms, 0.99));
    std::fprintf(out, "frame_interval_max_ms %.3f\n", percentile(interval_ms, 1.0));
    std::fprintf(out, "frame_interval_min_ms %.3f\n", percentile(interval_ms, 0.0));
    std::fprintf(out, "work_median_ms %.4f\n", percentile(work_ms, 0.5));
    std::fprintf(out, "work_p99_ms %.4f\n", percentile(work_ms, 0.99));
    std::fprintf(out, "vsync_wait_median_ms %.4f\n", percentile(wait_ms, 0.5));
    std::fprintf(out, "copy_clear_median_ms %.4f\n", percentile(copy_ms, 0.5));
    std::fprintf(out, "copy_clear_p99_ms %.4f\n", percentile(copy_ms, 0.99));
    std::fprintf(out, "physics_ticks_total %ld\n", ticks_total);
    std::fprintf(out, "physics_ticks_in_span %ld\n", ticks_in_span);
    std::fprintf(out, "span_seconds %.6f\n", span);
    std::fprintf(out, "physics_hz %.4f\n", static_cast<double>(ticks_in_span) / span);
    std::fprintf(out, "physics_hz_fit %.4f\n", stt > 0 ? stn / stt : 0.0);
    std::fprintf(out, "max_ticks_per_frame %ld\n", max_ticks_per_frame);
    std::fprintf(out, "cpu_seconds %.3f\n", cpu);
    std::fprintf(out, "cpu_share %.5f\n", cpu / wall);
    std::fprintf(out, "main_thread_cpu_share %.5f\n", main_cpu / wall);
    // Each thread's share of one core over the run; the main thread (the
    // frame loop, with the task bodies) has the process's id.
    std::fprintf(out, "thread_cpu_shares");
    for (const auto &t : threads_end) {
        double before = 0;
        for (const auto &b : threads_start)
            if (b.first == t.first)
                before = b.second;
        std::fprintf(out, " %s:%.4f", t.first == getpid() ? "main" : std::to_string(t.first).c_str(),
                     (t.second - before) / wall);
    }
    std::fprintf(out, "\n");
    std::fprintf(out, "warmup_seconds %.3f\n", warmup_seconds);
    std::fprintf(out, "resident_before_warmup_bytes %ld\n", resident_first.total);
    std::fprintf(out, "resident_own_before_warmup_bytes %ld\n", resident_first.own());
    std::fprintf(out, "resident_start_bytes %ld\n", resident_start.total);
    std::fprintf(out, "resident_end_bytes %ld\n", resident_end.total);
    std::fprintf(out, "resident_own_start_bytes %ld\n", resident_start.own());
    std::fprintf(out, "resident_own_end_bytes %ld\n", resident_end.own());
    std::fprintf(out, "resident_shared_start_bytes %ld\n", resident_start.shared);
    std::fprintf(out, "resident_shared_end_bytes %ld\n", resident_end.shared);
    long resident_max = std::max(resident_start.total, resident_end.total);
    for (size_t i = 0; i < seconds_seen; i++)
        resident_max = std::max(resident_max, resident_each_second[i].total);
    std::fprintf(out, "resident_after_1s_bytes %ld\n", seconds_seen > 0 ? resident_each_second[0].total : -1);
    std::fprintf(out, "resident_after_10s_bytes %ld\n", seconds_seen > 9 ? resident_each_second[9].total : -1);
    std::fprintf(out, "resident_max_bytes %ld\n", resident_max);
    // What grew or shrank between the two readings, by mapping.
    std::fprintf(out, "resident_change_kib_by_mapping");
    for (const auto &m : mappings_end) {
        auto before = mappings_start.find(m.first);
        long change = m.second - (before == mappings_start.end() ? 0 : before->second);
        if (change != 0)
            std::fprintf(out, " %s:%+ld", m.first.c_str(), change);
    }
    for (const auto &m : mappings_start)
        if (mappings_end.find(m.first) == mappings_end.end() && m.second != 0)
            std::fprintf(out, " %s:%+ld", m.first.c_str(), -m.second);
    std::fprintf(out, "\n");
    std::fprintf(out, "resident_kib_by_second");
    for (size_t i = 0; i < seconds_seen; i++)
        std::fprintf(out, " %ld", resident_each_second[i].total / 1024);
    std::fprintf(out, "\n");
    std::fprintf(out, "resident_own_kib_by_second");
    for (size_t i = 0; i < seconds_seen; i++)
        std::fprintf(out, " %ld", resident_each_second[i].own() / 1024);
    std::fprintf(out, "\n");
    if (out != stdout)
        std::fclose(out);
    return 0;
}
END_OF_MAIN()
