// Small areas built by hand for the area tests: flat ground, a player on it,
// and the pictures and sounds loaded so frames and sounds can be checked.
#pragma once

#include <algorithm>
#include <string>

#include "areas/areas.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "testutil.h"

class AreaTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        LoadAssets();
        // The selected world's folder, so the areas that are stored can be.
        MakeDir("worlds");
        MakeDir("worlds\\Defaultia");
    }

    // An area of w x h tiles, air above the surface line and stone below.
    static void FlatArea(int w, int h) {
        ClearArea();
        areawidth = w;
        areaheight = h;
        for (int x = 0; x < w; ++x)
            for (int y = h / 2; y < h; ++y) areatiles[x][y] = blocks::stone;
    }
    // A 16 x 16 creature standing on the surface of a flat area at pixel x.
    static void Stand(entity& e, int x) {
        e.x = x;
        e.y = (areaheight / 2) * 16 - e.height;
        e.onground = 1;
    }
    static int Played(const std::string& name) {
        const auto& s = headless::SoundsPlayed();
        return (int)std::count(s.begin(), s.end(), name);
    }
    static void Hold(int key) { headless::KeyDown(key); }
    static void Release(int key) { headless::KeyUp(key); }
};
