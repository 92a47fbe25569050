// The browser: the 480x270 frame on a canvas the page scales, the keys of
// the window's key events, sounds through Web Audio, files on the browser's
// own storage, and the replay's zlib and "Save replay" for the page. The
// game's loops run as they are: each Flip hands the frame to the canvas and
// yields to the browser until its next frame, and the loop carries on where
// it was.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/draw.h"
#include "media/synth.h"
#include "platform/backend.h"
#include "platform/codec.h"

namespace {
// The frame in the canvas's byte order: red, green, blue, alpha.
uint32_t canvasbytes[SCREENW * SCREENH];
std::string caption = "Quillmoor";
bool windowopen = false;
// When the game last got the main thread back from the browser.
double resumed = 0;
// Frames the game has asked to show, counted as the test machine counts them.
int flips = 0;
}  // namespace

// The page's side: key events queued for PumpEvents, the canvas, the sounds.
// Keys are named by the key's place on the keyboard (event.code), so the
// game's keys stay where they are whatever the layout.
EM_JS(void, WebTitle, (const char* title), { document.title = UTF8ToString(title); });

EM_JS(void, WebOpen, (), {
    const q = Module.quillmoor = Module.quillmoor || {events: [], sounds: []};
    // Only the game's own keys: the rest (Tab, Backspace, F5, ...) are the
    // browser's, as is every key pressed with Ctrl, Alt or Meta, so its
    // shortcuts (reload, print, back) work and never reach the game.
    const codes = {Enter: 13, NumpadEnter: 13, Escape: 27, Space: 32, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39,
                   ArrowDown: 40, Digit0: 48, Digit1: 49, Digit2: 50, Digit3: 51, KeyA: 65, KeyD: 68, KeyO: 79,
                   KeyP: 80, KeyS: 83, KeyW: 87, KeyX: 88, KeyZ: 90};
    const key = (code) => (code in codes ? codes[code] : -1);
    window.addEventListener("keydown", (e) => {
        const k = key(e.code);
        if (k < 0 || e.ctrlKey || e.altKey || e.metaKey) return;
        // The game's keys are the game's: no scrolling by arrows or Space.
        e.preventDefault();
        q.events.push(256 + k);
    });
    // A game key let go is always the game's to hear, even with Ctrl held.
    window.addEventListener("keyup", (e) => {
        const k = key(e.code);
        if (k < 0) return;
        if (!(e.ctrlKey || e.altKey || e.metaKey)) e.preventDefault();
        q.events.push(k);
    });
    // A key let go while the page is not looked at is never reported.
    window.addEventListener("blur", () => q.events.push(512));
    document.addEventListener("visibilitychange", () => { if (document.hidden) q.events.push(512); });
    const canvas = Module.canvas || document.getElementById("screen");
    q.context = canvas.getContext("2d");
});

EM_JS(int, WebNextEvent, (), {
    const q = Module.quillmoor;
    return q.events.length ? q.events.shift() : -1;
});

// The picture over the frame's bytes is made once, and again only should the
// game's memory grow and move.
EM_JS(void, WebPresent, (const void* bytes, int width, int height), {
    const q = Module.quillmoor;
    if (!q.image || q.imagememory !== HEAPU8.buffer) {
        q.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, bytes, width * height * 4), width, height);
        q.imagememory = HEAPU8.buffer;
    }
    q.context.putImageData(q.image, 0, 0);
});

// Waits for the browser's next frame, as the desktop waits for the display.
// A page that another tab has taken over stays where it is.
EM_ASYNC_JS(void, WebNextFrame, (), {
    await new Promise((resolve) => requestAnimationFrame(() => resolve()));
    if (Module.halted) await new Promise(() => {});
});

EM_JS(int, WebLoadSound, (const char* name, const int16_t* samples, int count, int rate), {
    const data = new Float32Array(count);
    for (let i = 0; i < count; ++i) data[i] = HEAP16[(samples >> 1) + i] / 32768;
    const q = Module.quillmoor = Module.quillmoor || {events: [], sounds: []};
    q.sounds.push({name: UTF8ToString(name), data: data, rate: rate, buffer: null});
    return q.sounds.length;
});

// Fire and forget, into the page's output (Module.sound, sound.js): before
// the player's first gesture wakes it, and while the sound switch is off,
// there is no sound, none is kept for later, and nothing waits.
EM_JS(void, WebPlaySound, (int id), {
    const s = Module.quillmoor.sounds[id - 1];
    const out = Module.sound;
    if (!s || !out || !out.on || !out.output || out.context.state !== "running") return;
    if (!s.buffer) {
        s.buffer = out.context.createBuffer(1, s.data.length, s.rate);
        s.buffer.copyToChannel(s.data, 0);
    }
    const source = out.context.createBufferSource();
    source.buffer = s.buffer;
    source.connect(out.output);
    source.start();
    out.started++;
});

// The saves are kept in the browser's storage by saves.js: a job per save,
// asked after until it has an answer (-1 while under way, 0 failed, 1 kept).
EM_JS(int, WebKeepStart, (const char* paths), { return Module.saves.keepStart(UTF8ToString(paths)); });
EM_JS(int, WebKeepResult, (int job), { return Module.saves.keepResult(job); });

// The page can see how many frames the game has shown (Module.flips): the
// browser test runs the page on a clock of its own, 16 ms a flip, as the
// test machine runs, to hold the two games' frames to each other.
EM_JS(void, WebFlipped, (int count), { Module.flips = count; });

// How long each frame kept the page's main thread busy (update, drawing and
// presenting), the last few thousand, for measuring.
EM_JS(void, WebFrameTime, (double ms), {
    const q = Module.quillmoor;
    if (!q.times) q.times = [];
    q.times.push(ms);
    if (q.times.length > 4000) q.times.shift();
});

// The replay's blocks through the page's zlib (codec.js, Module.codec).
EM_JS(int, WebDeflate, (const uint8_t* data, int size, uint8_t* out, int room), {
    try {
        const packed = Module.codec.deflate(HEAPU8.subarray(data, data + size));
        if (packed.length > room) return -1;
        HEAPU8.set(packed, out);
        return packed.length;
    } catch (err) {
        return -1;
    }
});
EM_JS(int, WebInflate, (const uint8_t* data, int size, uint8_t* out, int rawsize), {
    try {
        return Module.codec.inflate(HEAPU8.subarray(data, data + size), HEAPU8.subarray(out, out + rawsize)) ? 1 : 0;
    } catch (err) {
        return 0;
    }
});

// What the page's "Save replay" (replay.js) asks the game through: where the
// replay is, a checkpoint now, and how far the game has stepped since (the
// game's exports, shell/web/page_replay.cpp).
EM_JS(void, WebOfferReplay, (), {
    Module.replay = {
        path: () => UTF8ToString(Module._quillmoor_replay_path()),
        checkpoint: () => Module._quillmoor_replay_checkpoint(),
        steps: () => Module._quillmoor_replay_steps(),
        read: (path) => FS.readFile(path),
    };
});

namespace {
// The page: a canvas, Web Audio, the browser's storage under the file layer.
class WebMachine : public LiveMachine {
public:
    bool OpenWindow(int width, int height, int depth, int hertz, int flags) override;
    void SetCaption(const char* text) override;
    void Present(int sync) override;
    bool LoadSound(TSound& sound, const char* path) override;
    void PlaySound(const TSound& sound) override;
    void Progress(uint64_t done, uint64_t total) override;
    int32_t ClockMs() override { return (int32_t)(int64_t)emscripten_get_now(); }
    [[noreturn]] void EndProgram(int code) override;

protected:
    void PumpEvents() override;
};
}  // namespace

Machine& LiveMachine() {
    static WebMachine machine;
    return machine;
}

void WebMachine::PumpEvents() {
    if (!windowopen) return;
    for (int e = WebNextEvent(); e >= 0; e = WebNextEvent()) {
        if (e >= 512)
            FocusLostEvent();
        else if (e >= 256)
            KeyDownEvent(e - 256);
        else
            KeyUpEvent(e);
    }
}

void WebMachine::SetCaption(const char* text) {
    caption = text;
    if (windowopen) WebTitle(text);
}

bool WebMachine::OpenWindow(int, int, int, int, int) {
    // The page scales the canvas by the largest whole factor that fits.
    WebOpen();
    WebTitle(caption.c_str());
    WebOfferReplay();
    windowopen = true;
    return true;
}

namespace {
// Sounds loaded but not yet made, oldest first. Making all two dozen takes
// about a quarter of a second, so it is not done before the first frame:
// each frame after it makes one, in the time the frame leaves over.
TSound* unmade[32];
int unmadecount = 0;

// Makes the first sound waiting, with the maker that wrote the desktop's
// WAV files: sample for sample the same.
void MakeNextSound() {
    if (unmadecount == 0) return;
    TSound& sound = *unmade[0];
    std::copy(unmade + 1, unmade + unmadecount, unmade);
    --unmadecount;
    std::string source = sound.name;
    source.replace(source.size() - 4, std::string::npos, ".sfx");
    const EmbeddedFile* file = FindEmbedded(source);
    synth::Sound settings;
    std::string errors;
    std::vector<int16_t> samples;
    if (!file || !synth::Parse(source, reinterpret_cast<const char*>(file->data), file->size, settings, errors) ||
        !synth::Render(settings, samples)) {
        std::fprintf(stderr, "%s", errors.c_str());
        return;
    }
    sound.chunk = reinterpret_cast<void*>(
        (intptr_t)WebLoadSound(sound.name.c_str(), samples.data(), (int)samples.size(), synth::RATE));
}

// The canvas bytes to the screen, the frame's time noted, and the browser
// given its turn until its next frame (or at once, without vsync).
void ShowFrame(int sync) {
    WebPresent(canvasbytes, SCREENW, SCREENH);
    if (resumed > 0) WebFrameTime(emscripten_get_now() - resumed);
    if (sync)
        WebNextFrame();
    else
        emscripten_sleep(0);
    resumed = emscripten_get_now();
}
}  // namespace

void WebMachine::Present(int sync) {
    WebFlipped(++flips);
    if (!windowopen) return;
    // 0xAARRGGBB words to the canvas's R, G, B, A bytes, always opaque.
    for (int i = 0; i < SCREENW * SCREENH; ++i) {
        const uint32_t p = framebuffer[i];
        canvasbytes[i] = 0xFF000000u | (p & 0x0000FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
    }
    ShowFrame(sync);
    MakeNextSound();
}

bool WebMachine::LoadSound(TSound& sound, const char* path) {
    sound.name = path;
    // The page carries each sound's few lines of settings, not its samples:
    // "sfx\\jump.wav" is made from "sfx\\jump.sfx", later (MakeNextSound).
    std::string source = path;
    const size_t dot = source.rfind('.');
    if (dot == std::string::npos || source.compare(dot, std::string::npos, ".wav") != 0) return false;
    source.replace(dot, std::string::npos, ".sfx");
    if (!FindEmbedded(source) || unmadecount == (int)(sizeof unmade / sizeof unmade[0])) return false;
    unmade[unmadecount++] = &sound;
    return true;
}

void WebMachine::PlaySound(const TSound& sound) {
    if (!sound.chunk) {
        // Wanted before its turn: made now, a moment's wait once.
        for (int i = 0; i < unmadecount; ++i)
            if (unmade[i] == &sound) {
                std::swap(unmade[i], unmade[0]);
                MakeNextSound();
                break;
            }
    }
    if (sound.chunk) WebPlaySound((int)reinterpret_cast<intptr_t>(sound.chunk));
}

// A replay checked with no window (the page's #verify=) gives the browser
// its turn now and then, so the page stays alive while it checks.
void WebMachine::Progress(uint64_t, uint64_t) { emscripten_sleep(0); }

// The file system's own errors are the only faults here.
int DiskFault(DiskChange, const std::string&) { return 0; }

bool KeepFiles(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) list += path + "\n";
    const int job = WebKeepStart(list.c_str());
    // The browser writes while the page goes on showing frames: the frame
    // on the screen (the save's notice) is shown again at every one.
    int result;
    while ((result = WebKeepResult(job)) < 0) {
        if (windowopen)
            ShowFrame(1);
        else
            WebNextFrame();
    }
    return result == 1;
}

// Only a packing smaller than the payload is of any use to the replay, so
// no more room than that is made for it.
bool Deflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    out.resize(size);
    const int n = WebDeflate(data, (int)size, out.data(), (int)size);
    if (n < 0) {
        out.clear();
        return false;
    }
    out.resize((size_t)n);
    return true;
}

bool Inflate(const uint8_t* data, size_t size, size_t rawsize, std::vector<uint8_t>& out) {
    out.resize(rawsize);
    if (!WebInflate(data, (int)size, out.data(), (int)rawsize)) {
        out.clear();
        return false;
    }
    return true;
}

// The page says the game has ended, in its own words (page.js).
EM_JS(void, WebEnded, (), {
    if (Module.ended) Module.ended();
});

void WebMachine::EndProgram(int) {
    std::fflush(stdout);
    if (windowopen) WebEnded();
    // A page cannot close itself: the game stays ended, asking nothing of
    // the browser, until the page is reloaded.
    for (;;) emscripten_sleep(1 << 30);
}
