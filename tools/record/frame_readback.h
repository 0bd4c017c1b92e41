// Reads the window's frames back without waiting for them: two pixel-pack buffers take turns, so that
// the copy of one frame runs while the next one renders.
#pragma once

#include "render/gl_objects.h"

#include <cstddef>

class FrameReadback {
  public:
    // Reads `windowFramebuffer` (0: a GLFW window's back buffer). Needs the window's context current; it
    // must still be when this goes.
    FrameReadback(int width, int height, GLuint windowFramebuffer);

    // Starts copying the window's picture (RGBA, bottom row first) into the buffer not holding the last
    // frame.
    void start();
    // True while a started copy has not been handed over.
    bool pending() const { return started > handed; }
    // Hands the oldest started copy to `use(pixels, size)`, which answers whether it took it, and gives its
    // buffer back for reuse. False, without calling `use`, when the copy can't be read.
    template <typename Use> bool handOver(Use use);

  private:
    const void* map();
    void unmap();

    int width, height;
    GLuint windowFramebuffer;
    size_t size;
    Buffer buffers[2];
    unsigned started = 0, handed = 0;
};

template <typename Use> bool FrameReadback::handOver(Use use) {
    const void* pixels = map();
    bool taken = pixels && use(pixels, size);
    unmap();
    ++handed;
    return taken;
}
