#include "app/options.h"

#include "app/command_line.h"
#include "app/key_table.h"
#include "app/scale_control.h"
#include "motion/flight.h"

#include <algorithm>

CLI::Option* addScaleOption(CLI::App& app, double& scale) {
    return addNumber(app, "--scale", scale,
                     "draws the scene at this share of the window's width and height and scales it up "
                     "(default 1)",
                     Interval::between(SMALLEST_SCALE, LARGEST_SCALE));
}

std::optional<int> parseDemoOptions(int argc, char** argv, DemoOptions& options) {
    StartOptions& start = options.start;
    CLI::App app("Tellmarin: a real-time flight through a holiday house.");
    nameProgram(app, "tellmarin");
    app.footer(keysHelp());
    app.failure_message(CLI::FailureMessage::help);
    addSize(app, "--size", start.width, start.height, "the window's size (default 1024x768)",
            LARGEST_WINDOW_SIDE);
    app.add_flag("--fullscreen", start.fullscreen, "starts fullscreen on the primary monitor, in its mode");
    addNumber(app, "--start", start.startSeconds,
              "the moment of the flight to begin at, in seconds (past its end: its end)",
              Interval::atLeast(0.0));
    addScaleOption(app, start.scale);
    addNumber(app, "--target-fps", start.targetFps,
              "chooses the scene's scale, from 0.25 to 1, to hold this frame rate; each change is told on "
              "standard error",
              Interval::atLeast(1));
    app.add_flag("--mute", start.mute, "no soundtrack: no audio device is needed");
    // Switches that take no value: "--vsync=1" is refused rather than read as a setting.
    app.add_flag("--vsync", start.vsync, "syncs the swap to the display (a swap interval of 1)")
        ->disable_flag_override();
    app.add_flag("--resizable", start.resizable, "lets the window be resized by dragging its frame")
        ->disable_flag_override();
    app.add_option("--data", options.dataFolder,
                   "the data folder: the one holding shader/, with models/, images/ and sounds/ beside it")
        ->type_name("DIR")
        ->check(CLI::ExistingDirectory.description(""));
    if (std::optional<int> exitCode = parseCommandLine(app, argc, argv))
        return exitCode;
    start.startSeconds = std::min(start.startSeconds, flightLength());
    return std::nullopt;
}
