// Walk mode as the tools enter it holds the camera where it was put: the live pointer moves over the
// window and the paths are followed between frames, and the view stays.
#include "frame_driver.h"
#include "gl_fixture.h"

#include <glm/glm.hpp>
// After gtest: Xlib defines macros such as None that gtest uses as names.
#include <X11/Xlib.h>

namespace {

// Moves the pointer to (x, y) on the screen and lets the window see it.
void movePointer(int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
    XCloseDisplay(display);
    glfwPollEvents();
}

} // namespace

TEST_F(GlTest, ToolWalkHoldsTheCameraWhereverThePointerGoes) {
    const glm::vec3 position(0.3f, -0.6f, 0.8f);
    const float heading = 1.2f, pitch = -0.1f;
    enterWalk(position, heading, pitch);
    double now = 1.0;
    moveCamera(now);
    for (glm::ivec2 pointer : {glm::ivec2(10, 10), glm::ivec2(900, 700), glm::ivec2(300, 500)}) {
        movePointer(pointer.x, pointer.y);
        followPaths(now, now + 3.0, 1.0);
        now += 3.0;
        moveCamera(now);
    }
    const Camera& camera = *app->camera;
    EXPECT_EQ(camera.position, position);
    EXPECT_EQ(camera.horizontalAngle, heading);
    EXPECT_EQ(camera.verticalAngle, pitch);
    // The view looks from the position along the heading and pitch.
    glm::vec4 ahead = camera.viewMatrix * glm::vec4(position + lookDirection(heading, pitch), 1.0f);
    EXPECT_NEAR(ahead.x, 0.0f, 1e-5f);
    EXPECT_NEAR(ahead.y, 0.0f, 1e-5f);
    EXPECT_NEAR(ahead.z, -1.0f, 1e-5f);
}
