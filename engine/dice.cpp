// The game's one random sequence: the minimal-standard multiplicative
// generator (48271 modulo 2^31 - 1). Each uniform draw takes two steps for
// 56 bits of precision.
#include "engine/dice.h"

int32_t randstate = DICESTART;
int32_t drawrandstate = DICESTART;

namespace {
// One step: s x 48271 modulo 2^31 - 1. Schrage's method gives the same
// value within 32 bits; with 64 bits at hand the product is folded instead
// (2^31 is 1 modulo 2^31 - 1), which is shorter on the path every world
// generation takes some 800,000 times.
inline int32_t Step(int32_t s) {
    const uint64_t x = (uint64_t)(uint32_t)s * 48271u;
    uint32_t r = (uint32_t)(x & 0x7FFFFFFFu) + (uint32_t)(x >> 31);
    if (r >= 0x7FFFFFFFu) r -= 0x7FFFFFFFu;
    return (int32_t)r;
}

double Uniform(int32_t& state) {
    const int32_t s1 = Step(state);
    const int32_t s2 = Step(s1);
    state = s2;
    return ((double)(s1 & 0x1FFFFFFC) + (double)(s2 & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
}

int32_t Between(double u, int32_t min, int32_t max) {
    const int64_t d = (int64_t)max - min;
    // A reversed range still lands between its two bounds.
    if (d > 0) return (int32_t)(min + (int64_t)(u * (double)(d + 1)));
    return (int32_t)(max + (int64_t)(u * (double)(1 - d)));
}
}  // namespace

void SeedRand(int32_t seed) {
    randstate = seed & 2147483647;
    if (randstate == 0 || randstate == 2147483647) randstate = DICESTART;
    // Drawing starts from the same seed, so a machine's first frames look
    // as they always have; from then on it goes its own way.
    drawrandstate = randstate;
}

double RandUniform() { return Uniform(randstate); }

int32_t Rand(int32_t min, int32_t max) { return Between(RandUniform(), min, max); }

int32_t DrawRand(int32_t min, int32_t max) { return Between(Uniform(drawrandstate), min, max); }
