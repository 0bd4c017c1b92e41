// Keeps the music with the flight when the viewer pauses or seeks it.
#include "app/demo_app.h"

#include <cmath>

void DemoApp::placeSoundtrack(double flightSeconds, bool paused) {
    if (!music)
        return;
    double length = 0.0;
    soundResult = soundSystem->getLength(music, &length);
    // Between the end of one playback and the next frame's restart there is no playback to move; the new
    // one stays held until it is in place, so nothing of its start is heard.
    soundResult = musicChannel.isPlaying(&musicPlaying);
    if (!musicPlaying)
        holdSoundtrack();
    soundResult = musicChannel.setPosition(std::fmod(flightSeconds, length));
    soundResult = musicChannel.setPaused(paused);
}

void DemoApp::pauseSoundtrack(bool paused) {
    if (music)
        soundResult = musicChannel.setPaused(paused);
}
