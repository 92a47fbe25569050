// Bitmap text. The font picture holds one 4x5 cell per character code; the
// text operations know nothing about the glyphs beyond that.
#include <cstdarg>
#include <cstdio>

#include "base/assets.h"
#include "base/base.h"

TList<textleap> textleaps;

namespace {
std::string scratch;
}  // namespace

const std::string& TextOf(const char* format, ...) {
    char buf[256];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    scratch.assign(buf, n < 0 ? 0 : n < (int)sizeof buf ? (size_t)n : sizeof buf - 1);
    return scratch;
}

void DrawPlainText(const std::string& text, int x, int y, int centrex, int centrey) {
    const int n = (int)text.size();
    const int left = x - (n * 4 * centrex) / 2;
    const int top = y - (centrey * 5) / 2;
    for (int i = 0; i < n; ++i) {
        // Codes above 127 have no cell: they leave a gap.
        DrawSprite(gfxfont, left + 4 * i, top, (unsigned char)text[i]);
    }
}

void DrawShadowText(const std::string& text, int x, int y, int centrex, int centrey, int blackshadow) {
    int r, g, b;
    CurrentColor(r, g, b);
    if (blackshadow == 1)
        SetColor(0, 0, 0);
    else
        SetColor(255 - r, 255 - g, 255 - b);
    DrawPlainText(text, x + 1, y + 1, centrex, centrey);
    SetColor(r, g, b);
    DrawPlainText(text, x, y, centrex, centrey);
}

textleap* textleap::Make(const std::string& str, int32_t x, int32_t y, int32_t dur, uint8_t r, uint8_t g, uint8_t b) {
    textleap* t = textleaps.AddLast(new textleap);
    t->str = str;
    t->x = x;
    t->y = y - dur / 2;
    t->dur = dur;
    t->r = r;
    t->g = g;
    t->b = b;
    return t;
}

// Drawn with its top at y + dur / 2, so it climbs a pixel every second step.
void textleap::Draw() const {
    SetColor(r, g, b);
    DrawShadowText(str, x, y + dur / 2, 1, 0, 1);
}
