// The game's state summed up in one number, for the replay's checkpoints:
// everything an update step reads or writes, and nothing the machine's
// timing or the drawing decides (the step clock, the frame counter,
// drawing's dice). Which globals those are, and how each is summed, is the
// list's to say (state.h).
#include "shell/shell.h"
#include "shell/state.h"

uint64_t StateDigest() {
    StateSum s;
    for (const StateEntry& e : StateList())
        if (!e.unsummed) e.sum(s);
    return s.h;
}
