// Key presses answered from the key table (key_table.h): in the flight only the keys of every mode, in walk
// mode all of them.
#pragma once

struct GLFWwindow;

// Handles one key event (GLFW key code, GLFW_PRESS / GLFW_RELEASE / GLFW_REPEAT) at wall-clock reading
// `now`; a demo key prints its confirmation.
void onKey(int key, int action, double now);

// The GLFW key callback; hands the event to `onKey` with the GLFW clock's reading.
void onKeyEvent(GLFWwindow* window, int key, int scancode, int action, int mods);
