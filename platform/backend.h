// What a backend (the real machine, or the test machine) provides beyond the
// operations declared in platform.h that it defines itself: CreateGraphics,
// SetWindowCaption, Present, TSound::Load, TSound::Play, ClockMs, EndProgram,
// KeepFiles, DiskFault, Deflate and Inflate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Collects the window's pending events (KeyDownEvent and friends). Called
// when the game takes its input: at an update step, or at the first
// keyboard question of a pass without one.
void PumpEvents();
// Told after every save that reached the disk (a world's files together,
// an area, the settings), with the files it wrote, for a machine that must
// write them on to where they are kept (the browser's storage) as one.
// False when they could not be kept there: the save has failed.
bool KeepFiles(const std::vector<std::string>& paths);

// What a backend reports (engine/keys.cpp queues them) when it collects the window's events. They reach
// the game when it next takes its input (an update step, or the first
// keyboard question of a pass without one).
void KeyDownEvent(int key);  // a press, or the system's auto-repeat
void KeyUpEvent(int key);
void FocusLostEvent();
void CloseEvent();

// Asked before every operation that changes the disk, a new temporary file
// told apart from the rest: 0 lets it through, as a real machine always
// does; otherwise the error it fails with. The test machine fails them on
// purpose, to see what a save leaves behind (headless/filefaults.h).
enum class DiskChange { TEMPORARY, OTHER };
int DiskFault(DiskChange change);

// ---------------------------------------------------------------- what the replay layer uses

// A backend presents the frame here; the game's Flip (frame.cpp) calls it
// and then begins the next pass.
void Present(int sync);

// A key event as the machine reported it, one word: the key code times four
// plus its kind.
enum : uint32_t { KEYEVENT_DOWN = 0, KEYEVENT_UP = 1, KEYEVENT_FOCUS = 2, KEYEVENT_CLOSE = 3 };
// The events the backend reported since last taken, oldest first (at most max).
int TakeMachineEvents(uint32_t* out, int max);
// Applies one event to the game's keyboard state; true when it changed
// what the game sees (a press of a key already down changes nothing).
bool ApplyKeyEvent(uint32_t event);

// Deflates and inflates with zlib (or the page's own library); false when
// it cannot. Inflate refuses anything that would not be exactly rawsize.
bool Deflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out);
bool Inflate(const uint8_t* data, size_t size, size_t rawsize, std::vector<uint8_t>& out);

// Nothing is drawn or presented, no window opens and no sound plays: a
// replay is being checked as fast as it goes.
void Machineless(bool on);
bool IsMachineless();

// The disk itself, for the replay's own file: not one of the game's files,
// so neither recorded nor answered from a replay.
namespace disk {
void MakeDir(const std::string& path);
std::vector<std::string> ListDir(const std::string& path);
void Remove(const std::string& path);
// A new file to append to; -1 when it cannot be made (or exists already).
int CreateLog(const std::string& path);
bool AppendLog(int fd, const uint8_t* data, size_t size);
void CloseLog(int fd);
// What DataFolderProblem answers, as a replay recorded it.
void SetFolderProblem(const std::string& why);
}  // namespace disk
