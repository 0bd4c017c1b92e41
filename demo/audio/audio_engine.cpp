#include "audio/audio_engine.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <new>

// A stream and how long it plays.
class AudioSound {
  public:
    AudioSound(Mix_Music* stream, double seconds) : stream(stream), seconds(seconds) {}
    ~AudioSound() { Mix_FreeMusic(stream); }
    AudioSound(const AudioSound&) = delete;
    AudioSound& operator=(const AudioSound&) = delete;

    Mix_Music* const stream;
    const double seconds;
};

namespace {

// SDL_mixer has one output per process: the system that opened it holds it until it is deleted.
bool outputTaken = false;

constexpr Uint32 OUTPUT_FRAME_BYTES = AUDIO_OUTPUT_CHANNELS * sizeof(Sint16);

// Decoders differ by up to one compressed frame in where they end a stream.
constexpr double CUT_TOLERANCE_SECONDS = 0.1;

// A decoder plays whatever a cut file still holds; only the length that the file declares, where it declares
// one, shows the cut.
bool isShorterThanDeclared(Mix_Music* stream, double decodedSeconds) {
    return decodedSeconds < Mix_MusicDuration(stream) - CUT_TOLERANCE_SECONDS;
}

// Seconds of MPEG audio in the file, counted from its frame headers without decoding them; 0 where none
// could be read.
double mpegSeconds(const char* path) {
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (!handle)
        return 0.0;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    long rate = 0;
    int channels = 0, encoding = 0;
    double seconds = 0.0;
    if (mpg123_open(handle, path) == MPG123_OK &&
        mpg123_getformat(handle, &rate, &channels, &encoding) == MPG123_OK &&
        mpg123_scan(handle) == MPG123_OK && rate > 0)
        seconds = std::max<double>(0.0, static_cast<double>(mpg123_length(handle))) / rate;
    mpg123_close(handle);
    mpg123_delete(handle);
    return seconds;
}

// How long the stream plays: for MP3 counted from its frames, for other formats by decoding it once.
double streamSeconds(const char* path, Mix_Music* stream) {
    if (Mix_GetMusicType(stream) == MUS_MP3)
        return mpegSeconds(path);
    SDL_RWops* file = SDL_RWFromFile(path, "rb");
    Mix_Chunk* chunk = file ? Mix_LoadWAV_RW(file, 1) : nullptr;
    double seconds =
        chunk ? static_cast<double>(chunk->alen) / (OUTPUT_FRAME_BYTES * AUDIO_OUTPUT_RATE) : 0.0;
    Mix_FreeChunk(chunk);
    return seconds;
}

// Decoders accept some streams that yield no whole frame; such a sound could never play.
bool holdsAudio(double seconds) {
    return seconds >= 1.0 / AUDIO_OUTPUT_RATE;
}

} // namespace

int mixerVolume(float volume) {
    return static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME));
}

AudioResult createAudioSystem(AudioSystem** system) {
    if (!system)
        return AUDIO_ERR_INVALID_PARAM;
    *system = new (std::nothrow) AudioSystem();
    return *system ? AUDIO_OK : AUDIO_ERR_MEMORY;
}

AudioSystem::~AudioSystem() {
    if (!initialized)
        return;
    sounds.clear();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    outputTaken = false;
}

AudioResult AudioSystem::init(int maxChannels, unsigned flags, void* extraDriverData) {
    if (initialized)
        return AUDIO_ERR_INITIALIZED;
    if (maxChannels <= 0 || flags != AUDIO_INIT_NORMAL || extraDriverData)
        return AUDIO_ERR_INVALID_PARAM;
    if (outputTaken)
        return AUDIO_ERR_OUTPUT_IN_USE;
    // Otherwise SDL turns Ctrl+C into a quit event that nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return AUDIO_ERR_OUTPUT;
    // No format changes allowed: SDL converts for the device, so the mix keeps the documented format.
    if (Mix_OpenAudioDevice(AUDIO_OUTPUT_RATE, AUDIO_S16SYS, AUDIO_OUTPUT_CHANNELS,
                            AUDIO_OUTPUT_BUFFER_FRAMES, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return AUDIO_ERR_OUTPUT;
    }
    slots = std::vector<Slot>(maxChannels);
    initialized = outputTaken = true;
    return AUDIO_OK;
}

AudioResult AudioSystem::createSound(const char* path, unsigned mode, void* exinfo, AudioSound** sound) {
    if (!initialized)
        return AUDIO_ERR_UNINITIALIZED;
    if (!path || mode != AUDIO_CREATESTREAM || exinfo || !sound)
        return AUDIO_ERR_INVALID_PARAM;
    *sound = nullptr;
    SDL_RWops* file = SDL_RWFromFile(path, "rb");
    if (!file)
        return AUDIO_ERR_FILE_NOT_FOUND;
    Mix_Music* stream = Mix_LoadMUS_RW(file, 1);
    if (!stream)
        return AUDIO_ERR_FORMAT;
    auto loaded = std::make_unique<AudioSound>(stream, streamSeconds(path, stream));
    if (!holdsAudio(loaded->seconds) || isShorterThanDeclared(stream, loaded->seconds))
        return AUDIO_ERR_FORMAT;
    sounds.push_back(std::move(loaded));
    *sound = sounds.back().get();
    return AUDIO_OK;
}

AudioResult AudioSystem::playSound(int channelIndex, AudioSound* sound, bool paused, AudioChannel* channel) {
    if (!initialized)
        return AUDIO_ERR_UNINITIALIZED;
    if (!channel || !owns(sound) || channelIndex < AUDIO_CHANNEL_FREE ||
        channelIndex >= static_cast<int>(slots.size()))
        return AUDIO_ERR_INVALID_PARAM;
    *channel = AudioChannel();
    int index = channelIndex == AUDIO_CHANNEL_FREE ? freeChannel() : channelIndex;
    if (index < 0)
        return AUDIO_ERR_CHANNEL_ALLOC;
    if (index == streamChannel) {
        Mix_HaltMusic();
        streamChannel = -1;
    }
    slots[index] = Slot();
    slots[index].playback = ++playbackCount;
    slots[index].sound = sound;
    slots[index].waiting = true;
    channel->system = this;
    channel->index = index;
    channel->playback = playbackCount;
    return paused ? AUDIO_OK : channel->setPaused(false);
}

AudioResult AudioSystem::getLength(const AudioSound* sound, double* seconds) const {
    if (!seconds || !owns(sound))
        return AUDIO_ERR_INVALID_PARAM;
    *seconds = sound->seconds;
    return AUDIO_OK;
}

bool AudioSystem::owns(const AudioSound* sound) const {
    return std::any_of(sounds.begin(), sounds.end(),
                       [sound](const auto& owned) { return owned.get() == sound; });
}

// Only this thread starts playbacks, so a channel seen free stays free until we use it.
int AudioSystem::freeChannel() const {
    for (int index = 0; index < static_cast<int>(slots.size()); ++index)
        if (!isBusy(index))
            return index;
    return -1;
}

bool AudioSystem::isBusy(int index) const {
    return slots[index].waiting || (index == streamChannel && Mix_PlayingMusic());
}

bool AudioSystem::isLive(const AudioChannel& channel) const {
    return slots[channel.index].playback == channel.playback && isBusy(channel.index);
}

AudioResult AudioChannel::setVolume(float volume) {
    if (std::isnan(volume))
        return AUDIO_ERR_INVALID_PARAM;
    if (!system || !system->isLive(*this))
        return AUDIO_ERR_INVALID_HANDLE;
    AudioSystem::Slot& slot = system->slots[index];
    slot.volume = volume;
    if (!slot.waiting)
        Mix_VolumeMusic(mixerVolume(volume));
    return AUDIO_OK;
}

AudioResult AudioChannel::setPaused(bool paused) {
    if (!system || !system->isLive(*this))
        return AUDIO_ERR_INVALID_HANDLE;
    if (system->slots[index].waiting)
        return paused || system->startStream(index) ? AUDIO_OK : AUDIO_ERR_OUTPUT;
    if (paused)
        Mix_PauseMusic();
    else
        Mix_ResumeMusic();
    return AUDIO_OK;
}

AudioResult AudioChannel::setPosition(double seconds) {
    if (!system || !system->isLive(*this))
        return AUDIO_ERR_INVALID_HANDLE;
    AudioSystem::Slot& slot = system->slots[index];
    if (!(seconds >= 0.0 && seconds < slot.sound->seconds))
        return AUDIO_ERR_INVALID_PARAM;
    if (slot.waiting) {
        slot.startSeconds = seconds;
        return AUDIO_OK;
    }
    // The decoder seeks, playing or paused.
    return Mix_SetMusicPosition(seconds) == 0 ? AUDIO_OK : AUDIO_ERR_OUTPUT;
}

// The output sees the stream only now, so not one sample of it was mixed before. Starting it ends the stream
// that played before: that one's channel is free then.
bool AudioSystem::startStream(int index) {
    Slot& slot = slots[index];
    slot.waiting = false;
    streamChannel = index;
    Mix_VolumeMusic(mixerVolume(slot.volume));
    return Mix_FadeInMusicPos(slot.sound->stream, 0, 0, slot.startSeconds) == 0;
}

AudioResult AudioChannel::isPlaying(bool* playing) const {
    if (!playing)
        return AUDIO_ERR_INVALID_PARAM;
    *playing = system && system->isLive(*this);
    return *playing ? AUDIO_OK : AUDIO_ERR_INVALID_HANDLE;
}
