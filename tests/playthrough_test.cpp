// A new player's first journey through the real program, from start-up with
// no settings file to quitting, driven by keys alone; then the program starts
// again and finds the world as it was saved.
//
// The scripted player watches the game the way a player watches the screen
// (where they stand, what is near, which sounds play) to decide which keys to
// press. What the journey achieved is judged by the screens drawn and the
// files written.
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "areas/areas.h"
#include "areas/enemy.h"
#include "areas/inventory.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "engine/draw.h"
#include "engine/keys.h"
#include "platform/platform.h"
#include "base/assets.h"
#include "base/base.h"
#include "shell/shell.h"
#include "replay/replay.h"
#include "testutil.h"

namespace {
// The start-up clock, and so the world: home has a wild plains tile beside
// it and a village right behind that. The journey replays exactly, so a
// change to the game that draws its random numbers differently can leave
// the village without a collector or a shopkeeper; then pick another clock
// whose world has a village with both behind a neighbour of home (one world
// in a few hundred has).
constexpr int SEED = 432;

using Frame = std::vector<uint32_t>;
struct Colour {
    uint8_t r, g, b;
};
enum class Shadow { none, inverse, black };

Frame Grab() { return Frame(framebuffer, framebuffer + SCREENW * SCREENH); }
// A journey that stopped early took no picture: every pixel of it reads 0.
uint32_t At(const Frame& f, int x, int y) {
    const size_t i = (size_t)y * SCREENW + x;
    return i < f.size() ? f[i] & 0xFFFFFF : 0;
}

// The frame shows the text in that colour and place: drawing it once more
// the same way changes no pixel.
bool Shows(const Frame& f, const std::string& text, int x, int y, Colour c, int centrex, Shadow s) {
    std::copy(f.begin(), f.end(), framebuffer);
    SetDrawOrigin(0, 0);
    SetColor(c.r, c.g, c.b);
    if (s == Shadow::none)
        DrawPlainText(text, x, y, centrex, 0);
    else
        DrawShadowText(text, x, y, centrex, 0, s == Shadow::black ? 1 : 0);
    return std::equal(f.begin(), f.end(), framebuffer);
}

// The experience on the overworld flickers in a random green once a raise
// is affordable; any of those greens will do.
bool ShowsExperience(const Frame& f, const std::string& text, bool flickers) {
    if (!flickers) return Shows(f, text, 13, 7, {255, 255, 255}, 0, Shadow::inverse);
    for (int g = 160; g <= 255; ++g)
        if (Shows(f, text, 13, 7, {128, (uint8_t)g, 255}, 0, Shadow::inverse)) return true;
    return false;
}

// The overworld tile under the marker (its tile at (224, 128) on screen) or
// one beside it, tinted as the overworld tints known (255) and still wild
// (192) land. Pixels under the marker itself, at (224, 121), are skipped.
bool TileShown(const Frame& f, int dx, int dy, uint8_t terraincode, int tint) {
    const uint32_t* texels = gfxoverworld.Frame(terraincode);
    for (int ty = 0; ty < 16; ++ty)
        for (int tx = 0; tx < 16; ++tx) {
            const int x = 224 + 16 * dx + tx, y = 128 + 16 * dy + ty;
            if (x >= 224 && x < 240 && y >= 121 && y < 137) continue;
            const uint32_t t = texels[ty * 16 + tx] & 0xFFFFFF;
            const uint32_t want = (((t >> 16) & 255) * tint / 255) << 16 | (((t >> 8) & 255) * tint / 255) << 8 |
                                  (t & 255) * tint / 255;
            if (At(f, x, y) != want) return false;
        }
    return true;
}

int Count(const std::string& sound) {
    const auto& s = headless::SoundsPlayed();
    return (int)std::count(s.begin(), s.end(), sound);
}

// Fields of the player file.
int32_t Int(const std::vector<unsigned char>& b, size_t at) {
    return (int32_t)(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24);
}
// A tile's record in the map file: its terrain, then its encounter type.
uint8_t TileTerrain(const std::vector<unsigned char>& map, int x, int y) { return map[2 * ((size_t)y * WORLDW + x)]; }
uint8_t TileEncounter(const std::vector<unsigned char>& map, int x, int y) {
    return map[2 * ((size_t)y * WORLDW + x) + 1];
}

const int DX[4] = {0, 1, 0, -1}, DY[4] = {-1, 0, 1, 0};
const int WALK[4] = {KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_LEFT};

// A player at the keyboard, working through a list of tasks. Each task is
// asked once per presented frame and says when it is done; the next one
// starts in the same frame.
class Player {
public:
    struct Task {
        std::string what;
        std::function<bool()> step;
    };

    void Then(const std::string& what, std::function<bool()> step) { tasks.push_back({what, std::move(step)}); }
    void Do(const std::string& what, std::function<void()> fn) {
        Then(what, [fn] {
            fn();
            return true;
        });
    }
    void Wait(int frames) {
        Then("wait", [n = frames]() mutable { return n-- <= 0; });
    }
    // One press, seen by the game in the next frame.
    void Press(int key) {
        Then("press", [key, sent = false]() mutable {
            if (sent) return true;
            headless::Tap(key);
            sent = true;
            return false;
        });
    }
    void Shot(const std::string& name) {
        Do("look at " + name, [this, name] { shots[name] = Grab(); });
    }

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

    // Called by every Flip. A task that runs far too long means the journey
    // went astray, and a program still running long after the last task
    // failed to end: the run is stopped and the task named.
    void Flip() {
        if (tasks.empty() && ++spent > 600) {
            ADD_FAILURE() << "the program went on after the last key";
            throw headless::FlipLimitReached{};
        }
        while (!tasks.empty()) {
            if (++spent > 20000) {
                ADD_FAILURE() << "stuck at: " << tasks.front().what;
                tasks.clear();
                throw headless::FlipLimitReached{};
            }
            if (!tasks.front().step()) return;
            tasks.pop_front();
            spent = 0;
        }
    }
    bool Finished() const { return tasks.empty(); }
    std::string Next() const { return tasks.empty() ? "nothing" : tasks.front().what; }

    std::map<std::string, Frame> shots;

private:
    std::deque<Task> tasks;
    std::set<int> held;
    int spent = 0;
};

// Moves in an area the way a player does: toward a spot, jumping when a
// step or a wall stops the run.
class Walker {
public:
    explicit Walker(Player& me) : me(me) {}
    void Toward(const entity& p, int dir) {
        me.Let(dir > 0 ? KEY_LEFT : KEY_RIGHT);
        me.Hold(dir > 0 ? KEY_RIGHT : KEY_LEFT);
        if (jumping > 0) {
            if (--jumping == 0) me.Let(KEY_X);
            return;
        }
        stuck = p.x == lastx ? stuck + 1 : 0;
        lastx = p.x;
        if (stuck >= 6 && p.onground) {
            me.Hold(KEY_X);
            jumping = 14;
            stuck = 0;
        }
    }
    void Stop() {
        me.Let(KEY_LEFT);
        me.Let(KEY_RIGHT);
        me.Let(KEY_X);
        jumping = 0;
    }

private:
    Player& me;
    int32_t lastx = -100000;
    int stuck = 0, jumping = 0;
};

class PlaythroughTest : public GameTest {
protected:
    std::string replay;
    void TearDown() override {
        headless::EveryFlip(nullptr);
        GameTest::TearDown();
    }

    // Starts the program on a fresh machine, as a player does, and runs it
    // until it ends; true when it ended by itself.
    bool RunProgram(int clock, bool record = false) {
        headless::Reset();
        headless::SetFlipLimit(0);
        // The journey is recorded as every play session is.
        if (record) {
            EXPECT_TRUE(replay::Record(QUILLMOOR_VERSION));
            replay = folder + "/" + replay::RecordingPath();
        }
        headless::EveryFlip([this] { me.Flip(); });
        headless::AdvanceClock(clock);
        bool ended = false;
        try {
            RunGame();
            ADD_FAILURE() << "the program returned instead of ending";
        } catch (const headless::ProgramEnded&) {
            ended = true;
        } catch (const headless::FlipLimitReached&) {
        }
        me.LetAll();
        replay::Stop();
        return ended;
    }

    // Holds the direction until the marker has stepped onto the tile, then
    // lets go. The route is read during the run, hence the references.
    void WalkOnto(const int& dir, const int& x, const int& y, const std::string& what) {
        me.Then(what, [this, &dir, &x, &y] {
            me.Hold(WALK[dir]);
            if (marker.x == x && marker.y == y) {
                me.Let(WALK[dir]);
                return true;
            }
            return false;
        });
    }
    void UntilInArea(const std::string& what) {
        me.Then(what, [] { return areaplayer != nullptr; });
    }
    // From leaving an area until the overworld runs again: the area's wipe
    // and the overworld's own take 20 steps each.
    void BackOnOverworld() {
        me.Then("leave the area", [] { return areaplayer == nullptr; });
        me.Wait(50);
    }
    // Holds Down and presses the action key again and again until the given
    // number of blocks below have broken.
    void DigDown(int blocks, const std::string& what) {
        me.Then(what, [this, blocks, breaks = -1, beat = 0]() mutable {
            if (breaks < 0) breaks = Count("sfx\\break.wav");
            if (Count("sfx\\break.wav") >= breaks + blocks) {
                me.LetAll();
                return true;
            }
            me.Hold(KEY_DOWN);
            // The bare hand swings once per press.
            if (++beat % 4 < 2)
                me.Hold(KEY_Z);
            else
                me.Let(KEY_Z);
            return false;
        });
    }
    // Runs out of the area on the given side.
    void RunOut(int dir, const std::string& what) {
        auto walker = std::make_shared<Walker>(me);
        me.Then(what, [this, walker, dir] {
            if (!areaplayer) {
                me.LetAll();
                return true;
            }
            walker->Toward(*areaplayer, dir);
            return false;
        });
        BackOnOverworld();
    }

    Player me;
};

// Fights across a wild area bare-handed: runs ahead and swings at every
// enemy that comes within reach, never turning back.
std::function<bool()> FightAcross(Player& me, int dir) {
    auto walker = std::make_shared<Walker>(me);
    return [&me, walker, dir] {
        entity* p = areaplayer;
        if (!p) {
            me.LetAll();
            return true;
        }
        bool inreach = false;
        enemies.ForEach([&](TEnemy* e) {
            // The swing reaches from 8 to 31 pixels ahead of a player
            // facing right, and 16 pixels behind to 7 ahead facing left.
            const int32_t ahead = dir > 0 ? e->x - p->x : p->x - e->x;
            if (ahead > -6 && ahead < (dir > 0 ? 28 : 20) && std::abs(e->y - p->y) < 20) inreach = true;
        });
        if (inreach) {
            walker->Stop();
            if (me.Holding(KEY_Z))
                me.Let(KEY_Z);
            else if (p->swinging == 0)
                me.Hold(KEY_Z);
        } else {
            me.Let(KEY_Z);
            walker->Toward(*p, dir);
        }
        return false;
    };
}

// Walks into the nearest enemy and lets it do its worst.
std::function<bool()> SeekEnemies(Player& me) {
    auto walker = std::make_shared<Walker>(me);
    return [&me, walker] {
        entity* p = areaplayer;
        if (!p) {
            me.LetAll();
            return true;
        }
        const TEnemy* nearest = nullptr;
        enemies.ForEach([&](TEnemy* e) {
            if (!nearest || std::abs(e->x - p->x) < std::abs(nearest->x - p->x)) nearest = e;
        });
        if (nearest && std::abs(nearest->x - p->x) < 4)
            walker->Stop();
        else
            walker->Toward(*p, nearest && nearest->x < p->x ? -1 : 1);
        return false;
    };
}
}  // namespace

TEST_F(PlaythroughTest, ANewPlayersFirstJourneyAndTheWorldFoundAgain) {
    const std::string W = "worlds/Moor/";
    // The route, read off the map once it is made, as a player reads it off
    // the screen: a wild plains tile beside home, a village beside that, and
    // wild land beyond the village to fall in.
    int toWild = -1, toVillage = -1, toDanger = -1;
    int wildx = 0, wildy = 0, villx = 0, villy = 0, dangerx = 0, dangery = 0;
    // What the screens of the village showed, to compare with the files.
    std::string collectorline;
    int collectorcentre = 0, goldbeforesale = -1, goldaftersale = -1;
    int sold = 0, usedbeforesale = 0, goldbeforedeath = -1;

    // ---- the title screen, a new world named "Moor", Begin
    me.Wait(3);
    me.Shot("title");
    me.Press(KEY_RIGHT);
    me.Press(KEY_X);
    me.Wait(2);
    me.Shot("worlds");
    me.Press(KEY_X);
    // M is the last letter of the first row; o and r are in the last row.
    for (int key : {KEY_LEFT, KEY_X, KEY_UP, KEY_RIGHT, KEY_RIGHT, KEY_X, KEY_X, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_X})
        me.Press(key);
    me.Wait(1);
    me.Shot("naming");
    me.Press(KEY_ENTER);
    me.Wait(2);
    me.Shot("worlds after naming");
    me.Press(KEY_Z);
    me.Wait(2);
    me.Press(KEY_LEFT);
    me.Wait(2);
    me.Shot("title after naming");
    me.Press(KEY_X);

    // ---- the new world begins in its home area; out to the right
    UntilInArea("enter the home area");
    me.Do("read the route off the map", [&] {
        EXPECT_EQ(ReadBytes(W + "overworld").size(), 524296u);
        EXPECT_EQ(ReadBytes(W + "player").size(), 153u);
        for (int d = 0; d < 4 && toWild < 0; ++d) {
            const int wx = homex + DX[d], wy = homey + DY[d];
            if (EncounterAt(wx, wy) != encounters::wild) continue;
            for (int e = 0; e < 4 && toVillage < 0; ++e) {
                const int vx = wx + DX[e], vy = wy + DY[e];
                if ((vx == homex && vy == homey) || EncounterAt(vx, vy) != encounters::village) continue;
                for (int g = 0; g < 4 && toDanger < 0; ++g) {
                    const int gx = vx + DX[g], gy = vy + DY[g];
                    if (EncounterAt(gx, gy) == encounters::wild && TierAt(gx, gy) > 0 && !(gx == wx && gy == wy)) {
                        toWild = d, toVillage = e, toDanger = g;
                        wildx = wx, wildy = wy, villx = vx, villy = vy, dangerx = gx, dangery = gy;
                    }
                }
            }
        }
        if (toDanger < 0) {
            ADD_FAILURE() << "the world of this seed has no village next to home's neighbour";
            throw headless::FlipLimitReached{};
        }
    });
    RunOut(1, "walk out of the home area");
    me.Shot("overworld at home");

    // ---- a wild plains encounter: dig two blocks, then fight across
    WalkOnto(toWild, wildx, wildy, "walk onto the wild tile");
    UntilInArea("enter the wild encounter");
    DigDown(2, "dig two blocks down");
    me.Then("fight across", [&, fight = std::function<bool()>()]() mutable {
        // Entering upward or rightward, the far side is on the right.
        if (!fight) fight = FightAcross(me, marker.f == 2 || marker.f == 3 ? -1 : 1);
        return fight();
    });
    me.Then("the bonus screen", [] { return Count("sfx\\bonus.wav") > 0; });
    me.Wait(2);
    me.Shot("bonus");
    me.Press(KEY_X);
    me.Wait(50);
    me.Then("the marker comes to rest", [] { return marker.moving == 0; });
    me.Wait(1);
    me.Shot("overworld after the win");

    // ---- the status menu: one more heart
    me.Press(KEY_ENTER);
    me.Wait(2);
    me.Shot("status menu");
    me.Press(KEY_X);
    me.Wait(2);
    me.Shot("status menu after the raise");
    me.Press(KEY_Z);
    me.Wait(2);

    // ---- the village: sell the first block dug to the collector
    WalkOnto(toVillage, villx, villy, "walk onto the village");
    me.Then("the marker comes to rest", [] { return marker.moving == 0; });
    me.Press(KEY_X);
    UntilInArea("enter the village");
    // Walks up to the first villager of that kind, then `arrived` with it.
    auto walkUpTo = [&](uint8_t kind, const std::string& what, std::function<void(NPC*)> arrived) {
        auto walker = std::make_shared<Walker>(me);
        me.Then("walk up to the " + what, [&, kind, what, arrived, walker] {
            entity* p = areaplayer;
            if (!p) return false;
            NPC* who = nullptr;
            npcs.ForEach([&](NPC* n) {
                if (!who && n->kind == kind) who = n;
            });
            if (!who) {
                ADD_FAILURE() << "this village has no " << what;
                throw headless::FlipLimitReached{};
            }
            if (std::abs(who->x - p->x) < 10 && std::abs(who->y - p->y) < 20 && p->onground) {
                walker->Stop();
                arrived(who);
                return true;
            }
            walker->Toward(*p, who->x > p->x ? 1 : -1);
            return false;
        });
    };
    walkUpTo(npckinds::collector, "collector", [&](NPC* collector) {
        collectorline = collector->GetText();
        const int bw = 4 * (int)collectorline.size() > 106 ? 4 * (int)collectorline.size() + 2 : 108;
        collectorcentre = (480 - bw) / 2 + bw / 2;
        goldbeforesale = gold;
    });
    // The action key held two frames: one talk.
    auto talk = [&](const std::string& what) {
        me.Then("talk to the " + what, [&, n = 0]() mutable {
            if (n++ < 2) {
                me.Hold(KEY_Z);
                return false;
            }
            me.Let(KEY_Z);
            return true;
        });
        me.Wait(2);
    };
    talk("collector");
    me.Shot("collector");
    // The cursor starts on the middle cell; the first block went to the top left.
    for (int key : {KEY_UP, KEY_UP, KEY_LEFT, KEY_LEFT}) me.Press(key);
    me.Do("remember what is sold", [&] {
        sold = (int)(ItemValue(invitem[0][0]) * invamt[0][0] / 4);
        usedbeforesale = (int)std::count_if(&invitem[0][0], &invitem[0][0] + INVCOLS * INVROWS, [](uint16_t i) { return i != 0; });
    });
    me.Press(KEY_X);
    me.Wait(1);
    me.Do("count the gold", [&] { goldaftersale = gold; });
    me.Press(KEY_Z);
    me.Wait(2);
    // The shop: too poor for its first ware, and out again.
    walkUpTo(npckinds::shopkeeper, "shopkeeper", [](NPC*) {});
    talk("shopkeeper");
    me.Shot("shop");
    me.Press(KEY_X);
    me.Wait(2);
    me.Press(KEY_Z);
    me.Wait(2);
    RunOut(-1, "walk out of the village");
    me.Shot("overworld at the village");

    // ---- wild land beyond the village, where the player falls
    WalkOnto(toDanger, dangerx, dangery, "walk onto the wild land");
    UntilInArea("enter the last encounter");
    DigDown(1, "dig a block to carry");
    me.Wait(2);
    me.Shot("area before the fall");
    me.Do("see what is carried", [&] { goldbeforedeath = gold; });
    me.Then("fall", SeekEnemies(me));
    me.Then("the death", [] { return Count("sfx\\death2.wav") > 0; });
    UntilInArea("wake up at home");
    RunOut(1, "walk out of the home area again");
    me.Shot("overworld after the death");

    // ---- Escape saves and shows the title; Escape there quits
    me.Press(KEY_ESCAPE);
    me.Wait(3);
    me.Shot("title on leaving");
    me.Press(KEY_ESCAPE);

    const bool ended = RunProgram(SEED, true);
    ASSERT_TRUE(me.Finished()) << "the journey stopped at: " << me.Next();
    EXPECT_TRUE(ended);
    ASSERT_GE(toDanger, 0);
    auto& shots = me.shots;

    // The screens on the way.
    const Colour WHITE = {255, 255, 255}, GREEN = {192, 255, 192};
    EXPECT_TRUE(Shows(shots["title"], "Selected world: Defaultia", 128, 255, GREEN, 1, Shadow::inverse));
    EXPECT_TRUE(Shows(shots["title"], "Begin", 64, 225, WHITE, 1, Shadow::inverse));
    EXPECT_TRUE(Shows(shots["worlds"], "New World: Defaultia", 50, 42, GREEN, 0, Shadow::inverse));
    EXPECT_TRUE(Shows(shots["naming"], ">Moor_", 32, 16, WHITE, 0, Shadow::none));
    EXPECT_TRUE(Shows(shots["worlds after naming"], "New World: Moor", 50, 42, GREEN, 0, Shadow::inverse));
    EXPECT_TRUE(Shows(shots["title after naming"], "Selected world: Moor", 128, 255, GREEN, 1, Shadow::inverse));
    EXPECT_TRUE(Shows(shots["overworld at home"], "0/1", 13, 7, WHITE, 0, Shadow::inverse));
    EXPECT_TRUE(TileShown(shots["overworld at home"], 0, 0, terrains::home, 255));
    EXPECT_TRUE(TileShown(shots["overworld at home"], DX[toWild], DY[toWild], terrains::plains, 192));

    // The win: two blocks dug (no Blockless), never a step back (No turning back).
    const auto lastplayer = ReadBytes(W + "player");
    ASSERT_EQ(lastplayer.size(), 153u);
    const int32_t total = Int(lastplayer, 19) + 1;  // one experience went on the raise
    EXPECT_TRUE(Shows(shots["bonus"], "Total: " + std::to_string(total), 240, 144, WHITE, 1, Shadow::black));
    EXPECT_TRUE(Shows(shots["bonus"], "Blockless! *2", 240, 64, {128, 128, 128}, 1, Shadow::black));
    EXPECT_TRUE(Shows(shots["bonus"], "No turning back! *2", 240, 80, {255, 255, 128}, 1, Shadow::black));
    EXPECT_GE(total, 2);
    // Back on the overworld the experience is shown, and the won tile is
    // known land under the marker while its other neighbours are still wild.
    const auto lastmap = ReadBytes(W + "overworld");
    ASSERT_EQ(lastmap.size(), 524296u);
    const Frame& won = shots["overworld after the win"];
    EXPECT_TRUE(ShowsExperience(won, std::to_string(total) + "/1", true));
    EXPECT_TRUE(TileShown(won, 0, 0, terrains::plains, 255));
    int wildaround = 0;
    for (int d = 0; d < 4; ++d) {
        const int x = wildx + DX[d], y = wildy + DY[d];
        if (TileEncounter(lastmap, x, y) != encounters::wild) continue;
        ++wildaround;
        EXPECT_TRUE(TileShown(won, DX[d], DY[d], TileTerrain(lastmap, x, y), 192)) << "wild neighbour " << d;
    }
    EXPECT_GE(wildaround, 1);

    // The raise: level 1 to 2 for one experience, a fourth heart.
    const Colour MENU = {228, 247, 175};
    EXPECT_TRUE(Shows(shots["status menu"], "LEVEL 1", 5, 17, MENU, 0, Shadow::none));
    EXPECT_TRUE(Shows(shots["status menu after the raise"], "LEVEL 2", 5, 17, MENU, 0, Shadow::none));

    // The collector's screen, and the sale.
    EXPECT_TRUE(Shows(shots["collector"], collectorline, collectorcentre, 68, GREEN, 1, Shadow::inverse));
    EXPECT_GT(sold, 0);
    EXPECT_EQ(goldaftersale, goldbeforesale + sold);
    // On the overworld after the sale: the gold, and one bag cell fewer in use.
    EXPECT_TRUE(Shows(shots["overworld at the village"], std::to_string(goldaftersale), 69, 7, WHITE, 0, Shadow::black));
    EXPECT_TRUE(Shows(shots["overworld at the village"], std::to_string(31 - usedbeforesale), 49, 7, WHITE, 0,
                      Shadow::black));
    // Carried into the last encounter: the gold and the block just dug.
    EXPECT_GT(goldbeforedeath, 0);
    EXPECT_TRUE(Shows(shots["area before the fall"], std::to_string(goldbeforedeath), 40, 18, WHITE, 0, Shadow::black));
    EXPECT_TRUE(Shows(shots["area before the fall"], std::to_string(30 - usedbeforesale), 40, 9, WHITE, 0,
                      Shadow::black));

    // The death took the gold and the bag; home again.
    EXPECT_TRUE(Shows(shots["overworld after the death"], "0", 69, 7, WHITE, 0, Shadow::black));
    EXPECT_TRUE(Shows(shots["overworld after the death"], "30", 49, 7, WHITE, 0, Shadow::black));
    EXPECT_TRUE(TileShown(shots["overworld after the death"], 0, 0, terrains::home, 255));
    EXPECT_TRUE(Shows(shots["title on leaving"], "Selected world: Moor", 128, 255, GREEN, 1, Shadow::inverse));

    // The files: the world chosen, the player as the journey left them.
    EXPECT_NE(ReadText("settings.ini").find("\r\nWORLDNAME=Moor\r\n"), std::string::npos);
    EXPECT_EQ(Int(lastplayer, 0), 4);       // hearts
    EXPECT_EQ(Int(lastplayer, 13), 0);      // gold
    EXPECT_EQ(lastplayer[18], 2);           // level
    EXPECT_EQ(Int(lastplayer, 23), homex);  // the marker at home
    EXPECT_EQ(Int(lastplayer, 27), homey);
    EXPECT_TRUE(std::all_of(lastplayer.begin() + 33, lastplayer.end(), [](unsigned char b) { return b == 0; }))
        << "the inventory survived the death";
    EXPECT_EQ(TileEncounter(lastmap, wildx, wildy), encounters::cleared);
    EXPECT_EQ(TileEncounter(lastmap, villx, villy), encounters::village);
    EXPECT_EQ(TileEncounter(lastmap, dangerx, dangery), encounters::wild);
    // Home and the village keep their areas; wild land is never stored.
    auto area = [&](int x, int y) { return W + std::to_string(x) + "," + std::to_string(y); };
    EXPECT_FALSE(ReadBytes(area(homex, homey)).empty());
    EXPECT_FALSE(ReadBytes(area(villx, villy)).empty());
    EXPECT_TRUE(ReadBytes(area(wildx, wildy)).empty());
    EXPECT_TRUE(ReadBytes(area(dangerx, dangery)).empty());

    // ---- the program starts again: the title offers Moor, Begin finds it
    // as it was, and closing the window saves it unchanged.
    const int32_t savedexp = Int(lastplayer, 19);
    headless::Reset();
    headless::SetFlipLimit(0);
    // A fresh program knows nothing of the last one.
    gold = 999;
    player::exp = 999;
    level = 9;
    maxHP = 9;
    std::fill(&invitem[0][0], &invitem[0][0] + INVCOLS * INVROWS, (uint16_t)1);
    std::fill(&invamt[0][0], &invamt[0][0] + INVCOLS * INVROWS, (uint16_t)1);
    marker = actor{};
    WORLDNAME = "Defaultia";
    me.Wait(3);
    me.Shot("title again");
    me.Press(KEY_X);
    me.Wait(10);
    me.Shot("overworld again");
    me.Do("close the window", [] { headless::RequestClose(); });
    EXPECT_TRUE(RunProgram(SEED + 86400));
    ASSERT_TRUE(me.Finished()) << "the second run stopped at: " << me.Next();

    EXPECT_TRUE(Shows(shots["title again"], "Selected world: Moor", 128, 255, GREEN, 1, Shadow::inverse));
    const Frame& again = shots["overworld again"];
    EXPECT_TRUE(ShowsExperience(again, std::to_string(savedexp) + "/3", savedexp >= 3));
    EXPECT_TRUE(Shows(again, "0", 69, 7, WHITE, 0, Shadow::black));
    EXPECT_TRUE(Shows(again, "30", 49, 7, WHITE, 0, Shadow::black));
    EXPECT_TRUE(TileShown(again, 0, 0, terrains::home, 255));
    EXPECT_TRUE(TileShown(again, DX[toWild], DY[toWild], terrains::plains, 255)) << "the won tile is known";
    EXPECT_EQ(ReadBytes(W + "player"), lastplayer);
    EXPECT_EQ(ReadBytes(W + "overworld"), lastmap);

    // The whole first journey, played back as a fresh program at another
    // frame rate with no window, takes the same steps to the same end.
    // QUILLMOOR_KEEP_REPLAY=FILE keeps it (tests/replays/journey.replay).
    if (const char* keep = std::getenv("QUILLMOOR_KEEP_REPLAY"))
        std::filesystem::copy_file(replay, keep, std::filesystem::copy_options::overwrite_existing);
    headless::Reset();
    ResetGameState();
    headless::SetFrameMs(3);
    std::string why;
    ASSERT_TRUE(replay::PlayFile(replay, false, QUILLMOOR_VERSION, why)) << why;
    std::string verdict;
    EXPECT_EQ(RunGameToEnd(verdict), 0) << verdict;
    EXPECT_EQ(verdict.rfind("replay ok: ", 0), 0u) << verdict;
}
