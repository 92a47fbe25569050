// Starting and ending a play session's replay: recording it as it is
// played, or playing one back in place of the machine. Whichever it is
// stands in front of the machine in use (machine.h), so the game and the
// machine below it never know.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace replay {

// Records this session in replays/ in the working folder, named by the
// date and time it began, headed with the game's version; the newest 20
// replays are kept there. False (nothing recorded) when it cannot.
bool Record(const std::string& version);
// Plays a replay back in place of the machine: in the window at its own
// speed (`window`), or with no window and no sound as fast as it goes,
// checking every checkpoint. False, with the one line that says why (not a
// replay, damaged, another version's, cut short before its first
// checkpoint), when it cannot be played; nothing is ever written while a
// replay plays.
bool Play(const std::vector<uint8_t>& file, bool window, const std::string& version, std::string& why);
bool PlayFile(const std::string& path, bool window, const std::string& version, std::string& why);
// ---------------------------------------------------------------- watching one in the window

// Update steps a second, as every session is played and recorded.
constexpr uint64_t STEPSPERSECOND = 60;
// The viewer's speeds, in quarters of the recorded speed (Up and Down go
// through them); the last, 0, is as fast as the machine goes.
constexpr int SPEEDS[] = {1, 2, 4, 8, 16, 32, 64, 0};
constexpr int SPEEDCOUNT = (int)(sizeof SPEEDS / sizeof SPEEDS[0]);
enum class End { No, Ended, Early };
// What the viewer's bar says: where the replay is, of how many steps, how
// fast (quarters; 0 as fast as it goes), paused or not, and whether it has
// ended there (Early: the file was cut short).
struct WatchState {
    uint64_t step = 0, total = 0;
    int quarters = 4;
    bool paused = false;
    End end = End::No;
};
// The bar is drawn over the frame by the game's own lettering, which the
// program gives here; with none, the frame is shown bare.
void DrawBarWith(void (*draw)(const WatchState&));

// The live machine in use again, whatever stood in front of it; a
// recording is closed where it stands, as the program's end would.
void Stop();

// A session is being recorded, and has not ended.
bool Recording();
// A replay is being played back.
bool Playing();
// The replay being recorded (empty when none).
const std::string& RecordingPath();
// Update steps the session has run, as recorded or played.
uint64_t Steps();
// What the viewer's bar says of the replay being played.
WatchState Watched();
// The replay being watched goes to this step (the page's timeline), from
// its next look at the viewer's keys.
void SeekTo(uint64_t step);
// A checkpoint at the next update step, and the record up to it on the
// disk, so the replay so far can be handed over whole (the page).
void RequestCheckpoint();

}  // namespace replay
