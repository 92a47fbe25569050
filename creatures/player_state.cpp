// The player's lasting and transient state, as a new player has it.
#include "creatures/creatures.h"

uint8_t maxHP = 3;
uint8_t maxAP = 3;
uint8_t AP = 0;
uint8_t APgain = 1;
int32_t gold = 0;
uint8_t alchemy = 1;
uint8_t level = 1;
namespace player {
int32_t exp = 0;
}
uint16_t invitem[INVCOLS][INVROWS];
uint16_t invamt[INVCOLS][INVROWS];
uint8_t form = 0;

uint8_t invopen = 0;
uint8_t facelock = 0;
uint8_t jumpbuf = 0;
