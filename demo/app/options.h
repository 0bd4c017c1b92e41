// The demo's command line. Every option may be left out: without any, the demo runs its default flight.
#pragma once

#include "app/demo_loop.h"

#include <optional>
#include <string>

namespace CLI {
class App;
class Option;
} // namespace CLI

// The largest window side accepted; every window-sized target is made at that size.
constexpr int LARGEST_WINDOW_SIDE = 8192;

struct DemoOptions {
    StartOptions start;
    std::string dataFolder; // empty: found as data_folder.h says
};

// Adds --scale, the scene's share of the window's width and height, 0.25 to 1; the demo and its tools take
// it.
CLI::Option* addScaleOption(CLI::App& app, double& scale);

// Parses the command line into `options`. Empty when the demo goes on; otherwise the code to exit with:
// 0 after --help, 2 after a bad command line, with a message and the usage on standard error.
std::optional<int> parseDemoOptions(int argc, char** argv, DemoOptions& options);
