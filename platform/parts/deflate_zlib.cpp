// Deflating and inflating with zlib, on the machines that have it (the
// desktop, the test machine, Windows; the page has its own).
#include <zlib.h>

#include "platform/codec.h"

bool Deflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    uLongf n = compressBound((uLong)size);
    out.resize(n);
    // A second of keys packs best at the top level, in microseconds; a
    // world's map takes most of a second there, and only milliseconds at
    // the fastest level, for a third more bytes that happen once a session.
    const int level = size > (16u << 10) ? 1 : 9;
    if (compress2(out.data(), &n, data, (uLong)size, level) != Z_OK) return false;
    out.resize(n);
    return true;
}

bool Inflate(const uint8_t* data, size_t size, size_t rawsize, std::vector<uint8_t>& out) {
    out.resize(rawsize);
    uLongf n = (uLongf)rawsize;
    // Exactly rawsize bytes, from exactly `size`: anything else is damage.
    uLong used = (uLong)size;
    if (uncompress2(out.data(), &n, data, &used) != Z_OK || n != rawsize || used != size) {
        out.clear();
        return false;
    }
    return true;
}
