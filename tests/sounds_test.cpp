// The built-in sounds as the player hears them: sounds that mean different
// things are told apart at once, and a sound is as loud as the others of its
// kind. Measured on the decoded samples, not on how they were made.
#include <algorithm>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "base/assets.h"
#include "testutil.h"

namespace {
const double kRate = 44100.0;
const double kPi = 3.14159265358979323846;

// The samples of a built-in sound, scaled to -1 .. 1.
std::vector<double> Samples(const std::string& name) {
    std::vector<double> out;
    const EmbeddedFile* f = FindEmbedded("sfx\\" + name + ".wav");
    if (!f) return out;
    const unsigned char* d = f->data;
    auto le32 = [&](size_t at) { return (uint32_t)(d[at] | d[at + 1] << 8 | d[at + 2] << 16 | (uint32_t)d[at + 3] << 24); };
    for (size_t at = 12; at + 8 <= f->size; at += 8 + le32(at + 4)) {
        if (std::string((const char*)d + at, 4) != "data") continue;
        for (size_t k = at + 8; k + 1 < std::min<size_t>(f->size, at + 8 + le32(at + 4)); k += 2)
            out.push_back((int16_t)(d[k] | d[k + 1] << 8) / 32768.0);
        break;
    }
    return out;
}

// Level in dB of the loudest 200 ms, about the span over which the ear adds
// up a short sound; a shorter sound is spread over the whole 200 ms, so a
// blip a third as long needs more level to be heard as loud.
double Level(const std::vector<double>& s) {
    const size_t window = (size_t)(0.2 * kRate);
    std::vector<double> energy(s.size() + 1, 0.0);
    for (size_t k = 0; k < s.size(); ++k) energy[k + 1] = energy[k] + s[k] * s[k];
    double loudest = s.size() < window ? energy.back() : 0.0;
    for (size_t k = 0; k + window <= s.size(); ++k) loudest = std::max(loudest, energy[k + window] - energy[k]);
    return 10.0 * std::log10(loudest / window);
}

void Fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    if (n == 1) return;
    std::vector<std::complex<double>> even(n / 2), odd(n / 2);
    for (size_t i = 0; i < n / 2; ++i) even[i] = a[2 * i], odd[i] = a[2 * i + 1];
    Fft(even);
    Fft(odd);
    for (size_t k = 0; k < n / 2; ++k) {
        std::complex<double> t = std::polar(1.0, -2.0 * kPi * k / n) * odd[k];
        a[k] = even[k] + t;
        a[k + n / 2] = even[k] - t;
    }
}

// Power-weighted mean frequency of the whole sound: where its pitch sits.
double Centroid(const std::vector<double>& s) {
    size_t n = 1;
    while (n < s.size()) n *= 2;
    std::vector<std::complex<double>> x(s.begin(), s.end());
    x.resize(n);
    Fft(x);
    double weighted = 0.0, total = 0.0;
    for (size_t k = 1; k <= n / 2; ++k) {
        weighted += k * kRate / n * std::norm(x[k]);
        total += std::norm(x[k]);
    }
    return weighted / total;
}

// Loudness contour in 5 ms steps, in dB below the sound's own loudest step,
// nothing below -30 dB.
std::vector<double> Contour(const std::vector<double>& s) {
    const size_t step = (size_t)(0.005 * kRate);
    std::vector<double> rms;
    for (size_t at = 0; at + step <= s.size(); at += step) {
        double e = 0.0;
        for (size_t k = at; k < at + step; ++k) e += s[k] * s[k];
        rms.push_back(std::sqrt(e / step));
    }
    const double top = *std::max_element(rms.begin(), rms.end());
    for (double& v : rms) v = std::max(-30.0, 20.0 * std::log10(v / top + 1e-12));
    return rms;
}

// Mean gap in dB between two contours laid side by side from the start.
double ContourGap(const std::vector<double>& a, const std::vector<double>& b) {
    const size_t n = std::max(a.size(), b.size());
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) sum += std::fabs((i < a.size() ? a[i] : -30.0) - (i < b.size() ? b[i] : -30.0));
    return sum / n;
}
}  // namespace

TEST(SoundsTest, SoundsThatMeanDifferentThingsAreNotTwins) {
    // Heard in the same moments, so each must be known at once: being hurt
    // from being refused; taking an item up from two cells trading places.
    // Two blips that both fall from their start differ by a few dB of
    // contour; a gap, a second knock or a swell where the other is silent
    // puts them 8 dB or more apart. An octave between them is a different
    // register, not the same sound a little higher.
    const struct {
        const char *a, *b;
    } pairs[] = {{"oof", "nope"}, {"hotbar", "swap"}};
    for (const auto& p : pairs) {
        SCOPED_TRACE(std::string(p.a) + " and " + p.b);
        const std::vector<double> a = Samples(p.a), b = Samples(p.b);
        ASSERT_FALSE(a.empty());
        ASSERT_FALSE(b.empty());
        EXPECT_GE(ContourGap(Contour(a), Contour(b)), 8.0) << "their loudness moves the same way over time";
        EXPECT_GE(std::fabs(std::log2(Centroid(a) / Centroid(b))), 1.0) << "their pitch sits within an octave";
    }
}

TEST(SoundsTest, SoundsAreAsLoudAsOthersOfTheirKind) {
    const struct {
        const char* sound;
        const char* kind[3];
    } cases[] = {
        {"menu", {"hotbar", "swap", "inventory"}},      // interface blips
        {"moneyget", {"raredrop", "apget", "bonus"}},  // rewards
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sound);
        std::vector<double> kind;
        for (const char* other : c.kind) {
            const std::vector<double> s = Samples(other);
            ASSERT_FALSE(s.empty()) << other;
            kind.push_back(Level(s));
        }
        std::sort(kind.begin(), kind.end());
        const std::vector<double> s = Samples(c.sound);
        ASSERT_FALSE(s.empty());
        EXPECT_NEAR(Level(s), kind[1], 1.5) << "dB against the middle of its kind";
    }
}
