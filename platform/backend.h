// What a backend (the real machine, or the test machine) provides beyond the
// operations declared in platform.h that it defines itself: CreateGraphics,
// SetWindowCaption, Flip, TSound::Load, TSound::Play, ClockMs, EndProgram.
#pragma once

// Collects the window's pending events into the keyboard state (KeyDownEvent
// and friends). Called by every keyboard and close query.
void PumpEvents();
