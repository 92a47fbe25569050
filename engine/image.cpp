// Pictures cut into frames. Every picture is taken masked: pure black
// (0, 0, 0) is a hole, any other colour is opaque. Which pictures there are,
// and how they are decoded, is the machine's business (platform/pictures.cpp).
#include "engine/draw.h"

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
