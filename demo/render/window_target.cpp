#include "render/window_target.h"

#include "render/render_targets.h"

WindowTarget createWindowTarget(int width, int height) {
    WindowTarget target;
    target.framebuffer = bindNewFramebuffer();
    target.colorBuffer = attachRenderbuffer(GL_COLOR_ATTACHMENT0, GL_SRGB8_ALPHA8, 0, width, height);
    target.depthBuffer = attachRenderbuffer(GL_DEPTH_ATTACHMENT, GL_DEPTH_COMPONENT32, 0, width, height);
    reportIncompleteFramebuffer("ERROR: Window framebuffer is not complete.\n");
    return target;
}

void readFromWindow(GLuint windowFramebuffer) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, windowFramebuffer);
    glReadBuffer(windowFramebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
}
