#include "audio/soundtrack.h"
#include "app/demo_app.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int SOUNDTRACK_CHANNELS = 10;

// The messages have no line end, and stdout may be a pipe: flush before leaving.
[[noreturn]] void quitWith(const char* message) {
    printf("%s", message);
    fflush(stdout);
    exit(-1);
}

} // namespace

void DemoApp::initSoundtrack() {
    soundResult = createAudioSystem(&soundSystem);
    if (soundResult != AUDIO_OK)
        quitWith("Error creating fmod system!");
    soundResult = soundSystem->init(SOUNDTRACK_CHANNELS, AUDIO_INIT_NORMAL, nullptr);
    if (soundResult != AUDIO_OK)
        quitWith("Error initiating fmod system!");
    // Streamed: decoding the whole track first would hold the start-up back.
    soundResult = soundSystem->createSound(SOUNDTRACK_PATH, AUDIO_CREATESTREAM, nullptr, &music);
    if (soundResult != AUDIO_OK)
        quitWith("Error loading sound file!");
}

void DemoApp::startSoundtrack() {
    if (!music)
        return;
    // Paused until the volume is in place, so no sample is heard louder than half.
    holdSoundtrack();
    soundResult = musicChannel.setPaused(false);
}

void DemoApp::holdSoundtrack() {
    soundResult = soundSystem->playSound(AUDIO_CHANNEL_FREE, music, true, &musicChannel);
    soundResult = musicChannel.setVolume(SOUNDTRACK_VOLUME);
}

void DemoApp::keepSoundtrackPlaying() {
    if (!music)
        return;
    soundResult = musicChannel.isPlaying(&musicPlaying);
    if (!musicPlaying)
        startSoundtrack();
}
