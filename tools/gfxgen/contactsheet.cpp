// contactsheet: one overview picture of every built-in picture, to judge the
// set as a whole.
//
//   contactsheet <assets/gfx dir> <out.png>
//
// Every picture is shown three times enlarged on the game's clear colour, so
// transparent pixels look as they do in play, cut into its frames with a thin
// frame around each and the frame number beneath. Sheets are shown up to their
// last drawn frame. Labels are written with the game's own font.

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "canvas.h"
#include "catalogue.h"

namespace fs = std::filesystem;
using gfx::Canvas;
using gfx::WritePng;

namespace {

constexpr int kZoom = 3;
constexpr int kSheetWidth = 1280;
constexpr int kMargin = 12;
const unsigned char kBorder[3] = {88, 72, 56};    // frame around each cell
const unsigned char kNumber[3] = {160, 144, 120}; // frame numbers
const unsigned char kTitle[3] = {255, 240, 200};  // picture names

struct Image {
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    bool Load(const fs::path& path) {
        png_image img;
        std::memset(&img, 0, sizeof img);
        img.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&img, path.string().c_str())) return false;
        img.format = PNG_FORMAT_RGB;
        w = static_cast<int>(img.width), h = static_cast<int>(img.height);
        rgb.assign(PNG_IMAGE_SIZE(img), 0);
        if (!png_image_finish_read(&img, nullptr, rgb.data(), 0, nullptr)) return false;
        return true;
    }
    const unsigned char* Px(int x, int y) const { return &rgb[static_cast<size_t>((y * w + x) * 3)]; }
};

// Text in the game's 4 x 5 font, white glyph pixels drawn in the given colour.
struct Font {
    const Image* img = nullptr;
    static constexpr int kW = 4, kH = 5;
    int Width(const std::string& s, int scale) const { return static_cast<int>(s.size()) * kW * scale; }
    void Draw(Canvas& cv, const std::string& s, int x, int y, int scale, const unsigned char* c) const {
        for (size_t i = 0; i < s.size(); i++) {
            int code = static_cast<unsigned char>(s[i]) & 127;
            int cx = (code % 16) * kW, cy = (code / 16) * kH;
            for (int j = 0; j < kH; j++)
                for (int k = 0; k < kW; k++)
                    if (img->Px(cx + k, cy + j)[0] > 127)
                        cv.Rect(x + (static_cast<int>(i) * kW + k) * scale, y + j * scale, scale, scale, c);
        }
    }
};

struct Panel {
    const gfx::Layout* layout;
    Image img;
    int shown = 0;          // frames shown: up to the last one drawn
    int cols = 0, rows = 0; // layout of the shown frames
    int slotw = 0, sloth = 0, numscale = 1;
    int w = 0, h = 0;
};

bool FrameEmpty(const Image& img, const gfx::Layout& s, int f) {
    int ox = (f % s.Columns()) * s.cellw, oy = (f / s.Columns()) * s.cellh;
    for (int y = 0; y < s.cellh; y++)
        for (int x = 0; x < s.cellw; x++) {
            const unsigned char* p = img.Px(ox + x, oy + y);
            if (p[0] || p[1] || p[2]) return false;
        }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: contactsheet <assets/gfx dir> <out.png>\n");
        return 2;
    }
    const fs::path dir = argv[1];
    std::vector<Panel> panels;
    for (const gfx::Layout& layout : gfx::Pictures()) {
        Panel p;
        p.layout = &layout;
        const fs::path file = dir / (layout.name + ".png");
        if (!p.img.Load(file)) {
            std::fprintf(stderr, "contactsheet: cannot read %s\n", file.string().c_str());
            return 1;
        }
        if (p.img.w != layout.width || p.img.h != layout.height) {
            std::fprintf(stderr, "contactsheet: %s is %dx%d, expected %dx%d\n", file.string().c_str(), p.img.w,
                         p.img.h, layout.width, layout.height);
            return 1;
        }
        panels.push_back(std::move(p));
    }
    Font font;
    for (const Panel& p : panels)
        if (p.layout->name == "font") font.img = &p.img;

    const int titleh = Font::kH * 2 + 6;
    for (Panel& p : panels) {
        const gfx::Layout& s = *p.layout;
        for (int f = 0; f < s.Frames(); f++)
            if (!FrameEmpty(p.img, s, f)) p.shown = f + 1;
        p.shown = std::max(p.shown, 1);
        p.cols = std::min(s.Columns(), p.shown);
        p.rows = (p.shown + p.cols - 1) / p.cols;
        const std::string widest = std::to_string(p.shown - 1);
        p.numscale = s.cellw * kZoom >= 24 ? 2 : 1;
        p.slotw = std::max(s.cellw * kZoom + 2, font.Width(widest, p.numscale)) + 4;
        p.sloth = s.cellh * kZoom + 2 + Font::kH * p.numscale + 6;
        p.w = std::max(p.cols * p.slotw, font.Width(s.name, 2));
        p.h = titleh + p.rows * p.sloth;
    }

    // Shelf layout: panels left to right, a new shelf when one does not fit.
    std::vector<std::pair<int, int>> at;
    int x = kMargin, y = kMargin, shelf = 0, width = 0;
    for (const Panel& p : panels) {
        if (x > kMargin && x + p.w > kSheetWidth - kMargin) x = kMargin, y += shelf + kMargin, shelf = 0;
        at.emplace_back(x, y);
        x += p.w + 2 * kMargin;
        shelf = std::max(shelf, p.h);
        width = std::max(width, x - kMargin);
    }
    Canvas cv(std::max(width, kSheetWidth), y + shelf + kMargin);

    for (size_t i = 0; i < panels.size(); i++) {
        const Panel& p = panels[i];
        const gfx::Layout& s = *p.layout;
        const int px = at[i].first, py = at[i].second;
        font.Draw(cv, s.name, px, py, 2, kTitle);
        for (int f = 0; f < p.shown; f++) {
            const int sx = px + (f % p.cols) * p.slotw, sy = py + titleh + (f / p.cols) * p.sloth;
            cv.Outline(sx, sy, s.cellw * kZoom + 2, s.cellh * kZoom + 2, kBorder);
            const int ox = (f % s.Columns()) * s.cellw, oy = (f / s.Columns()) * s.cellh;
            for (int yy = 0; yy < s.cellh; yy++)
                for (int xx = 0; xx < s.cellw; xx++) {
                    const unsigned char* c = p.img.Px(ox + xx, oy + yy);
                    if (c[0] || c[1] || c[2]) cv.Rect(sx + 1 + xx * kZoom, sy + 1 + yy * kZoom, kZoom, kZoom, c);
                }
            font.Draw(cv, std::to_string(f), sx, sy + s.cellh * kZoom + 4, p.numscale, kNumber);
        }
    }
    if (!WritePng(argv[2], cv)) {
        std::fprintf(stderr, "contactsheet: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
