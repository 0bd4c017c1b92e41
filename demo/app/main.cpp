#include "app/data_folder.h"
#include "app/demo_app.h"
#include "app/demo_loop.h"
#include "app/flight_control.h"
#include "app/options.h"
#include "app/overlay.h"
#include "app/screenshot.h"

#include <cstdio>

int main(int argc, char** argv) {
    // Console lines are the demo's status display: show each as soon as it is written, also through a pipe.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    DemoOptions options;
    if (std::optional<int> exitCode = parseDemoOptions(argc, argv, options))
        return *exitCode;
    // Before the data folder becomes the working directory, which is the last choice for screenshots.
    options.start.screenshotFolder = findPicturesFolder();
    if (!enterDataFolder(options.dataFolder))
        return 1;
    ShaderPrograms programs;
    if (!startDemo(programs, options.start))
        return 0;
    do {
        double now = glfwGetTime();
        renderFrame(programs, now);
        saveRequestedScreenshot(theApp->screenshots, flightSeconds(now), theApp->settings->width,
                                theApp->settings->height);
        drawOverlay(now);
        presentFrame();
    } while (keepRunning());
    shutdownOverlay();
    shutdownDemo(programs);
    return 0;
}
