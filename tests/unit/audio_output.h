// Test support for the sound engine: generated tones, and the mixed output captured with SDL's disk driver.
#pragma once

#include "audio/audio_engine.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace audiotest {

namespace fs = std::filesystem;

// Mono sample values; files and output are stereo with both channels equal.
using Samples = std::vector<int16_t>;

// Never zero, so silence and sound cannot be confused, and never repeating, so a playback that starts late
// cannot pass for one that starts at the beginning: a sine riding on a rising offset.
inline Samples risingTone(int frames) {
    Samples tone(frames);
    for (int i = 0; i < frames; ++i)
        tone[i] = static_cast<int16_t>(6000 + 8000.0 * i / frames + 4000.0 * std::sin(i * 0.0627));
    return tone;
}

inline void writeWav(const fs::path& path, const Samples& tone) {
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    uint32_t dataBytes = static_cast<uint32_t>(tone.size() * 4);
    std::ofstream out(path, std::ios::binary);
    out << "RIFF" << u32(36 + dataBytes) << "WAVEfmt " << u32(16) << u16(1) << u16(2)
        << u32(AUDIO_OUTPUT_RATE) << u32(AUDIO_OUTPUT_RATE * 4) << u16(4) << u16(16) << "data"
        << u32(dataBytes);
    for (int16_t sample : tone)
        out << u16(sample) << u16(sample);
}

// A fresh folder, removed with the object.
struct TempFolder {
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "audio-test-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path); }
    fs::path path;
};

// Points the next audio output at a file in `folder` and counts the frames mixed once counting starts, so
// that a test can wait for the output to move on and tell where it stood.
class OutputCapture {
  public:
    explicit OutputCapture(const fs::path& folder)
        : file(folder / "output.raw"), driver(getenv("SDL_AUDIODRIVER") ? getenv("SDL_AUDIODRIVER") : "") {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    }
    // Later tests open their output with the driver the run was started with.
    ~OutputCapture() {
        Mix_SetPostMix(nullptr, nullptr);
        setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }

    void startCounting() { Mix_SetPostMix(count, this); }
    int64_t mixedFrames() const { return mixedBytes / 4; }

    // Waits for `frames` more frames of output; false if the output stalls.
    bool waitFrames(int64_t frames) const {
        int64_t target = mixedFrames() + frames;
        auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (mixedFrames() < target) {
            if (std::chrono::steady_clock::now() > giveUp)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // The left channel of everything written; complete once the system that opened the output is deleted.
    Samples read() const {
        std::ifstream in(file, std::ios::binary);
        Samples interleaved(fs::file_size(file) / sizeof(int16_t));
        in.read(reinterpret_cast<char*>(interleaved.data()), interleaved.size() * sizeof(int16_t));
        Samples left(interleaved.size() / 2);
        for (size_t i = 0; i < left.size(); ++i)
            left[i] = interleaved[2 * i];
        return left;
    }

  private:
    static void SDLCALL count(void* self, Uint8*, int len) {
        static_cast<OutputCapture*>(self)->mixedBytes += len;
    }

    fs::path file;
    std::string driver;
    std::atomic<int64_t> mixedBytes{0};
};

// A stretch of output that is not silent: [begin, end).
struct SoundRun {
    size_t begin, end;
};

inline std::vector<SoundRun> soundRuns(const Samples& output) {
    std::vector<SoundRun> runs;
    for (size_t i = 0; i < output.size(); ++i) {
        if (output[i] == 0)
            continue;
        if (runs.empty() || runs.back().end != i)
            runs.push_back({i, i});
        runs.back().end = i + 1;
    }
    return runs;
}

// Checks that output[at..] holds the first `count` samples of `source` scaled by `volume`, to the rounding of
// 16-bit mixing.
inline ::testing::AssertionResult holdsScaled(const Samples& output, size_t at, const Samples& source,
                                              size_t count, double volume) {
    if (at + count > output.size() || count > source.size())
        return ::testing::AssertionFailure() << "only " << output.size() - at << " samples at " << at;
    for (size_t i = 0; i < count; ++i)
        if (std::abs(output[at + i] - source[i] * volume) > 1.0)
            return ::testing::AssertionFailure() << "sample " << i << " is " << output[at + i] << ", source "
                                                 << source[i] << " at volume " << volume;
    return ::testing::AssertionSuccess();
}

} // namespace audiotest
