#include "app/key_controls.h"

#include "app/demo_app.h"
#include "app/key_table.h"

#include <algorithm>

void onKey(int key, int action, double now) {
    // A held key repeats; it must still toggle only once.
    if (action != GLFW_PRESS)
        return;
    for (const KeyBinding& binding : keyTable()) {
        if (std::find(binding.codes.begin(), binding.codes.end(), key) == binding.codes.end())
            continue;
        if (binding.press && (binding.mode == KEYS_ALWAYS || !demoMode))
            binding.press(now);
        return;
    }
}

void onKeyEvent(GLFWwindow*, int key, int, int action, int) {
    onKey(key, action, glfwGetTime());
}
