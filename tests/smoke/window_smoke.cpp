// Starts the real program in a real window, as a player would, presses its
// keys and closes it with the window's close button. Skipped when no display
// server is at hand.
//
// Nothing here waits a fixed time for the program: every wait is for
// something to be seen (a window shown, a file written, the program ended),
// with a limit far beyond what a loaded machine needs.
#include <gtest/gtest.h>
// After the test framework: X11 defines macros (None) that clash with it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Polls until the condition holds or the limit passes.
bool WaitFor(const std::function<bool()>& ready, int seconds = 60) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

long CardinalProperty(Display* d, Window w, const char* name, std::vector<long>* all = nullptr) {
    Atom type;
    int format;
    unsigned long n = 0, left = 0;
    unsigned char* data = nullptr;
    long first = -1;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1 << 16, False, XA_CARDINAL, &type, &format, &n,
                           &left, &data) == Success &&
        data) {
        const long* v = reinterpret_cast<const long*>(data);
        if (n > 0) first = v[0];
        if (all) all->assign(v, v + n);
        XFree(data);
    }
    return first;
}

// The real program, started in an empty folder of its own with the given
// settings file (none when empty); killed if a test leaves it running.
class Game {
public:
    Game(Display* display, const std::string& settings) : d(display) {
        dir = fs::temp_directory_path() / ("quillmoor-smoke-" + std::to_string(getpid()) + "-" + std::to_string(++runs));
        fs::remove_all(dir);
        fs::create_directories(dir);
        if (!settings.empty()) std::ofstream(dir / "settings.ini", std::ios::binary) << settings;
        // Windows made and destroyed while the program starts are seen here.
        XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
        XSync(d, True);
        pid = fork();
        if (pid == 0) {
            if (chdir(dir.c_str()) != 0) _exit(97);
            if (!freopen("stderr.txt", "w", stderr)) _exit(96);
            // In a sanitizer build, the window system's libraries that are
            // loaded and unloaded at run time leave allocations the leak
            // checker cannot name; the game's own code is leak-checked by the
            // headless tests.
            std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
            setenv("ASAN_OPTIONS", (asan + (asan.empty() ? "" : ":") + "detect_leaks=0").c_str(), 1);
            execl(QUILLMOOR_EXE, "quillmoor", (char*)nullptr);
            _exit(98);
        }
    }
    ~Game() {
        if (pid > 0 && !ended) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        XSelectInput(d, DefaultRootWindow(d), NoEventMask);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // The program's window once it is shown: named Quillmoor, of this
    // process, viewable.
    Window WaitForWindow() {
        Window found = 0;
        WaitFor([&] {
            Drain();
            found = Find(DefaultRootWindow(d));
            return found != 0 || Ended();
        });
        Drain();
        return found;
    }

    // The colour of one pixel of the window as shown.
    uint32_t Pixel(Window w, int x, int y) {
        XImage* image = XGetImage(d, w, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0;
        const uint32_t p = (uint32_t)XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return p;
    }

    // Presses a key in the window, as the keyboard would.
    void Tap(Window w, KeySym key) {
        XSetInputFocus(d, w, RevertToParent, CurrentTime);
        const KeyCode code = XKeysymToKeycode(d, key);
        XTestFakeKeyEvent(d, code, True, 0);
        XTestFakeKeyEvent(d, code, False, 100);
        XFlush(d);
    }

    // What a window manager sends when the close button is clicked.
    void Close(Window w) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, w, False, NoEventMask, &ev);
        XFlush(d);
    }

    bool Ended() {
        if (!ended && waitpid(pid, &status, WNOHANG) == pid) ended = true;
        return ended;
    }
    bool EndedWithCodeZero() {
        WaitFor([&] { return Ended(); });
        return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    fs::path dir;
    // Top-level windows shown, and shown then destroyed, before the window
    // was found. (Unshown helper windows of the graphics library don't count.)
    int shown = 0, destroyed = 0;

private:
    void Drain() {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify && mapped.insert(e.xmap.window).second) ++shown;
            if (e.type == DestroyNotify && mapped.count(e.xdestroywindow.window)) ++destroyed;
        }
    }
    Window Find(Window w) {
        char* name = nullptr;
        bool mine = false;
        if (XFetchName(d, w, &name) && name) {
            mine = std::strcmp(name, "Quillmoor") == 0 && CardinalProperty(d, w, "_NET_WM_PID") == pid;
            XFree(name);
        }
        if (mine) {
            XWindowAttributes attr;
            return XGetWindowAttributes(d, w, &attr) && attr.map_state == IsViewable ? w : 0;
        }
        Window root, parent, *children = nullptr;
        unsigned n = 0;
        Window found = 0;
        if (XQueryTree(d, w, &root, &parent, &children, &n)) {
            for (unsigned i = 0; i < n && !found; ++i) found = Find(children[i]);
            if (children) XFree(children);
        }
        return found;
    }

    Display* d;
    pid_t pid = -1;
    int status = 0;
    bool ended = false;
    std::set<Window> mapped;
    static inline int runs = 0;
};

// At most one line on standard error, and that one ours: without a sound
// device the sound system's own complaints stay out of it.
void ExpectQuietStart(const fs::path& dir) {
    std::istringstream err(Slurp(dir / "stderr.txt"));
    std::string line;
    int lines = 0;
    while (std::getline(err, line)) {
        ++lines;
        EXPECT_EQ(line.rfind("no sound: ", 0), 0u) << line;
    }
    EXPECT_LE(lines, 1);
}

class WindowSmoke : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display server";
        // A virtual display busy accepting other programs may turn a
        // connection away for a moment.
        WaitFor([&] { return (d = XOpenDisplay(nullptr)) != nullptr; }, 5);
        ASSERT_NE(d, nullptr) << "the display server named by DISPLAY does not answer";
        XSetErrorHandler(IgnoreErrors);
    }
    void TearDown() override {
        if (d) XCloseDisplay(d);
    }
    Display* d = nullptr;
};
}  // namespace

TEST_F(WindowSmoke, OpensOneWindowAtTwiceTheScaleWithItsIconAndClosesFromTheCloseButton) {
    Game game(d, "");
    const Window w = game.WaitForWindow();
    ASSERT_NE(w, 0u) << "no window named Quillmoor was shown";
    // Made once: no other window was shown, nor shown and thrown away.
    EXPECT_EQ(game.shown, 1);
    EXPECT_EQ(game.destroyed, 0);
    XWindowAttributes attr;
    ASSERT_TRUE(XGetWindowAttributes(d, w, &attr));
    EXPECT_EQ(attr.width, 960);
    EXPECT_EQ(attr.height, 540);
    std::vector<long> icon;
    CardinalProperty(d, w, "_NET_WM_ICON", &icon);
    ASSERT_GE(icon.size(), 2u) << "the window has no icon";
    EXPECT_EQ(icon.size(), 2 + (size_t)icon[0] * icon[1]);
    EXPECT_EQ(Slurp(game.dir / "settings.ini"),
              "UPSCALING=2\r\nFULLSCREEN=0 (requires upscaling x4)\r\nWORLDNAME=Defaultia\r\nVSYNC=1\r\n");
    EXPECT_TRUE(fs::is_directory(game.dir / "worlds"));

    // Closed on the title screen the moment it shows: ends without a save.
    game.Close(w);
    EXPECT_TRUE(game.EndedWithCodeZero()) << "the program did not end after the close request";
    EXPECT_TRUE(fs::is_empty(game.dir / "worlds"));
    ExpectQuietStart(game.dir);
}

TEST_F(WindowSmoke, ANewWorldBegunWithTheKeyboardIsSavedWhenTheWindowIsClosed) {
    Game game(d, "UPSCALING=1\r\nFULLSCREEN=0\r\nWORLDNAME=Smoke\r\nVSYNC=1\r\n");
    const Window w = game.WaitForWindow();
    ASSERT_NE(w, 0u) << "no window named Quillmoor was shown";
    // The title forgets keys pressed before it shows, as every screen does:
    // Begin is pressed once its grey menu box is on the screen.
    ASSERT_TRUE(WaitFor([&] { return game.Pixel(w, 40, 260) == 0x404040 || game.Ended(); }))
        << "the title screen was not shown";
    // Begin: the new world is made and its first visit, the home area, starts.
    game.Tap(w, XK_x);
    const fs::path world = game.dir / "worlds" / "Smoke";
    ASSERT_TRUE(WaitFor([&] { return fs::exists(world / "player") || game.Ended(); }))
        << "Begin made no world";
    // Closed while the world is made or its home area is played, whichever
    // it is by now: the home area and the world are saved, and it ends.
    game.Close(w);
    EXPECT_TRUE(game.EndedWithCodeZero()) << "the program did not end after the close request";
    EXPECT_EQ(fs::file_size(world / "overworld"), 524296u);
    EXPECT_EQ(fs::file_size(world / "player"), 153u);
    int areas = 0;
    for (const auto& entry : fs::directory_iterator(world)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
        areas += name.find(',') != std::string::npos;
    }
    EXPECT_EQ(areas, 1) << "the home area was not saved";
    ExpectQuietStart(game.dir);
}
