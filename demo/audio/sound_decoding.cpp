#include "audio/sound_decoding.h"

#include "audio/audio_engine.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstring>

std::vector<int16_t> decodeSound(const char* path) {
    std::vector<int16_t> samples;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return samples;
    // The mixer converts what it loads to its open output's format; an output already open in this format
    // (the demo's own) is shared, not reopened.
    if (Mix_OpenAudioDevice(AUDIO_OUTPUT_RATE, AUDIO_S16SYS, AUDIO_OUTPUT_CHANNELS,
                            AUDIO_OUTPUT_BUFFER_FRAMES, nullptr, 0) == 0) {
        if (Mix_Chunk* chunk = Mix_LoadWAV(path)) {
            samples.resize(chunk->alen / sizeof(int16_t));
            std::memcpy(samples.data(), chunk->abuf, samples.size() * sizeof(int16_t));
            Mix_FreeChunk(chunk);
        }
        Mix_CloseAudio();
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return samples;
}

void applyChannelVolume(std::vector<int16_t>& samples, float volume) {
    std::vector<int16_t> mixed(samples.size(), 0);
    SDL_MixAudioFormat(reinterpret_cast<Uint8*>(mixed.data()), reinterpret_cast<const Uint8*>(samples.data()),
                       AUDIO_S16SYS, static_cast<Uint32>(samples.size() * sizeof(int16_t)),
                       mixerVolume(volume));
    samples.swap(mixed);
}
