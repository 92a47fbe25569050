// The end of a pass: the frame is presented, and the next pass may take
// input again.
#include "platform/backend.h"
#include "platform/platform.h"
#include "replay/session.h"

namespace {
bool machineless = false;
}

void Machineless(bool on) { machineless = on; }
bool IsMachineless() { return machineless; }

void Flip(int sync) {
    if (!machineless && !session::Unseen()) Present(sync);
    session::PassEnded();
}
