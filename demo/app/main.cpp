#include "app/demo_app.h"
#include "app/demo_loop.h"

#include <cstdio>

int main() {
    // Console lines are the demo's status display: show each as soon as it is written, also through a pipe.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    ShaderPrograms programs;
    if (!startDemo(programs))
        return 0;
    do {
        renderFrame(programs, glfwGetTime());
        presentFrame();
    } while (keepRunning());
    shutdownDemo(programs);
    return 0;
}
