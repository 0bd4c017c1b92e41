// The recorder's command line: what to record, checked before anything renders.
#pragma once

#include <optional>
#include <string>

struct RecordOptions {
    std::string out;
    double from = 0.0, to = 0.0; // flight seconds; `to` defaults to the flight's end
    int fps = 30;
    int width = 1024, height = 768;
    double scale = 1.0; // the scene's share of the picture's width and height
};

// Parses the command line into `options`. Empty to go on, otherwise the exit code: 0 after --help, 2 after
// a bad option or value, with its message on standard error.
std::optional<int> parseRecordOptions(int argc, char** argv, double flightEnd, RecordOptions& options);

// The first frame and one past the last, counted from the flight's start at `fps`.
long long firstFrame(const RecordOptions& options);
long long endFrame(const RecordOptions& options);
