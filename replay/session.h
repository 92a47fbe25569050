// A play session as a replay: everything that crosses from the machine into
// the game (the seed, the keys at the moments the game takes them, which
// passes run an update step, and what every file operation answered) is
// written as it happens; played back, the same answers are given again, so
// the game takes the same steps whatever the machine, the compiler or the
// frame rate.
//
// The game takes input at most once per pass of its loops: when an update
// step is granted, or at the first keyboard question of a pass that has no
// step. Passes that take nothing and run no step change nothing the game
// keeps (drawing has its own dice); those that asked for keys are only
// counted, before keys taken in a later pass without a step, so that the
// keys reach that pass again and not an earlier one that asked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace session {

enum class Mode {
    Off,     // plays, records nothing (the tests)
    Record,  // plays and writes the replay as it goes
    Verify,  // plays a replay back with no window, as fast as it goes, and checks it
    Watch,   // plays a replay back in the window, at its own speed
};
Mode CurrentMode();
inline bool Playing() {
    const Mode m = CurrentMode();
    return m == Mode::Verify || m == Mode::Watch;
}

// Starts writing replays/<date>_<time>.replay in the working folder (its
// header names the game's version),
// keeping the newest 20 there. False (recording off) when it cannot.
bool StartRecording(const std::string& version);
// Reads a replay to play back, recorded by this version of the game. False, with the one line that says why
// (not a replay, damaged, another version's, cut short before its first
// checkpoint), when it cannot be played.
bool LoadReplay(const std::vector<uint8_t>& file, Mode mode, const std::string& version, std::string& why);
// Back to Off, forgetting any replay (tests).
void Reset();
// Update steps granted since the session began.
uint64_t Steps();

// ---------------------------------------------------------------- for the keyboard and the frame

// An input point: the first keyboard question of a pass. Takes the
// machine's events (live) or the recorded ones (played back).
void TakeQueryInput();
// The frame was presented: the next pass begins.
void PassEnded();
// This pass's frame need not be presented (a replay runs fast forward).
bool Unseen();

// ---------------------------------------------------------------- for the file layer

enum Op : uint8_t { OPENWRITE = 1, CLOSE, CLOSETOGETHER, RECOVER, CANSAVE, EXISTS, MOVEASIDE };
// Live: records the answer and returns it. Played back: returns the
// recorded answer (`value` is not looked at).
bool Answer(Op op, const std::string& path, bool value);
// A file read: its bytes, or null when there was none.
void NoteRead(const std::string& path, const std::vector<uint8_t>* data);
// Played back: the bytes read then; false when there was no file.
bool PlayRead(const std::string& path, std::vector<uint8_t>& data);
void NoteList(const std::string& path, const std::vector<std::string>& names);
std::vector<std::string> PlayList(const std::string& path);
// What a save left in a file (ok), or that the file is no longer known.
void Wrote(const std::string& path, const std::vector<uint8_t>& data, bool ok);

// ---------------------------------------------------------------- for the page

// Writes a checkpoint at the next update step and the record up to it to
// the file, so the replay so far can be handed over whole.
void RequestCheckpoint();
// The replay being written (empty when none).
const std::string& RecordingPath();

}  // namespace session
