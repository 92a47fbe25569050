// The game's one window. The 480 x 270 frame is enlarged by a whole factor
// with the nearest pixel, so each of its pixels is a sharp square block of
// the screen's own pixels; the program says in its manifest that it knows
// each monitor's scaling, so Windows never stretches the window again.
//
// Full screen at UPSCALING 4 asks the display for 1920 x 1080 at 60 Hz;
// where it has no such mode, the window covers the monitor without a
// border instead, the frame in its middle. The desktop gets its own mode
// back when the game ends, crashes, or the player switches away.
#include "platform/win32/win32.h"

#include <dwmapi.h>

#include <cstdio>
#include <string>

#include "engine/draw.h"

namespace {
HWND window = nullptr;
std::wstring caption = L"Quillmoor";
int scale = 1;
bool changedmode = false, wantmode = false;
DEVMODEW mode{};
// The frame's place in the window, and how long a frame of the display is.
RECT target{0, 0, SCREENW, SCREENH};
LARGE_INTEGER frequency{}, lastshown{};
int64_t period = 0;  // in counts of the performance counter
int clientw = 0, clienth = 0;

std::wstring Wide(const char* text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring w((size_t)(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, w.data(), n);
    return w;
}

// The largest whole factor up to the one asked for that fits, centred.
void PlaceFrame(int w, int h) {
    int s = scale;
    while (s > 1 && (SCREENW * s > w || SCREENH * s > h)) --s;
    target = RECT{(w - SCREENW * s) / 2, (h - SCREENH * s) / 2, 0, 0};
    target.right = target.left + SCREENW * s;
    target.bottom = target.top + SCREENH * s;
    clientw = w;
    clienth = h;
}

void Draw(HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    if (client.right != clientw || client.bottom != clienth) {
        PlaceFrame(client.right, client.bottom);
        // What the frame does not cover stays black.
        FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    }
    // The frame's words are 0xAARRGGBB: blue, green, red, then a byte
    // Windows passes over, as a 32-bit picture read top row first.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = SCREENW;
    info.bmiHeader.biHeight = -SCREENH;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, 0, 0, SCREENW,
                  SCREENH, framebuffer, &info, DIB_RGB_COLORS, SRCCOPY);
}

// Waits for the display: the compositor's next frame where there is one,
// and otherwise, or when it answers too soon, the display's own period.
void WaitForDisplay() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (SUCCEEDED(DwmFlush())) {
        LARGE_INTEGER after;
        QueryPerformanceCounter(&after);
        if (after.QuadPart - lastshown.QuadPart >= period / 2) {
            lastshown = after;
            return;
        }
    }
    const int64_t next = lastshown.QuadPart + period;
    for (QueryPerformanceCounter(&now); now.QuadPart < next; QueryPerformanceCounter(&now)) {
        const int64_t ms = (next - now.QuadPart) * 1000 / frequency.QuadPart;
        Sleep(ms > 1 ? (DWORD)(ms - 1) : 0);
    }
    // Late by a frame or more: counted again from now.
    lastshown.QuadPart = now.QuadPart - lastshown.QuadPart > 2 * period ? now.QuadPart : next;
}
}  // namespace

HWND GameWindow() { return window; }

void GiveDisplayBack() {
    if (!changedmode) return;
    ChangeDisplaySettingsW(nullptr, 0);
    changedmode = false;
    if (window) ShowWindow(window, SW_MINIMIZE);
}

void TakeDisplayAgain() {
    if (!wantmode || changedmode) return;
    changedmode = ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
    if (window) {
        ShowWindow(window, SW_RESTORE);
        SetWindowPos(window, HWND_TOP, 0, 0, (int)mode.dmPelsWidth, (int)mode.dmPelsHeight, SWP_SHOWWINDOW);
    }
}

void ShowLastFrame() {
    if (!window) return;
    HDC dc = GetDC(window);
    clientw = clienth = -1;  // uncovered: the borders are drawn again too
    Draw(dc);
    ReleaseDC(window, dc);
}

void Win32Machine::SetCaption(const char* text) {
    caption = Wide(text);
    if (window) SetWindowTextW(window, caption.c_str());
}

bool Win32Machine::OpenWindow(int width, int height, int depth, int hertz, int) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW kind{};
    kind.cbSize = sizeof kind;
    kind.lpfnWndProc = WindowMessages;
    kind.hInstance = instance;
    kind.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    kind.hIconSm = kind.hIcon;
    kind.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    kind.lpszClassName = L"Quillmoor";
    if (!RegisterClassExW(&kind)) {
        std::fprintf(stderr, "cannot open the window: the window class was refused (%lu)\n", GetLastError());
        return false;
    }
    scale = width / SCREENW > 0 ? width / SCREENW : 1;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT area{0, 0, width, height};
    if (depth == 32) {
        // The display's exact mode, or a window without a border over the
        // whole monitor the game starts on.
        mode.dmSize = sizeof mode;
        mode.dmPelsWidth = (DWORD)width;
        mode.dmPelsHeight = (DWORD)height;
        mode.dmBitsPerPel = 32;
        mode.dmDisplayFrequency = (DWORD)hertz;
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY;
        wantmode = ChangeDisplaySettingsW(&mode, CDS_TEST) == DISP_CHANGE_SUCCESSFUL;
        if (wantmode) TakeDisplayAgain();
        if (!changedmode)
            std::fprintf(stderr, "the display has no %dx%d mode at %d Hz; using a borderless full-screen window\n",
                         width, height, hertz);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcMonitor;
        style = WS_POPUP;
    } else {
        AdjustWindowRectExForDpi(&area, style, FALSE, 0, GetDpiForSystem());
        const int w = area.right - area.left, h = area.bottom - area.top;
        area.left = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
        area.top = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
        if (area.left < 0) area.left = 0;
        if (area.top < 0) area.top = 0;
        area.right = area.left + w;
        area.bottom = area.top + h;
    }
    window = CreateWindowExW(0, kind.lpszClassName, caption.c_str(), style, area.left, area.top,
                             area.right - area.left, area.bottom - area.top, nullptr, nullptr, instance, nullptr);
    if (!window) {
        std::fprintf(stderr, "cannot open the window (%lu)\n", GetLastError());
        GiveDisplayBack();
        return false;
    }
    // The display's own frame length, for a frame asked to wait for it.
    QueryPerformanceFrequency(&frequency);
    DEVMODEW shown{};
    shown.dmSize = sizeof shown;
    const DWORD hz = EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &shown) && shown.dmDisplayFrequency > 1
                         ? shown.dmDisplayFrequency
                         : 60;
    period = frequency.QuadPart / hz;
    QueryPerformanceCounter(&lastshown);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetForegroundWindow(window);
    return true;
}

void Win32Machine::Present(int sync) {
    if (!window) return;
    if (sync) WaitForDisplay();
    HDC dc = GetDC(window);
    Draw(dc);
    ReleaseDC(window, dc);
}
