// Presentation: bitmap text and floating text.
#pragma once

#include <cstdint>
#include <string>

#include "engine/list.h"

// Text in the 4x5 font, one cell per character on a 4-pixel advance.
// centrex: 0 left edge at x, 1 centred on x, 2 right edge at x.
// centrey: 0 top at y, 1 raised by 2 pixels.
void DrawPlainText(const std::string& text, int x, int y, int centrex, int centrey);
// The same with a one-pixel drop shadow, in the inverse colour or in black.
void DrawShadowText(const std::string& text, int x, int y, int centrex, int centrey, int blackshadow);

// A floating text of an area: rises from where it was made and vanishes
// when its steps run out.
class textleap {
public:
    int32_t x = 0, y = 0, dur = 0;
    uint8_t r = 0, g = 0, b = 0;
    std::string str;

    void Draw() const;
    static textleap* Make(const std::string& str, int32_t x, int32_t y, int32_t dur, uint8_t r, uint8_t g, uint8_t b);
};

extern TList<textleap> textleaps;

// The title screen: returns once a world is loaded; ends the program itself
// on Exit, Escape or the window's close button.
void TitleScreen();
// The world screen: choose a world folder or go on to name a new one.
// Always saves the settings on leaving.
void ChangeWorld();
// The naming screen: sets WORLDNAME when a name is accepted.
void NameWorld();

// The status menu, over the overworld: spends experience on the lasting stats.
void StatusMenu();
