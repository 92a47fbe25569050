// What a backend (the real machine, or the test machine) provides beyond the
// operations declared in platform.h that it defines itself: CreateGraphics,
// SetWindowCaption, Flip, TSound::Load, TSound::Play, ClockMs, EndProgram,
// SavesChanged.
#pragma once

// Collects the window's pending events into the keyboard state (KeyDownEvent
// and friends). Called by every keyboard and close query.
void PumpEvents();
// Told after every save that reached the disk (a world, an area, the
// settings), for a machine that must write its files on to where they are
// kept (the browser's storage).
void SavesChanged();
