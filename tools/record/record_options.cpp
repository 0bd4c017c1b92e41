#include "record_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr int MAX_FPS = 240;
constexpr int MIN_SIDE = 16, MAX_WIDTH = 8192, MAX_HEIGHT = 4320;

bool parseWhole(const char* first, const char* last, int& value) {
    if (first == last || *first < '0' || *first > '9')
        return false;
    auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last;
}

// Frames fall on multiples of 1/fps; a range edge between two frames would shift sound against picture.
bool onFrame(double seconds, int fps) {
    double frames = seconds * fps;
    return std::abs(frames - std::round(frames)) <= 1e-6 * std::max(1.0, frames);
}

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string offFrame(const char* name, double value, int fps) {
    return std::string(name) + " " + seconds(value) + " is not on a frame: at " + std::to_string(fps) +
           " fps frames fall every 1/" + std::to_string(fps) + " s";
}

} // namespace

bool parseSize(const std::string& text, int& width, int& height) {
    size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    const char* begin = text.data();
    return parseWhole(begin, begin + x, width) && parseWhole(begin + x + 1, begin + text.size(), height);
}

int parseRecordOptions(int argc, char** argv, double flightEnd, RecordOptions& options) {
    options.to = flightEnd;
    std::string size = std::to_string(options.width) + "x" + std::to_string(options.height);
    CLI::App app{"Records the demo's flight with its soundtrack into an MP4 file (H.264 and AAC). Run it "
                 "from demo/, the demo's working directory.",
                 "record"};
    app.add_option("--out", options.out, "the file to write")->required();
    app.add_option("--from", options.from, "first moment of the flight, in seconds")->capture_default_str();
    app.add_option("--to", options.to, "end of the recording, in seconds")->capture_default_str();
    app.add_option("--fps", options.fps, "frames per second")->capture_default_str();
    app.add_option("--size", size, "picture size, WIDTHxHEIGHT")->capture_default_str();
    try {
        app.parse(argc, argv);
        if (!parseSize(size, options.width, options.height))
            throw CLI::ValidationError("--size", "'" + size + "' is not WIDTHxHEIGHT, for example 1920x1080");
        std::string problem = checkRecordOptions(options, flightEnd);
        if (!problem.empty())
            throw CLI::ValidationError(problem);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;
    }
    return -1;
}

std::string checkRecordOptions(const RecordOptions& options, double flightEnd) {
    const int fps = options.fps;
    if (options.out.empty())
        return "--out must name a file";
    if (fps < 1 || fps > MAX_FPS)
        return "--fps must be a whole number from 1 to " + std::to_string(MAX_FPS);
    if (options.width < MIN_SIDE || options.width > MAX_WIDTH || options.height < MIN_SIDE ||
        options.height > MAX_HEIGHT)
        return "--size must be from " + std::to_string(MIN_SIDE) + "x" + std::to_string(MIN_SIDE) + " to " +
               std::to_string(MAX_WIDTH) + "x" + std::to_string(MAX_HEIGHT);
    // The video is 4:2:0, one colour sample per two by two pixels.
    if (options.width % 2 || options.height % 2)
        return "--size must have an even width and height";
    if (!(options.from >= 0.0 && options.to <= flightEnd && options.from < options.to))
        return "--from and --to must satisfy 0 <= from < to <= " + seconds(flightEnd) + " (the flight's end)";
    if (!onFrame(options.from, fps))
        return offFrame("--from", options.from, fps);
    if (!onFrame(options.to, fps))
        return offFrame("--to", options.to, fps);
    return "";
}

long long firstFrame(const RecordOptions& options) {
    return std::llround(options.from * options.fps);
}

long long endFrame(const RecordOptions& options) {
    return std::llround(options.to * options.fps);
}
