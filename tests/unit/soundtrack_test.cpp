#include "app/demo_app.h"

#include "audio_output.h"

#include <unistd.h>

using namespace audiotest;

namespace {

// Where the output stood just before and just after one frame's soundtrack step, and what the step saw.
struct FrameRecord {
    int64_t before, after;
    bool playing;
};

} // namespace

// The frame loop drives the soundtrack; each frame here lasts until the output has moved on by one buffer.
TEST(Soundtrack, PlaysAtHalfLevelFromItsStartAndRestartsWithinOneFrameOfItsEnd) {
    TempFolder folder;
    fs::create_directories(folder.path / "demo");
    fs::create_directories(folder.path / "sounds");
    // Not a whole number of buffers long, so the end leaves silence before the restart. The loader goes by
    // content, so a WAV under the soundtrack's name keeps the samples exact.
    Samples tone = risingTone(11000);
    writeWav(folder.path / "sounds" / "piano_soundtrack.mp3", tone);
    OutputCapture capture(folder.path);
    fs::path workdir = fs::current_path();
    fs::current_path(folder.path / "demo");
    auto app = std::make_unique<DemoApp>();
    fs::current_path(workdir);
    capture.startCounting();

    app->startSoundtrack();
    std::vector<FrameRecord> frames;
    int64_t restartedAt = -1;
    while (restartedAt < 0 || capture.mixedFrames() < restartedAt + 4 * AUDIO_OUTPUT_BUFFER_FRAMES) {
        int64_t before = capture.mixedFrames();
        app->keepSoundtrackPlaying();
        frames.push_back({before, capture.mixedFrames(), app->musicPlaying});
        if (!app->musicPlaying && restartedAt < 0)
            restartedAt = frames.back().after;
        ASSERT_TRUE(capture.waitFrames(AUDIO_OUTPUT_BUFFER_FRAMES));
    }
    delete app->soundSystem;

    Samples output = capture.read();
    std::vector<SoundRun> runs = soundRuns(output);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].end - runs[0].begin, tone.size());
    EXPECT_TRUE(holdsScaled(output, runs[0].begin, tone, tone.size(), 0.5));
    EXPECT_TRUE(holdsScaled(output, runs[1].begin, tone, runs[1].end - runs[1].begin, 0.5));
    // The restarting frame is the first that found the track over; the one before still found it playing, so
    // the track ended after that frame began, and the restart was mixed no later than the restarting frame's
    // end.
    auto restart =
        std::find_if(frames.begin(), frames.end(), [](const FrameRecord& f) { return !f.playing; });
    ASSERT_NE(restart, frames.begin());
    EXPECT_LE(runs[1].begin - runs[0].end, size_t(restart->after - (restart - 1)->before));
}
