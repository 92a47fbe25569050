// Every global of the game as a program that has just started holds it.
// Start-up relies on the zero-filled globals of a new process; whatever
// starts the game a second time in one process (a test, a benchmark, the
// fuzzer playing replays) puts them back here first, so that a replay
// recorded from a fresh start plays the same. The start values are the
// list's (state.h).
#include "shell/shell.h"
#include "shell/state.h"

void FreshGame() {
    for (const StateEntry& e : StateList())
        if (e.fresh) e.fresh();
}
