// The 480x270 frame and its drawing operations, and the pictures drawn
// into it. Portable: the machine only presents the finished frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int SCREENW = 480;
constexpr int SCREENH = 270;

// The logical screen, one 0xAARRGGBB word per pixel; alpha is always 0xFF
// once drawn. Presented by Flip, scaled up by the backend.
extern uint32_t framebuffer[SCREENW * SCREENH];

// How a row of a frame looks to the drawing loops.
enum : uint8_t { ROW_EMPTY, ROW_SOLID, ROW_MIXED };

// A picture cut into equal cells. Pixels are stored per frame, row by row;
// a stored 0 is a hole (the picture's pure black), anything else is opaque.
struct TImage {
    int cellw = 0, cellh = 0, frames = 0;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> rowkind;    // per frame and row: all holes, no holes, or both
    std::vector<uint8_t> framekind;  // per frame: ROW_SOLID when it has no hole at all

    const uint32_t* Frame(int frame) const { return pixels.data() + (size_t)frame * cellw * cellh; }
    // A built-in picture used whole.
    bool Load(const char* path);
    // A built-in picture cut into cells in reading order, keeping count
    // frames from cell first.
    bool LoadAnim(const char* path, int cellwidth, int cellheight, int first, int count);
    // Cuts an already decoded RGB picture (w x h, 3 bytes a pixel).
    bool FromRGB(const uint8_t* rgb, int w, int h, int cellwidth, int cellheight, int first, int count);
};

// Nobody sees the frames drawn from now on (a replay checked with no
// window): the drawing operations leave the frame as it is. What the game
// does never depends on drawing, so it goes on exactly the same.
void DrawNothing(bool nothing);
// Whether it is so: a view that takes long to draw need not be worked out
// at all then.
bool DrawingNothing();

void SetResolution(int w, int h);
void SetClsColor(int r, int g, int b);
void Cls();
void SetColor(int r, int g, int b);
void CurrentColor(int& r, int& g, int& b);
void SetDrawOrigin(int x, int y);
void GetDrawOrigin(int& x, int& y);
void DrawSprite(const TImage& image, int x, int y, int frame);
void DrawRect(int x, int y, int w, int h);
