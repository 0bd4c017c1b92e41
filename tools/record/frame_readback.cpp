#include "frame_readback.h"

#include "render/window_target.h"

FrameReadback::FrameReadback(int width, int height, GLuint windowFramebuffer)
    : width(width), height(height), windowFramebuffer(windowFramebuffer),
      size(static_cast<size_t>(width) * height * 4) {
    for (Buffer& buffer : buffers) {
        buffer = Buffer::generate();
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(size), nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

void FrameReadback::start() {
    readFromWindow(windowFramebuffer);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[started % 2]);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    // Left bound, the buffer would catch any later pixel read of the demo's.
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    ++started;
}

const void* FrameReadback::map() {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[handed % 2]);
    return glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(size), GL_MAP_READ_BIT);
}

void FrameReadback::unmap() {
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}
