// The real program as a player starts it, seen from outside: its window on
// a display, its files, its standard error and its end. Shared by the smoke
// tests of the window and of the display.
//
// Nothing here waits a fixed time for the program: every wait is for
// something to be seen (a window shown, a file written, the program ended),
// with a limit far beyond what a loaded machine needs.
#pragma once

// The X headers define macros (None, Status) that clash with the test
// framework: include this after it.
#include <X11/Xlib.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace smoke {
namespace fs = std::filesystem;

std::string Slurp(const fs::path& path);
// Polls until the condition holds or the limit passes.
bool WaitFor(const std::function<bool()>& ready, double seconds = 60);
long CardinalProperty(Display* d, Window w, const char* name, std::vector<long>* all = nullptr);
// The lines of a file, without their ends.
std::vector<std::string> Lines(const fs::path& path);

// A change to the program's environment: a null value removes the variable.
struct EnvChange {
    const char* name;
    const char* value;
};

// The real program, started in an empty folder of its own with the given
// settings file (none when empty); killed if a test leaves it running. The
// display connection, when there is one, watches its windows.
class Game {
public:
    Game(Display* display, const std::string& settings, const std::vector<EnvChange>& env = {});
    // Another copy of the program (an installed one), started in the given
    // working folder; its settings are its own to find. Its standard output
    // and error are kept in `dir`, never in the working folder.
    Game(Display* display, const std::string& exe, const fs::path& workdir, const std::vector<EnvChange>& env);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // The program's window once it is shown: named Quillmoor, of this
    // process, viewable. 0 if it ended first, or none came in time.
    Window WaitForWindow(double seconds = 60);
    // The colour of one pixel of the window as shown.
    uint32_t Pixel(Window w, int x, int y);
    // Presses a key in the window, as the keyboard would.
    void Tap(Window w, unsigned long keysym);
    // What a window manager sends when the close button is clicked.
    void Close(Window w);
    // Begins a new world from the title screen, as a player does: once the
    // title's grey menu box shows (the title forgets keys pressed before
    // it), X on Begin. True once the world's player file is written.
    bool BeginWorld(Window w, const fs::path& world);
    // Watches windows through another display connection from now on; none
    // (null) before the test closes the one it had.
    void Watch(Display* display);

    bool Ended();
    // Waits for the end; true when it came in time.
    bool WaitForEnd(double seconds = 60);
    bool EndedWithCode(int code, double seconds = 60);
    bool EndedWithCodeZero() { return EndedWithCode(0); }
    // How the program ended: the exit code, or -1 for a signal.
    int ExitCode() const;

    fs::path dir;
    // Top-level windows shown, and shown then destroyed, before the window
    // was found. (Unshown helper windows of the graphics library don't count.)
    int shown = 0, destroyed = 0;

private:
    void Start(const std::string& exe, const fs::path& workdir, const std::vector<EnvChange>& env);
    void Drain();
    Window Find(Window w);

    Display* d = nullptr;
    pid_t pid = -1;
    int status = 0;
    bool ended = false;
    std::set<Window> mapped;
    static inline int runs = 0;
};

// A world saved whole, with the home area of its first visit, and no
// temporaries left behind.
void ExpectWorldWithItsHomeArea(const fs::path& world);

// A virtual display of the test's own, on a number nobody uses, which the
// test may start after the program and kill under it.
class OwnDisplay {
public:
    OwnDisplay();
    ~OwnDisplay();
    OwnDisplay(const OwnDisplay&) = delete;
    OwnDisplay& operator=(const OwnDisplay&) = delete;

    static bool Available();  // the virtual display server is installed
    const std::string& Name() const { return name; }
    void Start();
    // A connection once the display answers; null if it never does.
    Display* Connect(double seconds = 30);
    // The server ends, as when a session is closed: every connection breaks.
    void Kill();

private:
    std::string name;
    pid_t pid = -1;
};
}  // namespace smoke
