#include "media/synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace synth {
namespace {

const double kRate = 44100.0;
const double kPi = 3.14159265358979323846;
const double kLn2 = 0.69314718055994530942;
const double kLn10 = 2.30258509299404568402;
const double kSqrtHalf = 0.70710678118654752440;

// ---------------------------------------------------------------------------
// Portable maths

// sin(2 pi p): one full cycle per unit of p.
double SinCycle(double p) {
    double x = p - std::floor(p);
    double sign = 1.0;
    if (x >= 0.5) {
        x -= 0.5;
        sign = -1.0;
    }
    if (x > 0.25) x = 0.5 - x;
    double t = x * 2.0 * kPi;
    double t2 = t * t;
    double s = t * (1.0 - t2 / 6.0 * (1.0 - t2 / 20.0 * (1.0 - t2 / 42.0 * (1.0 - t2 / 72.0 *
               (1.0 - t2 / 110.0 * (1.0 - t2 / 156.0 * (1.0 - t2 / 210.0 * (1.0 - t2 / 272.0))))))));
    return sign * s;
}

double Exp(double x) {
    double k = std::floor(x / kLn2 + 0.5);
    double r = x - k * kLn2;
    double term = 1.0, sum = 1.0;
    for (int i = 1; i <= 18; ++i) {
        term *= r / i;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(k));
}

double Log(double x) {
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < kSqrtHalf) {
        m *= 2.0;
        --e;
    }
    double s = (m - 1.0) / (m + 1.0);
    double s2 = s * s;
    double sum = 0.0, term = s;
    for (int i = 1; i <= 31; i += 2) {
        sum += term / i;
        term *= s2;
    }
    return 2.0 * sum + e * kLn2;
}

double Semitones(double n) { return Exp(n * kLn2 / 12.0); }
double DecibelsToGain(double db) { return Exp(db * kLn10 / 20.0); }

// Milliseconds to a whole number of samples.
size_t Samples(double ms) { return static_cast<size_t>(std::floor(ms * kRate / 1000.0 + 0.5)); }

// xorshift32; never seeded with 0.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    double Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;  // [-1, 1)
    }
};

}  // namespace

double Glide::At(double u, bool exponential) const {
    if (from == to) return from;
    if (exponential) return from * Exp(Log(to / from) * u);
    return from + (to - from) * u;
}

namespace {

// ---------------------------------------------------------------------------
// Sources

class Parser {
public:
    Parser(const std::string& path, Sound& sound, std::string& errors) : path_(path), sound_(sound), errors_(errors) {}

    bool Run(const char* text, size_t size) {
        const size_t before = errors_.size();
        for (size_t at = 0; at < size;) {
            size_t end = at;
            while (end < size && text[end] != '\n') ++end;
            const std::string raw(text + at, end - at);
            at = end + 1;
            ++line_;
            std::string text = Trim(raw.substr(0, raw.find('#')));
            if (text.empty()) continue;
            if (text[0] == '[') {
                Section(text);
            } else {
                size_t eq = text.find('=');
                if (eq == std::string::npos) {
                    Fail("expected 'key = value' or '[layer]', found '" + text + "'");
                    continue;
                }
                std::string key = Trim(text.substr(0, eq));
                std::string value = Trim(text.substr(eq + 1));
                if (key.empty()) {
                    Fail("missing key before '='");
                } else if (value.empty()) {
                    Fail("missing value for '" + key + "'");
                } else if (!seen_.insert(key).second) {
                    Fail("'" + key + "' given twice in the same section");
                } else if (layer_) {
                    layer_->keys.insert(key);
                    LayerKey(*layer_, key, value);
                } else {
                    SoundKey(key, value);
                }
            }
        }
        Finish();
        return errors_.size() == before;
    }

private:
    static std::string Trim(const std::string& s) {
        size_t a = s.find_first_not_of(" \t\r");
        if (a == std::string::npos) return "";
        size_t b = s.find_last_not_of(" \t\r");
        return s.substr(a, b - a + 1);
    }

    // A number as a message shows it: six significant digits at most.
    static std::string Shortest(double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", v);
        return text;
    }

    void Fail(const std::string& message) { FailAt(line_, message); }
    void FailAt(int line, const std::string& message) {
        errors_ += path_ + ":" + std::to_string(line) + ": " + message + "\n";
    }

    bool Number(const std::string& text, const std::string& key, double& out) {
        const char* begin = text.c_str();
        char* end = nullptr;
        double v = std::strtod(begin, &end);
        if (end == begin || *end != '\0' || !std::isfinite(v)) {
            Fail("'" + key + "': '" + text + "' is not a number");
            return false;
        }
        out = v;
        return true;
    }

    bool Numbers(const std::string& text, const std::string& key, std::vector<double>& out) {
        static const char* const kSpace = " \t\r\v\f";
        out.clear();
        for (size_t at = text.find_first_not_of(kSpace); at != std::string::npos;) {
            const size_t end = text.find_first_of(kSpace, at);
            double v;
            if (!Number(text.substr(at, end == std::string::npos ? std::string::npos : end - at), key, v)) return false;
            out.push_back(v);
            at = end == std::string::npos ? end : text.find_first_not_of(kSpace, end);
        }
        return true;
    }

    // label: what to call the value in a message, such as "'duty'" or "'echo' delay".
    bool Within(double v, double lo, double hi, const std::string& label) {
        if (v < lo || v > hi) {
            Fail(label + " must lie between " + Shortest(lo) + " and " + Shortest(hi) + ", not " + Shortest(v));
            return false;
        }
        return true;
    }

    bool Value(const std::string& text, const std::string& key, double lo, double hi, double& out) {
        double v;
        if (!Number(text, key, v) || !Within(v, lo, hi, "'" + key + "'")) return false;
        out = v;
        return true;
    }

    // "a" or "a -> b"
    bool GlideValue(const std::string& text, const std::string& key, double lo, double hi, Glide& out) {
        size_t arrow = text.find("->");
        double a, b;
        if (arrow == std::string::npos) {
            if (!Value(text, key, lo, hi, a)) return false;
            b = a;
        } else if (!Value(Trim(text.substr(0, arrow)), key, lo, hi, a) ||
                   !Value(Trim(text.substr(arrow + 2)), key, lo, hi, b)) {
            return false;
        }
        out.from = a;
        out.to = b;
        out.set = true;
        return true;
    }

    // "depth rate"
    bool Pair(const std::string& text, const std::string& key, double maxDepth, double& depth, double& rate) {
        std::vector<double> v;
        if (!Numbers(text, key, v)) return false;
        if (v.size() != 2) {
            Fail("'" + key + "' takes two numbers: depth and rate");
            return false;
        }
        if (!Within(v[0], 0.0, maxDepth, "'" + key + "' depth") || !Within(v[1], 0.0, 100.0, "'" + key + "' rate")) return false;
        depth = v[0];
        rate = v[1];
        return true;
    }

    void Section(const std::string& text) {
        if (text.back() != ']') {
            Fail("section header '" + text + "' lacks its closing ']'");
            return;
        }
        std::string inner = Trim(text.substr(1, text.size() - 2));
        std::string kind = inner.substr(0, inner.find_first_of(" \t"));
        if (kind != "layer") {
            Fail("unknown section '" + text + "'; only [layer] sections exist");
            return;
        }
        sound_.layers.emplace_back();
        layer_ = &sound_.layers.back();
        layer_->line = line_;
        seen_.clear();
    }

    void SoundKey(const std::string& key, const std::string& value) {
        if (key == "length") {
            sound_.hasLength = Value(value, key, 1.0, 10000.0, sound_.length);
        } else if (key == "loudness") {
            sound_.hasLoudness = Value(value, key, -40.0, -3.0, sound_.loudness);
        } else if (key == "peak") {
            Value(value, key, -40.0, -0.1, sound_.peak);
        } else if (key == "seed") {
            double v;
            if (Value(value, key, 0.0, 4294967295.0, v)) {
                if (v != std::floor(v)) Fail("'seed' must be a whole number");
                sound_.seed = static_cast<uint32_t>(v);
            }
        } else if (key == "fadein") {
            Value(value, key, 0.0, 1000.0, sound_.fadeIn);
        } else if (key == "fadeout") {
            Value(value, key, 0.0, 1000.0, sound_.fadeOut);
        } else if (key == "echo") {
            std::vector<double> v;
            if (!Numbers(value, key, v)) return;
            if (v.size() != 2) {
                Fail("'echo' takes two numbers: delay and feedback");
            } else if (Within(v[0], 1.0, 2000.0, "'echo' delay") && Within(v[1], 0.0, 0.9, "'echo' feedback")) {
                sound_.echoDelay = v[0];
                sound_.echoFeedback = v[1];
            }
        } else if (key == "wave" || key == "freq") {
            Fail("'" + key + "' belongs in a [layer] section");
        } else {
            Fail("unknown key '" + key + "'");
        }
    }

    void LayerKey(Layer& l, const std::string& key, const std::string& value) {
        if (key == "wave") {
            static const std::pair<const char*, Wave> names[] = {{"square", Wave::Square}, {"triangle", Wave::Triangle},
                {"saw", Wave::Saw}, {"sine", Wave::Sine}, {"noise", Wave::Noise}};
            for (const auto& n : names) {
                if (value == n.first) {
                    l.wave = n.second;
                    l.hasWave = true;
                }
            }
            if (!l.hasWave) Fail("unknown wave '" + value + "'; use square, triangle, saw, sine or noise");
        } else if (key == "freq") {
            GlideValue(value, key, 1.0, kRate, l.freq);
        } else if (key == "slide") {
            if (value == "lin") l.linearSlide = true;
            else if (value != "exp") Fail("'slide' is 'exp' or 'lin', not '" + value + "'");
        } else if (key == "duty") {
            GlideValue(value, key, 0.01, 0.99, l.duty);
        } else if (key == "start") {
            Value(value, key, 0.0, 10000.0, l.start);
        } else if (key == "length") {
            Value(value, key, 1.0, 10000.0, l.length);
        } else if (key == "attack") {
            Value(value, key, 0.0, 10000.0, l.attack);
        } else if (key == "decay") {
            Value(value, key, 0.0, 10000.0, l.decay);
        } else if (key == "sustain") {
            Value(value, key, 0.0, 1.0, l.sustain);
        } else if (key == "release") {
            Value(value, key, 0.0, 10000.0, l.release);
        } else if (key == "volume") {
            Value(value, key, 0.0, 4.0, l.volume);
        } else if (key == "arp") {
            if (Numbers(value, key, l.arp)) {
                for (double s : l.arp) Within(s, -48.0, 48.0, "'arp' step");
            }
        } else if (key == "arpstep") {
            Value(value, key, 1.0, 10000.0, l.arpStep);
        } else if (key == "vibrato") {
            Pair(value, key, 24.0, l.vibratoDepth, l.vibratoRate);
        } else if (key == "tremolo") {
            Pair(value, key, 1.0, l.tremoloDepth, l.tremoloRate);
        } else if (key == "lowpass") {
            GlideValue(value, key, 10.0, 22050.0, l.lowpass);
        } else if (key == "highpass") {
            GlideValue(value, key, 10.0, 22050.0, l.highpass);
        } else {
            Fail("unknown key '" + key + "'");
        }
    }

    void Finish() {
        if (!sound_.hasLength) FailAt(line_, "missing 'length' (milliseconds) before the first [layer]");
        if (!sound_.hasLoudness) FailAt(line_, "missing 'loudness' (dBFS) before the first [layer]");
        if (sound_.layers.empty()) FailAt(line_, "no [layer] sections");
        for (Layer& l : sound_.layers) {
            // A key given with a bad value has been reported already.
            if (!l.keys.count("wave")) FailAt(l.line, "layer has no 'wave'");
            if (!l.keys.count("freq") && l.hasWave && l.wave != Wave::Noise) FailAt(l.line, "layer has no 'freq'");
            if (!l.freq.set) l.freq.from = l.freq.to = kRate;  // noise: a fresh value every sample
            if (l.hasWave && l.wave != Wave::Noise && std::max(l.freq.from, l.freq.to) > kRate / 2)
                FailAt(l.line, "a tone's 'freq' must stay at or below 22050");
            if (!l.duty.set) l.duty.from = l.duty.to = 0.5;
            if (l.duty.set && l.wave != Wave::Square) FailAt(l.line, "'duty' only applies to square waves");
            if (!l.arp.empty() && l.arpStep <= 0.0) FailAt(l.line, "'arp' needs 'arpstep' (milliseconds per step)");
            if (l.arp.empty() && l.arpStep > 0.0) FailAt(l.line, "'arpstep' without 'arp'");
            if (!sound_.hasLength) continue;
            if (l.start >= sound_.length) {
                FailAt(l.line, "layer starts at or past the end of the sound");
                continue;
            }
            if (l.length < 0.0) l.length = sound_.length - l.start;
            if (l.start + l.length > sound_.length + 1e-9) FailAt(l.line, "layer runs past the end of the sound");
            if (l.attack + l.decay + l.release > l.length + 1e-9)
                FailAt(l.line, "attack + decay + release is longer than the layer");
        }
        if (sound_.hasLength && sound_.fadeIn + sound_.fadeOut > sound_.length)
            FailAt(line_, "fadein + fadeout is longer than the sound");
    }

    std::string path_;
    Sound& sound_;
    Layer* layer_ = nullptr;
    std::set<std::string> seen_;
    std::string& errors_;
    int line_ = 0;
};

// ---------------------------------------------------------------------------
// Synthesis

// Smooths the jump of a naive square or saw at phase 0 (polynomial band-limited step).
double Blep(double t, double dt) {
    if (t < dt) {
        double x = t / dt;
        return x + x - x * x - 1.0;
    }
    if (t > 1.0 - dt) {
        double x = (t - 1.0) / dt;
        return x * x + x + x + 1.0;
    }
    return 0.0;
}

double Frac(double x) { return x - std::floor(x); }

// One-pole coefficient for a cutoff in Hz.
double Pole(double hz) { return 1.0 - Exp(-2.0 * kPi * hz / kRate); }

// Level of the ADSR envelope at sample k of a layer of n samples.
double Envelope(const Layer& l, size_t k, size_t n) {
    double a = static_cast<double>(Samples(l.attack));
    double d = static_cast<double>(Samples(l.decay));
    double r = static_cast<double>(Samples(l.release));
    double x = static_cast<double>(k);
    double releaseAt = static_cast<double>(n) - r;
    if (x >= releaseAt && r > 0.0) {
        double u = (x - releaseAt) / r;
        return l.sustain * (1.0 - u) * (1.0 - u);
    }
    if (x < a) return x / a;
    if (x < a + d) {
        double u = (x - a) / d;
        return l.sustain + (1.0 - l.sustain) * (1.0 - u) * (1.0 - u);
    }
    return l.sustain;
}

void RenderLayer(const Layer& l, uint32_t seed, std::vector<double>& mix) {
    size_t first = Samples(l.start);
    size_t n = std::min(Samples(l.length), mix.size() - first);
    std::vector<double> arpRatio;
    for (double s : l.arp) arpRatio.push_back(Semitones(s));
    size_t arpSamples = Samples(l.arpStep);

    Noise noise(seed);
    double held = noise.Next();
    double phase = 0.0;
    double lp1 = 0.0, lp2 = 0.0, hp1 = 0.0, hp2 = 0.0;

    for (size_t k = 0; k < n; ++k) {
        double u = n > 1 ? static_cast<double>(k) / static_cast<double>(n - 1) : 0.0;
        double t = static_cast<double>(k) / kRate;

        double f = l.freq.At(u, !l.linearSlide);
        if (!arpRatio.empty()) f *= arpRatio[std::min(k / arpSamples, arpRatio.size() - 1)];
        if (l.vibratoDepth > 0.0) f *= Semitones(l.vibratoDepth * SinCycle(l.vibratoRate * t));
        double dt = f / kRate;

        double v = 0.0;
        switch (l.wave) {
        case Wave::Square: {
            double duty = l.duty.At(u, false);
            double bdt = std::min(dt, 0.5);
            v = (phase < duty ? 1.0 : -1.0) + Blep(phase, bdt) - Blep(Frac(phase + 1.0 - duty), bdt);
            v -= 2.0 * duty - 1.0;  // keep a narrow pulse centred on zero
            break;
        }
        case Wave::Saw:
            v = 2.0 * phase - 1.0 - Blep(phase, std::min(dt, 0.5));
            break;
        case Wave::Triangle:
            v = 1.0 - 4.0 * std::fabs(Frac(phase + 0.25) - 0.5);
            break;
        case Wave::Sine:
            v = SinCycle(phase);
            break;
        case Wave::Noise:
            v = held;
            break;
        }
        phase += dt;
        if (phase >= 1.0) {
            phase = Frac(phase);
            held = noise.Next();
        }

        if (l.lowpass.set) {
            double a = Pole(l.lowpass.At(u, true));
            lp1 += a * (v - lp1);
            lp2 += a * (lp1 - lp2);
            v = lp2;
        }
        if (l.highpass.set) {
            double a = Pole(l.highpass.At(u, true));
            hp1 += a * (v - hp1);
            double once = v - hp1;
            hp2 += a * (once - hp2);
            v = once - hp2;
        }

        double level = Envelope(l, k, n) * l.volume;
        if (l.tremoloDepth > 0.0)
            level *= 1.0 - l.tremoloDepth * (0.5 - 0.5 * SinCycle(l.tremoloRate * t + 0.25));
        mix[first + k] += v * level;
    }
}

}  // namespace

bool Render(const Sound& s, std::vector<int16_t>& out) {
    std::vector<double> mix(Samples(s.length), 0.0);
    for (size_t i = 0; i < s.layers.size(); ++i)
        RenderLayer(s.layers[i], s.seed * 2654435761u + static_cast<uint32_t>(i) * 40503u, mix);

    size_t delay = Samples(s.echoDelay);
    if (delay > 0)
        for (size_t k = delay; k < mix.size(); ++k) mix[k] += s.echoFeedback * mix[k - delay];

    size_t n = mix.size();
    size_t fadeIn = std::min(Samples(s.fadeIn), n);
    size_t fadeOut = std::min(Samples(s.fadeOut), n);
    for (size_t k = 0; k < fadeIn; ++k) mix[k] *= static_cast<double>(k) / static_cast<double>(fadeIn);
    for (size_t k = 0; k < fadeOut; ++k) mix[n - 1 - k] *= static_cast<double>(k) / static_cast<double>(fadeOut);
    if (n > 0) {
        mix[0] = 0.0;
        mix[n - 1] = 0.0;
    }

    // Level: the loudest 50 ms reach the loudness asked for, unless that
    // would push a sample over the peak limit.
    double peak = 0.0;
    for (double v : mix) peak = std::max(peak, std::fabs(v));
    if (peak < 1e-9) return false;
    size_t window = std::min(Samples(50.0), n);
    std::vector<double> energy(n + 1, 0.0);
    for (size_t k = 0; k < n; ++k) energy[k + 1] = energy[k] + mix[k] * mix[k];
    double loudest = 0.0;
    for (size_t k = 0; k + window <= n; ++k) loudest = std::max(loudest, energy[k + window] - energy[k]);
    double rms = std::sqrt(loudest / static_cast<double>(window));
    double gain = std::min(DecibelsToGain(s.loudness) / rms, DecibelsToGain(s.peak) / peak);
    double scale = gain * 32767.0;
    out.resize(n);
    for (size_t k = 0; k < n; ++k) {
        double v = std::floor(mix[k] * scale + 0.5);
        out[k] = static_cast<int16_t>(std::max(-32767.0, std::min(32767.0, v)));
    }
    return true;
}

bool Parse(const std::string& where, const char* text, size_t size, Sound& sound, std::string& errors) {
    return Parser(where, sound, errors).Run(text, size);
}

}  // namespace synth
