// What every tool's command line chooses about where it runs: the data folder, found as the demo finds
// it, and the context, a window or none.
#pragma once

#include "app/demo_loop.h"

#include <CLI/CLI.hpp>

#include <string>

struct ToolStartOptions {
    std::string dataFolder; // empty: found as data_folder.h says
    bool headless = false;  // an EGL context even where a display is named
    double scale = 1.0;     // the scene's share of the picture's width and height
};

// Adds --data DIR, --headless and --scale.
void addToolStartOptions(CLI::App& app, ToolStartOptions& options);

// Changes into the data folder and chooses the context: headless when asked for or when the environment
// names no display. False, after a line on standard error, when there is no data folder.
bool prepareToolStart(const ToolStartOptions& options, StartOptions& start);

// prepareToolStart, then the demo's start-up into `programs`; false, after its message on standard error,
// when either fails.
bool startTool(const ToolStartOptions& options, StartOptions& start, ShaderPrograms& programs);
