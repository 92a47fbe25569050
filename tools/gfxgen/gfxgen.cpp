// gfxgen: turns the text sources of the built-in pictures into the PNG files
// the game embeds.
//
//   gfxgen <art/gfx dir> <output dir>
//
// Reads palette.txt and one <name>.txt per picture of the catalogue and writes
// <name>.png for each. The files are byte-for-byte the same on every run
// (fixed compression level and filter, no time, text or gamma chunks), so the
// committed pictures can be checked against their sources. Any fault in a
// source (wrong size, unknown colour key, pure black in the palette, a hole in
// a frame that must be opaque, a font glyph out of its place) stops the tool
// with a message naming the file and line, and nothing is written.
//
// The source format is described in art/README.md.

#include <png.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue.h"

namespace fs = std::filesystem;

namespace {

// Pure black is the game's only transparent colour; in the sources it is
// spelled '.' and nothing else may produce it.
constexpr char kHole = '.';
// The font is black and white only; white is spelled '#'.
constexpr char kInk = '#';
// A palette small enough to keep the pictures coherent.
constexpr size_t kMaxColours = 32;

struct Fault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& where, int line, const std::string& what) {
    std::ostringstream s;
    s << where;
    if (line > 0) s << ":" << line;
    s << ": " << what;
    throw Fault(s.str());
}

using Rgb = std::array<unsigned char, 3>;
using Palette = std::map<char, Rgb>;

std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path.string(), 0, "cannot read the file");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Directive lines may end in a comment starting with ';'.
std::vector<std::string> Words(const std::string& line) {
    std::string text = line.substr(0, line.find(';'));
    std::istringstream s(text);
    std::vector<std::string> words;
    std::string w;
    while (s >> w) words.push_back(w);
    return words;
}

bool IsBlankOrComment(const std::string& line) {
    size_t i = line.find_first_not_of(" \t");
    return i == std::string::npos || line[i] == ';';
}

int ParseNumber(const std::string& word, const std::string& where, int line) {
    if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos || word.size() > 6)
        Fail(where, line, "expected a number, found '" + word + "'");
    return std::stoi(word);
}

Palette ReadPalette(const fs::path& path) {
    const std::string where = path.string();
    Palette palette;
    std::vector<std::string> lines = ReadLines(path);
    for (size_t n = 0; n < lines.size(); n++) {
        const int line = static_cast<int>(n) + 1;
        if (IsBlankOrComment(lines[n])) continue;
        std::vector<std::string> w = Words(lines[n]);
        if (w.size() < 2) Fail(where, line, "expected: key RRGGBB name");
        if (w[0].size() != 1) Fail(where, line, "a colour key is one character, not '" + w[0] + "'");
        const char key = w[0][0];
        if (key == kHole) Fail(where, line, "'.' is reserved for transparent black");
        if (key == kInk) Fail(where, line, "'#' is reserved for the font's white");
        if (palette.count(key)) Fail(where, line, std::string("colour key '") + key + "' defined twice");
        const std::string& hex = w[1];
        if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            Fail(where, line, "colour must be six hex digits RRGGBB, not '" + hex + "'");
        Rgb c;
        for (int i = 0; i < 3; i++) c[i] = static_cast<unsigned char>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
        if (c[0] == 0 && c[1] == 0 && c[2] == 0)
            Fail(where, line, "pure black 000000 is the transparent colour; outlines need a dark colour that is not black");
        palette[key] = c;
    }
    if (palette.empty()) Fail(where, 0, "the palette is empty");
    if (palette.size() > kMaxColours)
        Fail(where, 0, "the palette has " + std::to_string(palette.size()) + " colours, at most " +
                           std::to_string(kMaxColours) + " are allowed");
    return palette;
}

// A picture as colour keys, one per pixel, '.' where nothing is drawn.
struct Picture {
    const gfx::Layout* layout;
    std::vector<char> keys;      // width * height
    std::vector<bool> defined;   // per frame

    char& At(int frame, int x, int y) {
        const int col = frame % layout->Columns(), row = frame / layout->Columns();
        return keys[static_cast<size_t>((row * layout->cellh + y) * layout->width + col * layout->cellw + x)];
    }
    bool Empty(int frame) {
        for (int y = 0; y < layout->cellh; y++)
            for (int x = 0; x < layout->cellw; x++)
                if (At(frame, x, y) != kHole) return false;
        return true;
    }
};

// Frame lists: "3", "65-90", or several of them.
std::vector<int> ParseFrameList(const std::vector<std::string>& words, size_t from, const std::string& where, int line) {
    std::vector<int> frames;
    for (size_t i = from; i < words.size(); i++) {
        const std::string& w = words[i];
        size_t dash = w.find('-');
        if (dash == std::string::npos) {
            frames.push_back(ParseNumber(w, where, line));
        } else {
            int a = ParseNumber(w.substr(0, dash), where, line);
            int b = ParseNumber(w.substr(dash + 1), where, line);
            if (b < a) Fail(where, line, "backward frame range '" + w + "'");
            for (int f = a; f <= b; f++) frames.push_back(f);
        }
    }
    if (frames.empty()) Fail(where, line, "no frame number given");
    return frames;
}

void CheckKey(char key, const gfx::Layout& layout, const Palette& palette, const std::string& where, int line) {
    if (key == kHole) return;
    if (layout.mono) {
        if (key != kInk) Fail(where, line, std::string("the font knows only '.' and '#', not '") + key + "'");
    } else if (!palette.count(key)) {
        Fail(where, line, std::string("unknown colour key '") + key + "'");
    }
}

void ApplyTransform(Picture& pic, int frame, const std::string& op, const std::string& where, int line) {
    const int w = pic.layout->cellw, h = pic.layout->cellh;
    std::vector<char> old(static_cast<size_t>(w * h));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) old[static_cast<size_t>(y * w + x)] = pic.At(frame, x, y);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            int sx, sy;
            if (op == "mirror") {  // left and right exchanged
                sx = w - 1 - x, sy = y;
            } else if (op == "flip") {  // upside down
                sx = x, sy = h - 1 - y;
            } else if (op == "turn") {  // a quarter turn clockwise
                if (w != h) Fail(where, line, "'turn' needs square cells");
                sx = y, sy = h - 1 - x;
            } else {
                Fail(where, line, "unknown change '" + op + "' (mirror, flip or turn)");
            }
            pic.At(frame, x, y) = old[static_cast<size_t>(sy * w + sx)];
        }
    }
}

Picture ReadPicture(const fs::path& path, const gfx::Layout& layout, const Palette& palette) {
    const std::string where = path.string();
    Picture pic{&layout, std::vector<char>(static_cast<size_t>(layout.width * layout.height), kHole),
                std::vector<bool>(static_cast<size_t>(layout.Frames()), false)};
    std::vector<std::string> lines = ReadLines(path);
    bool haveSize = false, haveCell = false;
    size_t n = 0;

    auto needLayout = [&](int line) {
        if (!haveSize) Fail(where, line, "'size' must come before the first frame");
        if (!haveCell && (layout.cellw != layout.width || layout.cellh != layout.height))
            Fail(where, line, "'cell " + std::to_string(layout.cellw) + " " + std::to_string(layout.cellh) +
                                  "' must come before the first frame");
    };
    auto claim = [&](int frame, int line) {
        if (frame >= layout.Frames())
            Fail(where, line, "frame " + std::to_string(frame) + " is past the last frame " +
                                  std::to_string(layout.Frames() - 1));
        if (pic.defined[static_cast<size_t>(frame)]) Fail(where, line, "frame " + std::to_string(frame) + " given twice");
        pic.defined[static_cast<size_t>(frame)] = true;
    };

    while (n < lines.size()) {
        const int line = static_cast<int>(n) + 1;
        if (IsBlankOrComment(lines[n])) { n++; continue; }
        std::vector<std::string> w = Words(lines[n]);
        n++;
        if (w[0] == "size" || w[0] == "cell") {
            if (w.size() != 3) Fail(where, line, "expected: " + w[0] + " WIDTH HEIGHT");
            int a = ParseNumber(w[1], where, line), b = ParseNumber(w[2], where, line);
            bool isSize = w[0] == "size";
            int ew = isSize ? layout.width : layout.cellw, eh = isSize ? layout.height : layout.cellh;
            if (a != ew || b != eh)
                Fail(where, line, layout.name + ".png must have " + (isSize ? "picture" : "cell") + " size " +
                                      std::to_string(ew) + "x" + std::to_string(eh) + ", not " + std::to_string(a) +
                                      "x" + std::to_string(b));
            (isSize ? haveSize : haveCell) = true;
        } else if (w[0] == "frame" && w.size() >= 3 && w[2] == "from") {
            // frame N from M [change...]: a copy of an earlier frame, changed.
            needLayout(line);
            if (w.size() < 4) Fail(where, line, "expected: frame N from M [mirror|flip|turn ...]");
            int to = ParseNumber(w[1], where, line), src = ParseNumber(w[3], where, line);
            if (src >= layout.Frames() || !pic.defined[static_cast<size_t>(src)])
                Fail(where, line, "frame " + std::to_string(src) + " must be drawn before it is copied");
            claim(to, line);
            for (int y = 0; y < layout.cellh; y++)
                for (int x = 0; x < layout.cellw; x++) pic.At(to, x, y) = pic.At(src, x, y);
            for (size_t i = 4; i < w.size(); i++) ApplyTransform(pic, to, w[i], where, line);
        } else if (w[0] == "frame" || w[0] == "frames") {
            // One cell, or several side by side with one space between them.
            needLayout(line);
            std::vector<int> frames = ParseFrameList(w, 1, where, line);
            if (w[0] == "frame" && frames.size() != 1) Fail(where, line, "'frame' takes one number; use 'frames'");
            for (int f : frames) claim(f, line);
            const size_t count = frames.size();
            const size_t rowlen = count * static_cast<size_t>(layout.cellw) + (count - 1);
            for (int y = 0; y < layout.cellh; y++, n++) {
                const int rline = static_cast<int>(n) + 1;
                if (n >= lines.size()) Fail(where, rline, "the file ends inside a frame: expected " +
                                                              std::to_string(layout.cellh) + " rows");
                const std::string& row = lines[n];
                if (row.size() != rowlen)
                    Fail(where, rline, "row of " + std::to_string(row.size()) + " characters, expected " +
                                           std::to_string(rowlen) + " (" + std::to_string(count) + " cell(s) of " +
                                           std::to_string(layout.cellw) + ")");
                for (size_t c = 0; c < count; c++) {
                    const size_t start = c * static_cast<size_t>(layout.cellw + 1);
                    if (c > 0 && row[start - 1] != ' ') Fail(where, rline, "cells in a row are separated by one space");
                    for (int x = 0; x < layout.cellw; x++) {
                        char key = row[start + static_cast<size_t>(x)];
                        CheckKey(key, layout, palette, where, rline);
                        pic.At(frames[c], x, y) = key;
                    }
                }
            }
        } else {
            Fail(where, line, "unknown line '" + w[0] + "' (size, cell, frame or frames)");
        }
    }
    if (!haveSize) Fail(where, 0, "no 'size' line");

    for (int f : layout.opaque) {
        bool hole = !pic.defined[static_cast<size_t>(f)];
        for (int y = 0; y < layout.cellh && !hole; y++)
            for (int x = 0; x < layout.cellw && !hole; x++) hole = pic.At(f, x, y) == kHole;
        if (hole)
            Fail(where, 0, "frame " + std::to_string(f) +
                               " is drawn with nothing behind it and must have no transparent pixel");
    }

    if (layout.mono) {
        for (int code = 0; code < layout.Frames(); code++) {
            std::string c = "character " + std::to_string(code);
            if (code > 32 && code < 127) c += std::string(" '") + static_cast<char>(code) + "'";
            if (gfx::FontBlank(code)) {
                if (!pic.Empty(code)) Fail(where, 0, c + " must be blank");
                continue;
            }
            if (pic.Empty(code)) Fail(where, 0, c + " has no glyph");
            if (!gfx::FontMayUseFourthColumn(code))
                for (int y = 0; y < layout.cellh; y++)
                    if (pic.At(code, layout.cellw - 1, y) != kHole)
                        Fail(where, 0, c + " uses the fourth column, which is the gap between letters");
        }
    }
    return pic;
}

struct PngWriter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    FILE* file = nullptr;
    ~PngWriter() {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
        if (file) std::fclose(file);
    }
};

// Returns an empty string on success, else what went wrong.
std::string WritePng(const fs::path& path, const Picture& pic, const Palette& palette) {
    const gfx::Layout& layout = *pic.layout;
    const int w = layout.width, h = layout.height;
    std::vector<std::vector<png_byte>> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; y++) {
        std::vector<png_byte>& row = rows[static_cast<size_t>(y)];
        if (layout.mono) {
            row.assign(static_cast<size_t>((w + 7) / 8), 0);
            for (int x = 0; x < w; x++)
                if (pic.keys[static_cast<size_t>(y * w + x)] == kInk)
                    row[static_cast<size_t>(x / 8)] |= static_cast<png_byte>(0x80 >> (x % 8));
        } else {
            row.reserve(static_cast<size_t>(w * 3));
            for (int x = 0; x < w; x++) {
                char key = pic.keys[static_cast<size_t>(y * w + x)];
                Rgb c = key == kHole ? Rgb{0, 0, 0} : palette.at(key);
                row.insert(row.end(), c.begin(), c.end());
            }
        }
    }

    PngWriter out;
    out.file = std::fopen(path.string().c_str(), "wb");
    if (!out.file) return "cannot write " + path.string();
    out.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!out.png) return "libpng could not start";
    out.info = png_create_info_struct(out.png);
    if (!out.info) return "libpng could not start";
    if (setjmp(png_jmpbuf(out.png))) return "libpng failed writing " + path.string();

    png_init_io(out.png, out.file);
    // Fixed settings so the same source always gives the same bytes.
    png_set_compression_level(out.png, 9);
    png_set_compression_strategy(out.png, 0);  // Z_DEFAULT_STRATEGY
    png_set_compression_mem_level(out.png, 9);
    png_set_filter(out.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    if (layout.mono) {
        png_set_IHDR(out.png, out.info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 1,
                     PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_color colours[2] = {{0, 0, 0}, {255, 255, 255}};
        png_set_PLTE(out.png, out.info, colours, 2);
    } else {
        png_set_IHDR(out.png, out.info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    }
    png_write_info(out.png, out.info);
    for (auto& row : rows) png_write_row(out.png, row.data());
    png_write_end(out.png, nullptr);
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gfxgen <art/gfx dir> <output dir>\n");
        return 2;
    }
    const fs::path src = argv[1], dst = argv[2];
    std::vector<Picture> pictures;
    Palette palette;
    try {
        palette = ReadPalette(src / "palette.txt");
        for (const gfx::Layout& layout : gfx::Pictures())
            pictures.push_back(ReadPicture(src / (layout.name + ".txt"), layout, palette));
    } catch (const Fault& f) {
        std::fprintf(stderr, "gfxgen: %s\n", f.what());
        return 1;
    }

    std::error_code ec;
    fs::create_directories(dst, ec);
    if (ec) {
        std::fprintf(stderr, "gfxgen: cannot make %s: %s\n", dst.string().c_str(), ec.message().c_str());
        return 1;
    }
    for (const Picture& pic : pictures) {
        std::string err = WritePng(dst / (pic.layout->name + ".png"), pic, palette);
        if (!err.empty()) {
            std::fprintf(stderr, "gfxgen: %s\n", err.c_str());
            return 1;
        }
    }
    return 0;
}
