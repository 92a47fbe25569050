// The top floor: what starts the game and runs it. The command line, the
// start-up and the main loop, the end of the program, and the game's state
// taken as a whole (its digest for the replay's checkpoints, and putting it
// back as a new program holds it), both from the one list of it (state.h).
#pragma once

#include <cstdint>

// Runs the whole program: start-up, the title screen, the main loop and the
// final save. Returns the process's exit code when the window cannot open;
// otherwise ends through EndGame.
int RunGame();
// RunGame after the game has started over in this program (the page's way:
// it has no exceptions to catch).
int RunGameAgain();
// The program ends here, its replay closed with its last checkpoint.
[[noreturn]] void EndGame();
// The game's state as one number, for the replay's checkpoints.
uint64_t StateDigest();
// Every global of the game back to what a program that has just started
// holds (for starting the game again in one process).
void FreshGame();

namespace replay {
struct WatchState;
}
// The replay viewer's bar over the frame.
void DrawReplayBar(const replay::WatchState& state);

// Reads the command line (--data DIR, --replay FILE, --verify FILE,
// --version, --help) and enters the folder the player's files are kept in,
// where the play session's replay is recorded; or loads the replay to play
// back. Returns the exit code when the program is to end here (0 after
// --version or --help, 1 for a replay that cannot be played, 2 for an
// unknown option), or -1 to go on and play.
int StartFromCommandLine(int argc, char** argv);
