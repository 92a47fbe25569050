// Sounds through a mixer of the game's own into one output: every sound
// started plays to its end beside the others, added sample by sample into
// short buffers that the system's waveOut plays one after another. Without
// a sound device the game plays silently, having said so once.
#include "platform/win32/win32.h"

#include <mmsystem.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {
constexpr int RATE = 44100;
// Four buffers of 20 ms each: a sound starts within some 60 ms, and a busy
// moment of the machine does not starve the output.
constexpr int BUFFERS = 4, SAMPLES = RATE / 50;
// More sounds at once than the game ever plays; beyond them the oldest goes.
constexpr int VOICES = 64;

// A sound's samples as its WAV file holds them: 16-bit, mono, 44,100 Hz.
struct Samples {
    const int16_t* data = nullptr;
    size_t count = 0;
};

struct Voice {
    const Samples* sound = nullptr;
    size_t at = 0;
};

HWAVEOUT output = nullptr;
HANDLE wake = nullptr;
WAVEHDR headers[BUFFERS];
int16_t buffers[BUFFERS][SAMPLES];
Voice voices[VOICES];
int oldest = 0;
CRITICAL_SECTION lock;
std::thread player;
std::atomic<bool> stopping{false};
bool tried = false;

// Fills one buffer with what every voice has to give, and sends it on.
void Mix(WAVEHDR& header) {
    int16_t* out = reinterpret_cast<int16_t*>(header.lpData);
    int32_t sum[SAMPLES] = {};
    EnterCriticalSection(&lock);
    for (Voice& v : voices) {
        if (!v.sound) continue;
        const size_t n = v.sound->count - v.at < (size_t)SAMPLES ? v.sound->count - v.at : (size_t)SAMPLES;
        for (size_t i = 0; i < n; ++i) sum[i] += v.sound->data[v.at + i];
        v.at += n;
        if (v.at >= v.sound->count) v.sound = nullptr;
    }
    LeaveCriticalSection(&lock);
    for (int i = 0; i < SAMPLES; ++i) out[i] = (int16_t)(sum[i] > 32767 ? 32767 : sum[i] < -32768 ? -32768 : sum[i]);
    waveOutWrite(output, &header, sizeof header);
}

// The output's own thread: each buffer played is filled again at once.
void Play() {
    while (WaitForSingleObject(wake, INFINITE) == WAIT_OBJECT_0 && !stopping)
        for (WAVEHDR& h : headers)
            if (h.dwFlags & WHDR_DONE) Mix(h);
}

bool OpenSound() {
    if (tried) return output != nullptr;
    tried = true;
    InitializeCriticalSection(&lock);
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = RATE;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = RATE * 2;
    wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const MMRESULT opened = waveOutOpen(&output, WAVE_MAPPER, &format, (DWORD_PTR)wake, 0, CALLBACK_EVENT);
    if (opened != MMSYSERR_NOERROR) {
        output = nullptr;
        std::fprintf(stderr, "no sound: there is no sound device to play on (%u)\n", opened);
        return false;
    }
    for (int i = 0; i < BUFFERS; ++i) {
        headers[i] = WAVEHDR{};
        headers[i].lpData = reinterpret_cast<LPSTR>(buffers[i]);
        headers[i].dwBufferLength = sizeof buffers[i];
        waveOutPrepareHeader(output, &headers[i], sizeof headers[i]);
        Mix(headers[i]);
    }
    player = std::thread(Play);
    return true;
}

// The samples of a WAV file: its "data" chunk, when "fmt " says they are
// what the game's sounds all are.
bool ReadWav(const unsigned char* file, size_t size, Samples& samples) {
    if (size < 12 || std::memcmp(file, "RIFF", 4) != 0 || std::memcmp(file + 8, "WAVE", 4) != 0) return false;
    bool pcm = false;
    for (size_t at = 12; at + 8 <= size;) {
        const uint32_t length = file[at + 4] | file[at + 5] << 8 | file[at + 6] << 16 | (uint32_t)file[at + 7] << 24;
        const unsigned char* body = file + at + 8;
        if (length > size - at - 8) return false;
        if (std::memcmp(file + at, "fmt ", 4) == 0 && length >= 16)
            pcm = (body[0] | body[1] << 8) == 1 && (body[2] | body[3] << 8) == 1 &&
                  (uint32_t)(body[4] | body[5] << 8 | body[6] << 16 | (uint32_t)body[7] << 24) == RATE &&
                  (body[14] | body[15] << 8) == 16;
        if (std::memcmp(file + at, "data", 4) == 0 && pcm) {
            samples.data = reinterpret_cast<const int16_t*>(body);
            samples.count = length / 2;
            return true;
        }
        at += 8 + length + (length & 1);
    }
    return false;
}
}  // namespace

bool Win32Machine::LoadSound(TSound& sound, const char* path) {
    sound.name = path;
    if (!OpenSound()) return false;
    const EmbeddedFile* file = FindEmbedded(path);
    Samples samples;
    if (!file || !ReadWav(file->data, file->size, samples)) {
        std::fprintf(stderr, "cannot load sound %s\n", path);
        return false;
    }
    // Made once for each of the game's two dozen sounds, at start-up.
    sound.chunk = new Samples(samples);
    return true;
}

void Win32Machine::PlaySound(const TSound& sound) {
    if (!output || !sound.chunk) return;
    EnterCriticalSection(&lock);
    int free = -1;
    for (int i = 0; i < VOICES && free < 0; ++i)
        if (!voices[i].sound) free = i;
    if (free < 0) free = oldest = (oldest + 1) % VOICES;
    voices[free] = Voice{static_cast<const Samples*>(sound.chunk), 0};
    LeaveCriticalSection(&lock);
}

void CloseSound() {
    if (!output) return;
    stopping = true;
    SetEvent(wake);
    if (player.joinable()) player.join();
    waveOutReset(output);
    for (WAVEHDR& h : headers) waveOutUnprepareHeader(output, &h, sizeof h);
    waveOutClose(output);
    output = nullptr;
}
