#include "audio_output.h"

#include <memory>

using namespace audiotest;

namespace {

constexpr int BUFFER = AUDIO_OUTPUT_BUFFER_FRAMES;

std::unique_ptr<AudioSystem> openSystem(int channels) {
    AudioSystem* system = nullptr;
    EXPECT_EQ(createAudioSystem(&system), AUDIO_OK);
    EXPECT_EQ(system->init(channels, AUDIO_INIT_NORMAL, nullptr), AUDIO_OK);
    return std::unique_ptr<AudioSystem>(system);
}

bool waitUntilFinished(const AudioChannel& channel, const OutputCapture& capture) {
    bool playing = true;
    while (channel.isPlaying(&playing) == AUDIO_OK && playing)
        if (!capture.waitFrames(BUFFER))
            return false;
    return !playing;
}

} // namespace

TEST(AudioEngine, BadInputsGiveErrorCodes) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    TempFolder folder;
    std::string wav = (folder.path / "tone.wav").string(), bad = (folder.path / "bad.wav").string();
    writeWav(wav, risingTone(AUDIO_OUTPUT_RATE));
    int bogus = 0;
    AudioSound* sound = nullptr;
    AudioChannel channel;
    bool playing = true;

    EXPECT_EQ(createAudioSystem(nullptr), AUDIO_ERR_INVALID_PARAM);
    AudioSystem* created = nullptr;
    ASSERT_EQ(createAudioSystem(&created), AUDIO_OK);
    std::unique_ptr<AudioSystem> system(created);
    EXPECT_EQ(system->createSound(wav.c_str(), AUDIO_CREATESTREAM, nullptr, &sound), AUDIO_ERR_UNINITIALIZED);
    EXPECT_EQ(system->init(0, AUDIO_INIT_NORMAL, nullptr), AUDIO_ERR_INVALID_PARAM);
    EXPECT_EQ(system->init(2, AUDIO_INIT_NORMAL, &bogus), AUDIO_ERR_INVALID_PARAM);
    ASSERT_EQ(system->init(2, AUDIO_INIT_NORMAL, nullptr), AUDIO_OK);
    EXPECT_EQ(system->init(2, AUDIO_INIT_NORMAL, nullptr), AUDIO_ERR_INITIALIZED);
    ASSERT_EQ(createAudioSystem(&created), AUDIO_OK);
    EXPECT_EQ(std::unique_ptr<AudioSystem>(created)->init(2, AUDIO_INIT_NORMAL, nullptr),
              AUDIO_ERR_OUTPUT_IN_USE);

    EXPECT_EQ(system->createSound(wav.c_str(), 1, nullptr, &sound), AUDIO_ERR_INVALID_PARAM);
    EXPECT_EQ(system->createSound(bad.c_str(), AUDIO_CREATESTREAM, nullptr, &sound),
              AUDIO_ERR_FILE_NOT_FOUND);
    std::ifstream whole(wav, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
    for (const std::string& content :
         {std::string(), std::string("not a sound\n"), bytes.substr(0, bytes.size() / 2)}) {
        std::ofstream(bad, std::ios::binary) << content;
        sound = reinterpret_cast<AudioSound*>(&bogus);
        EXPECT_EQ(system->createSound(bad.c_str(), AUDIO_CREATESTREAM, nullptr, &sound), AUDIO_ERR_FORMAT)
            << content.size() << " bytes";
        EXPECT_EQ(sound, nullptr);
    }

    ASSERT_EQ(system->createSound(wav.c_str(), AUDIO_CREATESTREAM, nullptr, &sound), AUDIO_OK);
    auto* foreign = reinterpret_cast<AudioSound*>(&bogus);
    EXPECT_EQ(system->playSound(AUDIO_CHANNEL_FREE, foreign, false, &channel), AUDIO_ERR_INVALID_PARAM);
    EXPECT_EQ(system->playSound(2, sound, false, &channel), AUDIO_ERR_INVALID_PARAM);
    EXPECT_EQ(channel.setVolume(0.5f), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(channel.isPlaying(&playing), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_FALSE(playing);
    ASSERT_EQ(system->playSound(AUDIO_CHANNEL_FREE, sound, true, &channel), AUDIO_OK);
    EXPECT_EQ(channel.setVolume(std::nanf("")), AUDIO_ERR_INVALID_PARAM);
}

class EngineOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        system = openSystem(2);
        capture.startCounting();
    }

    AudioSound* load(const Samples& tone, const std::string& name) {
        std::string path = (folder.path / name).string();
        writeWav(path, tone);
        AudioSound* sound = nullptr;
        EXPECT_EQ(system->createSound(path.c_str(), AUDIO_CREATESTREAM, nullptr, &sound), AUDIO_OK);
        return sound;
    }

    Samples closeAndRead() {
        system.reset();
        return capture.read();
    }

    TempFolder folder;
    OutputCapture capture{folder.path};
    std::unique_ptr<AudioSystem> system;
};

TEST_F(EngineOutput, PausedChannelIsSilentAndResumesWhereItStopped) {
    Samples tone = risingTone(20000);
    AudioSound* sound = load(tone, "tone.wav");
    AudioChannel channel;
    bool playing = false;
    ASSERT_EQ(system->playSound(AUDIO_CHANNEL_FREE, sound, true, &channel), AUDIO_OK);
    ASSERT_TRUE(capture.waitFrames(3 * BUFFER));
    EXPECT_EQ(channel.isPlaying(&playing), AUDIO_OK);
    EXPECT_TRUE(playing);
    EXPECT_EQ(channel.setVolume(0.5f), AUDIO_OK);
    EXPECT_EQ(channel.setPaused(false), AUDIO_OK);
    ASSERT_TRUE(capture.waitFrames(4 * BUFFER));
    EXPECT_EQ(channel.setPaused(true), AUDIO_OK);
    ASSERT_TRUE(capture.waitFrames(3 * BUFFER));
    EXPECT_EQ(channel.isPlaying(&playing), AUDIO_OK);
    EXPECT_TRUE(playing);
    EXPECT_EQ(channel.setPaused(false), AUDIO_OK);
    ASSERT_TRUE(waitUntilFinished(channel, capture));
    // The channel was left at half volume; a new playback on it starts at full volume.
    ASSERT_EQ(system->playSound(AUDIO_CHANNEL_FREE, sound, false, &channel), AUDIO_OK);
    ASSERT_TRUE(waitUntilFinished(channel, capture));

    Samples output = closeAndRead();
    std::vector<SoundRun> runs = soundRuns(output);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_GE(runs[1].begin - runs[0].end, size_t(BUFFER));
    Samples heard(output.begin() + runs[0].begin, output.begin() + runs[0].end);
    heard.insert(heard.end(), output.begin() + runs[1].begin, output.begin() + runs[1].end);
    EXPECT_EQ(heard.size(), tone.size());
    EXPECT_TRUE(holdsScaled(heard, 0, tone, tone.size(), 0.5));
    EXPECT_EQ(runs[2].end - runs[2].begin, tone.size());
    EXPECT_TRUE(holdsScaled(output, runs[2].begin, tone, tone.size(), 1.0));
}

TEST_F(EngineOutput, HandleOutlivedByItsPlaybackReportsNotPlaying) {
    AudioSound* shortTone = load(risingTone(2000), "short.wav");
    AudioSound* longTone = load(risingTone(50000), "long.wav");
    AudioChannel finished, current, replaced, replacing, none;
    bool playing = true;
    ASSERT_EQ(system->playSound(AUDIO_CHANNEL_FREE, shortTone, false, &finished), AUDIO_OK);
    ASSERT_TRUE(waitUntilFinished(finished, capture));
    // The first free channel is the one that just finished.
    ASSERT_EQ(system->playSound(AUDIO_CHANNEL_FREE, longTone, false, &current), AUDIO_OK);
    EXPECT_EQ(finished.isPlaying(&playing), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_FALSE(playing);
    EXPECT_EQ(finished.setVolume(0.0f), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(finished.setPaused(true), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(current.isPlaying(&playing), AUDIO_OK);
    EXPECT_TRUE(playing);

    ASSERT_EQ(system->playSound(1, longTone, true, &replaced), AUDIO_OK);
    ASSERT_EQ(system->playSound(1, shortTone, true, &replacing), AUDIO_OK);
    EXPECT_EQ(replaced.isPlaying(&playing), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_FALSE(playing);
    EXPECT_EQ(replacing.isPlaying(&playing), AUDIO_OK);
    EXPECT_TRUE(playing);
    // A paused playback keeps its channel.
    EXPECT_EQ(system->playSound(AUDIO_CHANNEL_FREE, shortTone, false, &none), AUDIO_ERR_CHANNEL_ALLOC);
    EXPECT_EQ(none.isPlaying(&playing), AUDIO_ERR_INVALID_HANDLE);
}

TEST_F(EngineOutput, MovedPlaybackGoesOnFromItsNewPlaceAndAPausedOneWaitsForItsResume) {
    // The mixer moves a WAV stream to the whole second below the place asked for: the places are whole
    // seconds.
    const int second = AUDIO_OUTPUT_RATE, frames = 3 * second + second / 4;
    Samples tone = risingTone(frames);
    AudioSound* sound = load(tone, "tone.wav");
    double length = 0.0;
    ASSERT_EQ(system->getLength(sound, &length), AUDIO_OK);
    EXPECT_DOUBLE_EQ(length, static_cast<double>(frames) / AUDIO_OUTPUT_RATE);
    auto at = [](int frame) { return static_cast<double>(frame) / AUDIO_OUTPUT_RATE; };
    AudioChannel channel;

    // Created paused and moved: starts from the new place when resumed.
    ASSERT_EQ(system->playSound(AUDIO_CHANNEL_FREE, sound, true, &channel), AUDIO_OK);
    EXPECT_EQ(channel.setPosition(at(3 * second)), AUDIO_OK);
    EXPECT_EQ(channel.setPosition(length), AUDIO_ERR_INVALID_PARAM);
    EXPECT_EQ(channel.setPosition(-0.5), AUDIO_ERR_INVALID_PARAM);
    ASSERT_TRUE(capture.waitFrames(3 * BUFFER));
    EXPECT_EQ(channel.setPaused(false), AUDIO_OK);
    ASSERT_TRUE(waitUntilFinished(channel, capture));
    // Moved while playing: goes on from the new place.
    ASSERT_EQ(system->playSound(AUDIO_CHANNEL_FREE, sound, false, &channel), AUDIO_OK);
    ASSERT_TRUE(capture.waitFrames(4 * BUFFER));
    EXPECT_EQ(channel.setPosition(at(second)), AUDIO_OK);
    ASSERT_TRUE(waitUntilFinished(channel, capture));
    // Moved while paused: silent until resumed, then from the new place.
    ASSERT_EQ(system->playSound(AUDIO_CHANNEL_FREE, sound, false, &channel), AUDIO_OK);
    ASSERT_TRUE(capture.waitFrames(4 * BUFFER));
    EXPECT_EQ(channel.setPaused(true), AUDIO_OK);
    EXPECT_EQ(channel.setPosition(at(2 * second)), AUDIO_OK);
    ASSERT_TRUE(capture.waitFrames(3 * BUFFER));
    bool playing = false;
    EXPECT_EQ(channel.isPlaying(&playing), AUDIO_OK);
    EXPECT_TRUE(playing);
    EXPECT_EQ(channel.setPaused(false), AUDIO_OK);
    ASSERT_TRUE(waitUntilFinished(channel, capture));

    Samples output = closeAndRead();
    Samples heard;
    for (int16_t sample : output)
        if (sample != 0)
            heard.push_back(sample);
    // Where each playback was moved depends on the mixer's timing: find it as the end of the stretch that
    // holds the sound from its start.
    auto startLength = [&](size_t from) {
        size_t length = 0;
        while (from + length < heard.size() && length < tone.size() &&
               std::abs(heard[from + length] - tone[length]) <= 1)
            ++length;
        return length;
    };
    Samples tail3s(tone.begin() + 3 * second, tone.end()), tail1s(tone.begin() + second, tone.end()),
        tail2s(tone.begin() + 2 * second, tone.end());
    size_t position = 0;
    EXPECT_TRUE(holdsScaled(heard, position, tail3s, tail3s.size(), 1.0));
    position += tail3s.size();
    size_t before = startLength(position);
    EXPECT_GT(before, 0u);
    EXPECT_LT(before, tone.size());
    EXPECT_TRUE(holdsScaled(heard, position + before, tail1s, tail1s.size(), 1.0));
    position += before + tail1s.size();
    before = startLength(position);
    EXPECT_TRUE(holdsScaled(heard, position + before, tail2s, tail2s.size(), 1.0));
    EXPECT_EQ(heard.size(), position + before + tail2s.size());
    // The paused playback stayed silent after its move until it was resumed.
    std::vector<SoundRun> runs = soundRuns(output);
    ASSERT_GE(runs.size(), 2u);
    EXPECT_EQ(runs.back().end - runs.back().begin, tail2s.size());
    EXPECT_GE(runs.back().begin - runs[runs.size() - 2].end, size_t(2 * BUFFER));
}
