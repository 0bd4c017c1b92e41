#include "record_options.h"

#include "app/command_line.h"
#include "app/options.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MAX_FPS = 240;
// Below, the encoder has too little to work on; above, the frame outgrows H.264's largest level.
constexpr int MIN_SIDE = 16, MAX_HEIGHT = 4320;

// Frames fall on multiples of 1/fps; a range edge between two frames would shift sound against picture.
bool onFrame(double seconds, int fps) {
    double frames = seconds * fps;
    return std::abs(frames - std::round(frames)) <= 1e-6 * std::max(1.0, frames);
}

std::string offFrame(const char* name, int fps) {
    return std::string(name) + " is not on a frame: at " + std::to_string(fps) + " fps frames fall every 1/" +
           std::to_string(fps) + " s";
}

// What the options can't be recorded with together, or empty.
std::string checkTogether(const RecordOptions& options) {
    if (options.out.empty())
        return "--out must name a file";
    if (options.width < MIN_SIDE || options.height < MIN_SIDE || options.height > MAX_HEIGHT)
        return "--size must be from " + std::to_string(MIN_SIDE) + "x" + std::to_string(MIN_SIDE) + " to " +
               std::to_string(LARGEST_WINDOW_SIDE) + "x" + std::to_string(MAX_HEIGHT);
    // The video is 4:2:0, one colour sample per two by two pixels.
    if (options.width % 2 || options.height % 2)
        return "--size must have an even width and height";
    if (options.from >= options.to)
        return "--from must come before --to";
    if (!onFrame(options.from, options.fps))
        return offFrame("--from", options.fps);
    if (!onFrame(options.to, options.fps))
        return offFrame("--to", options.fps);
    return "";
}

} // namespace

std::optional<int> parseRecordOptions(int argc, char** argv, double flightEnd, RecordOptions& options) {
    options.to = flightEnd;
    CLI::App app{"Records the demo's flight with its soundtrack into an MP4 file (H.264 and AAC). Run it "
                 "from demo/, the demo's working directory.",
                 "record"};
    const Interval flight = Interval::between(0.0, flightEnd);
    app.add_option("--out", options.out, "the file to write")->type_name("FILE")->required();
    addNumber(app, "--from", options.from, "first moment of the flight in seconds, 0 by default", flight);
    addNumber(app, "--to", options.to, "end of the recording in seconds, the flight's end by default",
              flight);
    addNumber(app, "--fps", options.fps, "frames per second, 30 by default", Interval::between(1, MAX_FPS));
    addSize(app, "--size", options.width, options.height, "picture size, 1024x768 by default; even sides",
            LARGEST_WINDOW_SIDE);
    addScaleOption(app, options.scale);
    if (std::optional<int> exitCode = parseCommandLine(app, argc, argv))
        return exitCode;
    std::string problem = checkTogether(options);
    if (problem.empty())
        return std::nullopt;
    app.exit(CLI::ValidationError(problem));
    return 2;
}

long long firstFrame(const RecordOptions& options) {
    return std::llround(options.from * options.fps);
}

long long endFrame(const RecordOptions& options) {
    return std::llround(options.to * options.fps);
}
