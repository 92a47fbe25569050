// Start-up in its fixed order, the main loop and the end of the program.
#include "engine/dice.h"
#include "engine/draw.h"
#include "overworld/overworld.h"
#include "platform/machine.h"
#include "base/assets.h"
#include "base/base.h"
#include "shell/shell.h"
#include "ui/ui.h"

namespace {
// The world's maker run once before anything else, on the game's empty
// state, and everything it changed put back as a new program holds it. A
// browser compiles the page's code as each part is first called and runs it
// unoptimised for a while: the first world a page made held the frame in
// which its save began for up to 60 ms. Made here, ahead of the window,
// it keeps no one waiting, and the game goes on exactly as it would have.
void WarmWorldMaker() {
    MakeWorldMap();
    FreshGame();
}

// `again`: started over in this program, where the world's maker is warm
// already; everything else is put back all the same.
int PlayFromTheStart(bool again) {
    if (again)
        FreshGame();
    else
        WarmWorldMaker();
    quit = 0;
    accum = 0.0f;
    SetWindowCaption("Quillmoor");
    SetStateDigest(StateDigest);
    SeedRand(SessionSeed());
    // The file is rewritten at once with what was read (or the defaults), so a
    // player always finds all four lines to edit.
    LoadSettings();
    // With no folder to keep files in, that has been said once already.
    const bool settingssaved = DataFolderProblem().empty() && SaveSettings();
    textleaps.Clear();
    MakeDir("worlds");
    LoadAssets();
    // Full screen is only offered at the scale that fills 1920x1080; the file
    // keeps the player's wish until the settings are saved again.
    if (UPSCALING != 4 && FULLSCREEN == 1) FULLSCREEN = 0;
    // Any other value than 0 or 1 (only a hand-edited file has one) means a window.
    const int depth = FULLSCREEN == 1 ? 32 : 0;
    if (!CreateGraphics(UPSCALING * 480, UPSCALING * 270, depth, 60, 0)) return 1;
    SetResolution(480, 270);
    SetClsColor(32, 24, 16);
    lasttime = ClockMs();
    // Told once there is a window to tell it in.
    if (!DataFolderProblem().empty())
        ShowHeldNotice("Cannot use the data folder");
    else if (!settingssaved)
        ShowHeldNotice(SAVEFAILED);
    // Returns once a world is loaded (or made); Exit ends the program there.
    if (TitleScreen() == TitleChoice::Exit) EndGame();

    while (!quit) {
        if (StepDue()) {
            if (!UpdateOverworld()) EndGame();
            UpdateArrival();
        }
        DrawOverworld();
        Flip(VSYNC);
    }
    SaveWorld();
    EndGame();
}

// A replay sought back to an earlier step starts the game over: its loops
// are left, and everything begins again as it began.
int Run(bool again) {
    for (;; again = true) {
        try {
            return PlayFromTheStart(again);
        } catch (const StartingOver&) {
        }
    }
}
}  // namespace

int RunGame() { return Run(false); }
int RunGameAgain() { return Run(true); }

void EndGame() {
    EndSession();
    EndProgram();
}
