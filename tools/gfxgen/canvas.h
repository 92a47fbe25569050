// A picture being drawn by the picture tools (contactsheet, fontstrip):
// 8-bit RGB on the game's clear colour, written out as a PNG file.
#pragma once

#include <png.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace gfx {

const unsigned char kClear[3] = {32, 24, 16};  // the game's clear colour

struct Canvas {
    int w, h;
    std::vector<unsigned char> rgb;
    Canvas(int w_, int h_) : w(w_), h(h_), rgb(static_cast<size_t>(w_ * h_ * 3)) {
        for (int i = 0; i < w * h; i++) std::memcpy(&rgb[static_cast<size_t>(i * 3)], kClear, 3);
    }
    void Put(int x, int y, const unsigned char* c) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        std::memcpy(&rgb[static_cast<size_t>((y * w + x) * 3)], c, 3);
    }
    void Rect(int x, int y, int rw, int rh, const unsigned char* c) {
        for (int j = 0; j < rh; j++)
            for (int i = 0; i < rw; i++) Put(x + i, y + j, c);
    }
    void Outline(int x, int y, int rw, int rh, const unsigned char* c) {
        Rect(x, y, rw, 1, c), Rect(x, y + rh - 1, rw, 1, c), Rect(x, y, 1, rh, c), Rect(x + rw - 1, y, 1, rh, c);
    }
};

inline bool WritePng(const std::filesystem::path& path, const Canvas& cv) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = static_cast<png_uint_32>(cv.w), img.height = static_cast<png_uint_32>(cv.h);
    img.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&img, path.string().c_str(), 0, cv.rgb.data(), 0, nullptr) != 0;
}

}  // namespace gfx
