#include "app/key_controls.h"

#include "app/demo_app.h"
#include "app/viewer_keys.h"

#include <cstdio>

namespace {

constexpr unsigned LAST_DOF_VIEW = 3;

void toggleEffect(int& flag, const char* effect) {
    flag = flag ? 0 : 1;
    printf("%s %s. \n", effect, flag ? "enabled" : "disabled");
}

void toggleWalkMode() {
    demoMode = !demoMode;
    printf("walkit changed. \n");
}

void nextDofView() {
    theApp->dofShow = theApp->dofShow + 1 > LAST_DOF_VIEW ? 0 : theApp->dofShow + 1;
    printf("Dof show changed. \n");
}

} // namespace

void onKey(int key, int action) {
    // A held key repeats; it must still toggle only once.
    if (action != GLFW_PRESS)
        return;
    if (demoMode) {
        if (key == GLFW_KEY_F10)
            toggleWalkMode();
        return;
    }
    switch (key) {
    case GLFW_KEY_F1:
        toggleEffect(theApp->shadowMappingOn, "Shadow Mapping");
        break;
    case GLFW_KEY_F2:
        toggleEffect(theApp->bloomOn, "Bloom effect");
        break;
    case GLFW_KEY_F3:
        toggleEffect(theApp->normalMappingOn, "Normal Mapping");
        break;
    case GLFW_KEY_F4:
        toggleEffect(theApp->dofOn, "Dof");
        break;
    case GLFW_KEY_F5:
        nextDofView();
        break;
    case GLFW_KEY_F10:
        toggleWalkMode();
        break;
    default:
        break;
    }
}

void onKeyEvent(GLFWwindow*, int key, int, int action, int) {
    onKey(key, action);
    onViewerKey(key, action, glfwGetTime());
}
