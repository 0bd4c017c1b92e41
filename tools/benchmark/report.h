// The benchmark's figures: one run's report, as printed, as written to JSON and read back, and two reports
// side by side. The JSON's names are kept here alone.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Milliseconds: median and 95th percentile (nearest rank), and the longest.
struct Summary {
    double median = 0.0, p95 = 0.0, max = 0.0;
};

Summary summarize(std::vector<double> values);

struct NamedSummary {
    std::string name;
    Summary summary;
};

struct StretchReport {
    std::string name;
    std::vector<double> frameMs; // every measured frame, in the order rendered
    Summary frame;
    std::vector<NamedSummary> passes; // the passes that ran, in frame order
    // Per measured frame, the time of each of the report's `passNames`, none where that pass did not run
    std::vector<std::vector<std::optional<double>>> framePassMs;
};

struct Report {
    // What was measured: the build, the GL driver and the processor, the data and the settings
    std::string commit, buildType;
    std::string date; // ISO 8601, UTC
    std::string renderer, glVersion;
    std::string context; // "EGL surfaceless", "EGL device" or "GLX"
    std::string cpuModel;
    int cpuCores = 0;
    int width = 0, height = 0; // the rendered picture
    int swapInterval = 0;
    std::vector<std::pair<std::string, std::string>> environment; // the driver settings that were set
    std::string dataFolder;                                       // absolute
    std::vector<std::string> shaderFiles;                         // absolute
    std::string passClock;              // "timer_query", or "finish" for glFinish around each pass
    std::vector<std::string> passNames; // every pass a frame may run, in frame order
    std::vector<std::pair<std::string, double>> startupMs;
    std::vector<StretchReport> stretches;
};

// The table on standard output.
void printReport(const Report& report);

// False when the file could not be written.
bool writeReport(const Report& report, const std::string& path);

// One row per measured frame: its stretch, its index in the stretch, its time and each pass's, a pass that
// did not run left empty. False when the file could not be written.
bool writeFrameTable(const Report& report, const std::string& path);

// Throws std::runtime_error, with the reason, for a file that is not a readable report.
Report readReport(const std::string& path);

// The start-up phases, and per stretch the frame and every pass: A's and B's median, and B over A of the
// median and of the 95th percentile.
void printComparison(const Report& a, const std::string& pathA, const Report& b, const std::string& pathB);
