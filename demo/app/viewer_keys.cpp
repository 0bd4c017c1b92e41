#include "app/viewer_keys.h"

#include "app/flight_control.h"
#include "app/overlay.h"
#include "app/scene_scale.h"
#include "app/window_mode.h"

#include <GLFW/glfw3.h>

namespace {

constexpr double SEEK_STEP = 10.0;

} // namespace

void onViewerKey(int key, int action, double now) {
    if (action != GLFW_PRESS)
        return;
    switch (key) {
    case GLFW_KEY_SPACE:
        toggleFlightPause(now);
        break;
    case GLFW_KEY_PAGE_UP:
        seekFlightBy(-SEEK_STEP, now);
        break;
    case GLFW_KEY_PAGE_DOWN:
        seekFlightBy(SEEK_STEP, now);
        break;
    case GLFW_KEY_HOME:
        seekFlight(0.0, now);
        break;
    case GLFW_KEY_MINUS:
    case GLFW_KEY_KP_SUBTRACT:
        stepSceneScale(-1);
        break;
    case GLFW_KEY_EQUAL:
    case GLFW_KEY_KP_ADD:
        stepSceneScale(1);
        break;
    case GLFW_KEY_F11:
        toggleFullscreen();
        break;
    case GLFW_KEY_F12:
        toggleOverlay();
        break;
    default:
        break;
    }
}
