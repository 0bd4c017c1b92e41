// The recorder's command line: what to record, checked before anything renders.
#pragma once

#include "tool_start.h"

#include <optional>
#include <string>

struct RecordOptions {
    std::string out;
    double from = 0.0, to = 0.0; // flight seconds; `to` defaults to the flight's end
    int fps = 30;
    int width = 1024, height = 768;
    int part = 1, parts = 1; // the part of the range to record, from 1, and how many there are
    ToolStartOptions start;
};

// Frames counted from the flight's start at the recording's frame rate: the first one and one past the last.
struct FrameRange {
    long long first = 0, end = 0;
};

// The `part`-th (from 1) of `parts` consecutive pieces of `whole`, whose sizes differ by at most a frame.
FrameRange partOfRange(FrameRange whole, int part, int parts);

// Parses the command line into `options`. Empty to go on, otherwise the exit code: 0 after --help, 2 after
// a bad option or value, with its message on standard error.
std::optional<int> parseRecordOptions(int argc, char** argv, double flightEnd, RecordOptions& options);

// The frames of the asked range, or of its asked part.
FrameRange framesToRecord(const RecordOptions& options);
