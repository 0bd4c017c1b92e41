// F10 switches between the flight and the walk; in walk mode F1 to F5 switch the effects.
#pragma once

struct GLFWwindow;

// Handles one key event (GLFW key code, GLFW_PRESS / GLFW_RELEASE / GLFW_REPEAT); each change prints its
// confirmation.
void onKey(int key, int action);

// The GLFW key callback; hands the event to `onKey`, then to the viewer's keys (viewer_keys.h).
void onKeyEvent(GLFWwindow* window, int key, int scancode, int action, int mods);
