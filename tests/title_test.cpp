// The title screen, the world screen and the naming grid, driven through
// their real loops.
#include <algorithm>
#include <array>

#include "creatures/creatures.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "base/base.h"
#include "testutil.h"
#include "ui/ui.h"

namespace {
const std::string MENU = "sfx\\menu.wav";

class TitleTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        LoadAssets();
        MakeDir("worlds");
        headless::SetFlipLimit(4000);
    }

    // A fresh machine and step clock for the next case of a table.
    static void Restart(int fliplimit) {
        headless::Reset();
        headless::SetFlipLimit(fliplimit);
        quit = 0;
        lasttime = 0;
        accum = 0;
    }

    // Presses a key at a frame: down, and up again a frame later.
    static void TapAt(int frame, int key) {
        headless::At(frame, [key] { headless::KeyDown(key); });
        headless::At(frame + 1, [key] { headless::KeyUp(key); });
    }

    // Runs the title screen; true when the player chose to end the program.
    static bool RunTitle() { return TitleScreen() == TitleChoice::Exit; }

    // A saved world on disk under the given name.
    static void MakeWorld(const std::string& name) {
        const std::string keep = WORLDNAME;
        WORLDNAME = name;
        MakeWorldMap();
        ASSERT_TRUE(SaveWorld());
        WORLDNAME = keep;
    }

    // Where the first opaque texel of a chevron frame lands when drawn at (x, y).
    static std::pair<int, int> ChevronPixel(int frame, int x, int y) {
        const uint32_t* px = gfxarrow.Frame(frame);
        for (int i = 0; i < 64; ++i)
            if (px[i]) return {x + i % 8, y + i / 8};
        return {x, y};
    }
    static bool ChevronAt(int frame, int x, int y) {
        auto [px, py] = ChevronPixel(frame, x, y);
        const uint32_t* t = gfxarrow.Frame(frame);
        const uint32_t texel = *std::find_if(t, t + 64, [](uint32_t v) { return v != 0; }) & 0xFFFFFF;
        return headless::Pixel(px, py) == texel;
    }
    static int MenuSounds() {
        const auto& s = headless::SoundsPlayed();
        return (int)std::count(s.begin(), s.end(), MENU);
    }
};
}  // namespace

TEST_F(TitleTest, LeftAndRightWrapAroundTheThreeItemsWithTheMenuSound) {
    std::vector<std::array<bool, 3>> seen;
    auto look = [&] {
        seen.push_back({ChevronAt(2, 60, 216), ChevronAt(2, 124, 216), ChevronAt(2, 188, 216)});
    };
    headless::At(5, look);
    TapAt(6, KEY_LEFT);
    headless::At(10, look);  // Exit
    TapAt(11, KEY_RIGHT);
    TapAt(16, KEY_RIGHT);
    headless::At(20, look);  // past Begin to Change World
    TapAt(21, KEY_ESCAPE);
    EXPECT_TRUE(RunTitle());
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(seen[1], (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(seen[2], (std::array<bool, 3>{false, true, false}));
    EXPECT_EQ(MenuSounds(), 3);
}

TEST_F(TitleTest, ExitEscapeAndTheCloseButtonEndTheProgramWithoutSaving) {
    struct Case {
        std::vector<int> keys;
        bool close;
    } cases[] = {{{KEY_LEFT, KEY_X}, false}, {{KEY_LEFT, KEY_ENTER}, false}, {{KEY_ESCAPE}, false}, {{}, true}};
    for (const Case& c : cases) {
        Restart(500);
        int frame = 3;
        for (int k : c.keys) TapAt(frame += 3, k);
        if (c.close) headless::At(5, [] { headless::RequestClose(); });
        EXPECT_TRUE(RunTitle());
        EXPECT_TRUE(ListDir("worlds").empty());
        EXPECT_TRUE(ReadBytes("settings.ini").empty());
    }
}

TEST_F(TitleTest, BeginLoadsTheSelectedWorldOrKeepsTheTitleWhenItIsDamaged) {
    MakeWorld("Fenmarch");
    WORLDNAME = "Fenmarch";
    const auto saved = ReadBytes("worlds/Fenmarch/overworld");
    // Begin with Space: the world loads and the title returns.
    TapAt(4, KEY_SPACE);
    EXPECT_FALSE(RunTitle());
    EXPECT_EQ(terrain[homex][homey], terrains::home);

    // A damaged player file: the notice shows, nothing is written, the title stays.
    WriteText("worlds/Fenmarch/player", "short");
    Restart(4000);
    bool noticed = false;
    TapAt(4, KEY_X);
    headless::EveryFlip([&] {
        // The notice's text is drawn in green around the middle of the screen.
        for (int x = 200; x < 280 && !noticed; ++x)
            noticed = headless::Pixel(x, 133) == 0x80FF80u;
    });
    headless::At(300, [] { headless::Tap(KEY_ESCAPE); });
    EXPECT_TRUE(RunTitle());
    EXPECT_TRUE(noticed);
    EXPECT_EQ(ReadText("worlds/Fenmarch/player"), "short");
    EXPECT_EQ(ReadBytes("worlds/Fenmarch/overworld"), saved);
}

TEST_F(TitleTest, TheWorldListMovesWithinItsEntriesAndColoursTheSelectedWorld) {
    for (const char* name : {"Alder", "Briar", "Cairn"}) MakeDir(std::string("worlds\\") + name);
    WORLDNAME = "briar";  // matched in any letter case
    std::vector<int> rows;
    auto chevronrow = [&] {
        for (int sel = 0; sel <= 3; ++sel)
            if (ChevronAt(1, 41, 41 + 8 * sel)) rows.push_back(sel);
    };
    uint32_t briar = 0, other = 0, newworld = 0;
    TapAt(4, KEY_RIGHT);
    TapAt(7, KEY_ENTER);   // Enter confirms on the title screen...
    for (int i = 0; i < 5; ++i) TapAt(10 + 3 * i, KEY_DOWN);
    headless::At(27, chevronrow);
    TapAt(28, KEY_UP);
    TapAt(31, KEY_UP);
    TapAt(34, KEY_UP);
    TapAt(37, KEY_UP);
    headless::At(40, chevronrow);
    TapAt(41, KEY_ENTER);  // ...but not on the world screen
    headless::At(44, [&] {
        chevronrow();
        auto names = ListDir("worlds\\");
        for (size_t i = 0; i < names.size(); ++i) {
            // The brightest pixel of each line's text: its colour.
            uint32_t c = 0;
            for (int x = 50; x < 80; ++x)
                for (int y = 50 + 8 * (int)i; y < 55 + 8 * (int)i; ++y) c = std::max(c, headless::Pixel(x, y));
            (names[i] == "Briar" ? briar : other) = c;
        }
        for (int x = 50; x < 90; ++x)
            for (int y = 42; y < 47; ++y) newworld = std::max(newworld, headless::Pixel(x, y));
    });
    TapAt(45, KEY_Z);
    TapAt(48, KEY_ESCAPE);
    EXPECT_TRUE(RunTitle());
    EXPECT_EQ(rows, (std::vector<int>{3, 0, 0}));
    EXPECT_EQ(briar, 0xC0FFC0u);
    EXPECT_EQ(other, 0xFFC0C0u);
    EXPECT_EQ(newworld, 0xC0C0FFu);
    // Leaving the world screen wrote the settings.
    EXPECT_NE(ReadText("settings.ini").find("WORLDNAME=briar\r\n"), std::string::npos);
}

TEST_F(TitleTest, NamingANewWorld) {
    struct Case {
        std::vector<int> keys;
        std::string world;  // WORLDNAME afterwards
    } cases[] = {
        // Right twice (C), X; Down (P), X; Enter.
        {{KEY_D, KEY_RIGHT, KEY_X, KEY_DOWN, KEY_P, KEY_ENTER}, "CP"},
        // Left wraps to M, Up wraps to the last row (z).
        {{KEY_LEFT, KEY_X, KEY_UP, KEY_X, KEY_ENTER}, "Mz"},
        // Enter with no name does nothing; Z on an empty name cancels.
        {{KEY_ENTER, KEY_Z}, "Before"},
        // Deleting, then Escape cancels.
        {{KEY_X, KEY_X, KEY_Z, KEY_ESCAPE}, "Before"},
        // Seventeen letters: the last is refused.
        {std::vector<int>(17, KEY_X), "AAAAAAAAAAAAAAAA"},
    };
    for (const Case& c : cases) {
        Restart(600);
        WORLDNAME = "Before";
        std::vector<int> keys = c.keys;
        if (keys.size() == 17) keys.push_back(KEY_ENTER);
        // Title: Change World; world screen: X on "New World" opens the grid.
        TapAt(3, KEY_RIGHT);
        TapAt(6, KEY_X);
        TapAt(9, KEY_X);
        int frame = 12;
        for (int k : keys) TapAt(frame += 2, k);
        TapAt(frame + 4, KEY_O);       // leave the world screen
        TapAt(frame + 8, KEY_ESCAPE);  // and the title
        EXPECT_TRUE(RunTitle());
        EXPECT_EQ(WORLDNAME, c.world);
    }
}
