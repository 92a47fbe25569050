// The game's sounds made from their few lines of synthesis settings (the
// .sfx sources in art/sfx; the format is in art/README.md under "Sounds").
// The tool that writes the desktop's WAV files and the browser, which makes
// its sounds at load instead of downloading them, share this one maker, so
// the two hear the same samples.
//
// The result is the same on every machine and compiler: noise comes from a
// small generator seeded from the source, sine, exp and log are computed
// here from + - * / and the exactly rounded sqrt, floor, frexp and ldexp,
// and the file is built with floating-point contraction off.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace synth {

constexpr int RATE = 44100;

// A value that may move from one number to another over a layer: "a" or "a -> b".
struct Glide {
    double from = 0.0, to = 0.0;
    bool set = false;
    double At(double u, bool exponential) const;
};

enum class Wave { Square, Triangle, Saw, Sine, Noise };

struct Layer {
    int line = 0;
    std::set<std::string> keys;  // every key given, even with a bad value
    bool hasWave = false;
    Wave wave = Wave::Square;
    Glide freq;
    bool linearSlide = false;
    Glide duty;
    double start = 0.0;
    double length = -1.0;  // -1: to the end of the sound
    double attack = 1.0, decay = 0.0, sustain = 1.0, release = 5.0;
    double volume = 1.0;
    std::vector<double> arp;
    double arpStep = 0.0;
    double vibratoDepth = 0.0, vibratoRate = 0.0;
    double tremoloDepth = 0.0, tremoloRate = 0.0;
    Glide lowpass, highpass;
};

struct Sound {
    double length = 0.0;
    bool hasLength = false;
    double loudness = 0.0;  // dBFS, RMS of the loudest 50 ms
    bool hasLoudness = false;
    double peak = -3.0;  // dBFS, never exceeded
    uint32_t seed = 1;
    double fadeIn = 2.0, fadeOut = 8.0;
    double echoDelay = 0.0, echoFeedback = 0.0;
    std::vector<Layer> layers;
};

// Reads and checks a source. Each fault is added to `errors` as
// "where:line: message" on a line of its own; false if there was any.
bool Parse(const std::string& where, const char* text, size_t size, Sound& sound, std::string& errors);

// Renders a checked sound to 16-bit samples at RATE; false if it came out silent.
bool Render(const Sound& sound, std::vector<int16_t>& out);

}  // namespace synth
