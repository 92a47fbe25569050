// Shared test ground: every test runs in a fresh empty folder of its own on
// the headless machine, with the game's globals as at program start.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

class GameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string folder, previous;
};

// The game's globals as a fresh program has them (what SetUp does after
// the machine's Reset), for a test that starts the program a second time.
void ResetGameState();

// Runs the program from start-up until it ends: its exit code, or -1 when
// the flip limit stopped it (as a kill would), and what it printed.
int RunGameToEnd(std::string& printed);
// A replay watched in the window holds its last frame until it is closed:
// closes it at the first frame it holds so.
void CloseAtTheReplaysEnd();

// While it lives, the font is a stand-in whose every cell is a solid white
// 4 x 5 block, so where each character lands shows exactly.
class SolidFont {
public:
    SolidFont();
    ~SolidFont();

private:
    struct Saved;
    Saved* saved;
};

// The bytes of a file in the working folder; empty when it is missing.
std::vector<unsigned char> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

// Standard output captured while a loop ran holds its diagnostic lines and
// also the failures reported from inside it: shown again when the test has
// failed, so they are not lost.
void Replay(const std::string& captured);
