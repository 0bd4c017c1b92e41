// The window's stand-in where a context has no window: a framebuffer of the window's size with the formats
// the demo asks of its window (sRGB colour, 32-bit depth), so that the frames drawn there read back as the
// window's do. A GLFW window's target holds nothing, and its framebuffer is 0.
#pragma once

#include "render/gl_objects.h"

struct WindowTarget {
    Framebuffer framebuffer;
    Renderbuffer colorBuffer;
    Renderbuffer depthBuffer;
};

// A stand-in of `width` x `height`; ends with it bound, as a window's framebuffer is after start-up.
WindowTarget createWindowTarget(int width, int height);

// Binds `windowFramebuffer` (0: the window's back buffer) for reading its colour.
void readFromWindow(GLuint windowFramebuffer);
