#include "frame_driver.h"

#include "app/demo_app.h"

#include <algorithm>

void frameAt(const ShaderPrograms& programs, double time) {
    glfwSetTime(time);
    renderFrame(programs, time);
}

void followPaths(double from, double to, double step) {
    for (double time = from; time < to; time = std::min(time + step, to)) {
        if (demoMode)
            theApp->camera->updatePath(time);
        theApp->light->update(time);
    }
}

void enterWalk(const glm::vec3& position, float heading, float pitch) {
    demoMode = false;
    Camera& camera = *theApp->camera;
    camera.position = position;
    camera.horizontalAngle = heading;
    camera.verticalAngle = pitch;
    // The pointer rests where the camera last saw it, so the view does not turn.
    theApp->walkInputSource = [](double now) {
        WalkInput still;
        still.now = now;
        still.cursorX = theApp->camera->lastMouseX;
        still.cursorY = theApp->camera->lastMouseY;
        return still;
    };
}
