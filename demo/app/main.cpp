#include "app/data_folder.h"
#include "app/demo_app.h"
#include "app/demo_loop.h"
#include "app/options.h"
#include "app/overlay.h"

#include <cstdio>

int main(int argc, char** argv) {
    // Console lines are the demo's status display: show each as soon as it is written, also through a pipe.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    DemoOptions options;
    if (std::optional<int> exitCode = parseDemoOptions(argc, argv, options))
        return *exitCode;
    if (!enterDataFolder(options.dataFolder))
        return 1;
    ShaderPrograms programs;
    if (!startDemo(programs, options.start))
        return 0;
    do {
        double now = glfwGetTime();
        renderFrame(programs, now);
        drawOverlay(now);
        presentFrame();
    } while (keepRunning());
    shutdownOverlay();
    shutdownDemo(programs);
    return 0;
}
