#include <gtest/gtest.h>

#include "tests/smoke/game_process.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace smoke {

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const fs::path& path) {
    std::istringstream in(Slurp(path));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool WaitFor(const std::function<bool()>& ready, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

long CardinalProperty(Display* d, Window w, const char* name, std::vector<long>* all) {
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

Game::Game(Display* display, const std::string& settings, const std::vector<EnvChange>& env) {
    dir = fs::temp_directory_path() / ("quillmoor-smoke-" + std::to_string(getpid()) + "-" + std::to_string(++runs));
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (!settings.empty()) std::ofstream(dir / "settings.ini", std::ios::binary) << settings;
    Watch(display);
    Start(QUILLMOOR_EXE, dir, env);
}

Game::Game(Display* display, const std::string& exe, const fs::path& workdir, const std::vector<EnvChange>& env) {
    dir = fs::temp_directory_path() / ("quillmoor-smoke-" + std::to_string(getpid()) + "-" + std::to_string(++runs));
    fs::remove_all(dir);
    fs::create_directories(dir);
    Watch(display);
    Start(exe, workdir, env);
}

void Game::Start(const std::string& exe, const fs::path& workdir, const std::vector<EnvChange>& env) {
    const std::string err = (dir / "stderr.txt").string(), out = (dir / "stdout.txt").string();
    pid = fork();
    if (pid == 0) {
        if (chdir(workdir.c_str()) != 0) _exit(97);
        if (!freopen(err.c_str(), "w", stderr) || !freopen(out.c_str(), "w", stdout)) _exit(96);
        for (const EnvChange& change : env) {
            if (change.value)
                setenv(change.name, change.value, 1);
            else
                unsetenv(change.name);
        }
        // In a sanitizer build, the window system's libraries that are
        // loaded and unloaded at run time leave allocations the leak
        // checker cannot name; the game's own code is leak-checked by the
        // headless tests.
        std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
        setenv("ASAN_OPTIONS", (asan + (asan.empty() ? "" : ":") + "detect_leaks=0").c_str(), 1);
        execl(exe.c_str(), "quillmoor", (char*)nullptr);
        _exit(98);
    }
}

Game::~Game() {
    if (pid > 0 && !ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    Watch(nullptr);
    std::error_code ec;
    fs::remove_all(dir, ec);
}

void Game::Watch(Display* display) {
    if (d) XSelectInput(d, DefaultRootWindow(d), NoEventMask);
    d = display;
    if (d) {
        // Windows made and destroyed while the program starts are seen here.
        XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
        XSync(d, True);
    }
}

Window Game::WaitForWindow(double seconds) {
    Window found = 0;
    WaitFor(
        [&] {
            Drain();
            found = Find(DefaultRootWindow(d));
            return found != 0 || Ended();
        },
        seconds);
    Drain();
    return found;
}

uint32_t Game::Pixel(Window w, int x, int y) {
    XImage* image = XGetImage(d, w, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0;
    const uint32_t p = (uint32_t)XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return p;
}

void Game::Tap(Window w, unsigned long keysym) {
    XSetInputFocus(d, w, RevertToParent, CurrentTime);
    const KeyCode code = XKeysymToKeycode(d, keysym);
    XTestFakeKeyEvent(d, code, True, 0);
    XTestFakeKeyEvent(d, code, False, 100);
    XFlush(d);
}

void Game::Close(Window w) {
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

bool Game::BeginWorld(Window w, const fs::path& world) {
    // The window is the screen enlarged by a whole factor.
    XWindowAttributes a{};
    const int scale = XGetWindowAttributes(d, w, &a) && a.width >= 480 ? a.width / 480 : 1;
    if (!WaitFor([&] { return Pixel(w, 40 * scale, 260 * scale) == 0x404040 || Ended(); }) || Ended()) return false;
    Tap(w, XK_x);
    return WaitFor([&] { return fs::exists(world / "player") || Ended(); }) && !Ended();
}

bool Game::Ended() {
    if (!ended && waitpid(pid, &status, WNOHANG) == pid) ended = true;
    return ended;
}

bool Game::WaitForEnd(double seconds) {
    return WaitFor([&] { return Ended(); }, seconds);
}

bool Game::EndedWithCode(int code, double seconds) { return WaitForEnd(seconds) && ExitCode() == code; }

int Game::ExitCode() const { return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

void Game::Drain() {
    while (XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == MapNotify && mapped.insert(e.xmap.window).second) ++shown;
        if (e.type == DestroyNotify && mapped.count(e.xdestroywindow.window)) ++destroyed;
    }
}

Window Game::Find(Window w) {
    char* title = nullptr;
    bool mine = false;
    if (XFetchName(d, w, &title) && title) {
        mine = std::strcmp(title, "Quillmoor") == 0 && CardinalProperty(d, w, "_NET_WM_PID") == pid;
        XFree(title);
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

void ExpectWorldWithItsHomeArea(const fs::path& world) {
    EXPECT_EQ(fs::file_size(world / "overworld"), 524296u);
    EXPECT_EQ(fs::file_size(world / "player"), 153u);
    int areas = 0;
    for (const auto& entry : fs::directory_iterator(world)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
        areas += name.find(',') != std::string::npos;
    }
    EXPECT_EQ(areas, 1) << "the home area was not saved";
}

namespace {
bool Taken(int n) {
    return fs::exists("/tmp/.X" + std::to_string(n) + "-lock") ||
           fs::exists("/tmp/.X11-unix/X" + std::to_string(n));
}
}  // namespace

bool OwnDisplay::Available() {
    for (const char* dir : {"/usr/bin", "/bin", "/usr/local/bin"})
        if (access((std::string(dir) + "/Xvfb").c_str(), X_OK) == 0) return true;
    return false;
}

OwnDisplay::OwnDisplay() {
    // Spread by process, so tests running side by side pick different ones.
    int n = 200 + getpid() % 500;
    while (Taken(n)) ++n;
    name = ":" + std::to_string(n);
}

OwnDisplay::~OwnDisplay() { Kill(); }

void OwnDisplay::Start() {
    pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stderr)) _exit(96);
        execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1280x720x24", "-nolisten", "tcp", (char*)nullptr);
        _exit(98);
    }
}

Display* OwnDisplay::Connect(double seconds) {
    Display* display = nullptr;
    WaitFor([&] { return (display = XOpenDisplay(name.c_str())) != nullptr; }, seconds);
    return display;
}

void OwnDisplay::Kill() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}
}  // namespace smoke
