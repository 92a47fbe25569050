// What recording every session costs, measured on an hour of play: the same
// scripted player plays the same world for 216,000 update steps (an hour at
// 60 a second) with recording on and off, and the replay it left is then
// checked as --verify checks it. Prints:
//   - the replay's size per hour, whole and beside the start files (the
//     bytes of files the session read without having written them, which a
//     replay must carry whatever it costs); the goal is 100 KB or less;
//   - how fast the hour is checked, as a multiple of real time on one core
//     (the goal is 100 times or more);
//   - the time recording adds to a frame on average, as a share of a 16.7 ms
//     frame (the goal is 1% or less), and the most it adds to any one frame.
//
//   replay_bench [ROUNDS [STEPS [KEEP]]]
//
// The two sessions are played ROUNDS times each (3 by default), taking turns,
// for STEPS update steps (an hour by default; fewer for a quick look);
// each frame's time is the least of its rounds, so the comparison is of the
// game's work and not of what else the machine was doing. Times are the
// thread's own processor time. The recorded replay is copied to KEEP when
// given, headed with the game's own version, so the game itself plays it
// (the viewer's benchmarks watch it).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "areas/areas.h"
#include "areas/enemy.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "engine/keys.h"
#include "platform/platform.h"
#include "replay/format.h"
#include "replay/replay.h"
#include "base/base.h"
#include "shell/shell.h"

namespace fs = std::filesystem;

namespace {
const char* const VERSION = "bench";
constexpr uint64_t HOUR = 216000;  // update steps
constexpr double FRAMEMS = 1000.0 / 60;

double Seconds(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}
double Cpu() { return Seconds(CLOCK_THREAD_CPUTIME_ID); }


// A player at a human pace: a few key changes a second, each press held
// for a tenth of a second or more. On the overworld it walks a few tiles
// at a time, scouts now and then, enters the tiles it knows and glances at
// the status menu; in an area it runs and jumps about, swings at what comes
// near, digs, looks in the bag, and after a while runs out of one side.
// Escape is pressed only to shut the bag, or to leave a wild or claimed
// area it cannot run out of (on the overworld it would go back to the
// title). It watches only what a player sees: where it is, the enemies near
// it, whether the bag is open. Its dice are its own, so every session it
// plays from the same start is the same.
class Player {
public:
    explicit Player(uint64_t steps) : until(steps) {}
    int visits = 0, inareaframes = 0;

    void Flip() {
        ++frame;
        for (auto& [key, at] : releases)
            if (at == frame) Let(key);
        if (frame == 5) Press(KEY_X);  // Begin
        if (frame <= 5) return;
        if (SessionSteps() >= until) {
            // Done: the window is closed, and the game saves and ends.
            LetAll();
            if (frame % 30 == 0) headless::RequestClose();
            return;
        }
        const bool now = areaplayer != nullptr;
        if (now != inarea) {
            inarea = now;
            if (inarea) ++visits;
            later = 0;  // a key meant for the area must not reach the overworld
            stay = 0;
            leaving = false;
            LetAll();
            wait = 20;
        }
        ++stay;
        if (later > 0 && --later == 0) Press(laterkey);
        // On a screen that waits for a key, or stuck: Z closes the menus,
        // X passes the bonus screen.
        const bool moved = marker.x != lastmx || marker.y != lastmy || inarea;
        lastmx = marker.x, lastmy = marker.y;
        idle = moved ? 0 : idle + 1;
        if (idle > 0 && idle % 600 == 0) Press(idle % 1200 ? KEY_Z : KEY_X);
        if (inarea) {
            ++inareaframes;
            Fight();
        }
        if (--wait > 0) return;
        if (inarea)
            Area();
        else
            Overworld();
    }

private:
    int Dice(int n) { return (int)(dice() % (unsigned)n); }
    void Hold(int key) {
        if (held.insert(key).second) headless::KeyDown(key);
    }
    void Let(int key) {
        if (held.erase(key)) headless::KeyUp(key);
    }
    void LetAll() {
        for (int key : held) headless::KeyUp(key);
        held.clear();
    }
    bool Holding(int key) const { return held.count(key) > 0; }
    // Down now, up a little later.
    void Press(int key, int frames = 6) {
        Let(key);
        Hold(key);
        releases[next++ % releases.size()] = {key, frame + frames};
    }
    void Later(int key, int frames) {
        laterkey = key;
        later = frames;
    }

    void Overworld() {
        static const int WALK[4] = {KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_LEFT};
        LetAll();
        const int roll = Dice(20);
        if (roll < 2 && EncounterAt(marker.x, marker.y) != encounters::wild) {
            Press(KEY_X);  // into the tile's area
            wait = 30;
        } else if (roll == 2) {
            Press(KEY_ENTER);  // the status menu, closed a second later
            Later(KEY_Z, 60);
            wait = 70;
        } else if (roll == 3) {
            Hold(KEY_SPACE);  // scouting a neighbour
            Press(WALK[Dice(4)]);
            wait = 20;
        } else {
            Hold(WALK[Dice(4)]);  // a tile or a few
            wait = 10 + Dice(40);
        }
    }

    void Area() {
        const entity& p = *areaplayer;
        if (invopen) {
            Press(KEY_ESCAPE);  // shut the bag; the press is spent on it
            wait = 20;
            return;
        }
        // Stays of 15 to 40 seconds; then out, by the nearer side.
        if (!leaving && stay > 900 + Dice(1500)) {
            leaving = true;
            side = p.x < areawidth * 8 ? KEY_LEFT : KEY_RIGHT;
        }
        if (leaving) {
            Let(KEY_Z);
            Let(KEY_DOWN);
            Let(side == KEY_RIGHT ? KEY_LEFT : KEY_RIGHT);
            Hold(side);
            stuck = p.x == lastx ? stuck + 1 : 0;
            lastx = p.x;
            if (Holding(KEY_X))
                Let(KEY_X);
            else if (stuck >= 2)
                Hold(KEY_X);  // over the step that stops the run
            const uint8_t here = EncounterAt(marker.x, marker.y);
            if (stay > 4000 && stay % 120 == 0 && (here == encounters::wild || here == encounters::claimed))
                Press(KEY_ESCAPE);
            wait = 8;
            return;
        }
        const int roll = Dice(12);
        Let(KEY_X);
        Let(KEY_Z);
        if (roll < 4) {
            Let(KEY_DOWN);
            const int dir = Dice(2) ? KEY_RIGHT : KEY_LEFT;
            Let(dir == KEY_RIGHT ? KEY_LEFT : KEY_RIGHT);
            Hold(dir);
        } else if (roll < 6) {
            Hold(KEY_X);  // a jump
        } else if (roll < 8) {
            Let(KEY_LEFT);
            Let(KEY_RIGHT);
            Hold(KEY_DOWN);  // dig
            Hold(KEY_Z);
        } else if (roll == 8) {
            Press(KEY_ENTER);  // a look in the bag, shut again a second later
            wait = 60;
            return;
        } else if (roll == 9) {
            Press(KEY_Z);  // a word with whoever is near
        } else {
            Let(KEY_LEFT);
            Let(KEY_RIGHT);
            Let(KEY_DOWN);
        }
        wait = 12 + Dice(30);
    }

    // Swings at an enemy within reach.
    void Fight() {
        if (leaving || invopen || frame % 12 != 0) return;
        const entity& p = *areaplayer;
        bool near = false;
        enemies.ForEach([&](TEnemy* e) {
            if (std::abs(e->x - p.x) < 28 && std::abs(e->y - p.y) < 20) near = true;
        });
        if (near) Press(KEY_Z);
    }

    uint64_t until;
    std::minstd_rand dice{20240611};
    std::set<int> held;
    std::array<std::pair<int, int>, 16> releases{};  // keys to let go, and when
    size_t next = 0;
    int frame = 0, wait = 0, stay = 0, stuck = 0, side = KEY_RIGHT;
    int later = 0, laterkey = 0, idle = 0;  // a key to press a while from now
    int32_t lastx = -1, lastmx = -1, lastmy = -1;
    bool inarea = false, leaving = false;
};

struct Run {
    std::vector<double> frames;  // the processor time of each frame
    uint64_t steps = 0, digest = 0;
    int code = -1;
    std::string what;  // what the player did
};

int Heard(const char* sound) {
    const auto& s = headless::SoundsPlayed();
    return (int)std::count(s.begin(), s.end(), std::string(sound));
}

// Plays the game in `folder`, recording or not, with the player stopping after
// `steps` update steps; each frame timed.
Run Play(const fs::path& folder, bool record, uint64_t steps) {
    Run run;
    run.frames.reserve(HOUR * 3 / 2);
    fs::current_path(folder);
    replay::Stop();
    headless::Reset();
    headless::SetFlipLimit(0);
    FreshGame();
    if (record && !replay::Record(VERSION)) {
        std::fprintf(stderr, "cannot record in %s\n", folder.c_str());
        std::exit(1);
    }
    Player player(steps);
    // The game's own lines (areas entered, worlds saved) are not the figures.
    std::fflush(stdout);
    const int out = ::dup(STDOUT_FILENO), quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(quiet, STDOUT_FILENO);
    double last = Cpu();
    headless::EveryFlip([&] {
        const double now = Cpu();
        run.frames.push_back(now - last);
        player.Flip();
        last = Cpu();
    });
    try {
        RunGame();
    } catch (const headless::ProgramEnded& end) {
        run.code = end.code;
    }
    headless::EveryFlip(nullptr);
    std::fflush(stdout);
    ::dup2(out, STDOUT_FILENO);
    ::close(out);
    ::close(quiet);
    run.steps = SessionSteps();
    run.digest = StateDigest();
    char what[256];
    std::snprintf(what, sizeof what,
                  "%d areas entered, %.0f%% of the frames in them; %d enemies beaten, %d blocks broken, "
                  "%d areas won, %d deaths; level %d",
                  player.visits, 100.0 * player.inareaframes / std::max<size_t>(run.frames.size(), 1),
                  Heard("sfx\\vanquish.wav"), Heard("sfx\\break.wav"), Heard("sfx\\bonus.wav"),
                  Heard("sfx\\death2.wav"), (int)level);
    run.what = what;
    return run;
}

std::vector<uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// ---------------------------------------------------------------- what the replay holds

// The records as the session writes them (replay/session.cpp), read as far
// as telling their kinds and sizes apart.
enum Tag : uint8_t { STEPS = 1, STEPIN, PASSIN, START, READ, LIST, ANSWER, CHECK, END, QUIET, STEPSIN, STEPSPASS };
enum : uint8_t { READBYTES = 2, OPENWRITE = 1 };
const char* const TAGNAMES[] = {"?",           "steps",        "steps with keys", "keys between steps",
                                "start",       "file reads",   "folder lists",    "file answers",
                                "checkpoints", "end",          "quiet passes",   "steps, then keys",
                                "steps, then keys between"};

struct Contents {
    size_t size = 0, blocks = 0;
    long long framing = 0;  // the header, the blocks' heads and checksums, less what deflating saved
    size_t startfiles = 0;                    // what the start files' bytes take in the file
    size_t startfilebytes = 0;                // and their own length
    std::map<int, size_t> raw;                // record bytes of each kind, before deflating
    size_t events = 0;                        // key events
};

Contents Inspect(const std::vector<uint8_t>& file) {
    Contents c;
    c.size = file.size();
    std::set<std::string> written;
    size_t at = 0;
    uint8_t kind;
    std::vector<uint8_t> payload;
    bool header = true;
    for (;;) {
        const size_t start = at;
        if (replayfile::NextBlock(file, at, kind, payload) != replayfile::Block::Whole) break;
        const size_t stored = at - start;
        ++c.blocks;
        if (header) {
            header = false;
            c.framing += (long long)stored;
            continue;
        }
        // The block again without the bytes of start files, for what the
        // rest of it takes.
        std::vector<uint8_t> rest;
        size_t own = 0;
        replayfile::In in{payload.data(), payload.size()};
        while (!in.AtEnd() && !in.bad) {
            const size_t from = in.at;
            uint8_t tag = in.U8();
            bool startfile = false;
            // One key taken in a pass: its code in the tag byte, the steps before after it.
            if (tag & 0x80) {
                tag = STEPSPASS;
                in.Var();
                ++c.events;
            } else switch (tag) {
            case STEPS:
            case QUIET: in.Var(); break;
            case STEPIN:
            case PASSIN: {
                const uint64_t n = in.Var();
                for (uint64_t i = 0; i < n && !in.bad; ++i) in.Var();
                c.events += (size_t)n;
                break;
            }
            case STEPSIN:
            case STEPSPASS: {
                in.Var();
                const uint64_t n = in.Var();
                // A key of the game's own is one byte; another carries its code.
                for (uint64_t i = 0; i < n && !in.bad; ++i)
                    if ((in.Var() >> 2) == 31) in.Var();
                c.events += (size_t)n;
                break;
            }
            case START:
                in.Var();
                in.Str();
                break;
            case READ: {
                const std::string path = in.Str();
                if (in.U8() == READBYTES) {
                    const uint64_t n = in.Var();
                    const uint8_t* skip = nullptr;
                    in.Raw((size_t)n, skip);
                    startfile = !written.count(path);
                    if (startfile) own += (size_t)n;
                }
                break;
            }
            case LIST:
                in.Str();
                for (uint64_t n = in.Var(), i = 0; i < n && !in.bad; ++i) in.Str();
                break;
            case ANSWER: {
                const uint8_t op = in.U8();
                const std::string path = in.Str();
                if (in.U8() == 1 && op == OPENWRITE) written.insert(path);
                break;
            }
            case CHECK:
            case END:
                in.Var();
                in.U64();
                break;
            default:
                std::fprintf(stderr, "a record of no kind known here (%d): the figures below are not to be trusted\n", tag);
                in.bad = true;
            }
            c.raw[tag] += in.at - from;
            if (!startfile) rest.insert(rest.end(), payload.begin() + (long)from, payload.begin() + (long)in.at);
        }
        if (own == 0) {
            c.framing += (long long)stored - (long long)payload.size();
            continue;
        }
        c.startfilebytes += own;
        std::vector<uint8_t> without;
        if (!rest.empty()) replayfile::AppendBlock(without, kind, rest);
        c.startfiles += stored - without.size();
    }
    return c;
}

// ---------------------------------------------------------------- checking

struct Check {
    double cpu = 0, wall = 0;
    int code = -1;
};

Check Verify(const fs::path& replay, const fs::path& folder) {
    Check c;
    fs::current_path(folder);
    replay::Stop();
    headless::Reset();
    headless::SetFlipLimit(0);
    FreshGame();
    std::string why;
    const std::vector<uint8_t> bytes = FileBytes(replay);
    const double cpu = Cpu(), wall = Seconds(CLOCK_MONOTONIC);
    if (!replay::Play(bytes, false, VERSION, why)) {
        std::printf("the replay cannot be played: %s\n", why.c_str());
        return c;
    }
    std::fflush(stdout);
    try {
        RunGame();
    } catch (const headless::ProgramEnded& end) {
        c.code = end.code;
    }
    c.cpu = Cpu() - cpu;
    c.wall = Seconds(CLOCK_MONOTONIC) - wall;
    replay::Stop();
    return c;
}

double Mean(const std::vector<double>& v) {
    double s = 0;
    for (double x : v) s += x;
    return v.empty() ? 0 : s / (double)v.size();
}
}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const uint64_t length = argc > 2 ? std::max(1000ull, std::strtoull(argv[2], nullptr, 10)) : HOUR;
    char name[] = "/tmp/quillmoor-replay-bench-XXXXXX";
    if (!mkdtemp(name)) return 1;
    const fs::path root = name;
    const fs::path start = root / "start";
    fs::create_directories(start);

    // The player's world as a session finds it: begun, walked in a little
    // and saved, unrecorded.
    Play(start, false, 600);
    std::printf("play of %" PRIu64 " update steps, %d round%s each with recording on and off\n", length,
                rounds, rounds > 1 ? "s" : "");
    std::fflush(stdout);

    std::vector<Run> on, off;
    for (int r = 0; r < rounds; ++r) {
        for (bool record : {true, false}) {
            const fs::path folder = root / ((record ? "on" : "off") + std::to_string(r));
            fs::copy(start, folder, fs::copy_options::recursive);
            (record ? on : off).push_back(Play(folder, record, length));
        }
    }
    // The same session each time, or the frames are not comparable.
    for (const Run& r : on)
        for (const Run* o : {&on[0], &off[0]})
            if (r.frames.size() != o->frames.size() || r.digest != o->digest || r.steps != o->steps) {
                std::printf("the sessions went differently: %zu and %zu frames\n", r.frames.size(), o->frames.size());
                return 1;
            }
    for (const Run& r : off)
        if (r.frames.size() != off[0].frames.size() || r.digest != off[0].digest) {
            std::printf("the unrecorded sessions went differently\n");
            return 1;
        }
    const uint64_t steps = on[0].steps;
    const double hours = (double)steps / HOUR;
    std::printf("the player: %s\n", on[0].what.c_str());

    // ---- size
    const fs::path replaydir = root / "on0" / "replays";
    fs::path replay;
    for (const auto& e : fs::directory_iterator(replaydir)) replay = e.path();
    const std::vector<uint8_t> file = FileBytes(replay);
    const Contents c = Inspect(file);
    if (argc > 3) {
        std::vector<uint8_t> kept;
        replayfile::AppendHeader(kept, QUILLMOOR_VERSION);
        size_t at = 0;
        uint8_t kind = 0;
        std::vector<uint8_t> header;
        replayfile::NextBlock(file, at, kind, header);
        kept.insert(kept.end(), file.begin() + (std::ptrdiff_t)at, file.end());
        std::ofstream(argv[3], std::ios::binary).write(reinterpret_cast<const char*>(kept.data()),
                                                       (std::streamsize)kept.size());
    }
    const double beside = (double)(c.size - c.startfiles);
    std::printf("\nreplay size (%" PRIu64 " steps, %.2f hours of play)\n", steps, hours);
    std::printf("  whole file                   %9zu bytes  (%zu blocks; %zu key events, %.1f a second)\n", c.size,
                c.blocks, c.events, (double)c.events / ((double)steps / 60));
    std::printf("  start files                  %9zu bytes  (%zu bytes read, deflated)\n", c.startfiles,
                c.startfilebytes);
    std::printf("  beside the start files       %9.0f bytes  = %.1f KB per hour   (goal: 100 KB or less)\n", beside,
                beside / hours / 1000);
    std::printf("  records before deflating, by kind:\n");
    for (const auto& [tag, bytes] : c.raw)
        std::printf("    %-22s %9zu bytes\n", tag > 0 && tag <= STEPSPASS ? TAGNAMES[tag] : "?", bytes);
    std::printf("    %-22s %9lld bytes (the header, the blocks' heads and sums, less what deflating saved)\n",
                "and in the file", c.framing);

    // ---- checking
    std::printf("\nchecking the hour as --verify does (no window, no drawing, one core):\n  ");
    std::fflush(stdout);
    const fs::path checkfolder = root / "check";
    fs::create_directories(checkfolder);
    const Check v = Verify(replay, checkfolder);
    const double played = (double)steps / 60;
    std::printf("  %.2f s of processor time, %.2f s on the clock, for %.0f s of play: %.0f times real time"
                "   (goal: 100 or more)\n",
                v.cpu, v.wall, played, played / std::max(v.cpu, 1e-9));
    if (v.code != 0) std::printf("  the check did not pass (%d)\n", v.code);

    // ---- recording's cost per frame
    const size_t n = on[0].frames.size();
    std::vector<double> least_on(n), least_off(n);
    for (size_t i = 0; i < n; ++i) {
        least_on[i] = least_off[i] = 1e9;
        for (const Run& r : on) least_on[i] = std::min(least_on[i], r.frames[i]);
        for (const Run& r : off) least_off[i] = std::min(least_off[i], r.frames[i]);
    }
    const double mon = Mean(least_on) * 1000, moff = Mean(least_off) * 1000;
    std::vector<double> extra(n);
    for (size_t i = 0; i < n; ++i) extra[i] = (least_on[i] - least_off[i]) * 1000;
    const size_t worst = (size_t)(std::max_element(extra.begin(), extra.end()) - extra.begin());
    // After the first second: the world's files read at the start go into the
    // record on the frame that loads them; what follows is steady play.
    const size_t FIRST = std::min<size_t>(60, n - 1);
    const size_t steady = (size_t)(std::max_element(extra.begin() + (long)FIRST, extra.end()) - extra.begin());
    std::vector<double> sorted = extra;
    std::sort(sorted.begin(), sorted.end());
    std::printf("\nrecording's cost (%zu frames, the least of %d rounds each):\n", n, rounds);
    std::printf("  a frame on average           %8.4f ms recorded, %8.4f ms not\n", mon, moff);
    std::printf("  added on average             %8.4f ms = %.3f%% of a %.1f ms frame   (goal: 1%% or less)\n",
                mon - moff, (mon - moff) / FRAMEMS * 100, FRAMEMS);
    std::printf("  added at the 99.9th percentile %6.3f ms\n", sorted[n - 1 - n / 1000]);
    std::printf("  added at most, to one frame  %8.3f ms = %.1f%% of a frame (frame %zu: %.3f ms recorded, %.3f ms not)\n",
                extra[worst], extra[worst] / FRAMEMS * 100, worst + 1, least_on[worst] * 1000,
                least_off[worst] * 1000);
    std::printf("  at most after the first second %6.3f ms = %.1f%% of a frame (frame %zu: %.3f ms recorded, %.3f ms not)\n",
                extra[steady], extra[steady] / FRAMEMS * 100, steady + 1, least_on[steady] * 1000,
                least_off[steady] * 1000);
    // Each of the record's own heavy moments alone.
    constexpr int DIGESTS = 200;
    const double d0 = Cpu();
    volatile uint64_t sink = 0;
    for (int i = 0; i < DIGESTS; ++i) sink = sink + StateDigest();
    const double digestms = (Cpu() - d0) / DIGESTS * 1000;
    std::printf("  a checkpoint's digest alone  %8.3f ms (every 600 steps)\n", digestms);
    std::printf("  the longest frame recorded   %8.3f ms, not recorded %.3f ms\n",
                *std::max_element(least_on.begin(), least_on.end()) * 1000,
                *std::max_element(least_off.begin(), least_off.end()) * 1000);

    fs::current_path("/");
    fs::remove_all(root);
    return 0;
}
