// The game's ground floor: what every screen of the game uses. The step
// clock and the flag that ends the game, the frame counter, the settings,
// the bitmap text with the floating texts, and the notices. The built-in
// pictures and sounds are in assets.h.
#pragma once

#include <cstdint>
#include <string>

#include "engine/list.h"
#include "platform/platform.h"

// ---------------------------------------------------------------- the step clock

// One update step, in milliseconds.
constexpr float steptime = 16.0f;
extern uint8_t quit;       // 1 leaves the main loop and ends the program
extern float accum;        // real time not yet paid out as update steps
extern int32_t lasttime;   // clock reading at the previous StepDue
extern int32_t deltatime;  // milliseconds between the last two StepDue calls

// True when an update step is due; grants at most one step per call.
bool StepDue();

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

// ---------------------------------------------------------------- text

// Text in the 4x5 font, one cell per character on a 4-pixel advance.
// centrex: 0 left edge at x, 1 centred on x, 2 right edge at x.
// centrey: 0 top at y, 1 raised by 2 pixels.
void DrawPlainText(const std::string& text, int x, int y, int centrex, int centrey);
// The same with a one-pixel drop shadow, in the inverse colour or in black.
void DrawShadowText(const std::string& text, int x, int y, int centrex, int centrey, int blackshadow);
// Text in printf's format, made in one kept string so that drawing numbers
// every frame allocates nothing; each call overwrites the last, so draw it
// before making the next.
const std::string& TextOf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A floating text of an area: rises from where it was made and vanishes
// when its steps run out.
class textleap {
public:
    int32_t x = 0, y = 0, dur = 0;
    uint8_t r = 0, g = 0, b = 0;
    std::string str;

    void Draw() const;
    static textleap* Make(const std::string& str, int32_t x, int32_t y, int32_t dur, uint8_t r, uint8_t g, uint8_t b);
};

extern TList<textleap> textleaps;

// ---------------------------------------------------------------- notices

// One frame of a notice ("Saving World") in the middle of a cleared screen.
void ShowNotice(const std::string& text);
// A notice that must be read ("Could not save!"): held for two seconds of
// update steps, then play goes on.
void ShowHeldNotice(const std::string& text);
// What the player is told when a save did not reach the disk.
extern const char* const SAVEFAILED;
