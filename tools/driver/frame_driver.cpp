#include "frame_driver.h"

#include "app/demo_app.h"

void frameAt(const ShaderPrograms& programs, double time) {
    // The window's key callback reads GLFW's clock.
    if (!theApp->headless)
        glfwSetTime(time);
    renderFrame(programs, time);
}

void settlePaths(double time) {
    theApp->camera->followPath(time);
    theApp->light->update(time);
}

void enterWalk(const glm::vec3& position, float heading, float pitch) {
    demoMode = false;
    Camera& camera = *theApp->camera;
    camera.position = position;
    camera.horizontalAngle = heading;
    camera.verticalAngle = pitch;
    // The pointer rests where the camera last saw it, so the view does not turn.
    theApp->walkInputSource = stillWalkInput;
}
