// The zlib format, as each machine has it: the desktop's zlib, the page's
// own library. The replay's blocks are deflated through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// False when it cannot. Inflate refuses anything that would not be exactly
// rawsize.
bool Deflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out);
bool Inflate(const uint8_t* data, size_t size, size_t rawsize, std::vector<uint8_t>& out);
