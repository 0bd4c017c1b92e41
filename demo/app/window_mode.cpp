#include "app/window_mode.h"

#include "app/demo_app.h"
#include "app/demo_loop.h"

#include <algorithm>

namespace {

int overlap(int start, int length, int otherStart, int otherLength) {
    return std::max(0, std::min(start + length, otherStart + otherLength) - std::max(start, otherStart));
}

// The monitor that shows the largest part of the window; the primary one when it shows none.
GLFWmonitor* monitorUnder(GLFWwindow* window) {
    int x = 0, y = 0, width = 0, height = 0;
    glfwGetWindowPos(window, &x, &y);
    glfwGetWindowSize(window, &width, &height);
    GLFWmonitor* best = glfwGetPrimaryMonitor();
    long bestArea = 0;
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    for (int i = 0; i < count; ++i) {
        int monitorX = 0, monitorY = 0;
        glfwGetMonitorPos(monitors[i], &monitorX, &monitorY);
        const GLFWvidmode* mode = glfwGetVideoMode(monitors[i]);
        if (!mode)
            continue;
        long area = static_cast<long>(overlap(x, width, monitorX, mode->width)) *
                    overlap(y, height, monitorY, mode->height);
        if (area > bestArea) {
            best = monitors[i];
            bestArea = area;
        }
    }
    return best;
}

void resizeToFramebuffer(GLFWwindow*, int width, int height) {
    if (width != theApp->settings->width || height != theApp->settings->height)
        resizePasses(width, height);
}

} // namespace

void enterFullscreen(GLFWmonitor* monitor) {
    GLFWwindow* window = theApp->window;
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (!mode || glfwGetWindowMonitor(window))
        return;
    WindowPlacement& windowed = theApp->windowed;
    glfwGetWindowPos(window, &windowed.x, &windowed.y);
    glfwGetWindowSize(window, &windowed.width, &windowed.height);
    glfwSetWindowMonitor(window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
}

void toggleFullscreen() {
    GLFWwindow* window = theApp->window;
    if (!glfwGetWindowMonitor(window)) {
        enterFullscreen(monitorUnder(window));
        return;
    }
    const WindowPlacement& windowed = theApp->windowed;
    glfwSetWindowMonitor(window, nullptr, windowed.x, windowed.y, windowed.width, windowed.height, 0);
}

void takeFramebufferSize() {
    int width = 0, height = 0;
    glfwGetFramebufferSize(theApp->window, &width, &height);
    if (width > 0 && height > 0)
        useWindowSize(width, height);
}

void followFramebufferSize() {
    glfwSetFramebufferSizeCallback(theApp->window, resizeToFramebuffer);
}
