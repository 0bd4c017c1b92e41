// The viewer's keys, on top of the demo's own: Space, Page Up, Page Down, Home, - and = (also on the keypad),
// F11 and F12. None of them prints anything.
#pragma once

// Handles one key event (GLFW key code and action) at wall-clock reading `now`.
void onViewerKey(int key, int action, double now);
