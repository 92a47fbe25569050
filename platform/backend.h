// What a backend (the real machine, or the test machine) provides beyond the
// operations declared in platform.h that it defines itself: CreateGraphics,
// SetWindowCaption, Flip, TSound::Load, TSound::Play, ClockMs, EndProgram,
// KeepFiles.
#pragma once

#include <string>
#include <vector>

// Collects the window's pending events into the keyboard state (KeyDownEvent
// and friends). Called by every keyboard and close query.
void PumpEvents();
// Told after every save that reached the disk (a world's files together,
// an area, the settings), with the files it wrote, for a machine that must
// write them on to where they are kept (the browser's storage) as one.
// False when they could not be kept there: the save has failed.
bool KeepFiles(const std::vector<std::string>& paths);
