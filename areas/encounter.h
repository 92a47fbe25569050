// The pieces of an encounter that tests and benchmarks drive one by one.
#pragma once

#include <cstdint>

class entity;

// Puts the enemies of the marker's terrain into the resident area, none
// within half a screen of the player.
void PlaceEnemies(const entity& p);

// One update step of an encounter: input, motion, camera, villagers,
// enemies with their contact and melee.
class EncounterStep {
public:
    EncounterStep(entity& player, uint8_t enc, uint8_t fromeast);
    // False when a revisit has just lost its last enemy: the tile is
    // claimed and the encounter ends at once.
    bool Run();
    int32_t count = 0;  // enemies gone through by the last step

private:
    entity& p;
    uint8_t enc, fromeast;
};

// The reward of a won wild encounter: experience, the tile cleared with
// its shores, and the bonus screen when any bonus was kept.
void ScoreWin(bool clear);
// Shows the bonuses kept and the total until a key closes it.
void BonusScreen(int32_t total, uint8_t ext);
