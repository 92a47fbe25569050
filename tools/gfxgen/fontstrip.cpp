// fontstrip: the game's font on one picture, to judge its legibility the way
// a player meets it.
//
//   fontstrip <assets/gfx dir> <out dir>
//
// Writes font-1x.png (the font at its own size) and font-3x.png (the same
// picture three times enlarged, pixel for pixel). At the top, every one of
// the 128 cells in code order, 32 to a row (icons and blanks, punctuation and
// digits, capitals, lowercase), on alternating backgrounds so blank cells and
// the 4-pixel advance show; below, sample lines drawn as the game draws text:
// white on the clear colour, first plain, then with the black drop shadow.

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "canvas.h"

namespace fs = std::filesystem;
using gfx::Canvas;
using gfx::WritePng;

namespace {

constexpr int kCellW = 4, kCellH = 5, kCells = 128, kPerRow = 32;
constexpr int kMargin = 4;
constexpr int kLine = 8;  // line pitch: a cell, its shadow and a gap
const unsigned char kOdd[3] = {56, 44, 32};    // every other cell of the strip
const unsigned char kWhite[3] = {255, 255, 255};
const unsigned char kShadow[3] = {0, 0, 0};

// Pangrams in both cases, the letters that once looked alike side by side,
// every printable character, and lines the game itself shows.
const char* const kSamples[] = {
    "abcdefghijklmnopqrstuvwxyz",
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789",
    "!\"#$%&'()*+,-./:;<=>?[\\]^_{|}",
    "the quick brown fox jumps over the lazy dog",
    "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG",
    "THIS IS a test: acmnuvsr",
    "ac mn uv vw sr ce ao eo bh il1I ij gq pq gy",
    "This is really expensive... My wallet is ready.",
    "I like money. I would like your money.",
    "Unharmed slimes are harder to avoid.",
    "What're ya buyin'? Exterminator! *4",
};

// The font's lit pixels, one bool per pixel of the 64 x 40 sheet.
struct Font {
    int w = 0, h = 0;
    std::vector<unsigned char> grey;
    bool Load(const fs::path& path) {
        png_image img;
        std::memset(&img, 0, sizeof img);
        img.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&img, path.string().c_str())) return false;
        img.format = PNG_FORMAT_GRAY;
        w = static_cast<int>(img.width), h = static_cast<int>(img.height);
        grey.assign(PNG_IMAGE_SIZE(img), 0);
        return png_image_finish_read(&img, nullptr, grey.data(), 0, nullptr) != 0;
    }
    bool Lit(int code, int x, int y) const {
        const int cx = (code % (w / kCellW)) * kCellW, cy = (code / (w / kCellW)) * kCellH;
        return grey[static_cast<size_t>((cy + y) * w + cx + x)] > 127;
    }
    void Cell(Canvas& cv, int code, int x, int y, const unsigned char* c) const {
        for (int j = 0; j < kCellH; j++)
            for (int i = 0; i < kCellW; i++)
                if (Lit(code, i, j)) cv.Put(x + i, y + j, c);
    }
    // One cell per character on a 4-pixel advance, as the game draws text.
    void Text(Canvas& cv, const std::string& s, int x, int y, const unsigned char* c) const {
        for (size_t i = 0; i < s.size(); i++) {
            const int code = static_cast<unsigned char>(s[i]);
            if (code < kCells) Cell(cv, code, x + static_cast<int>(i) * kCellW, y, c);
        }
    }
};

Canvas Enlarge(const Canvas& src, int zoom) {
    Canvas out(src.w * zoom, src.h * zoom);
    for (int y = 0; y < out.h; y++)
        for (int x = 0; x < out.w; x++) out.Put(x, y, &src.rgb[static_cast<size_t>(((y / zoom) * src.w + x / zoom) * 3)]);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fontstrip <assets/gfx dir> <out dir>\n");
        return 2;
    }
    const fs::path in = fs::path(argv[1]) / "font.png", out = argv[2];
    Font font;
    if (!font.Load(in) || font.w != 16 * kCellW || font.h != (kCells / 16) * kCellH) {
        std::fprintf(stderr, "fontstrip: cannot read a 64 x 40 font from %s\n", in.string().c_str());
        return 1;
    }
    const int lines = static_cast<int>(sizeof kSamples / sizeof kSamples[0]);
    size_t longest = 0;
    for (const char* s : kSamples) longest = std::max(longest, std::strlen(s));
    const int width = std::max(kPerRow, static_cast<int>(longest)) * kCellW + 1;  // + 1 for the shadow
    const int top = kMargin + (kCells / kPerRow) * kLine + 2;  // below the cells
    Canvas cv(width + 2 * kMargin, top + 2 * lines * kLine + kMargin);

    for (int code = 0; code < kCells; code++) {
        const int x = kMargin + (code % kPerRow) * kCellW, y = kMargin + (code / kPerRow) * kLine;
        if ((code + code / kPerRow) % 2) cv.Rect(x, y, kCellW, kCellH, kOdd);
        font.Cell(cv, code, x, y, kWhite);
    }
    for (int i = 0; i < lines; i++) {
        font.Text(cv, kSamples[i], kMargin, top + i * kLine, kWhite);
        const int y = top + (lines + i) * kLine;
        font.Text(cv, kSamples[i], kMargin + 1, y + 1, kShadow);
        font.Text(cv, kSamples[i], kMargin, y, kWhite);
    }

    for (int zoom : {1, 3}) {
        const fs::path file = out / ("font-" + std::to_string(zoom) + "x.png");
        if (!WritePng(file, zoom == 1 ? cv : Enlarge(cv, zoom))) {
            std::fprintf(stderr, "fontstrip: cannot write %s\n", file.string().c_str());
            return 1;
        }
    }
    return 0;
}
