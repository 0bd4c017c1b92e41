// The recorder's command line: what to record, checked before anything renders.
#pragma once

#include <string>

struct RecordOptions {
    std::string out;
    double from = 0.0, to = 0.0; // flight seconds; `to` defaults to the flight's end
    int fps = 30;
    int width = 1024, height = 768;
};

// Parses the command line into `options`. Returns -1 to go on, otherwise the exit code: 0 after --help,
// 2 after a bad option or value, with its message on standard error.
int parseRecordOptions(int argc, char** argv, double flightEnd, RecordOptions& options);

// "WxH" with two positive whole numbers; false for anything else.
bool parseSize(const std::string& text, int& width, int& height);

// Why the options can't be recorded, or empty when they can.
std::string checkRecordOptions(const RecordOptions& options, double flightEnd);

// The first frame and one past the last, counted from the flight's start at `fps`.
long long firstFrame(const RecordOptions& options);
long long endFrame(const RecordOptions& options);
