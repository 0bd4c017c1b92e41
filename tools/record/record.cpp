// Records the demo's flight with its soundtrack into an MP4 file: H.264 video (yuv420p) and AAC sound,
// encoded by the ffmpeg program. Every frame is rendered on a clock the recorder sets, as the capture tool
// renders it, so the film is exact at any frame rate and size however slowly it renders.
//
//   record --out FILE [--from S] [--to S] [--fps N] [--size WxH] [--part K/N] [--data DIR] [--headless]
// The file appears under its name only when complete. Recordings of adjacent ranges join, without
// re-encoding, through ffmpeg's concat demuxer (see the README); --part K/N records the K-th of N such
// ranges, so that the parts can render on different machines.
#include "app/demo_app.h"
#include "app/demo_loop.h"
#include "audio/audio_engine.h"
#include "audio/sound_decoding.h"
#include "audio/soundtrack.h"
#include "encoder_process.h"
#include "flight_sound.h"
#include "frame_driver.h"
#include "frame_readback.h"
#include "motion/flight.h"
#include "output_file.h"
#include "progress.h"
#include "record_options.h"
#include "recording_guard.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr int EXIT_FAILED = 1, EXIT_INTERRUPTED = 130;

int fail(const std::string& message, int code = EXIT_FAILED) {
    std::fprintf(stderr, "record: %s\n", message.c_str());
    return code;
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd(fd) {}
    ~FileDescriptor() {
        if (fd >= 0)
            close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    const int fd;
};

std::string partLabel(const RecordOptions& options) {
    if (options.parts == 1)
        return "";
    return ", part " + std::to_string(options.part) + " of " + std::to_string(options.parts);
}

long long soundSampleAt(long long frame, int fps) {
    return std::llround(static_cast<double>(frame) * AUDIO_OUTPUT_RATE / fps);
}

// The sound to encode, in an anonymous in-memory file; -1 when the soundtrack can't be decoded.
int writeSoundInput(const AacCut& cut, const RecordingGuard& guard) {
    std::vector<int16_t> track = decodeSound(SOUNDTRACK_PATH);
    if (track.empty())
        return -1;
    applyChannelVolume(track, SOUNDTRACK_VOLUME);
    std::vector<int16_t> sound = flightSound(track, cut.inputFirst, cut.inputCount);
    int fd = memfd_create("record-sound", 0);
    if (fd >= 0 && EncoderProcess::writeAll(fd, sound.data(), sound.size() * sizeof(int16_t),
                                            guard.interruption()) != EncoderProcess::WRITTEN) {
        close(fd);
        return -1;
    }
    return fd;
}

std::vector<std::string> encoderArguments(const RecordOptions& options, const AacCut& cut,
                                          const std::string& path) {
    char offset[32];
    std::snprintf(offset, sizeof offset, "%.9f", static_cast<double>(cut.inputOffset) / AUDIO_OUTPUT_RATE);
    const std::string size = std::to_string(options.width) + "x" + std::to_string(options.height);
    const std::string keep = "noise=drop=not(between(n\\," + std::to_string(cut.firstPacket) + "\\," +
                             std::to_string(cut.lastPacket) + "))";
    // Edit lists are written in the movie's time scale: one in which a sample and a frame are whole
    // numbers places the sound to the sample.
    const std::string timescale = std::to_string(std::lcm(AUDIO_OUTPUT_RATE, options.fps));
    // -xerror: ffmpeg otherwise ends with 0 after failing to write the end of the file.
    return {"ffmpeg", "-hide_banner", "-nostats", "-loglevel", "error", "-xerror",
            // The frames, bottom row first, as read back.
            "-f", "rawvideo", "-pixel_format", "rgba", "-video_size", size, "-framerate",
            std::to_string(options.fps), "-i", "pipe:0",
            // The sound, from a few AAC frames before the kept ones.
            "-f", "s16le", "-ar", std::to_string(AUDIO_OUTPUT_RATE), "-ac",
            std::to_string(AUDIO_OUTPUT_CHANNELS), "-itsoffset", offset, "-i", "/dev/fd/3", "-map", "0:v",
            "-map", "1:a",
            // The window shows sRGB; BT.709 is what players assume for it.
            "-vf", "vflip,scale=out_color_matrix=bt709:out_range=tv", "-c:v", "libx264", "-preset", "medium",
            "-crf", "18", "-pix_fmt", "yuv420p", "-colorspace", "bt709", "-color_primaries", "bt709",
            "-color_trc", "bt709", "-color_range", "tv", "-c:a", "aac", "-b:a", "192k", "-bsf:a", keep,
            "-movie_timescale", timescale, "-movflags", "+faststart", "-f", "mp4", "-y", path};
}

// Keeps the encoder known to the guard while it runs.
struct EncoderWatch {
    EncoderWatch(RecordingGuard& guard, const EncoderProcess& encoder) : guard(guard) {
        guard.watchEncoder(encoder.id());
    }
    ~EncoderWatch() { guard.watchEncoder(-1); }
    RecordingGuard& guard;
};

enum Outcome { ALL_SENT, ENCODER_GONE, READ_FAILED, INTERRUPTED };

// Renders every frame as the capture tool renders that moment and hands it to the encoder, each read back
// while the next one renders.
Outcome sendFrames(const ShaderPrograms& programs, const RecordOptions& options, EncoderProcess& encoder,
                   const RecordingGuard& guard, long long& sent) {
    const auto [first, end] = framesToRecord(options);
    FrameReadback readback(options.width, options.height, theApp->windowFramebuffer());
    Progress progress(end - first, isatty(STDERR_FILENO));
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome = ALL_SENT;
    auto send = [&](const void* pixels, size_t size) {
        EncoderProcess::WriteResult result = encoder.write(pixels, size, guard.interruption());
        outcome = result == EncoderProcess::WRITTEN       ? ALL_SENT
                  : result == EncoderProcess::INTERRUPTED ? INTERRUPTED
                                                          : ENCODER_GONE;
        sent += outcome == ALL_SENT;
        progress.update(sent,
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        return outcome == ALL_SENT;
    };
    auto handOver = [&] {
        if (!readback.handOver(send) && outcome == ALL_SENT)
            outcome = READ_FAILED;
    };
    followPaths(0.0, static_cast<double>(first) / options.fps, PATH_STEP);
    for (long long frame = first; frame < end && outcome == ALL_SENT && !guard.interrupted(); ++frame) {
        const double time = static_cast<double>(frame) / options.fps;
        settlePaths(time);
        frameAt(programs, time);
        readback.start();
        // A Ctrl+C in a terminal also ends a virtual X server started from there: leave the window alone.
        if (guard.interrupted())
            break;
        presentFrame();
        if (frame > first)
            handOver();
    }
    if (guard.interrupted())
        outcome = INTERRUPTED;
    if (outcome == ALL_SENT && readback.pending())
        handOver();
    progress.finish();
    return outcome;
}

int interruptedExit(const TemporaryOutput& output) {
    return fail("interrupted; " + output.target + " not written", EXIT_INTERRUPTED);
}

int finishRecording(EncoderProcess& encoder, TemporaryOutput& output, const RecordingGuard& guard,
                    long long frames, double seconds) {
    int status = encoder.finish(guard.interruption());
    if (status < 0 || guard.interrupted())
        return interruptedExit(output);
    if (status != 0)
        return fail("ffmpeg failed finishing the file (" + describeStatus(status) + ")");
    std::string error = output.commit();
    if (!error.empty())
        return fail("could not rename " + output.path + " to " + output.target + ": " + error);
    std::fprintf(stderr, "record: wrote %s, %lld frames, in %s\n", output.target.c_str(), frames,
                 clockTime(seconds).c_str());
    return 0;
}

int record(const ShaderPrograms& programs, const RecordOptions& options, TemporaryOutput& output,
           RecordingGuard& guard) {
    const auto [first, end] = framesToRecord(options);
    const AacCut cut = planAacCut(soundSampleAt(first, options.fps), soundSampleAt(end, options.fps));
    FileDescriptor sound(writeSoundInput(cut, guard));
    if (sound.fd < 0)
        return guard.interrupted() ? interruptedExit(output)
                                   : fail(std::string("could not decode the soundtrack ") + SOUNDTRACK_PATH);
    EncoderProcess encoder(encoderArguments(options, cut, output.path), sound.fd);
    if (!encoder.running())
        return fail("could not start ffmpeg");
    EncoderWatch watch(guard, encoder);
    std::fprintf(stderr, "record: %s, %g to %g s, %lld frames at %d fps, %dx%d%s\n", output.target.c_str(),
                 static_cast<double>(first) / options.fps, static_cast<double>(end) / options.fps,
                 end - first, options.fps, options.width, options.height, partLabel(options).c_str());
    const auto start = std::chrono::steady_clock::now();
    long long sent = 0;
    Outcome outcome = guard.interrupted() ? INTERRUPTED : sendFrames(programs, options, encoder, guard, sent);
    if (outcome == INTERRUPTED)
        return interruptedExit(output);
    if (outcome == READ_FAILED)
        return fail("could not read frame " + std::to_string(first + sent) + " back from the window");
    if (outcome == ENCODER_GONE) {
        int status = encoder.finish(guard.interruption());
        return fail("ffmpeg stopped after " + std::to_string(sent) + " of " + std::to_string(end - first) +
                    " frames (" + describeStatus(status) + "); " + output.target + " not written");
    }
    return finishRecording(encoder, output, guard, sent,
                           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

} // namespace

int main(int argc, char** argv) {
    RecordOptions options;
    if (std::optional<int> exitCode = parseRecordOptions(argc, argv, flightLength(), options))
        return *exitCode;
    if (!onPath("ffmpeg"))
        return fail(
            "ffmpeg was not found on PATH; it encodes the video (scripts/install-deps.sh installs it)");
    RecordingGuard guard;
    // Named from the working folder the recorder was started in, not from the data folder.
    options.out = std::filesystem::absolute(options.out).string();
    TemporaryOutput output(options.out, guard);
    std::string error = output.create();
    if (!error.empty())
        return fail("can't write " + options.out + ": " + error);
    // The sound is decoded, not played; an explicit choice of audio driver is respected.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    StartOptions start;
    start.width = options.width;
    start.height = options.height;
    // The recorder encodes the soundtrack itself: the demo needn't play it.
    start.mute = true;
    ShaderPrograms programs;
    if (!startTool(options.start, start, programs))
        return EXIT_FAILED;
    // Keys pressed in the window would pause or seek the flight being filmed.
    if (!start.headless)
        glfwSetKeyCallback(theApp->window, nullptr);
    if (theApp->settings->width != options.width || theApp->settings->height != options.height) {
        std::string got =
            std::to_string(theApp->settings->width) + "x" + std::to_string(theApp->settings->height);
        shutdownDemo(programs);
        return fail("the window's picture is " + got + ", not the size asked for");
    }
    // Every frame with every level, however few frames come before it.
    uploadHeldTopLevels(*theApp);
    int exitCode = record(programs, options, output, guard);
    if (exitCode != EXIT_INTERRUPTED)
        shutdownDemo(programs);
    return exitCode;
}
