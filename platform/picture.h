// How the built-in pictures become pixels. The desktop decodes the embedded
// PNG files with libpng; a machine without libpng (the browser) carries them
// decoded ahead by a tool, from the same PNG files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>


// The built-in picture of that name ("gfx\font.png") as 8-bit RGB, w x h;
// false when there is none. Each machine provides it.
bool DecodePicture(const std::string& name, std::vector<uint8_t>& rgb, int& w, int& h);


// A picture decoded ahead, as the decoding tool writes them.
struct DecodedPicture {
    const char* name;  // "gfx\font.png"
    int width, height;
    const unsigned char* rgb;
};
extern const DecodedPicture decodedpictures[];  // ends with a null name
