// The quiet machine: the live one with no window, no sound and nothing
// drawn, for a replay checked as fast as the machine allows. Its lines
// (the verdict) still reach standard output, and its progress the machine.
#pragma once

#include "platform/machine.h"

class QuietMachine : public Relay {
public:
    explicit QuietMachine(Machine& live);
    ~QuietMachine() override;

    bool OpenWindow(int, int, int, int, int) override { return true; }
    void SetCaption(const char*) override {}
    void Present(int) override {}
    bool LoadSound(TSound& sound, const char* path) override;
    void PlaySound(const TSound&) override {}
    // No window, so no window's events either.
    int Events(uint32_t*, int) override { return 0; }
};
