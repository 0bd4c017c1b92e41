// A thin sound engine over SDL2_mixer: one output, sounds streamed from their file, and channels that play a
// sound once. Every call belongs on one thread; the decoding and mixing run on SDL's audio thread.
#pragma once

#include <memory>
#include <vector>

struct _Mix_Music;
typedef struct _Mix_Music Mix_Music;

enum AudioResult {
    AUDIO_OK = 0,
    AUDIO_ERR_INVALID_PARAM, // a null pointer, an unknown flag or an out-of-range value
    AUDIO_ERR_MEMORY,
    AUDIO_ERR_UNINITIALIZED, // the system has not been initialised
    AUDIO_ERR_INITIALIZED,   // init was called twice
    AUDIO_ERR_OUTPUT_IN_USE, // another system holds the output
    AUDIO_ERR_OUTPUT,        // no audio device could be opened, or the mixer refused to start a sound
    AUDIO_ERR_FILE_NOT_FOUND,
    AUDIO_ERR_FORMAT,         // the file holds no audio that can be decoded
    AUDIO_ERR_CHANNEL_ALLOC,  // every channel is busy
    AUDIO_ERR_INVALID_HANDLE, // the channel's playback has ended or the channel plays something else now
};

constexpr unsigned AUDIO_INIT_NORMAL = 0;
// Sound mode, the only one: decoded while it plays, played once; one stream plays at a time (starting
// another ends it). The samples are those the mixer's whole decoding of the file gives.
constexpr unsigned AUDIO_CREATESTREAM = 0x80;
constexpr int AUDIO_CHANNEL_FREE = -1;

// What the output mixes, whatever the device: interleaved signed 16-bit samples in native byte order.
constexpr int AUDIO_OUTPUT_RATE = 44100;
constexpr int AUDIO_OUTPUT_CHANNELS = 2;
constexpr int AUDIO_OUTPUT_BUFFER_FRAMES = 1024;

class AudioSystem;
class AudioSound;

// One playback of a sound on one channel. It stays valid while the playback lasts (paused included); once it
// has finished or its channel was given to another playback, every call answers AUDIO_ERR_INVALID_HANDLE.
// A handle must not outlive its system.
class AudioChannel {
  public:
    // 0 silent .. 1 as decoded; values outside are clamped.
    AudioResult setVolume(float volume);
    AudioResult setPaused(bool paused);
    // Writes false, whatever the result, unless the playback is still going on (paused counts as playing).
    AudioResult isPlaying(bool* playing) const;
    // Moves the playback to `seconds` from the sound's start (below its length), paused or not; a WAV stream
    // to the whole second below, as the mixer seeks one.
    AudioResult setPosition(double seconds);

  private:
    friend class AudioSystem;
    AudioSystem* system = nullptr;
    int index = -1;
    unsigned playback = 0;
};

class AudioSystem {
  public:
    ~AudioSystem();
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    // Opens the output with `maxChannels` channels. No flags and no driver data are supported.
    AudioResult init(int maxChannels, unsigned flags, void* extraDriverData);
    // Opens the file as a stream (the format is recognised by content); a file that yields no audio, or less
    // than it declares, is refused. The system owns the sound. `mode` must be AUDIO_CREATESTREAM and `exinfo`
    // null.
    AudioResult createSound(const char* path, unsigned mode, void* exinfo, AudioSound** sound);
    // Puts the sound, from its start and at full volume, on a channel: the first free one for
    // AUDIO_CHANNEL_FREE, otherwise the one given, whose playback is stopped.
    AudioResult playSound(int channelIndex, AudioSound* sound, bool paused, AudioChannel* channel);
    // The sound's length in seconds.
    AudioResult getLength(const AudioSound* sound, double* seconds) const;

  private:
    friend AudioResult createAudioSystem(AudioSystem** system);
    friend class AudioChannel;
    AudioSystem() = default;

    // A playback that was created paused waits here, unseen by the output, until it is first resumed; it
    // then starts `startSeconds` into its sound at `volume`.
    struct Slot {
        unsigned playback = 0;
        const AudioSound* sound = nullptr;
        bool waiting = false;
        double startSeconds = 0.0;
        float volume = 1.0f;
    };

    bool owns(const AudioSound* sound) const;
    int freeChannel() const;
    bool isBusy(int index) const;
    bool isLive(const AudioChannel& channel) const;
    bool startStream(int index);

    bool initialized = false;
    // The channel the stream that plays (or is paused) was started on, if any: the only one whose
    // playback the output sees.
    int streamChannel = -1;
    unsigned playbackCount = 0;
    std::vector<Slot> slots;
    std::vector<std::unique_ptr<AudioSound>> sounds;
};

// The mixer's volume step for a channel volume 0..1 (clamped), as a channel is set to it.
int mixerVolume(float volume);

// Creates a system that is not initialised yet; the caller owns it (deleting it closes the output).
AudioResult createAudioSystem(AudioSystem** system);
