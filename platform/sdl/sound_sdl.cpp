// Sounds through SDL_mixer: each play on a channel of its own.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <string>

#include "platform/sdl/sdl.h"

namespace {
bool tried = false, ready = false;
int channels = 16;
}  // namespace

bool OpenSound() {
    if (tried) return ready;
    tried = true;
    std::string why;
    {
        QuietErrors quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            why = SDL_GetError();
        } else if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 512) != 0) {
            why = Mix_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    if (!why.empty()) {
        std::fprintf(stderr, "no sound: %s\n", why.c_str());
        return false;
    }
    Mix_AllocateChannels(channels);
    ready = true;
    return true;
}

void CloseSound() {
    if (!ready) return;
    QuietErrors quiet;
    Mix_CloseAudio();
    ready = false;
}

bool SdlMachine::LoadSound(TSound& sound, const char* path) {
    sound.name = path;
    if (!OpenSound()) return false;
    const EmbeddedFile* file = FindEmbedded(path);
    if (!file) {
        std::fprintf(stderr, "cannot load sound %s\n", path);
        return false;
    }
    sound.chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(file->data, (int)file->size), 1);
    if (!sound.chunk) std::fprintf(stderr, "cannot load sound %s: %s\n", path, Mix_GetError());
    return sound.chunk != nullptr;
}

void SdlMachine::PlaySound(const TSound& sound) {
    void* chunk = sound.chunk;
    if (!ready || !chunk) return;
    // Every sound of normal play is heard: when all channels are busy, make more.
    if (Mix_PlayChannel(-1, static_cast<Mix_Chunk*>(chunk), 0) < 0 && channels < 256) {
        channels *= 2;
        Mix_AllocateChannels(channels);
        Mix_PlayChannel(-1, static_cast<Mix_Chunk*>(chunk), 0);
    }
}
