// Pictures: the built-in pictures, decoded by the machine, cut into frames.
// Every picture is loaded masked: pure black (0, 0, 0) is a hole, any other
// colour is opaque.
#include <cstdio>

#include "platform/picture.h"
#include "engine/draw.h"
#include "platform/platform.h"

bool TImage::FromRGB(const uint8_t* rgb, int w, int h, int cw, int ch, int first, int count) {
    if (cw <= 0 || ch <= 0 || cw > w || ch > h || first < 0 || count < 0) return false;
    const int across = w / cw, down = h / ch;
    if ((long long)first + count > (long long)across * down) return false;
    cellw = cw;
    cellh = ch;
    frames = count;
    pixels.assign((size_t)cw * ch * count, 0);
    rowkind.assign((size_t)ch * count, ROW_MIXED);
    framekind.assign((size_t)count, ROW_SOLID);
    for (int f = 0; f < count; ++f) {
        const int cell = first + f, cx = (cell % across) * cw, cy = (cell / across) * ch;
        uint32_t* out = pixels.data() + (size_t)f * cw * ch;
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) {
                const uint8_t* p = rgb + ((size_t)(cy + y) * w + cx + x) * 3;
                const uint32_t c = (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
                out[y * cw + x] = c ? 0xFF000000u | c : 0;
            }
        for (int y = 0; y < ch; ++y) {
            int opaque = 0;
            for (int x = 0; x < cw; ++x) opaque += out[y * cw + x] != 0;
            rowkind[(size_t)f * ch + y] = opaque == 0 ? ROW_EMPTY : opaque == cw ? ROW_SOLID : ROW_MIXED;
            if (opaque != cw) framekind[f] = ROW_MIXED;
        }
    }
    return true;
}

bool TImage::LoadAnim(const char* path, int cw, int ch, int first, int count) {
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    if (!DecodePicture(path, rgb, w, h) || !FromRGB(rgb.data(), w, h, cw, ch, first, count)) {
        std::fprintf(stderr, "cannot load picture %s\n", path);
        return false;
    }
    return true;
}

bool TImage::Load(const char* path) {
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    if (!DecodePicture(path, rgb, w, h) || !FromRGB(rgb.data(), w, h, w, h, 0, 1)) {
        std::fprintf(stderr, "cannot load picture %s\n", path);
        return false;
    }
    return true;
}

const EmbeddedFile* FindEmbedded(const std::string& name) {
    for (const EmbeddedFile* f = embeddedfiles; f->name; ++f)
        if (name == f->name) return f;
    return nullptr;
}
