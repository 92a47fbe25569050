// The menus: the title screen, the world list and the naming grid, and the
// status menu.
#pragma once

// What the player chose on the title screen.
enum class TitleChoice { Begin, Exit };
// The title screen: Begin once a world is loaded; Exit on Exit, Escape or
// the window's close button (with quit set), for the caller to end the
// program without saving: every way into the title has saved already.
TitleChoice TitleScreen();
// The world screen: choose a world folder or go on to name a new one.
// Always saves the settings on leaving.
void ChangeWorld();
// The naming screen: sets WORLDNAME when a name is accepted.
void NameWorld();

// The status menu, over the overworld: spends experience on the lasting stats.
void StatusMenu();
