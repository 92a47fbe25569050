// The sounds: made on the page from their settings with the maker that
// wrote the desktop's WAV files, sample for sample the same, and played
// through the page's own audio output (Module.sound, sound.js).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "media/synth.h"
#include "platform/web/web.h"

namespace {
// Sounds loaded but not yet made, oldest first. Making all two dozen takes
// about a quarter of a second, so it is not done before the first frame:
// each frame after it makes one, in the time the frame leaves over.
TSound* unmade[32];
int unmadecount = 0;
}  // namespace

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

// Fire and forget: before the player's first gesture wakes the page's
// output, and while the sound switch is off, there is no sound, none is
// kept for later, and nothing waits.
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
