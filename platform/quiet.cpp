#include "platform/quiet.h"

#include "engine/draw.h"

QuietMachine::QuietMachine(Machine& live) : Relay(live) { DrawNothing(true); }

QuietMachine::~QuietMachine() { DrawNothing(false); }

bool QuietMachine::LoadSound(TSound& sound, const char* path) {
    sound.name = path;
    return false;
}
