// The replay's blocks deflated and inflated in the zlib format, as the
// desktop's zlib does, by the page's own zlib (codec.js, Module.codec): a
// replay recorded on either machine plays on both.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/codec.h"
#include "platform/web/web.h"

// Only a packing smaller than the payload is of any use to the replay, so
// no more room than that is made for it.
bool Deflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    out.resize(size);
    const int n = WebDeflate(data, (int)size, out.data(), (int)size);
    if (n < 0) {
        out.clear();
        return false;
    }
    out.resize((size_t)n);
    return true;
}

bool Inflate(const uint8_t* data, size_t size, size_t rawsize, std::vector<uint8_t>& out) {
    out.resize(rawsize);
    if (!WebInflate(data, (int)size, out.data(), (int)rawsize)) {
        out.clear();
        return false;
    }
    return true;
}
