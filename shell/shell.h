// The game shell: start-up, the main loop and its fixed-step clock, the
// frame counter, the settings and the built-in pictures and sounds.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// ---------------------------------------------------------------- main loop

extern uint8_t quit;       // 1 leaves the main loop and ends the program
extern float steptime;     // one update step, in milliseconds
extern float accum;        // real time not yet paid out as update steps
extern int32_t lasttime;   // clock reading at the previous StepDue
extern int32_t deltatime;  // milliseconds between the last two StepDue calls

// True when an update step is due; grants at most one step per call.
bool StepDue();

// Runs the whole program: start-up, the title screen, the main loop and the
// final save. Returns the process's exit code when the window cannot open;
// otherwise ends through EndGame.
int RunGame();
// The program ends here, its replay closed with its last checkpoint.
[[noreturn]] void EndGame();
// The game's state as one number, for the replay's checkpoints.
uint64_t StateDigest();
// Every global of the game back to what a program that has just started
// holds (for starting the game again in one process).
void FreshGame();

// Reads the command line (--data DIR, --replay FILE, --verify FILE,
// --version, --help) and enters the folder the player's files are kept in,
// where the play session's replay is recorded; or loads the replay to play
// back. Returns the exit code when the program is to end here (0 after
// --version or --help, 1 for a replay that cannot be played, 2 for an
// unknown option), or -1 to go on and play.
int StartFromCommandLine(int argc, char** argv);

// The frame counter in the corner of every play screen.
class FPS {
public:
    static int32_t framecount, nextupdate, current;
    static int32_t Calc();
    static void DrawFPS();
};

// ---------------------------------------------------------------- settings

extern uint8_t UPSCALING;    // 1..4, the window is 480x270 times this
extern uint8_t FULLSCREEN;   // 1 asks for full screen (honoured at UPSCALING 4)
extern std::string WORLDNAME;  // the selected world's folder in "worlds"
extern uint8_t VSYNC;        // 1 waits for the display at every frame

int ParseNumber(const std::string& line);
std::string ParseText(const std::string& line);
// A name that would reach outside the worlds folder is no world's name.
bool SafeWorldName(const std::string& name);
void LoadSettings();
// The four lines of a settings file already read into memory.
void ReadSettings(TStream& f);
// False when the file could not be written; the old one is left as it was.
bool SaveSettings();
// The file's four lines as SaveSettings writes them.
std::string SettingsText();
