// The game's one random sequence, and drawing's own.
#pragma once

#include <cstdint>

// Both sequences' state in a program just started; also what a seed the
// generator cannot take (0 or 2^31 - 1) turns into.
constexpr int32_t DICESTART = 4660;

extern int32_t randstate;
void SeedRand(int32_t seed);
double RandUniform();
int32_t Rand(int32_t min, int32_t max);
// Drawing's own dice (the shimmer and the flashing colours), apart from the
// game's: however many frames a machine draws between two update steps,
// the game's sequence is the same.
extern int32_t drawrandstate;
int32_t DrawRand(int32_t min, int32_t max);
