// The window's size and fullscreen mode after it opened: F11, --fullscreen, and whatever else changes the
// framebuffer's size. The user can resize the window by its frame only after --resizable.
#pragma once

struct GLFWmonitor;

// Where the window stood before it went fullscreen, to go back there.
struct WindowPlacement {
    int x = 0, y = 0;
    int width = 0, height = 0;
};

// Fullscreen on `monitor`, in its current video mode.
void enterFullscreen(GLFWmonitor* monitor);

// F11: fullscreen on the monitor that shows most of the window, or back to the window it was.
void toggleFullscreen();

// Makes the settings' size the framebuffer's, before the passes make their targets.
void takeFramebufferSize();

// From now on every change of the framebuffer's size re-creates the window-sized targets; a minimised
// window's 0 x 0 leaves them as they are.
void followFramebufferSize();
