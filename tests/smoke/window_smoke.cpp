// Starts the real program in a real window, as a player would, and closes it
// with the window's close button. Skipped when no display server is at hand.
#include <gtest/gtest.h>
// After the test framework: X11 defines macros (None) that clash with it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

bool NameIs(Display* d, Window w, const char* want) {
    char* name = nullptr;
    bool match = false;
    if (XFetchName(d, w, &name) && name) {
        match = std::strcmp(name, want) == 0;
        XFree(name);
    }
    return match;
}

Window FindWindow(Display* d, Window root, const char* want) {
    if (NameIs(d, root, want)) return root;
    Window r, parent, *children = nullptr;
    unsigned n = 0;
    Window found = 0;
    if (XQueryTree(d, root, &r, &parent, &children, &n)) {
        for (unsigned i = 0; i < n && !found; ++i) found = FindWindow(d, children[i], want);
        if (children) XFree(children);
    }
    return found;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST(WindowSmoke, OpensAtTwiceTheScaleWritesSettingsAndClosesFromTheCloseButton) {
    const char* display = std::getenv("DISPLAY");
    Display* d = display ? XOpenDisplay(nullptr) : nullptr;
    if (!d) GTEST_SKIP() << "no display server";
    XSetErrorHandler(IgnoreErrors);

    auto dir = std::filesystem::temp_directory_path() / ("quillmoor-smoke-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(97);
        // In a sanitizer build, the window system's libraries that are loaded
        // and unloaded at run time leave allocations the leak checker cannot
        // name; the game's own code is leak-checked by the headless tests.
        std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
        setenv("ASAN_OPTIONS", (asan + (asan.empty() ? "" : ":") + "detect_leaks=0").c_str(), 1);
        execl(QUILLMOOR_EXE, "quillmoor", (char*)nullptr);
        _exit(98);
    }

    Window w = 0;
    for (int i = 0; i < 200 && !w; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        w = FindWindow(d, DefaultRootWindow(d), "Quillmoor");
    }
    ASSERT_NE(w, 0u) << "no window named Quillmoor appeared";
    XWindowAttributes attr;
    for (int i = 0; i < 100; ++i) {
        XGetWindowAttributes(d, w, &attr);
        if (attr.map_state == IsViewable) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(attr.width, 960);
    EXPECT_EQ(attr.height, 540);
    EXPECT_EQ(Slurp((dir / "settings.ini").string()),
              "UPSCALING=2\r\nFULLSCREEN=0 (requires upscaling x4)\r\nWORLDNAME=Defaultia\r\nVSYNC=1\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "worlds"));

    // What a window manager sends when the close button is clicked.
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &ev);
    XFlush(d);

    int status = -1;
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!WIFEXITED(status)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ADD_FAILURE() << "the program did not end after the close request";
    } else {
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    XCloseDisplay(d);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
